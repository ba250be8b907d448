// The editor's "Формат" menu, the formatting tool bar FrmTB and "Операции".
#include "CellOperations.h"
#include "FontDialog.h"
#include "FontSizeBox.h"
#include "FormatKinds.h"
#include "LineFit.h"
#include "Prompter.h"
#include "TBook.h"
#include "TfmFormat.h"
#include "TfmGlobOp.h"
#include "TfmKisTabl.h"
#include "TfmWidth.h"

#include <QAction>
#include <QActionGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <cmath>

namespace {

// One undo step named after the command, over the sheets of the edit group.
template <typename F> void formatStep(Workbook& book, const QString& text, F f) {
    book.undoStack().begin(text);
    book.beginUpdate();
    f();
    book.endUpdate();
    book.undoStack().end();
}

} // namespace

void TfmKisTabl::buildFormatMenu() {
    QMenu* form = m_menuBar->addMenu(QStringLiteral("Фор&мат"));
    form->menuAction()->setObjectName(QStringLiteral("Mform"));
    onCommand(addAction(form, QStringLiteral("MfCell"), QStringLiteral("Ячейки")),
              &TfmKisTabl::cmCellFormat);
    QMenu* rows = form->addMenu(QStringLiteral("Строки"));
    onCommand(addAction(rows, QStringLiteral("MrowH"), QStringLiteral("Высота")),
              [this] { cmLineSize(true); });
    onCommand(addAction(rows, QStringLiteral("MrowHavto"), QStringLiteral("Автоподбор высоты")),
              [this] { cmAutoFit(true); });
    QMenu* cols = form->addMenu(QStringLiteral("Колонки"));
    onCommand(addAction(cols, QStringLiteral("McolW"), QStringLiteral("Ширина")),
              [this] { cmLineSize(false); });
    onCommand(addAction(cols, QStringLiteral("McolWavto"), QStringLiteral("Автоподбор ширины")),
              [this] { cmAutoFit(false); });
    QAction* merge =
        addAction(form, QStringLiteral("mMergeCells"), QStringLiteral("Объединить ячейки"));
    merge->setCheckable(true);
    onCommand(merge, [this, merge] { cmMerge(merge->isChecked()); });
    onCommand(addAction(form, QStringLiteral("MFont"), QStringLiteral("Шрифт")),
              &TfmKisTabl::cmFontDialog);
    // The border panel's choices and the fill colour, as on the formatting bar.
    onCommand(addAction(form, QStringLiteral("MBorder"), QStringLiteral("Границы")),
              [this] { findChild<QMenu*>(QStringLiteral("PanelBord"))->popup(QCursor::pos()); });
    onCommand(addAction(form, QStringLiteral("Mpattern"), QStringLiteral("Цвет заливки")),
              &TfmKisTabl::cmFill);
    QMenu* align = form->addMenu(QStringLiteral("Выравнивание"));
    auto* horizontal = new QActionGroup(this);
    horizontal->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const std::pair<const char*, HAlign> hs[] = {
        {"Mleft", HAlign::Left}, {"Mright", HAlign::Right}, {"Mcenter", HAlign::Center}};
    const QStringList hCaptions{QStringLiteral("Влево"), QStringLiteral("Вправо"),
                                QStringLiteral("По центру")};
    for (int i = 0; i < 3; ++i) {
        QAction* a = addAction(align, QString::fromLatin1(hs[i].first), hCaptions[i]);
        a->setCheckable(true);
        horizontal->addAction(a);
        onCommand(a, [this, a, h = hs[i].second] {
            setSelectionFormat(
                a->text(), [&](CellFormat& f) { f.hAlign = a->isChecked() ? h : HAlign::General; });
        });
    }
    QMenu* vertical = form->addMenu(QStringLiteral("   Вертикально"));
    auto* vGroup = new QActionGroup(this);
    const std::pair<const char*, VAlign> vs[] = {
        {"imUp", VAlign::Top}, {"imCenter", VAlign::Center}, {"imDown", VAlign::Bottom}};
    const QStringList vCaptions{QStringLiteral("Вверх"), QStringLiteral("По центру"),
                                QStringLiteral("Вниз")};
    for (int i = 0; i < 3; ++i) {
        QAction* a = addAction(vertical, QString::fromLatin1(vs[i].first), vCaptions[i]);
        a->setCheckable(true);
        vGroup->addAction(a);
        onCommand(a, [this, a, v = vs[i].second] {
            setSelectionFormat(a->text(), [&](CellFormat& f) { f.vAlign = v; });
        });
    }
    QAction* wrap = addAction(form, QStringLiteral("MwordW"), QStringLiteral("Перенос"));
    wrap->setCheckable(true);
    onCommand(wrap, [this, wrap] {
        // Every sheet takes the wrap of the selected cells.
        const CellRange sel = Book->selection();
        formatStep(m_book, wrap->text(), [&] {
            for (int s = 1; s <= m_book.sheetCount(); ++s)
                m_book.setFormat(s, sel, [&](CellFormat& f) { f.wordWrap = wrap->isChecked(); });
        });
        afterEditingCommand();
    });

    QAction* ops = action(QStringLiteral("MOperations"));
    ops->setEnabled(true);
    onCommand(ops, [this] {
        CellOperations operations(m_book, m_book.activeSheetIndex(), Book->selection());
        TfmGlobOp window(operations, m_prompter, this);
        window.exec();
        afterEditingCommand();
    });
}

void TfmKisTabl::setSelectionFormat(const QString& text,
                                    const std::function<void(CellFormat&)>& change) {
    const CellRange sel = Book->selection();
    formatStep(m_book, text, [&] {
        for (int s : m_book.editGroup())
            m_book.setFormat(s, sel, change);
    });
    afterEditingCommand();
}

void TfmKisTabl::cmCellFormat() {
    const CellFormat& current = m_book.activeSheet().format(Book->activeRow(), Book->activeCol());
    TfmFormat window(current.numberFormat, current.locked, this);
    if (window.exec() != QDialog::Accepted)
        return; // "Отменить" leaves every cell as it was
    const QString format = window.formatText();
    const bool locked = window.locked();
    setSelectionFormat(QStringLiteral("Формат ячеек"), [&](CellFormat& f) {
        f.numberFormat = format;
        f.locked = locked;
    });
}

void TfmKisTabl::cmLineSize(bool height) {
    const CellRange sel = Book->selection();
    const Sheet& sh = m_book.activeSheet();
    TfmWidth window(height, height ? sh.rowHeight(sel.row1) : sh.colWidth(sel.col1), m_prompter,
                    this);
    if (window.exec() != QDialog::Accepted || window.units() < 0)
        return;
    formatStep(m_book, window.windowTitle(), [&] {
        for (int s : m_book.editGroup()) {
            Sheet& target = m_book.sheet(s);
            if (height)
                for (int r = sel.row1; r <= sel.row2; ++r)
                    target.setRowHeight(r, window.units());
            else
                for (int c = sel.col1; c <= sel.col2; ++c)
                    target.setColWidth(c, window.units());
        }
    });
    afterEditingCommand();
}

void TfmKisTabl::cmDigits(bool more) {
    int row = std::max(Book->activeRow(), m_doc.model().firstBodyRow());
    int col = std::max(Book->activeCol(), 3);
    if (row != Book->activeRow() || col != Book->activeCol())
        Book->setActiveCell(row, col);
    const Sheet& sh = m_book.activeSheet();
    const QString shown = sh.formattedText(row, col);
    const QString current = sh.format(row, col).numberFormat;
    const QString format =
        more ? FormatKinds::moreDigits(shown, current) : FormatKinds::fewerDigits(shown, current);
    formatStep(
        m_book,
        more ? QStringLiteral("Увеличить разрядность") : QStringLiteral("Уменьшить разрядность"),
        [&] {
            m_book.setNumberFormat(m_book.activeSheetIndex(), CellRange::cell(row, col), format);
        });
    afterEditingCommand();
}

void TfmKisTabl::buildFormatBar() {
    FrmTB = new QToolBar(this);
    FrmTB->setObjectName(QStringLiteral("FrmTB"));
    auto* fontBox = new QComboBox(FrmTB);
    fontBox->setObjectName(QStringLiteral("BoxFont"));
    fontBox->setToolTip(QStringLiteral("Наименование шрифта"));
    fontBox->setEditable(true);
    fontBox->addItems({QStringLiteral("Arial Cyr"), QStringLiteral("Courier New Cyr"),
                       QStringLiteral("Times New Roman Cyr")});
    FrmTB->addWidget(fontBox);
    connect(fontBox, &QComboBox::textActivated, this, [this](const QString& name) {
        setSelectionFormat(QStringLiteral("Шрифт"),
                           [&](CellFormat& f) { f.font.name = name.trimmed(); });
        Book->setFocus();
    });
    auto* sizeBox = new FontSizeBox(m_prompter, FrmTB);
    FrmTB->addWidget(sizeBox);
    connect(sizeBox, &FontSizeBox::sizeChosen, this, [this](int size) {
        setSelectionFormat(QStringLiteral("Размер шрифта"),
                           [&](CellFormat& f) { f.font.size = size; });
        Book->setFocus();
    });

    struct Button {
        const char* name;
        const char* caption;
        const char* hint;
    };
    const Button buttons[] = {
        {"Bbld", "Ж", "Полужирный"},
        {"Bital", "К", "Курсив"},
        {"BUdl", "Ч", "Подчеркнутый"},
        {"Bleft", "Влево", "Выравнивание влево"},
        {"Bcnt", "По центру", "Выравнивание по центру"},
        {"Bright", "Вправо", "Выравнивание вправо"},
        {"SBbrd", "Границы", "Границы"},
        {"SBdropdn", "▾", "Границы"},
        {"SBzal", "Заливка", "Цвет заливки"},
        {"SBrazup", "+0", "Увеличить разрядность"},
        {"SBrazdn", "-0", "Уменьшить разрядность"},
    };
    for (const Button& b : buttons) {
        auto* a = FrmTB->addAction(QString::fromUtf8(b.caption));
        a->setObjectName(QString::fromLatin1(b.name));
        a->setToolTip(QString::fromUtf8(b.hint));
    }
    for (const char* name : {"Bbld", "Bital", "BUdl", "Bleft", "Bcnt", "Bright"})
        action(QString::fromLatin1(name))->setCheckable(true);
    const std::pair<const char*, int> fonts[] = {{"Bbld", 0}, {"Bital", 1}, {"BUdl", 2}};
    for (const auto& [name, which] : fonts) {
        QAction* a = action(QString::fromLatin1(name));
        onCommand(a, [this, a, w = which] {
            setSelectionFormat(a->toolTip(), [&](CellFormat& f) {
                (w == 0 ? f.font.bold : w == 1 ? f.font.italic : f.font.underline) = a->isChecked();
            });
        });
    }
    const std::pair<const char*, const char*> aligns[] = {
        {"Bleft", "Mleft"}, {"Bcnt", "Mcenter"}, {"Bright", "Mright"}};
    for (const auto& [button, item] : aligns) {
        QAction* a = action(QString::fromLatin1(button));
        QAction* m = action(QString::fromLatin1(item));
        connect(a, &QAction::triggered, this, [a, m] {
            m->setChecked(a->isChecked());
            m->trigger();
            m->setChecked(a->isChecked());
        });
    }
    auto* panel = new QMenu(this);
    panel->setObjectName(QStringLiteral("PanelBord"));
    const std::pair<const char*, const char*> borders[] = {
        {"SBno", "Без границ"},         {"SBout", "Внешние границы"}, {"SBall", "Все границы"},
        {"SBin", "Внутренние границы"}, {"SBtop", "Верхняя граница"}, {"SBbtm", "Нижняя граница"},
        {"SBlft", "Левая граница"},     {"SBrt", "Правая граница"}};
    for (const auto& [name, caption] : borders) {
        QAction* a = panel->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        onCommand(a, [this, n = QString::fromLatin1(name)] {
            m_border = n;
            cmBorder();
        });
    }
    onCommand(action(QStringLiteral("SBdropdn")), [this, panel] { panel->popup(QCursor::pos()); });
    onCommand(action(QStringLiteral("SBbrd")), &TfmKisTabl::cmBorder);
    onCommand(action(QStringLiteral("SBzal")), &TfmKisTabl::cmFill);
    onCommand(action(QStringLiteral("SBrazup")), [this] { cmDigits(true); });
    onCommand(action(QStringLiteral("SBrazdn")), [this] { cmDigits(false); });
}

void TfmKisTabl::cmBorder() {
    const CellRange sel = Book->selection();
    formatStep(m_book, QStringLiteral("Границы"), [&] {
        for (int s : m_book.editGroup())
            FormatKinds::applyBorder(m_book, s, sel, m_border);
    });
    afterEditingCommand();
}

void TfmKisTabl::cmFill() {
    QColorDialog dialog(Qt::white, this);
    dialog.setObjectName(QStringLiteral("ClrDial"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const quint32 rgb = dialog.selectedColor().rgb() & 0xFFFFFF;
    setSelectionFormat(QStringLiteral("Цвет заливки"), [&](CellFormat& f) {
        f.pattern = rgb == 0xFFFFFF ? 0 : 1;
        f.patternFg = rgb;
        f.patternBg = 0xFFFFFF;
    });
}

void TfmKisTabl::cmFontDialog() {
    const CellFont& own = m_book.activeSheet().format(Book->activeRow(), Book->activeCol()).font;
    const CellFont& def = m_book.activeSheet().defaultFont();
    QFont font(own.name.isEmpty() ? def.name : own.name);
    font.setPointSize(int(std::lround(own.size > 0 ? own.size : (def.size > 0 ? def.size : 10))));
    font.setBold(own.bold);
    font.setItalic(own.italic);
    font.setUnderline(own.underline);
    font.setStrikeOut(own.strikeout);
    FontDialog dialog(font, own.color, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QFont chosen = dialog.currentFont();
    const quint32 color = dialog.color();
    int size = 0;
    // The box's rule holds here too: a size it would refuse is not applied.
    if (!FormatKinds::fontSizeValid(QString::number(chosen.pointSize()), &size)) {
        m_prompter.error(FormatKinds::fontSizeMessage());
        return;
    }
    setSelectionFormat(QStringLiteral("Шрифт"), [&](CellFormat& f) {
        f.font.name = chosen.family();
        f.font.size = size;
        f.font.bold = chosen.bold();
        f.font.italic = chosen.italic();
        f.font.underline = chosen.underline();
        f.font.strikeout = chosen.strikeOut();
        f.font.color = color;
        f.font.charset = 204;
    });
    refreshFormatBar();
}

void TfmKisTabl::cmAutoFit(bool rows) {
    const CellRange sel = Book->selection();
    formatStep(m_book,
               rows ? QStringLiteral("Автоподбор высоты") : QStringLiteral("Автоподбор ширины"),
               [&] {
                   for (int s : m_book.editGroup()) {
                       if (rows)
                           LineFit::rows(m_book.sheet(s), sel.row1, sel.row2);
                       else
                           LineFit::columns(m_book.sheet(s), sel.col1, sel.col2);
                   }
               });
    afterEditingCommand();
}

void TfmKisTabl::cmMerge(bool on) {
    const CellRange sel = Book->selection();
    formatStep(m_book, QStringLiteral("Объединить ячейки"), [&] {
        for (int s : m_book.editGroup()) {
            if (on)
                m_book.sheet(s).addMergedRange(sel);
            else
                m_book.sheet(s).removeMergedRanges(sel);
        }
    });
    afterEditingCommand();
    refreshFormatBar();
    Book->setFocus();
}

void TfmKisTabl::refreshFormatBar() {
    const Sheet& sh = m_book.activeSheet();
    const int row = Book->activeRow(), col = Book->activeCol();
    bool merged = false;
    for (const CellRange& m : sh.mergedRanges())
        merged = merged || m.contains(row, col);
    action(QStringLiteral("mMergeCells"))->setChecked(merged);
    action(QStringLiteral("sbMerge"))->setChecked(merged);
    if (!m_doc.model().isInstanceSheet(m_book.activeSheetIndex()))
        return;
    const CellFormat& f = sh.format(row, col);
    const CellFont& def = sh.defaultFont();
    action(QStringLiteral("Bbld"))->setChecked(f.font.bold);
    action(QStringLiteral("Bital"))->setChecked(f.font.italic);
    action(QStringLiteral("BUdl"))->setChecked(f.font.underline);
    findChild<FontSizeBox*>(QStringLiteral("BoxSize"))
        ->showSize(
            int(std::lround(f.font.size > 0 ? f.font.size : (def.size > 0 ? def.size : 10))));
    findChild<QComboBox*>(QStringLiteral("BoxFont"))
        ->setEditText(f.font.name.isEmpty() ? def.name : f.font.name);
    const std::pair<const char*, const char*> hs[] = {
        {"Bleft", "Mleft"}, {"Bcnt", "Mcenter"}, {"Bright", "Mright"}};
    const HAlign codes[] = {HAlign::Left, HAlign::Center, HAlign::Right};
    for (int i = 0; i < 3; ++i) {
        action(QString::fromLatin1(hs[i].first))->setChecked(f.hAlign == codes[i]);
        action(QString::fromLatin1(hs[i].second))->setChecked(f.hAlign == codes[i]);
    }
    action(QStringLiteral("imUp"))->setChecked(f.vAlign == VAlign::Top);
    action(QStringLiteral("imCenter"))->setChecked(f.vAlign == VAlign::Center);
    action(QStringLiteral("imDown"))->setChecked(f.vAlign == VAlign::Bottom);
    action(QStringLiteral("MwordW"))->setChecked(f.wordWrap);
}
