// Generating the report file from 50 tables of 200 rows against writing the same
// records with the dBase layer alone, and evaluating 5 000 compiled conditions over
// 2 000 records against a hand-written loop computing the same expressions.
#include "BenchPrompter.h"
#include "BenchSupport.h"

#include "ConditionCompiler.h"
#include "ConditionEvaluator.h"
#include "DbTestHelpers.h"
#include "DbfTable.h"
#include "InitialWorkbook.h"
#include "MedstatGenerator.h"
#include "MedstatTemplates.h"
#include "Prompter.h"
#include "ReportTree.h"
#include "TableDocument.h"
#include "TableLayout.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "model/Workbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <random>

using namespace TableLayout;

namespace {

constexpr int kTables = 50;
constexpr int kRows = 200;

// A table in per-row mode: row numbers in column 3, column numbers 1 … 50 in the header.
QByteArray tableBytes(int seed) {
    Workbook book;
    InitialWorkbook::build(book);
    book.setText(1, int(TitleRow::Object), kTitleValueCol, QStringLiteral("25"));
    book.setNumber(1, int(TitleRow::Object), kTitleExtraCol, 99);
    book.setNumber(book.sheetCount(), 1, 3, 11);
    for (int n = 1; n <= 50; ++n)
        book.setNumber(1, 100, 3 + n, n);
    for (int r = 1; r <= kRows; ++r) {
        book.setNumber(1, 100 + r, 3, r);
        for (int n = 1; n <= 50; ++n)
            book.setNumber(1, 100 + r, 3 + n, (seed * 7 + r * 3 + n) % 1000);
    }
    return TableDocument::workbookBytes(book);
}

void generationBench() {
    TestDatabases dbs;
    BenchPrompter prompter(Answer::Yes);
    SetAppPrompter(&prompter);
    TdmMSSQL dm(prompter);
    dm.SetConnectionParams(dm.dbMain, dbs.factPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.SetConnectionParams(dm.dbTab, dbs.tabPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.dbMain.open();
    dm.dbTab.open();
    const int folder = dbtest::call(dm.dbTab, "INSERT_SBR",
                                    {{"NPP", 100},
                                     {"NAMEFOLDER", QStringLiteral("Отчет")},
                                     {"NLEVEL", 1},
                                     {"NAMEID", QStringLiteral("12")},
                                     {"KODSPIS", 0},
                                     {"NGOD", 0},
                                     {"NMES", 0}})
                           .output(QStringLiteral("KOD_FOLDER"))
                           .toInt();
    for (int t = 0; t < kTables; ++t) {
        const int k = dbtest::call(dm.dbTab, "INSERT_CAT",
                                   {{"NPP", 100 * (t + 1)},
                                    {"KODFOLDER", folder},
                                    {"NAMEFOLDER", QStringLiteral("Таблица %1").arg(t)},
                                    {"KODALT", QString::number(1000 + t)},
                                    {"KODSPIS", 0}})
                          .output(QStringLiteral("KOD_ELMT"))
                          .toInt();
        dbtest::exec(dm.dbTab, QStringLiteral("UPDATE CAT SET TABF1 = :B WHERE KODELMT = :K"),
                     {{"B", tableBytes(t)}, {"K", k}});
    }
    QTemporaryDir dir;
    MedstatTemplates::create(dir.path(), {}, {});
    MedstatParams params;
    params.object = QStringLiteral("25");
    params.objectType = 99;
    int records = 0;
    const double generation = bestMs(3, [&] {
        MedstatGenerator gen(dm, prompter, dir.path());
        gen.run(folder, QStringLiteral("12"), params, [](MedstatParams& p) {
            p.form = QStringLiteral("012");
            p.cut = QStringLiteral("0000");
            p.year = QStringLiteral("04");
            return true;
        });
        records = gen.records();
    });
    if (records != kTables * kRows)
        std::fprintf(stderr, "generation wrote %d records\n", records);
    const QString alone = QDir(dir.path()).filePath(QStringLiteral("alone.dbf"));
    const double dbfAlone = bestMs(3, [&] {
        DbfTable t = DbfTable::create(alone, ParseFieldList(MedstatTemplates::reportFields()));
        for (int table = 0; table < kTables; ++table)
            for (int r = 1; r <= kRows; ++r) {
                t.append();
                t.setText(0, QStringLiteral("04"));
                t.setText(1, QStringLiteral("25"));
                t.setText(2, QStringLiteral("0120000"));
                t.setText(3, QStringLiteral("00%1").arg(1000 + table));
                t.setText(4, QString::number(r));
                for (int n = 1; n <= 50; ++n)
                    t.setNumber(4 + n, (table * 7 + r * 3 + n) % 1000);
                t.post();
            }
        t.save();
    });
    report("medstat_generation_50x200", generation, "ms", 2 * dbfAlone);
}

// One condition: table a rows r1+r2 columns c1:c2 >= table b row r3 column c1:c2.
struct Shape {
    int a, r1, r2, b, r3, c1, c2;
};

void controlBench() {
    ReportTree tree;
    for (int t = 0; t < 20; ++t)
        for (int r = 1; r <= 100; ++r) {
            std::array<double, kReportColumns> v{};
            for (int c = 0; c < kReportColumns; ++c)
                v[size_t(c)] = (t * 31 + r * 17 + c * 5) % 500;
            tree.add(4, 25, 1, 1000 + t, QStringLiteral("%1").arg(r, 3, 10, QChar(u'0')), v);
        }
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<Shape> shapes;
    std::vector<Condition> compiled;
    for (int i = 0; i < 5000; ++i) {
        const int c1 = pick(1, 45);
        Shape s{1000 + pick(0, 19), pick(1, 100), pick(1, 100),   1000 + pick(0, 19),
                pick(1, 100),       c1,           c1 + pick(0, 4)};
        shapes.push_back(s);
        compiled.push_back(CompileCondition(QStringLiteral("  001,%1,%2+%3,%4:%5>=001,%6,%7,%4:%5*")
                                                .arg(s.a)
                                                .arg(s.r1)
                                                .arg(s.r2)
                                                .arg(s.c1)
                                                .arg(s.c2)
                                                .arg(s.b)
                                                .arg(s.r3)));
    }
    const ConditionEvaluator eval(tree, 25, 4);
    int failed = 0;
    const double evaluated = bestMs(5, [&] {
        failed = 0;
        for (const Condition& c : compiled)
            failed += eval.failures(c).isEmpty() ? 0 : 1;
    });
    // The same sums and comparisons written out by hand over the same tree.
    int failedByHand = 0;
    auto rowsSum = [&](const ReportTable* t, int ra, int rb, int c) {
        double sum = 0;
        for (const ReportRow& row : t->rows)
            if (row.number == ra || row.number == rb)
                sum += row.values[size_t(c - 1)];
        return sum;
    };
    const double byHand = bestMs(5, [&] {
        failedByHand = 0;
        for (const Shape& s : shapes) {
            const ReportTable* ta = tree.find(4, 25, 1, s.a);
            const ReportTable* tb = tree.find(4, 25, 1, s.b);
            bool bad = false;
            for (int c = s.c1; c <= s.c2; ++c)
                if (rowsSum(ta, s.r1, s.r2, c) < rowsSum(tb, s.r3, s.r3, c))
                    bad = true;
            failedByHand += bad ? 1 : 0;
        }
    });
    if (failed != failedByHand)
        std::fprintf(stderr, "control: %d failures, by hand %d\n", failed, failedByHand);
    report("medstat_control_5000x2000", evaluated, "ms", 5 * byHand);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    controlBench();
    generationBench();
    return 0;
}
