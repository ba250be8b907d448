#include "IdentWindowFixture.h"

#include "SpecialIdentification.h"
#include "TfmKisTabl.h"
#include "TfmSpecial.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

using namespace TableLayout;

namespace {

const QString kRegionMessage = QStringLiteral(
    "Специальная идентификация возможна\r\nтолько для строк шапки таблицы и для колонок тела "
    "таблицы");

class SpecialIdentificationTest : public IdentWindowFixture {
protected:
    // Three instance sheets, row names down to row 104, sheet 2 active.
    void SetUp() override {
        IdentWindowFixture::SetUp();
        withInstances(3);
        for (int s = 1; s <= m_model.rowIdentSheet(); ++s)
            for (int r = 101; r <= 104; ++r)
                m_book.setText(s, r, kSideCol, QStringLiteral("Строка %1").arg(r));
        showSheet(2);
    }
    SpecialLine lineAt(int row, int col) {
        m_control.setActiveCell(row, col);
        const std::optional<SpecialLine> line = m_special.begin();
        EXPECT_TRUE(line.has_value());
        return line.value_or(SpecialLine{});
    }
    int colKind(int col) const { return m_model.columnSpecialKind(col); }
    QString cell(int sheet, int row, int col) const { return m_book.sheet(sheet).text(row, col); }

    SpecialIdentification m_special{m_ctx, m_sheets};
};

} // namespace

TEST_F(SpecialIdentificationTest, NumberingABodyColumnFillsEveryInstanceSheet) {
    m_book.setInEditGroup(1, true);
    const SpecialLine line = lineAt(103, 4);
    EXPECT_FALSE(line.headerRow);
    EXPECT_EQ(line.index, 4);
    EXPECT_EQ(SpecialIdentification::dialogCaption(line),
              QStringLiteral("Специальная идентификация графы"));
    m_special.apply(line, SpecialIdentification::kNumbering, 5);

    EXPECT_EQ(colKind(4), 15);
    EXPECT_FALSE(m_model.isDataColumn(4));
    for (int s = 1; s <= 3; ++s) {
        for (int r = 101; r <= 104; ++r) {
            EXPECT_EQ(m_book.sheet(s).type(r, 4), 2) << "a text";
            EXPECT_EQ(cell(s, r, 4), QString::number((r - 100) * 5)) << s << ":" << r;
            EXPECT_EQ(m_book.sheet(s).format(r, 4).hAlign, HAlign::Right);
        }
        EXPECT_TRUE(m_book.sheet(s).text(105, 4).isEmpty()) << "past the last used row";
        EXPECT_TRUE(m_book.sheet(s).text(100, 4).isEmpty()) << "the header is no body";
    }
    EXPECT_TRUE(cell(m_model.rowIdentSheet(), 101, 4).isEmpty());
    EXPECT_EQ(m_control.activeRow(), 101);
    EXPECT_EQ(m_control.activeCol(), 4);
    EXPECT_EQ(m_book.activeSheetIndex(), 2);
    EXPECT_FALSE(m_book.isInEditGroup(1)) << "the edit group is the active sheet again";
    EXPECT_FALSE(m_book.isInEditGroup(3));
}

TEST_F(SpecialIdentificationTest, NumberingAHeaderRowStartsAtTheSideColumn) {
    m_model.setHeaderRows(2);
    m_book.setText(1, 100, 6, QStringLiteral("Графа"));
    const SpecialLine line = lineAt(100, 3);
    EXPECT_TRUE(line.headerRow);
    EXPECT_EQ(line.index, 100);
    EXPECT_EQ(SpecialIdentification::dialogCaption(line),
              QStringLiteral("Специальная идентификация строки шапки"));
    m_special.apply(line, SpecialIdentification::kNumbering, 2);

    EXPECT_EQ(m_model.headerRowSpecialKind(100), 12);
    EXPECT_EQ(colKind(3), 0);
    for (int s = 1; s <= 3; ++s) {
        EXPECT_EQ(cell(s, 100, 2), QStringLiteral("2"));
        EXPECT_EQ(cell(s, 100, 3), QStringLiteral("4"));
        EXPECT_EQ(cell(s, 100, 4), QStringLiteral("6"));
        EXPECT_EQ(cell(s, 100, 5), QStringLiteral("8"));
        EXPECT_EQ(cell(s, 100, 6), QStringLiteral("10")) << "up to the last used column";
        EXPECT_EQ(m_book.sheet(s).format(100, 4).hAlign, HAlign::Center);
        EXPECT_TRUE(cell(s, 101, 3).isEmpty());
    }
    EXPECT_EQ(m_control.activeRow(), 100);
    EXPECT_EQ(m_control.activeCol(), kSideCol);
}

TEST_F(SpecialIdentificationTest, CodeKindsCopyTheDisplayedCodesAndTheUnit) {
    const int rows = m_model.rowIdentSheet();
    m_book.setText(rows, 101, rowSlotColumn(Slot::IndicatorShown), QStringLiteral("В-1"));
    m_book.setNumber(rows, 102, rowSlotColumn(Slot::IndicatorShown), -25);
    m_book.setNumber(rows, 102, rowSlotColumn(Slot::IndicatorCode), 25);
    m_book.setNumber(rows, 104, rowSlotColumn(Slot::Cut2), 40);
    m_book.setText(rows, 103, rowSlotColumn(Slot::Unit), QStringLiteral("коек"));
    m_book.setText(1, 103, 3, QStringLiteral("старое"));

    const SpecialLine line = lineAt(102, 3);
    m_special.apply(line, int(SpecialKind::IndicatorCode), 1);
    EXPECT_EQ(colKind(3), int(SpecialKind::IndicatorCode));
    for (int s = 1; s <= 3; ++s) {
        EXPECT_EQ(cell(s, 101, 3), QStringLiteral("В-1"));
        EXPECT_EQ(m_book.sheet(s).number(102, 3), -25) << "the displayed code, not 25";
        EXPECT_TRUE(cell(s, 103, 3).isEmpty()) << "a row without a code";
    }

    m_special.apply(lineAt(101, 3), SpecialKind::Cut1Code + 1, 1);
    EXPECT_EQ(colKind(3), 7);
    EXPECT_EQ(m_book.sheet(3).number(104, 3), 40);
    EXPECT_TRUE(cell(3, 101, 3).isEmpty());

    m_special.apply(lineAt(101, 5), SpecialKind::Unit, 1);
    EXPECT_EQ(cell(1, 103, 5), QStringLiteral("коек"));

    // A header row takes the codes of its columns from the column identification sheet.
    const int cols = m_model.colIdentSheet();
    m_book.setText(cols, m_model.colSlotRow(Slot::Object), 4, QStringLiteral("812"));
    m_book.setText(cols, m_model.colSlotRow(Slot::Unit), 5, QStringLiteral("руб."));
    m_special.apply(lineAt(100, 4), SpecialKind::ObjectCode, 1);
    EXPECT_EQ(m_model.headerRowSpecialKind(100), int(SpecialKind::ObjectCode));
    EXPECT_EQ(cell(2, 100, 4), QStringLiteral("812"));
    m_special.apply(lineAt(100, 4), SpecialKind::Unit, 1);
    EXPECT_EQ(cell(2, 100, 5), QStringLiteral("руб."));
    EXPECT_TRUE(cell(2, 100, 4).isEmpty());
}

TEST_F(SpecialIdentificationTest, RemovingTheKindClearsTheLineButKeepsArbitraryCodes) {
    const SpecialLine numbered = lineAt(101, 3);
    m_special.apply(numbered, SpecialIdentification::kNumbering, 1);
    m_special.apply(lineAt(101, 3), -1, 1);
    EXPECT_EQ(colKind(3), 0);
    for (int s = 1; s <= 3; ++s)
        for (int r = 101; r <= 104; ++r)
            EXPECT_TRUE(cell(s, r, 3).isEmpty()) << s << ":" << r;
    EXPECT_EQ(cell(1, 101, 2), QStringLiteral("Строка 101")) << "the side stays";

    m_book.setText(1, 102, 4, QStringLiteral("А7"));
    m_special.apply(lineAt(101, 4), SpecialIdentification::kArbitrary, 1);
    EXPECT_EQ(colKind(4), 10);
    EXPECT_EQ(cell(1, 102, 4), QStringLiteral("А7")) << "the line is only marked";
    m_special.apply(lineAt(101, 4), -1, 1);
    EXPECT_EQ(cell(1, 102, 4), QStringLiteral("А7"));
    EXPECT_EQ(colKind(4), 0) << "the mark goes";
}

TEST_F(SpecialIdentificationTest, OutsideHeaderRowsAndBodyColumnsNothingHappens) {
    for (const auto& [row, col] : {std::pair{102, 2}, std::pair{100, 1}, std::pair{99, 3}}) {
        m_prompter.clear();
        m_control.setActiveCell(row, col);
        EXPECT_FALSE(m_special.begin().has_value()) << row << ":" << col;
        EXPECT_EQ(m_prompter.texts(), QStringList{kRegionMessage});
    }

    // Side identification shows slots in the columns; header identification shows the
    // table's own columns.
    m_prompter.clear();
    showSheet(m_model.rowIdentSheet());
    m_control.setActiveCell(101, rowSlotColumn(Slot::Object));
    EXPECT_FALSE(m_special.begin().has_value());
    EXPECT_EQ(m_prompter.texts(), QStringList{kRegionMessage});
    showSheet(m_model.colIdentSheet());
    EXPECT_EQ(lineAt(m_model.colSlotRow(Slot::Object), 5).index, 5);
}

TEST_F(SpecialIdentificationTest, TheDialogShowsTheStoredKindAndItsButtonsApply) {
    m_book.setNumber(m_model.colIdentSheet(), 1, 5, 17);
    {
        TfmSpecial dialog(m_special, lineAt(101, 5));
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Специальная идентификация графы"));
        ASSERT_EQ(dialog.rgSpIdent->buttons().size(), 11);
        EXPECT_EQ(dialog.rgSpIdent->button(0)->text(), QStringLiteral("Номер строки/графы"));
        EXPECT_EQ(dialog.rgSpIdent->button(10)->text(), QStringLiteral("Произвольный код"));
        EXPECT_EQ(dialog.choice(), 0);
        EXPECT_EQ(dialog.SpEdit->value(), 7);
        EXPECT_TRUE(dialog.SpEdit->isEnabled());
        EXPECT_EQ(dialog.SpEdit->maximum(), 1000);
        dialog.rgSpIdent->button(3)->click();
        EXPECT_FALSE(dialog.SpEdit->isEnabled());
        dialog.rgSpIdent->button(0)->click();
        dialog.SpEdit->setValue(3);
        EXPECT_EQ(dialog.btOK->text(), QStringLiteral("Применить"));
        dialog.btOK->click();
        EXPECT_EQ(colKind(5), 13);
        EXPECT_EQ(cell(3, 104, 5), QStringLiteral("12"));
    }
    {
        TfmSpecial dialog(m_special, lineAt(104, 5));
        EXPECT_EQ(dialog.SpEdit->value(), 3);
        EXPECT_EQ(dialog.btCancel->text(), QStringLiteral("Убрать"));
        dialog.btCancel->click();
        EXPECT_EQ(dialog.choice(), -1);
        EXPECT_EQ(colKind(5), 0);
        EXPECT_TRUE(cell(3, 104, 5).isEmpty());
    }
    {
        TfmSpecial dialog(m_special, lineAt(104, 5));
        EXPECT_EQ(dialog.choice(), -1) << "no kind";
        dialog.rgSpIdent->button(2)->click();
        dialog.reject();
        EXPECT_EQ(colKind(5), 0) << "Escape changes nothing";
    }
    m_book.setNumber(m_model.colIdentSheet(), 1, 6, 5000);
    TfmSpecial damaged(m_special, lineAt(101, 6));
    EXPECT_EQ(damaged.choice(), 0);
    EXPECT_EQ(damaged.SpEdit->value(), 1000) << "a stored step beyond the range is capped";
}

TEST_F(SpecialIdentificationTest, TheTableEditorRefusesOutsideTheRegion) {
    const int table = newTable();
    TfmKisTabl window(dm(), m_prompter);
    window.openTable(TableRef::read(dm(), table).value_or(TableRef{}));
    window.Book->setActiveCell(101, kSideCol);
    // A dialog would wait for the user: close whatever opens.
    QTimer::singleShot(0, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    window.action(QStringLiteral("Msved"))->trigger();
    EXPECT_EQ(m_prompter.texts(), QStringList{kRegionMessage});
}
