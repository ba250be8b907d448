#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "ScriptedPrompter.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

using namespace TableLayout;

namespace {

class IdentModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitialWorkbook::build(m_book);
        m_model.readGeometry();
    }
    int rows() const { return m_model.rowIdentSheet(); }
    int cols() const { return m_model.colIdentSheet(); }
    void rowSlot(int row, Slot s, double v) { m_book.setNumber(rows(), row, rowSlotColumn(s), v); }
    void colSlot(int col, Slot s, double v) {
        m_book.setNumber(cols(), m_model.colSlotRow(s), col, v);
    }
    void title(int sheet, TitleRow r, double v, int col = kTitleValueCol) {
        m_book.setNumber(sheet, int(r), col, v);
    }

    Workbook m_book;
    ScriptedPrompter m_prompter;
    IdentModel m_model{m_book, m_prompter};
};

} // namespace

TEST(LayoutCell, FieldsAreReadTrimmedAndWrittenInPlace) {
    EXPECT_EQ(IdentModel::layoutField(QStringLiteral("3     12   "), 1), 3);
    EXPECT_EQ(IdentModel::layoutField(QStringLiteral("3     12   "), 7), 12);
    EXPECT_EQ(IdentModel::layoutField(QStringLiteral("3"), 7), 0);
    EXPECT_EQ(IdentModel::withLayoutField(QStringLiteral("1     1"), 7, 15),
              QStringLiteral("1     15   "));
    EXPECT_EQ(IdentModel::withLayoutField(QStringLiteral("1     15   "), 1, 9),
              QStringLiteral("9     15   "));
    EXPECT_EQ(IdentModel::withLayoutField(QString(), 7, 2), QStringLiteral("      2    "));
}

TEST_F(IdentModelTest, InitialWorkbookHasTheFixedLayout) {
    ASSERT_EQ(m_book.sheetCount(), 3);
    EXPECT_EQ(m_book.sheet(1).text(1, 1).left(7), QStringLiteral("1     1"));
    EXPECT_EQ(m_model.titleRows(), 1);
    EXPECT_EQ(m_model.lastHeaderRow(), 100);
    EXPECT_EQ(m_model.firstBodyRow(), 101);
    for (int s = 1; s <= 3; ++s) {
        const Sheet& sheet = m_book.sheet(s);
        EXPECT_EQ(sheet.defaultFont().name, QStringLiteral("Times New Roman"));
        EXPECT_EQ(sheet.defaultFont().size, 10);
        EXPECT_EQ(sheet.defaultFont().charset, 204);
        EXPECT_FALSE(sheet.options().showZeros);
        EXPECT_TRUE(sheet.colHidden(1));
        EXPECT_TRUE(sheet.rowHidden(50));
        EXPECT_FALSE(sheet.rowHidden(99));
        EXPECT_EQ(sheet.colWidth(2), 28 * 256);
        EXPECT_EQ(sheet.rowHeading(100), QStringLiteral("---"));
    }
    const int settings[] = {0, 0, 0, 0, 0, 0, 1, 1, 2, 0};
    for (int r = 2; r <= 11; ++r)
        EXPECT_EQ(m_book.sheet(2).number(r, 1), settings[r - 2]) << "row " << r;

    const Sheet& rowSheet = m_book.sheet(2);
    EXPECT_TRUE(rowSheet.rowHidden(100));
    EXPECT_FALSE(rowSheet.rowHidden(91));
    EXPECT_EQ(rowSheet.text(91, 2), QStringLiteral("Идентификация боковика таблицы"));
    EXPECT_EQ(rowSheet.format(91, 2).font.size, 12);
    EXPECT_EQ(rowSheet.text(99, 3), QStringLiteral("Скрытые\r\nстроки"));
    EXPECT_EQ(rowSheet.text(99, 22), QStringLiteral("Тип P4"));
    EXPECT_EQ(rowSheet.format(99, 10).patternFg, 0xC0C0C0u);
    EXPECT_TRUE(rowSheet.format(99, 10).wordWrap);
    EXPECT_EQ(rowSheet.rowHeight(99), 2 * rowSheet.defaultRowHeight());
    EXPECT_EQ(rowSheet.colWidth(12), 12 * 256);
    EXPECT_TRUE(rowSheet.colHidden(4));  // indicator internal code
    EXPECT_FALSE(rowSheet.colHidden(5)); // indicator displayed code
    EXPECT_TRUE(rowSheet.colHidden(18)); // object type

    const Sheet& colSheet = m_book.sheet(3);
    EXPECT_EQ(colSheet.text(91, 2), QStringLiteral("Идентификация шапки таблицы"));
    EXPECT_EQ(colSheet.text(101, 2), QStringLiteral("Скрытые колонки"));
    EXPECT_EQ(colSheet.text(109, 2), QStringLiteral("           разрез 1"));
    EXPECT_EQ(colSheet.text(120, 2), QStringLiteral("Тип P4"));
    EXPECT_EQ(colSheet.format(120, 2).pattern, 1);
    EXPECT_EQ(m_book.activeSheetIndex(), 1);
    EXPECT_EQ(m_book.sheet(1).options().activeRow, 101);
}

TEST_F(IdentModelTest, RowWinsOverColumnWhichWinsOverTitle) {
    m_book.insertSheet(1); // two instance sheets now
    title(1, TitleRow::Indicator, 11);
    title(2, TitleRow::Indicator, 12);
    title(2, TitleRow::Object, 500);
    title(2, TitleRow::Object, 3, kTitleExtraCol);
    colSlot(4, Slot::Object, 600);
    colSlot(4, Slot::ObjectType, 99);
    colSlot(5, Slot::IndicatorCode, 21);
    rowSlot(102, Slot::IndicatorCode, 31);
    rowSlot(103, Slot::Object, 700);
    rowSlot(103, Slot::ObjectType, 2);

    EXPECT_EQ(m_model.identify(1, 101, 3).indicator, 11);
    EXPECT_EQ(m_model.identify(2, 101, 3).indicator, 12);
    EXPECT_EQ(m_model.identify(2, 101, 5).indicator, 21);
    EXPECT_EQ(m_model.identify(2, 102, 5).indicator, 31);
    EXPECT_EQ(m_model.identify(2, 101, 3).object, (ElementRef{500, 3}));
    EXPECT_EQ(m_model.identify(2, 101, 4).object, (ElementRef{600, 99}));
    EXPECT_EQ(m_model.identify(2, 103, 4).object, (ElementRef{700, 2}));
    EXPECT_EQ(m_model.identify(1, 103, 3).object, (ElementRef{700, 2}));
}

TEST_F(IdentModelTest, PeriodsTakeTheFirstNonBlankBoundWithItsKind) {
    m_book.setEntry(1, int(TitleRow::PeriodStart), kTitleValueCol, QStringLiteral("2003"));
    m_book.setEntry(cols(), m_model.colSlotRow(Slot::PeriodStart), 4, QStringLiteral("1.3.2003"));
    m_book.setNumberFormat(cols(), CellRange::cell(m_model.colSlotRow(Slot::PeriodStart), 4),
                           QStringLiteral("mmm/yy"));
    const CellIdent plain = m_model.identify(1, 101, 3);
    EXPECT_EQ(plain.start.entry, QStringLiteral("2003"));
    EXPECT_TRUE(plain.start.isYear);
    EXPECT_TRUE(plain.end.blank());
    const CellIdent dated = m_model.identify(1, 101, 4);
    EXPECT_FALSE(dated.start.isYear);
    EXPECT_FALSE(dated.start.blank());
}

TEST_F(IdentModelTest, AnOversizedCodeIsReportedAndCountsAsZero) {
    rowSlot(101, Slot::IndicatorCode, 3e9);
    title(1, TitleRow::Indicator, 8);
    EXPECT_EQ(m_model.identify(1, 101, 3).indicator, 8);
    EXPECT_TRUE(m_prompter.texts().contains(QStringLiteral("Слишком большое вещественное число")));
}

TEST_F(IdentModelTest, GeometryFollowsTheLayoutCellOnEveryInstanceSheet) {
    m_book.insertSheet(1);
    m_model.setTitleRows(3);
    m_model.setHeaderRows(4);
    EXPECT_EQ(IdentModel::layoutField(m_book.sheet(2).text(1, 1), 1), 3);
    EXPECT_EQ(IdentModel::layoutField(m_book.sheet(1).text(1, 1), 7), 4);
    EXPECT_TRUE(m_book.sheet(3).text(1, 1).isEmpty()) << "identification sheets keep theirs";
    IdentModel other(m_book, m_prompter);
    other.readGeometry();
    EXPECT_EQ(other.firstShownTitleRow(), 97);
    EXPECT_EQ(other.lastHeaderRow(), 103);
    EXPECT_EQ(other.colSlotRow(Slot::Unit), 126);

    m_book.setText(1, 1, 1, QStringLiteral("junk"));
    other.readGeometry();
    EXPECT_EQ(other.titleRows(), 1);
    EXPECT_EQ(other.headerRows(), 1);
}

TEST_F(IdentModelTest, SpecialColumnsAndMarkersComeFromTheIdentificationSheets) {
    m_book.setNumber(cols(), 1, 7, 10);
    m_book.setNumber(cols(), 100, 1, 13);
    m_book.setText(rows(), 104, rowSlotColumn(Slot::HideMarker), QStringLiteral(" Прятать "));
    m_book.setText(cols(), m_model.colSlotRow(Slot::HideMarker), 6, QStringLiteral("Прятать"));
    EXPECT_FALSE(m_model.isDataColumn(7));
    EXPECT_TRUE(m_model.isDataColumn(8));
    EXPECT_EQ(m_model.headerRowSpecialKind(100), 13);
    EXPECT_TRUE(m_model.rowMarkedHidden(104));
    EXPECT_FALSE(m_model.rowMarkedHidden(105));
    EXPECT_TRUE(m_model.colMarkedHidden(6));
    m_model.setExtraTextLines(500);
    EXPECT_EQ(m_model.extraTextLines(), 69);
}
