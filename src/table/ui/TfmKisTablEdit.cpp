// The editor's editing commands: undo and redo, insert and delete, clearing, "Бланк",
// sorting, zeros and empty lines, headings, freezing and zoom.
#include "EditingCommands.h"
#include "TfmKisTabl.h"

#include "TBook.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

void TfmKisTabl::buildEditMenu(QMenu* edit) {
    QAction* undo = new QAction(QStringLiteral("Отменить"), this);
    undo->setObjectName(QStringLiteral("Mundo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = new QAction(QStringLiteral("Повторить"), this);
    redo->setObjectName(QStringLiteral("Mredo"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    edit->insertAction(edit->actions().value(0), undo);
    edit->insertAction(edit->actions().value(1), redo);
    edit->insertSeparator(edit->actions().value(2));
    onCommand(undo, [this] { cmUndo(false); });
    onCommand(redo, [this] { cmUndo(true); });
    connect(edit, &QMenu::aboutToShow, this, &TfmKisTabl::updateUndoCommands);

    action(QStringLiteral("sbCut"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    action(QStringLiteral("sbCopy"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    action(QStringLiteral("sbPaste"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    action(QStringLiteral("Mfind"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    action(QStringLiteral("Mreplace"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    const std::pair<const char*, ClearWhat> clears[] = {{"MclearAll", ClearWhat::All},
                                                        {"MclearFormats", ClearWhat::Formats},
                                                        {"MclearValue", ClearWhat::Values}};
    for (const auto& [name, what] : clears) {
        QAction* a = action(QString::fromLatin1(name));
        a->setEnabled(true);
        onCommand(a, [this, w = what] {
            Book->editClear(w);
            updateUndoCommands();
        });
    }
    QAction* ins = action(QStringLiteral("Mins"));
    ins->setEnabled(true);
    ins->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    onCommand(ins, [this] { cmInsertDelete(true); });
    QAction* del = action(QStringLiteral("Mdel"));
    del->setEnabled(true);
    del->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    onCommand(del, [this] { cmInsertDelete(false); });
    QAction* blank = new QAction(QStringLiteral("Бланк (удалить значения)"), this);
    blank->setObjectName(QStringLiteral("mBlank"));
    edit->insertAction(del, blank);
    onCommand(blank, [this] {
        m_editing->blank();
        afterEditingCommand();
    });
}

void TfmKisTabl::buildViewEditing(QMenu* view) {
    view->addSeparator();
    QAction* bord = addAction(view, QStringLiteral("ViewBord"), QStringLiteral("Показать бордюр"));
    bord->setCheckable(true);
    bord->setChecked(true);
    onCommand(bord, [this, bord] {
        Book->setShowRowHeading(bord->isChecked());
        Book->setShowColHeading(bord->isChecked());
    });
    QAction* freez = addAction(view, QStringLiteral("Freez"), QStringLiteral("Заморозить"));
    freez->setCheckable(true);
    onCommand(freez, [this, freez] {
        const bool on = freez->isChecked();
        Book->setFixedRows(on ? Book->selStartRow() - 1 : 0);
        Book->setFixedCols(on ? Book->selStartCol() - 1 : 0);
    });
    connect(view, &QMenu::aboutToShow, this, [this, bord, freez] {
        freez->setChecked(Book->fixedRows() > 0);
        bord->setChecked(Book->showRowHeading());
    });
    QAction* zero = action(QStringLiteral("imZero"));
    onCommand(zero, [this, zero] {
        m_editing->showZeros(zero->isChecked());
        afterEditingCommand();
    });
    QAction* rows = action(QStringLiteral("imZeroStr"));
    onCommand(rows, [this, rows] {
        m_editing->showEmptyRows(rows->isChecked(),
                                 action(QStringLiteral("SBhidrow"))->isChecked());
        if (Book->activeRow() > 0 && m_book.activeSheet().rowHidden(Book->activeRow()))
            Book->setActiveCell(m_editing->shownRowNear(Book->activeRow()), Book->activeCol());
        afterEditingCommand();
    });
    QAction* cols = action(QStringLiteral("imZeroCol"));
    onCommand(cols, [this, cols] {
        m_editing->showEmptyCols(cols->isChecked(),
                                 action(QStringLiteral("SBhidcol"))->isChecked());
        if (m_book.activeSheet().colHidden(Book->activeCol()))
            Book->setActiveCell(Book->activeRow(), m_editing->shownColNear(Book->activeCol()));
        afterEditingCommand();
    });
    for (QAction* a : {zero, rows, cols})
        a->setEnabled(true);
}

void TfmKisTabl::buildZoomBox() {
    MainTB->addSeparator();
    auto* caption = new QLabel(QStringLiteral("   Масштаб, %   "), MainTB);
    MainTB->addWidget(caption);
    auto* zoom = new QSpinBox(MainTB);
    zoom->setObjectName(QStringLiteral("SpinEdit1"));
    zoom->setRange(10, 400);
    zoom->setValue(100);
    zoom->setKeyboardTracking(false);
    MainTB->addWidget(zoom);
    connect(zoom, &QSpinBox::valueChanged, this, [this](int v) { Book->setViewScale(v); });
    for (const char* name : {"SBSortUp", "SBSortDn"}) {
        QAction* a = action(QString::fromLatin1(name));
        a->setEnabled(true);
        const bool descending = QByteArray(name) == "SBSortDn";
        onCommand(a, [this, descending] {
            const int row = Book->activeRow(), col = Book->activeCol();
            m_editing->sortBody(col, descending);
            Book->setActiveCell(row, col);
            afterEditingCommand();
        });
    }
}

void TfmKisTabl::cmInsertDelete(bool insert) {
    const CellRange sel = Book->selection();
    const EditingCommands::Cursor to =
        insert ? m_editing->insertAt(sel.row1, sel.col1) : m_editing->deleteAt(sel);
    if (to.row > 0)
        Book->setActiveCell(to.row, to.col > 0 ? to.col : sel.col1);
    if (!insert && sel.col1 <= 2 && sel.row1 >= m_doc.model().firstBodyRow() &&
        sel.row1 == m_doc.model().firstBodyRow())
        m_statusMode->setText(QStringLiteral("Редактирование боковика"));
    afterEditingCommand();
}

void TfmKisTabl::cmUndo(bool redo) {
    UndoStack& stack = m_book.undoStack();
    if (redo ? stack.redo() : stack.undo()) {
        m_doc.model().readGeometry();
        Book->setSheet(std::min(Book->sheet(), m_book.sheetCount()));
        Book->viewport()->update();
        onModified();
        refreshFormatBar();
    }
    updateUndoCommands();
}

void TfmKisTabl::afterEditingCommand() {
    Book->viewport()->update();
    onModified();
    updateUndoCommands();
}

void TfmKisTabl::updateUndoCommands() {
    const UndoStack& stack = m_book.undoStack();
    QAction* undo = action(QStringLiteral("Mundo"));
    QAction* redo = action(QStringLiteral("Mredo"));
    undo->setEnabled(stack.canUndo());
    redo->setEnabled(stack.canRedo());
    undo->setText(stack.canUndo() && !stack.undoText().isEmpty()
                      ? QStringLiteral("Отменить: %1").arg(stack.undoText())
                      : QStringLiteral("Отменить"));
    redo->setText(stack.canRedo() && !stack.redoText().isEmpty()
                      ? QStringLiteral("Повторить: %1").arg(stack.redoText())
                      : QStringLiteral("Повторить"));
}

void TfmKisTabl::forgetUndo(const QString& command) {
    // Filling, storing and collecting talk to the database: they cannot be taken back,
    // and edits before them would undo over their results.
    if (m_book.undoStack().count() > 0 || m_book.undoStack().canRedo())
        StBar->showMessage(
            QStringLiteral("%1 не отменяется: прежние правки отменить уже нельзя").arg(command),
            10000);
    m_book.undoStack().clear();
    updateUndoCommands();
}
