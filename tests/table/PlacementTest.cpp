#include "TableDbFixture.h"

#include "ExchangeView.h"
#include "IdentModel.h"
#include "IdentTest.h"
#include "InitialWorkbook.h"
#include "InstanceSheets.h"
#include "Placement.h"
#include "ProtocolText.h"
#include "StoragePeriods.h"
#include "TableRef.h"
#include "model/Workbook.h"

using namespace TableLayout;

namespace {

// A new table's workbook over a fact database with a small directory and storage years.
class PlacementTest : public TableDbFixture {
protected:
    static void SetUpTestSuite() {
        TableDbFixture::SetUpTestSuite();
        seedSmallDirectory();
        dbtest::exec(fact(),
                     QStringLiteral("UPDATE NAST SET GODDOLG = '20032004', GODOPER = '2004'"));
        dbtest::exec(fact(), QStringLiteral("UPDATE POK SET EIZ = 'коек' WHERE KODELMT = 25"));
    }
    void SetUp() override {
        InitialWorkbook::build(m_book);
        m_model.readGeometry();
        m_sheets.setTitleModeActive(true);
        m_book.undoStack().setEnabled(true);
    }
    // Instance sheets up to `count`, each laid out like sheet 1.
    void withInstances(int count) {
        while (m_model.instanceCount() < count) {
            m_book.insertSheet(1);
            m_book.setText(1, kLayoutRow, kLayoutCol, entry(2, kLayoutRow, kLayoutCol));
        }
    }
    int rowSheet() const { return m_model.rowIdentSheet(); }
    int colSheet() const { return m_model.colIdentSheet(); }
    int body() const { return m_model.firstBodyRow(); }
    QString entry(int sheet, int row, int col) const { return m_book.sheet(sheet).entry(row, col); }
    QString rowEntry(int row, Slot s) const { return entry(rowSheet(), row, rowSlotColumn(s)); }
    QString colEntry(int col, Slot s) const {
        return entry(colSheet(), m_model.colSlotRow(s), col);
    }
    void setRow(int row, Slot s, double v) {
        m_book.setNumber(rowSheet(), row, rowSlotColumn(s), v);
    }
    void setCol(int col, Slot s, double v) {
        m_book.setNumber(colSheet(), m_model.colSlotRow(s), col, v);
    }

    static PickedEntry indicator(int code, const QString& alt, const QString& name,
                                 const QString& unit = {}) {
        PickedEntry e;
        e.code = code;
        e.shown = PickedEntry::displayedCode(code, alt);
        e.name = name;
        e.unit = unit;
        return e;
    }
    static PickedEntry node(int code, const QString& name, int depth = 1, int directory = 1) {
        PickedEntry e;
        e.code = code;
        e.directory = directory;
        e.depth = depth;
        e.name = name;
        return e;
    }
    static PickedEntry period(const QString& value, const QString& name, bool monthly) {
        PickedEntry e;
        e.value = value;
        e.name = name;
        e.monthly = monthly;
        return e;
    }
    static QList<PickedEntry> threeIndicators() {
        return {indicator(25, {}, QStringLiteral("Коек всего"), QStringLiteral("коек")),
                indicator(26, QStringLiteral("В-1"), QStringLiteral("Врачей")),
                indicator(25, {}, QStringLiteral("Коек всего"), QStringLiteral("коек"))};
    }
    PlacementResult place(PlacementRequest q) {
        Placement placement(m_model, m_prompter, m_sheets);
        return placement.place(q);
    }
    // The identification test's protocol lines over the workbook as it is now.
    int identErrors() {
        ExchangeView view;
        ProtocolText protocol;
        LoadStoragePeriods(dm());
        IdentTest test(m_model, dm(), m_prompter, view, protocol);
        const int lines = test.run(QStringLiteral("Т"));
        m_lastProtocol = protocol.text;
        return lines;
    }

    QString m_lastProtocol;
    Workbook m_book;
    IdentModel m_model{m_book, m_prompter};
    TableRef m_table;
    InstanceSheets m_sheets{dm(), m_model, m_prompter, m_table};
};

// One case of the table: what a placement of k entries does to the lines around it.
struct ModeCase {
    const char* name;
    IdentMode region;
    int mode;
    int k;
    bool titleKindSet;
    int linesAdded;  // rows (side), columns (header)
    int sheetsAdded; // instance sheets
    int headerRowsAdded;
    int titleRowsAdded;
};

class PlacementModes : public PlacementTest, public ::testing::WithParamInterface<ModeCase> {};

// Every sheet keeps a marker in the line after the target; afterwards the marker must sit
// at the same shifted place on every sheet, so no sheet was left behind.
TEST_P(PlacementModes, InsertsOnEverySheetAlikeAndUpdatesTheLayoutCell) {
    const ModeCase& c = GetParam();
    withInstances(2);
    m_model.readGeometry();
    const int r = body(), col = kFirstDataCol;
    setRow(r, Slot::IndicatorCode, 25);
    setRow(r + 1, Slot::IndicatorCode, 26);
    setCol(col, Slot::IndicatorCode, 25);
    setCol(col + 1, Slot::IndicatorCode, 26);
    for (int s = 1; s <= m_model.instanceCount(); ++s) {
        m_book.setText(s, r + 1, kSideCol, QStringLiteral("ниже"));
        m_book.setText(s, m_model.lastHeaderRow(), col + 1, QStringLiteral("правее"));
        m_book.setNumber(s, r + 1, col + 1, 7);
        if (c.titleKindSet)
            m_book.setText(s, int(TitleRow::Kind), kTitleValueCol, QStringLiteral("Показатель"));
    }
    m_book.setActiveSheet(m_model.instanceCount());
    const int headerBefore = m_model.headerRows(), titleBefore = m_model.titleRows();
    const int instancesBefore = m_model.instanceCount();
    const int errorsBefore = identErrors();

    PlacementRequest q;
    q.kind = PickKind::Indicator;
    q.region = c.region;
    q.mode = c.mode;
    q.line = c.region == IdentMode::Side ? r : col;
    q.slot = Slot::IndicatorShown;
    q.titleRow = TitleRow::Indicator;
    q.entries = threeIndicators().mid(0, c.k);
    ASSERT_TRUE(place(q).placed);

    m_model.readGeometry();
    EXPECT_EQ(m_model.instanceCount() - instancesBefore, c.sheetsAdded);
    EXPECT_EQ(m_model.headerRows() - headerBefore, c.headerRowsAdded);
    EXPECT_EQ(m_model.titleRows() - titleBefore, c.titleRowsAdded);
    for (int s = 1; s <= m_model.instanceCount(); ++s)
        EXPECT_EQ(IdentModel::layoutField(entry(s, kLayoutRow, kLayoutCol), 7),
                  m_model.headerRows())
            << s;
    const int dh = c.headerRowsAdded;
    if (c.region == IdentMode::Side) {
        const int below = r + 1 + c.linesAdded + dh;
        EXPECT_EQ(m_model.rowCode(below, Slot::IndicatorCode), 26);
        for (int s = 1; s <= m_model.instanceCount(); ++s) {
            EXPECT_EQ(entry(s, below, kSideCol), QStringLiteral("ниже")) << s;
            EXPECT_EQ(entry(s, below, col + 1), QStringLiteral("7")) << s;
        }
    } else if (c.region == IdentMode::Header) {
        const int right = col + 1 + c.linesAdded;
        EXPECT_EQ(m_model.colCode(right, Slot::IndicatorCode), 26);
        for (int s = 1; s <= m_model.instanceCount(); ++s) {
            EXPECT_EQ(entry(s, r + 1 + dh, right), QStringLiteral("7")) << s;
            EXPECT_EQ(entry(s, m_model.lastHeaderRow() - dh, right), QStringLiteral("правее")) << s;
        }
        // The row identification sheet keeps its columns: they are its slots.
        EXPECT_EQ(m_model.rowCode(r + 1 + dh, Slot::IndicatorCode), 26);
    }
    // The table names no objects or periods, which the test says once a sheet; the placement
    // itself must add nothing to say.
    EXPECT_EQ(identErrors(), errorsBefore / instancesBefore * m_model.instanceCount())
        << m_lastProtocol.toStdString();
    // One step undoes the placement whole.
    EXPECT_TRUE(m_book.undoStack().undo());
    m_model.readGeometry();
    EXPECT_EQ(m_model.instanceCount(), instancesBefore);
    EXPECT_EQ(m_model.headerRows(), headerBefore);
    EXPECT_EQ(m_model.titleRows(), titleBefore);
    EXPECT_EQ(m_model.rowCode(r + 1, Slot::IndicatorCode), 26);
    EXPECT_EQ(m_model.colCode(col + 1, Slot::IndicatorCode), 26);
}

INSTANTIATE_TEST_SUITE_P(
    ModesByRegion, PlacementModes,
    ::testing::Values(ModeCase{"SidePut", IdentMode::Side, 0, 1, false, 0, 0, 0, 0},
                      ModeCase{"SideExtend", IdentMode::Side, 1, 3, false, 2, 0, 0, 0},
                      ModeCase{"SideExpand", IdentMode::Side, 2, 1, false, 1, 0, 0, 0},
                      ModeCase{"HeaderPut", IdentMode::Header, 0, 1, false, 0, 0, 0, 0},
                      ModeCase{"HeaderExtend", IdentMode::Header, 1, 2, false, 1, 0, 1, 0},
                      ModeCase{"HeaderExpandOne", IdentMode::Header, 2, 1, false, 1, 0, 0, 0},
                      ModeCase{"HeaderExpand", IdentMode::Header, 2, 3, false, 3, 0, 1, 0},
                      ModeCase{"TitlePut", IdentMode::Title, 0, 3, true, 0, 2, 0, 0},
                      ModeCase{"TitleNoKind", IdentMode::Title, 1, 3, false, 0, 2, 0, 0},
                      ModeCase{"TitleExtend", IdentMode::Title, 1, 2, true, 0, 2, 0, 1},
                      ModeCase{"TitleExpand", IdentMode::Title, 2, 2, true, 0, 4, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlacementTest, PutOfThreeIndicatorsWritesCodesAndClearsTheRowsItTakes) {
    withInstances(2);
    m_model.readGeometry();
    const int r = body();
    setRow(r, Slot::Object, 77);
    setRow(r, Slot::ObjectType, 99);
    setRow(r, Slot::Level, 3);
    m_book.setEntry(rowSheet(), r, rowSlotColumn(Slot::PeriodStart), QStringLiteral("2004"));

    PlacementRequest q;
    q.line = r;
    q.slot = Slot::IndicatorShown;
    q.entries = threeIndicators();
    const PlacementResult res = place(q);
    ASSERT_TRUE(res.placed);
    EXPECT_TRUE(m_prompter.shown().isEmpty());
    EXPECT_EQ(res.row, r);
    EXPECT_EQ(res.col, 5);
    const QStringList shown{QStringLiteral("-25"), QStringLiteral("В-1"), QStringLiteral("-25")};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m_model.rowCode(r + i, Slot::IndicatorCode), q.entries[i].code);
        EXPECT_EQ(rowEntry(r + i, Slot::IndicatorShown), shown[i]);
        EXPECT_EQ(m_model.rowCode(r + i, Slot::Level), 1);
        for (int s : {1, 2, rowSheet()})
            EXPECT_EQ(entry(s, r + i, kSideCol), q.entries[i].name) << s;
    }
    EXPECT_EQ(rowEntry(r, Slot::Unit), QStringLiteral("коек"));
    EXPECT_EQ(rowEntry(r + 1, Slot::Unit), QString());
    EXPECT_EQ(rowEntry(r, Slot::Object), QString());
    EXPECT_EQ(rowEntry(r, Slot::ObjectType), QString());
    EXPECT_EQ(rowEntry(r, Slot::PeriodStart), QString());
    EXPECT_EQ(entry(colSheet(), r, kSideCol), IdentModel::colSlotCaption(Slot::HideMarker))
        << "the column identification sheet keeps its own side";
}

// "Поставить" keeps overwriting the rows below the clicked one (users fill a side from
// the top that way), but not the identification of those rows unasked.
TEST_F(PlacementTest, PutAsksBeforeOverwritingIdentifiedRowsOrColumnsBelow) {
    const int r = body();
    setRow(r, Slot::IndicatorCode, 26); // the clicked row itself is the target
    setRow(r + 2, Slot::Object, 77);
    PlacementRequest q;
    q.line = r;
    q.entries = threeIndicators();
    m_prompter.answer(Answer::No);
    EXPECT_FALSE(place(q).placed);
    EXPECT_EQ(m_prompter.texts(), QStringList{Placement::overwriteRowsQuestion()});
    EXPECT_EQ(m_prompter.shown().first().caption, QStringLiteral("Подтверждение"));
    EXPECT_EQ(m_model.rowCode(r + 2, Slot::Object), 77);
    EXPECT_EQ(m_model.rowCode(r, Slot::IndicatorCode), 26);

    m_prompter.clear();
    m_prompter.answer(Answer::Yes);
    EXPECT_TRUE(place(q).placed);
    EXPECT_EQ(m_model.rowCode(r + 2, Slot::Object), 0);
    EXPECT_EQ(m_model.rowCode(r + 2, Slot::IndicatorCode), 25);

    const int c = kFirstDataCol;
    setCol(c + 1, Slot::Cut1, 40);
    q.region = IdentMode::Header;
    q.line = c;
    m_prompter.clear();
    m_prompter.answer(Answer::No);
    EXPECT_FALSE(place(q).placed);
    EXPECT_EQ(m_prompter.texts(), QStringList{Placement::overwriteColsQuestion()});
    EXPECT_EQ(m_model.colCode(c + 1, Slot::Cut1), 40);
    EXPECT_EQ(m_model.colCode(c, Slot::IndicatorCode), 0);
}

TEST_F(PlacementTest, ExtendByTwoNodesAppendsNamesAndTheNextRowKeepsItsIdentification) {
    withInstances(2);
    m_model.readGeometry();
    const int r = body();
    for (int s : {1, 2, rowSheet()})
        m_book.setText(s, r, kSideCol, QStringLiteral("S"));
    setRow(r, Slot::IndicatorCode, 25);
    setRow(r + 1, Slot::IndicatorCode, 26);
    setRow(r + 1, Slot::Level, 2);

    PlacementRequest q;
    q.kind = PickKind::Node;
    q.mode = 1;
    q.line = r;
    q.slot = Slot::Cut1;
    q.transferNames = false;
    q.entries = {node(40, QStringLiteral("Центральный")), node(41, QStringLiteral("Северный"))};
    ASSERT_TRUE(place(q).placed);
    // Without name transfer nodes still name the identification sheet's rows.
    EXPECT_EQ(entry(rowSheet(), r, kSideCol), QStringLiteral("S / Центральный"));
    EXPECT_EQ(entry(rowSheet(), r + 1, kSideCol), QStringLiteral("S / Северный"));
    EXPECT_EQ(entry(1, r + 1, kSideCol), QStringLiteral("S"));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(m_model.rowCode(r + i, Slot::IndicatorCode), 25);
        EXPECT_EQ(m_model.rowCode(r + i, Slot::Cut1), q.entries[i].code);
        EXPECT_EQ(m_model.rowCode(r + i, Slot::Cut1Type), 1);
    }
    EXPECT_EQ(m_model.rowCode(r + 2, Slot::IndicatorCode), 26);
    EXPECT_EQ(m_model.rowCode(r + 2, Slot::Level), 2);
    EXPECT_EQ(m_model.rowCode(r + 2, Slot::Cut1), 0);
}

TEST_F(PlacementTest, ExpandByOneNodeInsertsOneRowAtTheNodesDepth) {
    const int r = body();
    m_book.setText(rowSheet(), r, kSideCol, QStringLiteral("Всего"));
    setRow(r, Slot::IndicatorCode, 25);
    setRow(r, Slot::Level, 1);
    setRow(r + 1, Slot::IndicatorCode, 26);
    PlacementRequest q;
    q.kind = PickKind::Node;
    q.mode = 2;
    q.line = r;
    q.slot = Slot::Object;
    q.entries = {node(41, QStringLiteral("Северный"), 2)};
    ASSERT_TRUE(place(q).placed);
    EXPECT_EQ(m_model.rowCode(r, Slot::Object), 0) << "the expanded row stays the total";
    EXPECT_EQ(m_model.rowCode(r + 1, Slot::Object), 41);
    EXPECT_EQ(m_model.rowCode(r + 1, Slot::IndicatorCode), 25);
    EXPECT_EQ(m_model.rowCode(r + 1, Slot::Level), 3);
    EXPECT_EQ(entry(1, r + 1, kSideCol), QStringLiteral("  Северный"));
    EXPECT_EQ(m_model.rowCode(r + 2, Slot::IndicatorCode), 26);
    EXPECT_EQ(m_model.rowCode(r + 3, Slot::IndicatorCode), 0);
}

TEST_F(PlacementTest, HeaderExtendAddsAHeaderRowNamedByTheEntries) {
    withInstances(2);
    m_model.readGeometry();
    const int c = kFirstDataCol;
    const int H = m_model.lastHeaderRow();
    m_book.setText(1, H, c, QStringLiteral("Всего"));
    setCol(c, Slot::Object, 77);
    setCol(c, Slot::ObjectType, 99);
    PlacementRequest q;
    q.region = IdentMode::Header;
    q.mode = 1;
    q.line = c;
    q.entries = threeIndicators().mid(0, 2);
    ASSERT_TRUE(place(q).placed);
    m_model.readGeometry();
    ASSERT_EQ(m_model.lastHeaderRow(), H + 1);
    for (int s = 1; s <= m_model.sheetCount(); ++s)
        EXPECT_EQ(m_book.sheet(s).rowHeading(H + 1), QStringLiteral("---")) << s;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(entry(1, H, c + i), QStringLiteral("Всего"));
        EXPECT_EQ(entry(1, H + 1, c + i), q.entries[i].name);
        EXPECT_EQ(m_model.colCode(c + i, Slot::Object), 77);
        EXPECT_EQ(m_model.colCode(c + i, Slot::IndicatorCode), q.entries[i].code);
    }
    EXPECT_EQ(colEntry(c, Slot::Unit), QStringLiteral("коек"));
    setRow(m_model.firstBodyRow(), Slot::PeriodStart, 2004);
    EXPECT_EQ(identErrors(), 0);
}

TEST_F(PlacementTest, NodesChosenWithTheirParentKeepRelativeDepths) {
    PlacementRequest q;
    q.kind = PickKind::Node;
    q.region = IdentMode::Header;
    q.line = kFirstDataCol;
    q.slot = Slot::Cut2;
    q.entries = {node(40, QStringLiteral("Центральный"), 1),
                 node(41, QStringLiteral("Северный"), 2)};
    ASSERT_TRUE(place(q).placed);
    EXPECT_EQ(m_model.colCode(kFirstDataCol, Slot::Level), 1);
    EXPECT_EQ(m_model.colCode(kFirstDataCol + 1, Slot::Level), 2);
    EXPECT_EQ(m_model.colCode(kFirstDataCol + 1, Slot::Cut2Type), 1);
    EXPECT_EQ(entry(colSheet(), m_model.lastHeaderRow(), kFirstDataCol + 1),
              QStringLiteral("Северный"));
}

TEST_F(PlacementTest, MonthsAndYearsGoInAsEntriesThePeriodParserReads) {
    const int r = body();
    m_book.setText(rowSheet(), r, kSideCol, QStringLiteral("старое"));
    PlacementRequest q;
    q.kind = PickKind::Period;
    q.line = r;
    q.slot = Slot::PeriodStart;
    q.entries = {period(MonthEntry(3, 2004), QStringLiteral("Март"), true),
                 period(MonthEntry(5, 2004), QStringLiteral("Май"), true)};
    ASSERT_TRUE(place(q).placed);
    const QStringList names{QStringLiteral("Март"), QStringLiteral("Май")};
    for (int i = 0; i < 2; ++i) {
        const PeriodBound b = m_model.rowPeriod(r + i, Slot::PeriodStart);
        EXPECT_FALSE(b.isYear);
        EXPECT_EQ(
            m_book.sheet(rowSheet()).format(r + i, rowSlotColumn(Slot::PeriodStart)).numberFormat,
            QStringLiteral("mmm/yy"));
        const PeriodBounds read = ParsePeriodBounds(b.entry, {});
        EXPECT_EQ(read.beginMonth, i == 0 ? 3 : 5);
        EXPECT_EQ(read.beginYear, 2004);
        EXPECT_EQ(m_model.rowCode(r + i, Slot::Level), 1);
        EXPECT_EQ(entry(1, r + i, kSideCol), names[i]);
    }

    // Years "Дополнить" on one row: two rows named after it.
    const int y = r + 5;
    setRow(y, Slot::IndicatorCode, 25);
    for (int s : {1, rowSheet()})
        m_book.setText(s, y, kSideCol, QStringLiteral("Коек"));
    q.mode = 1;
    q.line = y;
    q.entries = {period(QStringLiteral("2003"), QStringLiteral("2003"), false),
                 period(QStringLiteral("2004"), QStringLiteral("2004"), false)};
    ASSERT_TRUE(place(q).placed);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(entry(1, y + i, kSideCol), QStringLiteral("Коек / ") + q.entries[i].name);
        EXPECT_EQ(m_model.rowPeriod(y + i, Slot::PeriodStart),
                  (PeriodBound{q.entries[i].value, true}));
        EXPECT_EQ(m_model.rowCode(y + i, Slot::IndicatorCode), 25);
    }
}

TEST_F(PlacementTest, TitlePutGivesEachEntryASheetTheFirstOnTheLast) {
    for (int s = 1; s <= m_model.instanceCount(); ++s)
        m_book.setText(s, int(TitleRow::Kind), kTitleValueCol, QStringLiteral("Показатель"));
    PlacementRequest q;
    q.kind = PickKind::Period;
    q.region = IdentMode::Title;
    q.titleRow = TitleRow::PeriodStart;
    q.entries = {period(QStringLiteral("2003"), QStringLiteral("2003"), false),
                 period(QStringLiteral("2004"), QStringLiteral("2004"), false)};
    const PlacementResult res = place(q);
    ASSERT_TRUE(res.placed);
    EXPECT_EQ(res.row, m_model.firstBodyRow());
    m_model.readGeometry();
    ASSERT_EQ(m_model.instanceCount(), 2);
    EXPECT_EQ(m_book.activeSheetIndex(), 2);
    EXPECT_EQ(m_model.titlePeriod(2, TitleRow::PeriodStart).entry, QStringLiteral("2003"));
    EXPECT_EQ(m_model.titlePeriod(1, TitleRow::PeriodStart).entry, QStringLiteral("2004"));
    EXPECT_EQ(entry(1, kLastTitleRow, kTitleValueCol), QStringLiteral("2004"));
    EXPECT_EQ(m_model.sheetLevel(1), 1);
}

// Title "Поставить" from the objects directory replaces all other instance sheets and
// their data: never without asking.
TEST_F(PlacementTest, TitleObjectsPutAsksBeforeDeletingTheOtherSheets) {
    withInstances(3);
    m_model.readGeometry();
    m_book.setNumber(2, body(), kFirstDataCol, 5);
    m_book.setActiveSheet(2);
    PlacementRequest q;
    q.kind = PickKind::Object;
    q.region = IdentMode::Title;
    q.titleRow = TitleRow::Object;
    q.entries = {node(40, QStringLiteral("Больница 40"), 1, 99),
                 node(77, QStringLiteral("Больница 77"), 1, 99),
                 node(40, QStringLiteral("Больница 40"), 1, 99)};
    m_prompter.answer(Answer::No);
    EXPECT_FALSE(place(q).placed);
    EXPECT_EQ(m_prompter.texts(), QStringList{Placement::deleteSheetsQuestion()});
    m_model.readGeometry();
    EXPECT_EQ(m_model.instanceCount(), 3);

    m_prompter.answer(Answer::Yes);
    ASSERT_TRUE(place(q).placed);
    m_model.readGeometry();
    ASSERT_EQ(m_model.instanceCount(), 3);
    EXPECT_EQ(m_model.titleCode(3, TitleRow::Object), 40);
    EXPECT_EQ(m_model.titleCode(2, TitleRow::Object), 77);
    EXPECT_EQ(m_model.titleCode(3, TitleRow::Object, kTitleExtraCol), 99);
    EXPECT_EQ(m_book.sheet(3).entry(body(), kFirstDataCol), QStringLiteral("5"))
        << "the sheet that was active keeps its data";
}

} // namespace
