#include "IndicatorsFixture.h"

#include "DbfTable.h"

#include <chrono>
#include <thread>

using namespace dbtest;

namespace {

const QString kHeader =
    QStringLiteral("Наименование показателя            Код старый  Код новый\r\n") +
    QString(57, QLatin1Char('-')) + QStringLiteral("\r\n");

QString protocolLine(const QString& name, int oldCode, int newCode) {
    return name.left(34).leftJustified(34) + QString::number(oldCode).rightJustified(11) +
           QString::number(newCode).rightJustified(11) + QStringLiteral("\r\n");
}

void writeFile(const QString& path, const QStringList& fields,
               const std::vector<std::tuple<QString, int, QString, QString>>& records) {
    DbfTable t = DbfTable::create(path, ParseFieldList(fields));
    for (const auto& [name, code, alt, eiz] : records) {
        t.append();
        t.setText(0, name);
        t.setNumber(1, code);
        if (t.fieldCount() > 2) {
            t.setText(2, alt);
            t.setText(3, eiz);
        }
    }
    t.save();
}

const QStringList kFields{QStringLiteral("NameFolder;C;150;0"), QStringLiteral("KodElmt;N;8;0"),
                          QStringLiteral("KodAlt;C;20;0"), QStringLiteral("Eiz;C;12;0")};

} // namespace

TEST_F(IndicatorsTest, OnlyRubricsWithoutSubRubricsOpen) {
    ASSERT_TRUE(m_a->engine.selectKey(1));
    EXPECT_FALSE(m_a->controller.openRubric()); // it holds "Коечный фонд по профилям"
    EXPECT_EQ(m_a->controller.caption(), QStringLiteral("Разделы показателей"));
    ASSERT_TRUE(m_a->open(2));
    EXPECT_EQ(m_a->controller.caption(),
              QStringLiteral("Показатели раздела \"Коечный фонд по профилям\""));
    EXPECT_EQ(m_a->rows.count(), 4);
    m_a->controller.enterTree();
    EXPECT_FALSE(m_a->rows.isOpen());
    EXPECT_EQ(m_a->controller.caption(), QStringLiteral("Разделы показателей"));
}

TEST_F(IndicatorsTest, TypedCodesAreCheckedBeforeTheyAreStored) {
    ASSERT_TRUE(m_a->open(2)); // codes 6..9
    EXPECT_FALSE(m_a->type(0, "KodElmt", QStringLiteral("0")));
    EXPECT_FALSE(m_a->type(0, "KodElmt", QStringLiteral("7")));
    EXPECT_EQ(m_a->messages(),
              (QStringList{QStringLiteral("Код показателя не может быть равен 0"),
                           QStringLiteral("Показатель с кодом = 7 уже есть в базе данных!")}));
    EXPECT_EQ(m_a->rows.value(0, QStringLiteral("KODELMT")).toInt(), 6);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM POK WHERE KODELMT IN (0, 6)")).toInt(),
              1);

    // A code above every stored one moves the generator: the next indicator gets a larger one.
    m_a->prompter.clear();
    ASSERT_TRUE(m_a->open(5)); // attributes 19..22 are used by the funds only as 19 and 20
    m_a->rows.setCurrentRow(3);
    ASSERT_TRUE(m_a->type(3, "KodElmt", QStringLiteral("500")));
    EXPECT_TRUE(m_a->messages().isEmpty()) << m_a->messages().join('|').toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT NAMEFOLDER FROM POK WHERE KODELMT = 500")).toString(),
              QStringLiteral("Дети (0-17 лет)"));
    EXPECT_EQ(generator(), 500);
    m_a->rows.last();
    ASSERT_TRUE(m_a->controller.addIndicator());
    EXPECT_EQ(m_a->elements.lastAddedKey().toInt(), 501);
    // The new indicator's alternative code is its code.
    EXPECT_EQ(scalar(QStringLiteral("SELECT KODALT FROM POK WHERE KODELMT = 501")).toString(),
              QStringLiteral("501"));
}

TEST_F(IndicatorsTest, ACodeTheFundsUseIsNotChanged) {
    // Aggregated fund rows have no foreign key: only the check keeps them from
    // losing their indicator.
    ASSERT_TRUE(m_a->open(5));
    m_a->rows.last();
    ASSERT_TRUE(m_a->controller.addIndicator());
    const int code = m_a->elements.lastAddedKey().toInt();
    exec(*m_fact,
         QStringLiteral("INSERT INTO FD_DOLGAGR (KOD1, KOD2, KODPOK, KODPOK1, KODPOK2) "
                        "VALUES (1, 0, 10, :C, 0)"),
         {{"C", code}});
    const int row = m_a->rows.currentRow();
    EXPECT_FALSE(m_a->type(row, "KodElmt", QStringLiteral("900")));
    EXPECT_EQ(
        m_a->messages(),
        QStringList{QStringLiteral("Показатель с кодом = ") + QString::number(code) +
                    QStringLiteral(" используется в фондах данных. Изменить его код нельзя")});
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM POK WHERE KODELMT = :C"), {{"C", code}})
                  .toInt(),
              1);
    // A code with no fund rows changes.
    m_a->prompter.clear();
    exec(*m_fact, QStringLiteral("DELETE FROM FD_DOLGAGR WHERE KODPOK1 = :C"), {{"C", code}});
    EXPECT_TRUE(m_a->type(row, "KodElmt", QStringLiteral("900")));
    EXPECT_TRUE(m_a->messages().isEmpty());
}

TEST_F(IndicatorsTest, AnEditTheDatabaseRefusesIsReported) {
    ASSERT_TRUE(m_a->open(3));
    // Longer than POK.NAMEFOLDER: the server refuses it.
    EXPECT_FALSE(m_a->type(1, "NameFolder", QString(300, QChar(u'Щ'))));
    ASSERT_EQ(m_a->prompter.shown().size(), 1);
    EXPECT_TRUE(m_a->messages().last().startsWith(
        QStringLiteral("Ошибка при сохранении показателя\r\n\r\n")));
    EXPECT_EQ(m_a->rows.value(1, QStringLiteral("NAMEFOLDER")).toString(),
              QStringLiteral("Врачи-терапевты участковые"));
    m_a->prompter.clear();
    EXPECT_TRUE(m_a->type(1, "Eiz", QStringLiteral("человек")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT EIZ FROM POK WHERE KODELMT = 11")).toString(),
              QStringLiteral("человек"));
}

TEST_F(IndicatorsTest, CopyPasteAndDelete) {
    ASSERT_TRUE(m_a->open(5));  // 19..22; the funds use 19 and 20
    m_a->rows.setCurrentRow(2); // code 21
    ASSERT_TRUE(m_a->controller.copyIndicator());
    m_a->rows.setCurrentRow(3);
    ASSERT_TRUE(m_a->controller.pasteIndicator());
    ASSERT_EQ(m_a->rows.count(), 5);
    EXPECT_EQ(m_a->rows.value(4, QStringLiteral("NAMEFOLDER")).toString(),
              QStringLiteral("Взрослые"));
    EXPECT_EQ(m_a->rows.value(4, QStringLiteral("KODALT")).toString(), QStringLiteral("В"));
    const int copy = m_a->rows.value(4, QStringLiteral("KODELMT")).toInt();
    EXPECT_GT(copy, 22);

    // The held indicator deleted by another program.
    exec(*m_fact, QStringLiteral("DELETE FROM POK WHERE KODELMT = 21"));
    EXPECT_FALSE(m_a->controller.pasteIndicator());
    EXPECT_EQ(m_a->messages(), QStringList{QStringLiteral("Копируемый показатель удален")});
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM POK WHERE KODFOLDER = 5")).toInt(), 4);

    // Deleting the held indicator forgets it.
    m_a->prompter.clear();
    ASSERT_TRUE(m_a->rows.locate(QStringLiteral("KODELMT"), copy));
    ASSERT_TRUE(m_a->controller.copyIndicator());
    m_a->prompter.answer(Answer::Yes);
    ASSERT_TRUE(m_a->controller.deleteIndicator());
    EXPECT_EQ(m_a->prompter.shown().first().defaultButton, Answer::No);
    EXPECT_EQ(m_a->messages(),
              QStringList{QStringLiteral("Вы действительно хотите удалить показатель ?")});
    EXPECT_FALSE(m_a->controller.holding());
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM POK WHERE KODELMT = :C"), {{"C", copy}})
                  .toInt(),
              0);
}

TEST_F(IndicatorsTest, ARubricInUseBelowIsNotDeleted) {
    exec(*m_fact, QStringLiteral("UPDATE RUB SET ISINUSE = 1 WHERE KODFOLDER = 2"));
    ASSERT_TRUE(m_a->engine.selectKey(1));
    EXPECT_FALSE(m_a->controller.deleteRubric());
    EXPECT_EQ(m_a->messages(),
              QStringList{QStringLiteral("С разделом работают другие пользователи")});
    exec(*m_fact, QStringLiteral("UPDATE RUB SET ISINUSE = 0"));
    // Its indicators have fund rows: the server refuses, the rubric stays.
    m_a->prompter.clear();
    m_a->prompter.answer(Answer::Yes);
    EXPECT_FALSE(m_a->controller.deleteRubric());
    EXPECT_EQ(m_a->messages().first(),
              QStringLiteral("Вы действительно хотите удалить раздел и все его показатели ?"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM RUB WHERE KODFOLDER IN (1, 2)")).toInt(),
              2);
}

TEST_F(IndicatorsTest, ExportThenImportRecodesEveryIndicator) {
    const QString path = file("RUB3.DBF");
    // A name longer than the file's field goes in cut, and the user is told.
    const QString longName = QStringLiteral("Число врачей - всего") + QString(180, QChar(u'ж'));
    exec(*m_fact,
         QStringLiteral("UPDATE POK SET NAMEFOLDER = '%1' WHERE KODELMT = 10").arg(longName));
    ASSERT_TRUE(m_a->engine.selectKey(3));
    m_a->prompter.file(path);
    ASSERT_TRUE(m_a->controller.exportRubric());
    EXPECT_EQ(m_a->messages(),
              QStringList{QStringLiteral("Тексты длиннее полей файла записаны не полностью: 1")});
    {
        DbfTable t = DbfTable::open(path);
        EXPECT_EQ(t.recordCount(), 6);
        EXPECT_EQ(t.text(0), QStringLiteral("Медицинские кадры"));
        EXPECT_EQ(t.integer(1), 0);
        t.next();
        EXPECT_EQ(t.text(0), longName.left(150));
        EXPECT_EQ(t.integer(1), 10);
        EXPECT_EQ(t.text(2), QStringLiteral("В01"));
    }
    // Exporting onto the file asks first; Cancel leaves it.
    m_a->prompter.file(path).answer(Answer::Cancel);
    EXPECT_FALSE(m_a->controller.exportRubric());

    const int before = maxCode();
    m_a->prompter.clear();
    m_a->prompter.file(path);
    ASSERT_TRUE(m_a->controller.importRubric());
    EXPECT_TRUE(m_a->messages().isEmpty()) << m_a->messages().join('|').toStdString();
    const int rubric = scalar(QStringLiteral("SELECT MAX(KODFOLDER) FROM RUB")).toInt();
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT NAMEFOLDER FROM RUB WHERE KODFOLDER = :R"), {{"R", rubric}})
            .toString(),
        QStringLiteral("Медицинские кадры"));
    QString expected = kHeader;
    const QVariantList names = column(
        *m_fact, QStringLiteral("SELECT NAMEFOLDER FROM POK WHERE KODFOLDER = 3 ORDER BY NPP"));
    const QVariantList codes =
        column(*m_fact, QStringLiteral("SELECT KODELMT FROM POK WHERE KODFOLDER = :R ORDER BY NPP"),
               {{"R", rubric}});
    ASSERT_EQ(codes.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(codes[i].toInt(), before + 1 + i);
        expected += protocolLine(names[i].toString(), 10 + i, before + 1 + i);
    }
    EXPECT_EQ(m_a->protocolCaption, QStringLiteral("Протокол импорта показателей"));
    EXPECT_EQ(m_a->protocolText, expected);
    EXPECT_EQ(generator(), before + 5 + 3);
    EXPECT_EQ(m_a->tree.current()->text(), QStringLiteral("Медицинские кадры"));
    EXPECT_EQ(m_a->engine.keyOf(m_a->tree.current()), rubric);
}

TEST_F(IndicatorsTest, AFileWithoutHeaderKeepsFreeCodes) {
    const QString path = file("FREE.DBF");
    writeFile(path, kFields,
              {{QStringLiteral("Новый"), 700, QString(), QStringLiteral("шт.")},
               {QStringLiteral("Занятый"), 3, QStringLiteral("З"), QString()}});
    m_a->prompter.file(path);
    ASSERT_TRUE(m_a->controller.importRubric());
    const int rubric = scalar(QStringLiteral("SELECT MAX(KODFOLDER) FROM RUB")).toInt();
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT NAMEFOLDER FROM RUB WHERE KODFOLDER = :R"), {{"R", rubric}})
            .toString(),
        QStringLiteral("Импортированный сборник"));
    // A blank alternative code becomes the code's text.
    EXPECT_EQ(scalar(QStringLiteral("SELECT KODALT FROM POK WHERE KODELMT = 700")).toString(),
              QStringLiteral("700"));
    EXPECT_EQ(m_a->protocolText, kHeader + protocolLine(QStringLiteral("Занятый"), 3, 701));
    EXPECT_EQ(scalar(QStringLiteral("SELECT KODALT FROM POK WHERE KODELMT = 701")).toString(),
              QStringLiteral("З"));
    EXPECT_EQ(generator(), 704);
}

TEST_F(IndicatorsTest, FilesOfAnotherLayoutOrDamagedAreRefused) {
    const int rubrics = scalar(QStringLiteral("SELECT COUNT(*) FROM RUB")).toInt();
    const QString five = file("FIVE.DBF");
    writeFile(five, kFields + QStringList{QStringLiteral("Extra;C;5;0")},
              {{QStringLiteral("A"), 800, QString(), QString()}});
    const QString reordered = file("ORDER.DBF");
    writeFile(reordered,
              {QStringLiteral("NameFolder;C;150;0"), QStringLiteral("KodAlt;N;8;0"),
               QStringLiteral("KodElmt;C;20;0"), QStringLiteral("Eiz;C;12;0")},
              {{QStringLiteral("A"), 800, QString(), QString()}});
    const QString empty = file("EMPTY.DBF");
    writeFile(empty, kFields, {});
    const QString damaged = file("BAD.DBF");
    QFile::copy(five, damaged);
    QFile::resize(damaged, 40);
    m_a->prompter.file(five).file(reordered).file(empty).file(damaged).file(file("NONE.DBF"));
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(m_a->controller.importRubric());
    const QStringList texts = m_a->messages();
    ASSERT_EQ(texts.size(), 5);
    EXPECT_EQ(texts[0], QStringLiteral("Файл не содержит справочник показателей"));
    EXPECT_EQ(texts[1], QStringLiteral("Файл не содержит справочник показателей"));
    EXPECT_EQ(texts[2], QStringLiteral("Загружаемый справочник пуст"));
    EXPECT_TRUE(texts[3].startsWith(QStringLiteral("Ошибка при открытии. Повторите...\r\n\r\n")));
    EXPECT_TRUE(texts[3].contains(QStringLiteral("повреждён")));
    EXPECT_EQ(texts[4], QStringLiteral("Импортируемый файл не найден"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM RUB")).toInt(), rubrics);
}

TEST_F(IndicatorsTest, ARubricImportedByOneProgramReachesTheOther) {
    PokInstance b(*m_dbs);
    const QString path = file("FREE.DBF");
    writeFile(path, kFields,
              {{QStringLiteral("Раздел из файла"), 0, QString(), QString()},
               {QStringLiteral("Новый"), 700, QString(), QString()}});
    m_a->prompter.file(path);
    ASSERT_TRUE(m_a->controller.importRubric());
    ASSERT_TRUE(b.engine.selectKey(3));
    EXPECT_FALSE(b.controller.addRubric());
    EXPECT_EQ(b.messages(),
              QStringList{QStringLiteral("Разделы изменены другим пользователем. Повторите...")});
    EXPECT_TRUE(b.engine.selectKey(7));
    EXPECT_EQ(b.tree.current()->text(), QStringLiteral("Раздел из файла"));
    // The other program's indicator grid is told too.
    ASSERT_TRUE(b.open(3));
    ASSERT_TRUE(m_a->open(3));
    ASSERT_TRUE(m_a->controller.addIndicator());
    b.prompter.clear();
    EXPECT_FALSE(b.controller.addIndicator());
    EXPECT_EQ(b.messages(),
              QStringList{QStringLiteral("Справочник изменен другим пользователем\r\n") +
                          QString(22, QLatin1Char(' ')) + QStringLiteral("Повторите...")});
}

TEST_F(IndicatorsTest, ACodeTakenByAnotherUserMeanwhileIsPassedOver) {
    // Another user inserts the next free code and commits while the import waits on it.
    const int next = maxCode() + 1;
    m_fact->startTransaction();
    exec(*m_fact,
         QStringLiteral("INSERT INTO POK (KODELMT, NPP, KODFOLDER, NAMEFOLDER) "
                        "VALUES (:C, 900, 5, 'Чужой')"),
         {{"C", next}});
    std::thread other([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        m_fact->commit();
    });
    const QString path = file("TAKEN.DBF");
    writeFile(path, kFields, {{QStringLiteral("Занятый"), 3, QStringLiteral("З"), QString()}});
    m_a->prompter.file(path);
    const bool imported = m_a->controller.importRubric();
    other.join();
    ASSERT_TRUE(imported) << m_a->messages().join('|').toStdString();
    EXPECT_EQ(m_a->protocolText, kHeader + protocolLine(QStringLiteral("Занятый"), 3, next + 1));
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT NAMEFOLDER FROM POK WHERE KODELMT = :C"), {{"C", next + 1}})
            .toString(),
        QStringLiteral("Занятый"));
}
