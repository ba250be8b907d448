#include "format/BookLocale.h"
#include "io/CommandScript.h"
#include "model/Workbook.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

// Each fixture is a script of cells as typed (and other commands), a line "----", then
// the expected results: "A1 -> text" (display text), "A1 := entry", "2!A1 -> …" for
// another sheet, "circular N". "check A1 -> text" may also stand inside the script.
namespace {

std::vector<std::string> fixtureFiles() {
    std::vector<std::string> out;
    const QDir dir(QStringLiteral(ZEMRAK_BOOK_FIXTURES));
    for (const QString& f : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        out.push_back(f.toStdString());
    return out;
}

struct Expectation {
    int sheet = 0;
    int row = 0, col = 0;
    bool entry = false;
    QString text;
};

bool parseExpectation(const QString& line, const Workbook& book, Expectation& e) {
    const qsizetype arrow = line.indexOf(QLatin1String(" -> "));
    const qsizetype assign = line.indexOf(QLatin1String(" := "));
    const qsizetype at = arrow >= 0 && (assign < 0 || arrow < assign) ? arrow : assign;
    if (at < 0)
        return false;
    e.entry = at == assign;
    e.text = line.mid(at + 4);
    QString addr = line.left(at).trimmed();
    e.sheet = book.activeSheetIndex();
    if (const qsizetype bang = addr.indexOf('!'); bang > 0) {
        e.sheet = addr.left(bang).toInt();
        addr = addr.mid(bang + 1);
    }
    return parseCellName(addr, e.row, e.col) && book.hasSheet(e.sheet);
}

void check(const Workbook& book, const Expectation& e, const QString& line, int lineNo) {
    const Sheet& s = book.sheet(e.sheet);
    const QString actual = e.entry ? s.entry(e.row, e.col) : s.formattedText(e.row, e.col);
    EXPECT_EQ(actual.toStdString(), e.text.toStdString())
        << "line " << lineNo << ": " << line.toStdString();
}

} // namespace

class FormulaFixture : public ::testing::TestWithParam<std::string> {};

TEST_P(FormulaFixture, Runs) {
    // Texts compare as on the Russian workstations the program is made for.
    BookLocale::setCollationLocale(QLocale(QLocale::Russian, QLocale::Russia));
    struct Restore {
        ~Restore() { BookLocale::setCollationLocale(QLocale()); }
    } restore;
    QFile file(QStringLiteral(ZEMRAK_BOOK_FIXTURES "/") + QString::fromStdString(GetParam()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    Workbook book;
    CommandScript script(book);
    bool expecting = false;
    int checks = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        const int lineNo = int(i + 1);
        if (line.trimmed() == QLatin1String("----")) {
            expecting = true;
            continue;
        }
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        if (!expecting && !line.startsWith(QLatin1String("check "))) {
            ASSERT_TRUE(script.runLine(line, lineNo)) << script.error().toStdString();
            continue;
        }
        if (line.startsWith(QLatin1String("check ")))
            line = line.mid(6);
        if (line.startsWith(QLatin1String("circular "))) {
            EXPECT_EQ(book.circularCells().size(), line.mid(9).toInt()) << "line " << lineNo;
            ++checks;
            continue;
        }
        Expectation e;
        ASSERT_TRUE(parseExpectation(line, book, e)) << "bad expectation at line " << lineNo;
        check(book, e, line, lineNo);
        ++checks;
    }
    EXPECT_TRUE(expecting) << "fixture has no \"----\" line";
    EXPECT_GT(checks, 0);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FormulaFixture, ::testing::ValuesIn(fixtureFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(0, info.param.find('.'));
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });
