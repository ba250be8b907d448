#include "io/NativeFormat.h"
#include "model/Workbook.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A workbook that uses every feature the file must keep.
void buildRich(Workbook& b) {
    b.insertSheet(2, "Второй");
    b.insertSheet(3, "Data, 3");
    b.setEntry(1, 1, 1, "12.5");
    b.setEntry(1, 1, 2, "Текст с \"кавычками\"");
    b.setEntry(1, 1, 3, "=A1*2+'Data, 3'!B2");
    b.setEntry(1, 2, 1, "1.3.2004");
    b.setEntry(1, 2, 2, "=1/0");
    b.setEntry(1, 2, 3, "=A2&\"!\"");
    b.setNumber(1, 3, 1, 0.1 + 0.2);
    b.setNumber(1, 3, 2, -123456789012.25);
    b.setNumber(1, 3, 3, 1e300);
    b.setEntry(3, 2, 2, "7");
    b.setNumberFormat(1, CellRange(5, 5, 6, 6), "0.00");
    b.setFormat(1, CellRange(1, 1, 1, 2), [](CellFormat& f) {
        f.font = CellFont{"Times New Roman", 12, true, true, true, 0xFF0000, 204, true};
        f.hAlign = HAlign::Center;
        f.vAlign = VAlign::Top;
        f.wordWrap = true;
        f.left = {BorderStyle::Thin, 0x00FF00};
        f.bottom = {BorderStyle::Double, 0x0000FF};
        f.pattern = 1;
        f.patternFg = 0xC0C0C0;
        f.patternBg = 0x123456;
        f.locked = false;
    });
    Sheet& s = b.sheet(1);
    s.setRowHidden(5, true);
    s.setRowHeight(99, 510);
    s.setRowHeading(100, "---");
    s.setColWidth(2, 28 * 256);
    s.setColHidden(1, true);
    s.setDefaultRowHeight(300);
    s.setMaxCol(255);
    SheetOptions o;
    o.frozenRows = 3;
    o.frozenCols = 2;
    o.zoom = 75;
    o.showZeros = false;
    o.showFormulas = true;
    o.showRowHeadings = false;
    o.showGrid = false;
    o.protection = true;
    o.topRow = 90;
    o.leftCol = 2;
    o.activeRow = 101;
    o.activeCol = 3;
    o.selection = CellRange(101, 3, 105, 6);
    s.setOptions(o);
    s.setDefaultFont(CellFont{"Times New Roman", 10, false, false, false, 0, 204});
    PrintSettings p;
    p.landscape = true;
    p.noColor = true;
    p.scale = 85;
    p.leftMargin = 0.5;
    p.footerMargin = 0.3;
    p.centerHorizontally = true;
    p.header = "&A стр. &P из &N";
    p.footer = "&D &T";
    p.gridLines = true;
    p.rowHeadings = true;
    p.printArea = CellRange(91, 2, 200, 10);
    s.setPrintSettings(p);
    s.setRowBreak(150, true);
    s.setColBreak(8, true);
    s.addMergedRange(CellRange(91, 2, 91, 6));
    const int id = s.addDropDown("tip", CellRange(2, 3, 2, 5), "Нет;Дата;Год");
    s.setObjectSelected(id, 2);
    ChartObject chart;
    chart.frame = CellRange(10, 2, 24, 8);
    chart.data = CellRange(2, 1, 3, 3);
    chart.colNames = CellRange(1, 1, 1, 3);
    s.addChart(chart);
    b.setValidation(1, CellRange(101, 3, 120, 8), "AND(C101>=0,C101<1000)", "Ошибка ввода");
    b.setInEditGroup(3, true);
    b.setActiveSheet(2);
    b.setAutoRecalc(false);
    b.setShowTabs(false);
}

void expectSame(const Workbook& a, const Workbook& b) {
    ASSERT_EQ(a.sheetCount(), b.sheetCount());
    EXPECT_EQ(a.activeSheetIndex(), b.activeSheetIndex());
    EXPECT_EQ(a.editGroup(), b.editGroup());
    EXPECT_EQ(a.autoRecalc(), b.autoRecalc());
    EXPECT_EQ(a.showTabs(), b.showTabs());
    for (int i = 1; i <= a.sheetCount(); ++i) {
        const Sheet& x = a.sheet(i);
        const Sheet& y = b.sheet(i);
        EXPECT_EQ(x.name(), y.name());
        EXPECT_EQ(x.options(), y.options());
        EXPECT_EQ(x.printSettings(), y.printSettings());
        EXPECT_EQ(x.defaultFont(), y.defaultFont());
        EXPECT_EQ(x.defaultRowHeight(), y.defaultRowHeight());
        EXPECT_EQ(x.maxCol(), y.maxCol());
        EXPECT_EQ(x.rowBreaks(), y.rowBreaks());
        EXPECT_EQ(x.colBreaks(), y.colBreaks());
        EXPECT_EQ(x.mergedRanges(), y.mergedRanges());
        EXPECT_EQ(x.objects(), y.objects());
        EXPECT_EQ(x.charts(), y.charts());
        ASSERT_EQ(x.validationRules().size(), y.validationRules().size());
        for (int r = 1; r <= 300; ++r) {
            EXPECT_EQ(x.rowProps(r), y.rowProps(r)) << r;
            for (int c = 1; c <= 8; ++c) {
                EXPECT_EQ(x.entry(r, c), y.entry(r, c)) << r << ',' << c;
                EXPECT_EQ(x.value(r, c), y.value(r, c)) << r << ',' << c;
                EXPECT_EQ(x.format(r, c), y.format(r, c)) << r << ',' << c;
            }
        }
        for (int c = 1; c <= kMaxCols; ++c)
            EXPECT_EQ(x.colProps(c), y.colProps(c));
    }
}

} // namespace

TEST(NativeFormatTest, RoundTripKeepsEveryFeature) {
    Workbook original;
    buildRich(original);
    const QByteArray bytes = NativeFormat::save(original);
    Workbook loaded;
    QString error;
    ASSERT_TRUE(NativeFormat::load(loaded, bytes, &error)) << error.toStdString();
    expectSame(original, loaded);
    EXPECT_EQ(loaded.validationCondition(1, 102, 4), "AND(D102>=0,D102<1000)");
    EXPECT_EQ(loaded.sheet(1).number(1, 3), 25 + 7);
    EXPECT_FALSE(loaded.isModified());
    // Formulas still work after loading.
    loaded.setAutoRecalc(true);
    loaded.setEntry(3, 2, 2, "8");
    EXPECT_EQ(loaded.sheet(1).number(1, 3), 33);
    // Saving what was loaded gives the same bytes.
    Workbook again;
    ASSERT_TRUE(NativeFormat::load(again, bytes));
    EXPECT_EQ(NativeFormat::encodeBody(again), NativeFormat::encodeBody(original));
}

TEST(NativeFormatTest, FileRoundTripAndMissingFile) {
    QTemporaryDir dir;
    Workbook original;
    buildRich(original);
    const QString path = dir.filePath("book.vts");
    ASSERT_TRUE(NativeFormat::saveFile(original, path));
    Workbook loaded;
    ASSERT_TRUE(NativeFormat::loadFile(loaded, path));
    expectSame(original, loaded);
    QString error;
    EXPECT_FALSE(NativeFormat::loadFile(loaded, dir.filePath("none.vts"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(NativeFormat::saveFile(original, dir.filePath("no/such/dir/x.vts"), &error));
    EXPECT_EQ(error, "Невозможно создать файл");
}

TEST(NativeFormatTest, WrongMagicVersionAndSizesAreRefused) {
    Workbook original;
    buildRich(original);
    QByteArray bytes = NativeFormat::save(original);
    Workbook target;
    target.setEntry(1, 1, "keep");
    QString error;
    EXPECT_FALSE(NativeFormat::load(target, QByteArray(), &error));
    EXPECT_FALSE(NativeFormat::load(target, "PK\x03\x04 not a workbook", &error));
    QByteArray wrongVersion = bytes;
    wrongVersion[8] = char(99);
    EXPECT_FALSE(NativeFormat::load(target, wrongVersion, &error));
    EXPECT_TRUE(error.contains("99"));
    QByteArray hugeClaim = bytes;
    hugeClaim[12] = char(0xFF);
    hugeClaim[13] = char(0xFF);
    hugeClaim[14] = char(0xFF);
    hugeClaim[15] = char(0x3F);
    EXPECT_FALSE(NativeFormat::load(target, hugeClaim, &error));
    EXPECT_EQ(target.text(1, 1), "keep");
    EXPECT_EQ(target.sheetCount(), 1);
}

// Thousands of damaged files: truncated, bit-flipped, and damaged bodies behind a valid
// checksum. None may crash; a failure leaves the target as it was; whatever loads must be
// a usable workbook. Run under the sanitizer build (scripts/test-sanitize) too.
TEST(NativeFormatTest, DamagedFilesNeverCrashOrHalfLoad) {
    Workbook original;
    buildRich(original);
    const QByteArray bytes = NativeFormat::save(original);
    const QByteArray body = NativeFormat::encodeBody(original);
    QRandomGenerator rng(20261209);
    Workbook target;
    target.setEntry(1, 1, "keep");
    int loadedCount = 0;
    auto checkTarget = [&](bool ok) {
        if (ok) {
            ++loadedCount;
            (void)NativeFormat::encodeBody(target);
            target.recalcAll();
            target.reset(1);
            target.setEntry(1, 1, "keep");
        } else {
            ASSERT_EQ(target.text(1, 1), "keep");
            ASSERT_EQ(target.sheetCount(), 1);
        }
    };
    for (int i = 0; i < 1500; ++i) {
        const qsizetype cut = qsizetype(rng.bounded(int(bytes.size())));
        checkTarget(NativeFormat::load(target, bytes.left(cut)));
        const qsizetype bodyCut = qsizetype(rng.bounded(int(body.size())));
        checkTarget(NativeFormat::decodeBody(target, body.left(bodyCut)));
    }
    for (int i = 0; i < 3000; ++i) {
        QByteArray damaged = i % 2 ? bytes : body;
        const int flips = 1 + int(rng.bounded(4));
        for (int k = 0; k < flips; ++k) {
            const qsizetype at = qsizetype(rng.bounded(int(damaged.size())));
            damaged[at] = char(rng.bounded(256));
        }
        checkTarget(i % 2 ? NativeFormat::load(target, damaged)
                          : NativeFormat::decodeBody(target, damaged));
    }
    QByteArray random(4096, '\0');
    for (int i = 0; i < 200; ++i) {
        for (char& c : random)
            c = char(rng.bounded(256));
        checkTarget(NativeFormat::decodeBody(target, random));
    }
    // A mutation in a value byte may well give a valid workbook; most must not.
    EXPECT_LT(loadedCount, 3000);
}
