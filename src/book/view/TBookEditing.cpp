#include "TBook.h"

#include "BookClipboard.h"
#include "CellPainter.h"
#include "EditBar.h"
#include "FindReplaceDialog.h"

#include "Prompter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
const char* const kProtectedText = "Ячейка защищена от изменений";
const char* const kMissingSheetText = "В формуле указан несуществующий лист \"%1\"";
} // namespace

bool TBook::refuseProtected(const CellRange& range) {
    if (!isRangeProtected(range))
        return false;
    prompter().message(QString::fromUtf8(kProtectedText), {}, PromptIcon::Warning);
    return true;
}

void TBook::startEdit(const QString& initial, bool keepContent) {
    if (m_editor)
        return;
    if (refuseProtected(CellRange::cell(m_curRow, m_curCol)))
        return;
    ensureVisible(m_curRow, m_curCol);
    m_editOriginal = m_book->entry(m_curRow, m_curCol);
    m_editKeepsArrows = keepContent;
    auto* editor = new QLineEdit(viewport());
    editor->setFrame(false);
    const CellPainter cp(activeSheet(), viewScale());
    editor->setFont(cp.font(activeSheet().formatIndex(m_curRow, m_curCol)));
    editor->setText(initial);
    editor->installEventFilter(this);
    m_editor = editor;
    placeEditor();
    editor->show();
    editor->setFocus();
}

void TBook::placeEditor() {
    if (!m_editor)
        return;
    m_layoutDirty = true;
    QRect r = layout().cellRect(m_curRow, m_curCol).adjusted(0, 0, -1, -1);
    const int wanted = m_editor->fontMetrics().horizontalAdvance(m_editor->text()) + 12;
    r.setWidth(std::max(r.width(), std::min(wanted, viewport()->width() - r.left())));
    r.setHeight(std::max(r.height(), m_editor->fontMetrics().height() + 2));
    m_editor->setGeometry(r);
}

void TBook::closeEditor() {
    if (!m_editor)
        return;
    QLineEdit* editor = m_editor;
    m_editor = nullptr;
    editor->removeEventFilter(this);
    editor->hide();
    editor->deleteLater();
    setFocus();
    refresh();
}

void TBook::cancelEdit() {
    closeEditor();
}

bool TBook::endEdit() {
    if (!m_editor)
        return true;
    return commitEntry(m_editor->text());
}

bool TBook::commitEntry(const QString& text) {
    if (m_committing)
        return false;
    m_committing = true;
    const struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_committing};

    m_editRefused = true;
    // A mistyped sheet name would turn the reference into #REF! and lose what was typed:
    // the entry stays open for correction.
    const QString missing = m_book->missingSheet(sheet(), m_curRow, m_curCol, text);
    if (!missing.isEmpty()) {
        prompter().message(QString::fromUtf8(kMissingSheetText).arg(missing), {},
                           PromptIcon::Warning);
        if (m_editor)
            m_editor->setFocus();
        return false;
    }
    bool cancel = false;
    emit OnEndEdit(text, &cancel);
    if (cancel || isCellProtected(m_curRow, m_curCol)) {
        closeEditor();
        return true;
    }
    QString message;
    if (!m_book->validate(sheet(), m_curRow, m_curCol, text, &message)) {
        bool show = true;
        int action = ValidationRetry;
        emit OnValidationFailed(message, &show, &action);
        if (show)
            prompter().message(message, {}, PromptIcon::Warning);
        if (action == ValidationRefuse) {
            closeEditor();
            return true;
        }
        if (action != ValidationAccept) {
            if (m_editor)
                m_editor->setFocus();
            return false;
        }
    }
    m_editRefused = false;
    closeEditor();
    if (text != m_book->entry(m_curRow, m_curCol)) {
        m_book->undoStack().begin(QStringLiteral("Ввод"));
        m_book->setEntry(m_curRow, m_curCol, text);
        m_book->undoStack().end();
        userModified();
    }
    return true;
}

bool TBook::editorKey(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Escape:
        cancelEdit();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A refused entry leaves the cursor on its cell.
        if (endEdit() && !m_editRefused)
            moveBy(e->modifiers() & Qt::ShiftModifier ? -1 : 1, 0, false);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (endEdit() && !m_editRefused)
            moveBy(0, e->key() == Qt::Key_Tab ? 1 : -1, false);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (m_editKeepsArrows)
            return false;
        if (endEdit() && !m_editRefused)
            handleNavigationKey(e);
        return true;
    default:
        return false;
    }
}

bool TBook::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_editor) {
        if (event->type() == QEvent::KeyPress)
            return editorKey(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::ShortcutOverride) {
            // Keys the control handles must not be taken by shortcuts elsewhere.
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Escape || key == Qt::Key_Tab || key == Qt::Key_Return ||
                key == Qt::Key_Enter)
                event->accept();
        }
        if (event->type() == QEvent::KeyRelease) {
            emit OnKeyUp(static_cast<QKeyEvent*>(event)->key(),
                         static_cast<QKeyEvent*>(event)->modifiers());
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

QString TBook::numberFormat() const {
    return activeSheet().format(m_curRow, m_curCol).numberFormat;
}

bool TBook::wordWrap() const {
    return activeSheet().format(m_curRow, m_curCol).wordWrap;
}

int TBook::vAlign() const {
    return int(activeSheet().format(m_curRow, m_curCol).vAlign) + 1;
}

int TBook::fontCharSet() const {
    return activeSheet().format(m_curRow, m_curCol).font.charset;
}

void TBook::setSelectionFormat(const std::function<void(CellFormat&)>& change) {
    const CellRange range = selection();
    m_book->undoStack().begin(QStringLiteral("Формат"));
    m_book->beginUpdate();
    for (int s : m_book->editGroup())
        m_book->setFormat(s, range, change);
    m_book->endUpdate();
    m_book->undoStack().end();
}

void TBook::setNumberFormat(const QString& format) {
    setSelectionFormat([&format](CellFormat& f) { f.numberFormat = format; });
}

void TBook::setWordWrap(bool on) {
    setSelectionFormat([on](CellFormat& f) { f.wordWrap = on; });
}

void TBook::setVAlign(int code) {
    const VAlign v = code == 1 ? VAlign::Top : code == 2 ? VAlign::Center : VAlign::Bottom;
    setSelectionFormat([v](CellFormat& f) { f.vAlign = v; });
}

void TBook::setFontCharSet(int charset) {
    setSelectionFormat([charset](CellFormat& f) { f.font.charset = charset; });
}

void TBook::editClear(ClearWhat what) {
    if (m_editor)
        closeEditor();
    const CellRange range = selection();
    if (refuseProtected(range))
        return;
    m_book->undoStack().begin(QStringLiteral("Очистить"));
    m_book->beginUpdate();
    for (int s : m_book->editGroup())
        m_book->clearRange(s, range, what);
    m_book->endUpdate();
    m_book->undoStack().end();
    userModified();
}

void TBook::editCut() {
    if (m_editor)
        return;
    m_clipboard->copy(selection(), true);
}

void TBook::editCopy() {
    if (m_editor)
        return;
    m_clipboard->copy(selection(), false);
}

void TBook::editPaste() {
    if (m_editor)
        return;
    m_book->undoStack().begin(QStringLiteral("Поместить"));
    const bool pasted = m_clipboard->paste(m_curRow, m_curCol);
    m_book->undoStack().end();
    if (pasted)
        userModified();
}

bool TBook::findNext(const QString& what, bool matchCase, bool wholeCell) {
    int row = m_curRow, col = m_curCol;
    if (!m_book->find(sheet(), what, row, col, matchCase, wholeCell))
        return false;
    moveCursor(row, col, false);
    return true;
}

void TBook::editFindDlg() {
    FindReplaceDialog dialog(this, false);
    dialog.exec();
}

void TBook::editReplaceDlg() {
    FindReplaceDialog dialog(this, true);
    dialog.exec();
}
