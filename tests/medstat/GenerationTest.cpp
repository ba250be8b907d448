#include "DbfTable.h"
#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "MedstatGenerator.h"
#include "MedstatTemplates.h"
#include "ObjectResolver.h"
#include "TableDbFixture.h"
#include "io/NativeFormat.h"
#include "model/Workbook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <shapefil.h>

using namespace TableLayout;

namespace {

// A table workbook: one instance sheet per (object, type), one header row holding the
// given column numbers from column 3 on, body rows from row 101.
struct Book {
    Workbook book;
    explicit Book(const QList<QPair<QString, int>>& objects) {
        InitialWorkbook::build(book);
        for (int i = 1; i < objects.size(); ++i)
            book.insertSheet(1);
        const QString layout = book.sheet(objects.size()).text(kLayoutRow, kLayoutCol);
        for (int s = 1; s <= objects.size(); ++s) {
            book.setText(s, int(TitleRow::Object), kTitleValueCol, objects[s - 1].first);
            book.setNumber(s, int(TitleRow::Object), kTitleExtraCol, objects[s - 1].second);
            book.setText(s, kLayoutRow, kLayoutCol, layout);
        }
    }
    int colIdent() const { return book.sheetCount(); }
    QByteArray bytes() const { return NativeFormat::save(book); }
};

class Generation : public TableDbFixture {
protected:
    void SetUp() override {
        m_folder = m_dir.path();
        MedstatTemplates::create(m_folder, {}, {});
        m_file = QDir(m_folder).filePath(QStringLiteral("MEDCTAT.DBF"));
        dbtest::exec(tab(), QStringLiteral("UPDATE CAT SET KODALT = NULL"));
        m_params.object = QStringLiteral("-25");
        m_params.objectType = 99;
        m_params.objectName = QStringLiteral("ЦРБ");
    }
    int table(const QString& kodAlt, const QByteArray& bytes) {
        const int k = newTable();
        dbtest::exec(tab(), QStringLiteral("UPDATE CAT SET KODALT = :A WHERE KODELMT = :K"),
                     {{"A", kodAlt}, {"K", k}});
        storeBytes(k, bytes);
        return k;
    }
    bool run(Answer clear = Answer::Yes) {
        m_prompter.answer(clear);
        MedstatGenerator gen(dm(), m_prompter, m_folder);
        const bool ok = gen.run(s_folder, QStringLiteral("ИД"), m_params, [&](MedstatParams& p) {
            EXPECT_EQ(p.form, QStringLiteral("ИД"));
            p.form = QStringLiteral("012");
            p.cut = QStringLiteral("0100");
            p.year = QStringLiteral("04");
            return true;
        });
        m_protocol = gen.protocol();
        return ok;
    }
    // Every record as shapelib reads it: fields joined by "|", numbers as written.
    QStringList records() {
        DBFHandle h = DBFOpen(m_file.toLocal8Bit().constData(), "rb");
        EXPECT_NE(h, nullptr);
        QStringList out;
        for (int r = 0; h && r < DBFGetRecordCount(h); ++r) {
            if (DBFIsRecordDeleted(h, r))
                continue;
            QStringList f;
            for (int i = 0; i < DBFGetFieldCount(h); ++i)
                f.append(QString::fromLatin1(DBFReadStringAttribute(h, r, i)).trimmed());
            while (!f.isEmpty() && f.last().isEmpty())
                f.removeLast();
            out.append(f.join(u'|'));
        }
        if (h)
            DBFClose(h);
        return out;
    }
    QTemporaryDir m_dir;
    QString m_folder;
    QString m_file;
    MedstatParams m_params;
    QStringList m_protocol;
    ScriptedPrompter m_prompter;
};

} // namespace

TEST_F(Generation, PerRowModeWritesFieldsByPositionAndReadsBackInShapelib) {
    Book b({{QStringLiteral("-25"), 99}});
    b.book.setNumber(b.colIdent(), 1, 3, 11); // column 3 holds the row numbers
    b.book.setNumber(1, 100, 4, 1);
    b.book.setNumber(1, 100, 5, 3);
    b.book.setNumber(1, 100, 6, 0); // no column number: not written
    const QStringList rowNumbers{QStringLiteral("1,2"), QStringLiteral("7"), QStringLiteral("0"),
                                 QString()};
    for (int i = 0; i < rowNumbers.size(); ++i) {
        b.book.setText(1, 101 + i, 3, rowNumbers[i]);
        b.book.setNumber(1, 101 + i, 4, 1.5 + i);
        b.book.setNumber(1, 101 + i, 5, 100 + i);
        b.book.setNumber(1, 101 + i, 6, 9);
    }
    table(QStringLiteral("1234"), b.bytes());
    table(QStringLiteral("  "), b.bytes()); // no alternative code: skipped
    m_params.fileObject = QStringLiteral(" 77");
    ASSERT_TRUE(run()) << m_prompter.texts().join(u'|').toStdString();
    EXPECT_EQ(records().join(u'\n').toStdString(),
              (QStringList{QStringLiteral("04|77|0120100|001234|012|1.50||100.00"),
                           QStringLiteral("04|77|0120100|001234|007|2.50||101.00")})
                  .join(u'\n')
                  .toStdString());
    EXPECT_EQ(m_prompter.texts(), QStringList{QStringLiteral("Очистить MEDCTAT.DBF?")});
    QFile f(m_file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().at(28), 0);
}

TEST_F(Generation, SingleRecordModeSkipsAHiddenRowButKeepsItsPosition) {
    Book b({{QStringLiteral("-25"), 99}});
    for (int i = 0; i < 3; ++i)
        b.book.setNumber(1, 101 + i, 3, 10 * (i + 1));
    b.book.sheet(1).setRowHidden(102, true);
    table(QStringLiteral("12345"), b.bytes());
    table(QStringLiteral("123"), b.bytes());
    ASSERT_TRUE(run());
    EXPECT_EQ(records().join(u'\n').toStdString(),
              (QStringList{QStringLiteral("04|-25|0120100|012345|001|10.00||30.00"),
                           QStringLiteral("04|-25|0120100|123|001|10.00||30.00")})
                  .join(u'\n')
                  .toStdString());
}

TEST_F(Generation, AMissingObjectStopsTheRunAndKeepsTheTablesBefore) {
    Book first(
        {{QStringLiteral("25"), 99}, {QStringLiteral("-25"), 99}, {QStringLiteral("-25"), 99}});
    first.book.setNumber(2, 101, 3, 5); // the lower-numbered sheet of the object
    first.book.setNumber(3, 101, 3, 6);
    table(QStringLiteral("1001"), first.bytes());
    table(QStringLiteral("1002"), Book({{QStringLiteral("-25"), 3}}).bytes());
    table(QStringLiteral("1003"), first.bytes());
    // Records left from before are kept when the user does not clear.
    {
        DbfTable t = DbfTable::open(m_file);
        t.append();
        t.setText(0, QStringLiteral("99"));
        t.save();
    }
    EXPECT_FALSE(run(Answer::No));
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Отчет для объекта \"ЦРБ\" не найден"));
    EXPECT_EQ(records().join(u'\n').toStdString(),
              (QStringList{QStringLiteral("99"), QStringLiteral("04|-25|0120100|001001|001|5.00")})
                  .join(u'\n')
                  .toStdString());
}

TEST_F(Generation, BadTablesAreSkippedAndWideValuesRefused) {
    table(QStringLiteral("1001"), QByteArray());              // never saved
    table(QStringLiteral("1002"), QByteArrayLiteral("junk")); // unreadable
    Book b({{QStringLiteral("-25"), 99}});
    b.book.setNumber(b.colIdent(), 100, 1, 11); // a column-number header
    b.book.setNumber(1, 100, 3, 1);
    b.book.setNumber(1, 100, 4, 51);   // no such field
    b.book.setNumber(1, 100, 5, 3e10); // too big for a column number
    b.book.setNumber(1, 100, 6, 4e10);
    b.book.setNumber(1, 100, 7, 2);
    b.book.setNumber(1, 101, 3, 1e15); // wider than N 12.2
    b.book.setNumber(1, 101, 4, 1);
    b.book.setNumber(1, 101, 7, 2);
    table(QStringLiteral("1003"), b.bytes());
    ASSERT_TRUE(run());
    // The bad ones were skipped with a message each, not written with another's data.
    const QStringList texts = m_prompter.texts();
    ASSERT_EQ(texts.size(), 4) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts[1].startsWith(QStringLiteral("Таблица \"Таблица")));
    EXPECT_TRUE(texts[1].endsWith(QStringLiteral("книга таблицы не сохранена")));
    EXPECT_TRUE(texts[2].contains(QStringLiteral("не записана в файл")));
    EXPECT_TRUE(texts[3].startsWith(QStringLiteral("Слишком большое вещественное число")));
    EXPECT_EQ(texts[3].count(QStringLiteral("ячейка (100, ")), 2);
    EXPECT_EQ(
        records().join(u'\n').toStdString(),
        (QStringList{QStringLiteral("04|-25|0120100|001003|001||2.00")}).join(u'\n').toStdString());
    ASSERT_EQ(m_protocol.size(), 2);
    EXPECT_TRUE(m_protocol[0].contains(QStringLiteral("номер графы 51 в столбце 4")));
    EXPECT_TRUE(m_protocol[1].contains(QStringLiteral("строка 101, графа 3")));
}

TEST_F(Generation, CancelledDialogLeavesTheClearedHeaderAndNoIndex) {
    QFile ntx(QDir(m_folder).filePath(QStringLiteral("MEDCTAT.ntx")));
    ASSERT_TRUE(ntx.open(QIODevice::WriteOnly));
    ntx.close();
    {
        DbfTable t = DbfTable::open(m_file);
        t.setTableFlags(1);
        t.save();
    }
    MedstatGenerator gen(dm(), m_prompter, m_folder);
    EXPECT_FALSE(
        gen.run(s_folder, QStringLiteral("ИД"), m_params, [](MedstatParams&) { return false; }));
    EXPECT_FALSE(ntx.exists());
    QFile f(m_file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().at(28), 0);
    f.close();
    EXPECT_TRUE(m_prompter.texts().isEmpty());
    QFile::remove(m_file);
    EXPECT_FALSE(gen.run(s_folder, {}, m_params, [](MedstatParams&) { return true; }));
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Файл \"MEDCTAT.DBF\" не найден!"));
}

TEST_F(Generation, DialogChecksRunInOrderAndResolveTheObject) {
    dbtest::exec(fact(),
                 QStringLiteral("INSERT INTO SPISAGR (NUMAGR, NAMEAGR, NAMEAGRZAG, ISINELM) "
                                "VALUES (7, 'Районы', ' ', 'F')"));
    dbtest::exec(fact(), QStringLiteral("INSERT INTO AGR (KODFOLDER, NUMAGR, NAMEFOLDER, NPP, "
                                        "NLEVEL) VALUES (25, 7, 'Район 25', 100, 1)"));
    dbtest::exec(fact(), QStringLiteral("INSERT INTO AGR (KODFOLDER, NUMAGR, NAMEFOLDER, NPP, "
                                        "NLEVEL) VALUES (26, 7, 'Район 26', 200, 1)"));
    dbtest::exec(fact(), QStringLiteral("INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) VALUES "
                                        "(1, 25, 'Больница 25')"));
    ObjectResolver resolver(dm(), m_prompter);
    MedstatParams p;
    auto accept = [&](const char* kod, const char* raz, const char* ob, const char* god) {
        return AcceptMedstatDialog({QString::fromUtf8(kod),
                                    QString::fromUtf8(raz),
                                    QString::fromUtf8(ob),
                                    QString::fromUtf8(god),
                                    {}},
                                   p, resolver, m_prompter);
    };
    EXPECT_EQ(accept("", "", "", ""), MedstatFocus::Kod);
    EXPECT_EQ(accept("1234", "", "", ""), MedstatFocus::Kod);
    EXPECT_EQ(accept("5", "123", "", ""), MedstatFocus::Raz);
    EXPECT_EQ(p.form, QStringLiteral("005"));
    EXPECT_EQ(accept("12", "1", "", ""), MedstatFocus::Ob);
    EXPECT_EQ(p.cut, QStringLiteral("0100"));
    EXPECT_EQ(accept("12", "12", "x", ""), MedstatFocus::Ob);
    EXPECT_EQ(accept("12", "", "30", ""), MedstatFocus::Ob);
    EXPECT_EQ(accept("12", "", "26", ""), MedstatFocus::God);
    EXPECT_EQ(p.objectName, QStringLiteral("Район 26"));
    EXPECT_EQ(p.objectType, 7);
    EXPECT_EQ(accept("12", "", "26", "123"), MedstatFocus::God);
    // Code 25 is in both directories: the pop-up offers both; Escape shows it again.
    m_prompter.choice(-1).choice(1);
    EXPECT_EQ(accept("012", "", "-25", "3"), MedstatFocus::None);
    EXPECT_EQ(p.object, QStringLiteral("-25"));
    EXPECT_EQ(p.objectType, 99);
    EXPECT_EQ(p.objectName, QStringLiteral("Больница 25"));
    EXPECT_EQ(p.year, QStringLiteral("03"));
    EXPECT_EQ(p.cut, QStringLiteral("0000"));
    EXPECT_EQ(
        m_prompter.texts(),
        (QStringList{QStringLiteral("Не задан код формы!"),
                     QStringLiteral("Код формы не должен превышать трех знаков!"),
                     QStringLiteral("Код разреза не должен превышать двух знаков!"),
                     QStringLiteral("Не задан код объекта!"),
                     QStringLiteral("Код объекта должен быть числовым"),
                     QStringLiteral("Код не найден в справочнике"), QStringLiteral("Не задан год!"),
                     QStringLiteral("Год записывается двумя знаками!"),
                     QStringLiteral("Район 25\nБольница 25"),
                     QStringLiteral("Район 25\nБольница 25")}));
    EXPECT_EQ(MedstatCodes::tableCode(QStringLiteral("1234")), QStringLiteral("001234"));
}

TEST_F(Generation, SingleRecordModeLeavesRowsBeyondFiftyOut) {
    Book b({{QStringLiteral("-25"), 99}});
    for (int i = 1; i <= 52; ++i)
        b.book.setNumber(1, 100 + i, 3, i);
    table(QStringLiteral("1001"), b.bytes());
    ASSERT_TRUE(run());
    const QStringList written = records();
    ASSERT_EQ(written.size(), 1);
    const QStringList fields = written[0].split(u'|');
    ASSERT_EQ(fields.size(), 55);
    EXPECT_EQ(fields[54], QStringLiteral("50.00"));
    ASSERT_EQ(m_protocol.size(), 2);
    EXPECT_TRUE(m_protocol[0].contains(QStringLiteral("строка 51 не помещается")));
}
