#include "ObjectsController.h"
#include "AggregationFixture.h"
#include "DbfTable.h"
#include "ElementRowSet.h"

#include <QTemporaryDir>

namespace {

// The objects directory of one running program.
struct ElmModel {
    explicit ElmModel(FactInstance& i)
        : rows(i.dm.query(QStringLiteral("quElm"))), controller(i.dm, i.prompter, rows, i.state) {
        controller.load();
        controller.attachGridEditing();
    }
    // Types into the grid as the user does.
    bool type(int row, int column, const QVariant& value) {
        return rows.setData(rows.index(row, column), value, Qt::EditRole);
    }
    QVariantList codes() const {
        QVariantList out;
        for (int r = 0; r < rows.count(); ++r)
            out << rows.value(r, QStringLiteral("KODFOLDER"));
        return out;
    }
    double current() const { return rows.value(QStringLiteral("KODFOLDER")).toDouble(); }

    ElementRowSet rows;
    ObjectsController controller;
};

class ObjectsTest : public FactTest {
protected:
    QVariantList npps() { return column(QStringLiteral("SELECT NPP FROM ELM ORDER BY NPP")); }
    double nppOf(int code) {
        return scalar(QStringLiteral("SELECT NPP FROM ELM WHERE KODFOLDER = :K"), {{"K", code}})
            .toDouble();
    }
};

} // namespace

TEST(ObjectFilter, ConditionsForTheSetValuesOnly) {
    ObjectFilter f({1, 3, 4});
    EXPECT_FALSE(f.isActive());
    EXPECT_EQ(f.whereClause(), QString());
    f.set(1, 7);
    f.set(2, 2.5);
    EXPECT_TRUE(f.isActive());
    EXPECT_EQ(f.whereClause(), QStringLiteral("WHERE KOD3 = :KodFilter3 AND KOD4 = :KodFilter4"));
    EXPECT_TRUE(f.accepts(0, QVariant()));
    EXPECT_TRUE(f.accepts(1, 7.0));
    EXPECT_FALSE(f.accepts(1, QVariant()));
    EXPECT_FALSE(f.accepts(2, 2.0));
    f.clear();
    EXPECT_FALSE(f.isActive());
}

TEST_F(ObjectsTest, AddingAndMovingFollowTheNppRule) {
    exec(QStringLiteral("UPDATE ELM SET NPP = 99 + KODFOLDER WHERE KODFOLDER <= 3"));
    exec(QStringLiteral("UPDATE ELM SET NPP = 1000 + KODFOLDER WHERE KODFOLDER > 3"));
    ElmModel m(*m_a);
    ASSERT_EQ(m.rows.count(), 8);
    // 100/101/102: no room after 100, none after 101 either: everything renumbered.
    ASSERT_TRUE(m.controller.addObject()) << m_a->messages().join('|').toStdString();
    EXPECT_EQ(m.current(), 9.0);
    EXPECT_EQ(nppOf(9), 150);
    EXPECT_EQ(nppOf(1), 100);
    EXPECT_EQ(nppOf(2), 200);
    EXPECT_EQ(nppOf(3), 300);
    EXPECT_EQ(nppOf(8), 800);
    // A gap of one: the following object moves into its own gap.
    exec(QStringLiteral("UPDATE ELM SET NPP = 151 WHERE KODFOLDER = 2"));
    m.controller.reopenAt(9.0);
    ASSERT_TRUE(m.controller.addObject());
    EXPECT_EQ(m.current(), 10.0);
    EXPECT_EQ(nppOf(2), 225);
    EXPECT_EQ(nppOf(10), 187);
    // Adding after the last object puts it a step further.
    m.rows.last();
    ASSERT_TRUE(m.controller.addObject());
    EXPECT_EQ(nppOf(11), 900);

    // Dropped on the first row: half its position; on the title row: the end.
    ASSERT_EQ(m.rows.value(2, QStringLiteral("KODFOLDER")).toDouble(), 10.0);
    ASSERT_TRUE(m.controller.moveObject(2, 0));
    EXPECT_EQ(m.current(), 10.0);
    EXPECT_EQ(nppOf(10), 50);
    ASSERT_TRUE(m.controller.moveObject(0, -1));
    EXPECT_EQ(nppOf(10), 1000);
    EXPECT_EQ(m.codes().last(), 10.0);
    EXPECT_TRUE(m_a->messages().isEmpty());
}

TEST_F(ObjectsTest, FilteredListAddsMembersRightAfterTheCurrentObject) {
    ElmModel m(*m_a);
    EXPECT_EQ(m.controller.attachedNames(),
              (QStringList{QStringLiteral("Территории"), QStringLiteral("Виды учреждений")}));
    ASSERT_TRUE(m.controller.applyFilter(0, 4, QStringLiteral("Город Заречный")));
    EXPECT_EQ(m.codes(), (QVariantList{1.0, 4.0, 5.0, 6.0}));
    EXPECT_EQ(m.rows.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Город Заречный"));
    m.rows.setCurrentRow(1);
    ASSERT_TRUE(m.controller.addObject());
    EXPECT_EQ(m.codes(), (QVariantList{1.0, 4.0, 9.0, 5.0, 6.0}));
    EXPECT_EQ(nppOf(9), 450);
    EXPECT_EQ(scalar(QStringLiteral("SELECT CAST(KOD1 AS INTEGER) || '/' || AGR1 || '/' || AGR2 "
                                    "|| '/' || CAST(COALESCE(KOD2, 0) AS INTEGER) FROM ELM "
                                    "WHERE KODFOLDER = 9"))
                  .toString(),
              QStringLiteral("4/1/2/0"));
    // A membership typed away from the filtered node takes the object out of the list.
    m.rows.setCurrentRow(1);
    ASSERT_TRUE(m.type(1, ObjectsController::membershipColumn(0), QStringLiteral("2")));
    EXPECT_TRUE(m.controller.followFilterAfterEdit());
    EXPECT_EQ(m.codes(), (QVariantList{1.0, 9.0, 5.0, 6.0}));
    EXPECT_EQ(m.current(), 9.0);
    m.controller.removeFilter();
    EXPECT_EQ(m.rows.count(), 9);
    EXPECT_EQ(m.rows.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Территории"));
    EXPECT_TRUE(m_a->messages().isEmpty());
}

TEST_F(ObjectsTest, GridEditsCodesMembershipsAndTheirRefusals) {
    ElmModel m(*m_a);
    // The code column is shown only.
    EXPECT_FALSE(m.rows.flags(m.rows.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(m.type(0, 0, 77));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ELM WHERE KODFOLDER = 77")), 0);
    EXPECT_TRUE(m.type(0, 1, QStringLiteral("Больница")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT NAMEFOLDER FROM ELM WHERE KODFOLDER = 1")).toString(),
              QStringLiteral("Больница"));
    // A node that the directory does not have is refused by the reference.
    EXPECT_FALSE(m.type(0, 2, QStringLiteral("99")));
    EXPECT_FALSE(m.type(0, 2, QStringLiteral("x")));
    EXPECT_EQ(m_a->messages(),
              (QStringList{QStringLiteral("В справочнике \"Территории\" нет такого объекта"),
                           QStringLiteral("Код объекта должен быть числом больше нуля")}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT KOD1 FROM ELM WHERE KODFOLDER = 1")).toDouble(), 4.0);
    EXPECT_TRUE(m.type(0, 3, QString()));
    EXPECT_TRUE(scalar(QStringLiteral("SELECT KOD2 FROM ELM WHERE KODFOLDER = 1")).isNull());

    // The picker's path: the hint, the nodes and the stored choice.
    EXPECT_EQ(m.controller.nodeName(0, 4.0), QStringLiteral("Город Заречный"));
    EXPECT_EQ(m.controller.nodeName(0, 42.0), QString());
    m.rows.setCurrentRow(0);
    ASSERT_TRUE(m.controller.mayChangeMemberships());
    EXPECT_EQ(m.controller.nodesOf(1, QStringLiteral("Справочник пуст")).size(), 5);
    ASSERT_TRUE(m.controller.setMembership(1, 5));
    EXPECT_EQ(scalar(QStringLiteral("SELECT KOD2 FROM ELM WHERE KODFOLDER = 1")).toDouble(), 5.0);
    EXPECT_EQ(m.current(), 1.0);
}

TEST_F(ObjectsTest, AnObjectHoldingDataIsKeptWithARussianMessage) {
    ElmModel m(*m_a);
    ASSERT_GT(count(QStringLiteral("SELECT COUNT(*) FROM FD_DOLGELM WHERE KODFOLDER = 1")), 0);
    EXPECT_FALSE(m.controller.deleteObject());
    EXPECT_EQ(m_a->messages(), QStringList{QStringLiteral(
                                   "Объект не удален: в фондах данных хранятся его значения")});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ELM")), 8);
    EXPECT_EQ(m.current(), 1.0);
    ASSERT_TRUE(m.controller.addObject());
    EXPECT_EQ(m.current(), 9.0);
    ASSERT_TRUE(m.controller.deleteObject());
    EXPECT_EQ(m.current(), 2.0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ELM")), 8);
}

TEST_F(ObjectsTest, ExportUnderAFilterAsksAndWritesTheFilteredObjects) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ELM.DBF"));
    ElmModel m(*m_a);
    m.controller.applyFilter(1, 5, QStringLiteral("ФАП"));
    m_a->prompter.answer(Answer::Yes);
    EXPECT_FALSE(m.controller.exportObjects());
    m_a->prompter.answer(Answer::No).file(path);
    ASSERT_TRUE(m.controller.exportObjects());
    EXPECT_EQ(
        m_a->messages(),
        QStringList(2, QStringLiteral("На справочнике действует фильтр. Отменить экспорт ?")));
    DbfTable t = DbfTable::open(path);
    EXPECT_EQ(t.fieldNames(),
              (QStringList{QStringLiteral("KodFolder"), QStringLiteral("NameFolder"),
                           QStringLiteral("Kod1"), QStringLiteral("Kod2")}));
    QList<double> codes;
    for (t.first(); !t.eof(); t.next()) {
        codes << t.number(0);
        EXPECT_EQ(t.number(3), 5.0);
    }
    EXPECT_EQ(codes, (QList<double>{7, 8}));
    // The import is refused while filtered.
    m_a->prompter.clear();
    EXPECT_FALSE(m.controller.importObjects());
    EXPECT_EQ(m_a->messages(),
              QStringList{QStringLiteral("На справочнике действует фильтр\r\nИмпорт запрещен")});
}

TEST_F(ObjectsTest, ImportTakesWhatItCanAndSaysWhatItDropped) {
    exec(QStringLiteral("UPDATE SPISAGR SET ISINELM = 'F' WHERE NUMAGR = 2"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("IN.DBF"));
    {
        DbfTable t = DbfTable::create(
            path,
            ParseFieldList({QStringLiteral("KODFOLDER;N;20;4"),
                            QStringLiteral("NAMEFOLDER;C;200;0"), QStringLiteral("KOD1;N;10;4"),
                            QStringLiteral("KOD2;N;10;4"), QStringLiteral("KOD3;N;10;4")}));
        auto add = [&](double code, const char* name, double k1, double k2) {
            t.append();
            t.setNumber(0, code);
            t.setText(1, QString::fromUtf8(name));
            t.setNumber(2, k1);
            t.setNumber(3, k2);
            t.setNumber(4, 7);
        };
        add(3, "Копия", 2, 5);
        add(50, "Без района", 99, 5);
        add(51, "Новая", 3.7, 4);
        t.save();
    }
    ElmModel m(*m_a);
    ASSERT_EQ(m.controller.attached(), QList<int>{1});
    m_a->prompter.file(path);
    ASSERT_TRUE(m.controller.importObjects());
    EXPECT_EQ(m_a->messages(),
              QStringList{QStringLiteral("Загружено объектов: 3\r\nУ 1 из них не сохранена "
                                         "принадлежность: в справочниках независимых объектов нет "
                                         "указанных кодов")});
    EXPECT_EQ(m.rows.count(), 11);
    EXPECT_EQ(m.current(), 8.0);
    EXPECT_EQ(column(QStringLiteral("SELECT CAST(KODFOLDER AS INTEGER) || ':' || "
                                    "CAST(COALESCE(KOD1, 0) AS INTEGER) || ':' || "
                                    "CAST(COALESCE(KOD2, 0) AS INTEGER) || ':' || AGR2 FROM ELM "
                                    "WHERE NPP > 800 ORDER BY NPP")),
              (QVariantList{QStringLiteral("9:2:0:2"), QStringLiteral("50:0:0:2"),
                            QStringLiteral("51:3:0:2")}));
    EXPECT_EQ(npps().last().toDouble(), 1100);

    // KOD2 without KOD1 is not an objects file.
    const QString wrong = dir.filePath(QStringLiteral("WRONG.DBF"));
    DbfTable w = DbfTable::create(wrong, ParseFieldList({QStringLiteral("KODFOLDER;N;20;4"),
                                                         QStringLiteral("NAMEFOLDER;C;200;0"),
                                                         QStringLiteral("KOD2;N;10;4")}));
    w.save();
    m_a->prompter.clear();
    m_a->prompter.file(wrong);
    EXPECT_FALSE(m.controller.importObjects());
    EXPECT_EQ(m_a->messages(),
              QStringList{QStringLiteral("Файл не содержит справочник подчиненных объектов")});
}

TEST_F(ObjectsTest, AnotherProgramsChangeIsShownBeforeAdding) {
    FactInstance other(*m_dbs);
    ElmModel mine(*m_a);
    ElmModel theirs(other);
    theirs.rows.last();
    ASSERT_TRUE(theirs.controller.addObject());
    EXPECT_FALSE(mine.controller.addObject());
    EXPECT_EQ(m_a->messages(),
              QStringList{QStringLiteral("Справочник изменен другим пользователем. Повторите...")});
    EXPECT_EQ(mine.rows.count(), 9);
    ASSERT_TRUE(mine.controller.addObject());
    EXPECT_EQ(mine.current(), 10.0);
}
