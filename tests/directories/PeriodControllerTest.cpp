#include "PeriodController.h"
#include "PeriodTestFixture.h"

using namespace dbtest;
using Fund = PeriodController::Fund;

namespace {

const QString kErase = QStringLiteral("Стереть данные скорректированного периода ?");

class PeriodEdits : public PeriodTest {
protected:
    void SetUp() override {
        PeriodTest::SetUp();
        connectAs();
    }
    // Long-term years with their value columns, as earlier additions left them.
    void longTermYears(const QString& field, int columnCount) {
        for (int k = 1; k <= columnCount; ++k)
            for (const char* table : {"FD_DOLGAGR", "FD_DOLGELM"})
                exec(*m_check, QStringLiteral("ALTER TABLE %1 ADD D%2 VARCHAR (250)")
                                   .arg(QLatin1String(table))
                                   .arg(k));
        setNast(field, QString());
    }
    PeriodController& controller() {
        if (!m_controller) {
            m_controller = std::make_unique<PeriodController>(*m_dm, m_prompter, m_lists);
            EXPECT_TRUE(m_controller->load());
        }
        return *m_controller;
    }
    void addYear(Fund fund, const QString& typed) {
        const int node = controller().add(fund);
        ASSERT_GE(node, 0);
        controller().endEdit(fund, node, typed);
    }
    QString elmValue(const char* sql) {
        return scalar(*m_check, QString::fromLatin1(sql)).toString();
    }

    std::unique_ptr<PeriodController> m_controller;
};

} // namespace

TEST_F(PeriodEdits, AddingLongTermYearsAddsTheirValueColumns) {
    addYear(Fund::Dolg, QStringLiteral(" 2003 "));
    addYear(Fund::Dolg, QStringLiteral("20045")); // cut to four characters
    EXPECT_TRUE(m_prompter.texts().isEmpty()) << m_prompter.texts().join('|').toStdString();
    EXPECT_EQ(nast("GODDOLG"), QStringLiteral("20032004"));
    EXPECT_EQ(columns("FD_DOLGAGR"), (QStringList{"KODPOK", "KODPOK1", "KODPOK2", "D1", "D2"}));
    EXPECT_EQ(columns("FD_DOLGELM").mid(4), (QStringList{"D1", "D2"}));
    EXPECT_EQ(controller().nodes(Fund::Dolg), (QStringList{"2003", "2004"}));
    EXPECT_EQ(m_lists.dolg.years, (QList<int>{2003, 2004}));
    EXPECT_FALSE(m_dm->dbMain.inTransaction());

    // The new columns take values at once.
    addObjectAndIndicator();
    exec(*m_check, QStringLiteral("INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, "
                                  "D2) VALUES (1, 7, 0, 0, '12,5')"));
    EXPECT_EQ(elmValue("SELECT D2 FROM FD_DOLGELM"), QStringLiteral("12,5"));
}

TEST_F(PeriodEdits, NoYearForANewNodeTouchesNothing) {
    longTermYears(QStringLiteral("2003"), 1);
    for (const char* typed : {"0000", "", "  ", "0", "-0"}) {
        const int node = controller().add(Fund::Dolg);
        ASSERT_EQ(node, 1);
        controller().endEdit(Fund::Dolg, node, QString::fromLatin1(typed));
        EXPECT_EQ(controller().nodes(Fund::Dolg), (QStringList{"2003"})) << typed;
        EXPECT_EQ(controller().selected(Fund::Dolg), 0);
    }
    EXPECT_EQ(nast("GODDOLG"), QStringLiteral("2003"));
    EXPECT_EQ(columns("FD_DOLGAGR").size(), 4);
    EXPECT_TRUE(m_prompter.texts().isEmpty());

    // The only node dropped leaves an empty, disabled page.
    ASSERT_EQ(controller().add(Fund::Oper), 0);
    controller().endEdit(Fund::Oper, 0, QStringLiteral("0000"));
    EXPECT_FALSE(controller().treeEnabled(Fund::Oper));
    EXPECT_EQ(controller().selected(Fund::Oper), -1);
}

TEST_F(PeriodEdits, RefusedEntriesKeepListsAndDatabase) {
    longTermYears(QStringLiteral("20032004"), 2);
    addYear(Fund::Dolg, QStringLiteral("2004"));
    addYear(Fund::Dolg, QStringLiteral("20x4"));
    controller().endEdit(Fund::Dolg, 0, QStringLiteral("2004"));
    controller().endEdit(Fund::Dolg, 1, QStringLiteral("год"));
    EXPECT_EQ(m_prompter.texts(), (QStringList{"Данный год уже задан", "Год должен быть числом",
                                               "Данный год уже задан", "Год должен быть числом"}));
    EXPECT_EQ(m_prompter.shown().first().icon, PromptIcon::Error);
    EXPECT_EQ(controller().nodes(Fund::Dolg), (QStringList{"2003", "2004"}));
    EXPECT_EQ(nast("GODDOLG"), QStringLiteral("20032004"));
    EXPECT_EQ(columns("FD_DOLGELM").size(), 6);

    // The same year typed again over itself is no change and asks nothing.
    m_prompter.clear();
    controller().endEdit(Fund::Dolg, 1, QStringLiteral("2004"));
    EXPECT_TRUE(m_prompter.texts().isEmpty());
}

TEST_F(PeriodEdits, ClearingALongTermYearKeepsTheColumnsOfLaterYears) {
    longTermYears(QStringLiteral("200120022003"), 3);
    addObjectAndIndicator();
    exec(*m_check, QStringLiteral("INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, "
                                  "D1, D2, D3) VALUES (1, 7, 0, 0, 'a', 'b', 'c')"));
    exec(*m_check, QStringLiteral("INSERT INTO FD_DOLGAGR (KODPOK, KODPOK1, KODPOK2, D1, D2, D3) "
                                  "VALUES (7, 0, 0, 'x', 'y', 'z')"));

    m_prompter.answer(Answer::No);
    controller().endEdit(Fund::Dolg, 1, QString());
    EXPECT_EQ(m_prompter.texts(), QStringList{kErase});
    EXPECT_EQ(nast("GODDOLG"), QStringLiteral("200199992003"));
    EXPECT_EQ(elmValue("SELECT D2 FROM FD_DOLGELM"), QStringLiteral("b"));
    EXPECT_EQ(YearPosition(2003, m_lists.dolg), 3);

    // Renaming the placeholder and erasing its data empties only that column.
    m_prompter.answer(Answer::Yes);
    controller().endEdit(Fund::Dolg, 1, QStringLiteral("2005"));
    EXPECT_EQ(nast("GODDOLG"), QStringLiteral("200120052003"));
    EXPECT_EQ(elmValue("SELECT D1 || '|' || D2 || '|' || D3 FROM FD_DOLGELM"),
              QStringLiteral("a||c"));
    EXPECT_EQ(elmValue("SELECT D1 || '|' || D2 || '|' || D3 FROM FD_DOLGAGR"),
              QStringLiteral("x||z"));
    EXPECT_EQ(columns("FD_DOLGELM").mid(4), (QStringList{"D1", "D2", "D3"}));
    EXPECT_TRUE(m_prompter.allAnswersUsed());
}

TEST_F(PeriodEdits, RenamingAnOperationalYearMovesOrDeletesItsRows) {
    setNast(QString(), QStringLiteral("20032004"));
    addObjectAndIndicator();
    for (int year : {2003, 2004}) {
        exec(*m_check,
             QStringLiteral("INSERT INTO FD_OPERELM (KODFOLDER, KODPOK, KODPOK1, "
                            "KODPOK2, GOD, D1) VALUES (1, 7, 0, 0, :G, :V)"),
             {{"G", year}, {"V", QString::number(year)}});
        exec(*m_check,
             QStringLiteral("INSERT INTO FD_OPERAGR (KODPOK, KODPOK1, KODPOK2, GOD, D1) "
                            "VALUES (7, 0, 0, :G, :V)"),
             {{"G", year}, {"V", QString::number(year)}});
    }
    const QString years = QStringLiteral("SELECT LIST(GOD || '=' || D1, ' ') FROM (SELECT GOD, D1 "
                                         "FROM %1 ORDER BY GOD)");

    m_prompter.answer(Answer::No);
    controller().endEdit(Fund::Oper, 0, QStringLiteral("2005"));
    EXPECT_EQ(m_prompter.texts(), QStringList{kErase});
    EXPECT_EQ(nast("GODOPER"), QStringLiteral("20052004"));
    EXPECT_EQ(scalar(*m_check, years.arg("FD_OPERELM")).toString(),
              QStringLiteral("2004=2004 2005=2003"));
    EXPECT_EQ(scalar(*m_check, years.arg("FD_OPERAGR")).toString(),
              QStringLiteral("2004=2004 2005=2003"));

    m_prompter.answer(Answer::Yes);
    controller().endEdit(Fund::Oper, 0, QStringLiteral("2006"));
    EXPECT_EQ(nast("GODOPER"), QStringLiteral("20062004"));
    EXPECT_EQ(scalar(*m_check, years.arg("FD_OPERELM")).toString(), QStringLiteral("2004=2004"));
    EXPECT_EQ(scalar(*m_check, years.arg("FD_OPERAGR")).toString(), QStringLiteral("2004=2004"));

    // A new operational year changes the list only.
    addYear(Fund::Oper, QStringLiteral("2007"));
    EXPECT_EQ(nast("GODOPER"), QStringLiteral("200620042007"));
    EXPECT_EQ(columns("FD_OPERELM").size(), 17);
}

TEST_F(PeriodEdits, AFailedOperationalRenameUndoesEveryStep) {
    setNast(QString(), QStringLiteral("2003"));
    addObjectAndIndicator();
    // Rows of 2005 left outside the list collide with the moved rows of 2003.
    for (int year : {2003, 2005}) {
        exec(*m_check,
             QStringLiteral("INSERT INTO FD_OPERAGR (KODPOK, KODPOK1, KODPOK2, GOD) "
                            "VALUES (7, 0, 0, :G)"),
             {{"G", year}});
        exec(*m_check,
             QStringLiteral("INSERT INTO FD_OPERELM (KODFOLDER, KODPOK, KODPOK1, "
                            "KODPOK2, GOD) VALUES (1, 7, 0, 0, :G)"),
             {{"G", year}});
    }
    m_prompter.answer(Answer::No);
    controller().endEdit(Fund::Oper, 0, QStringLiteral("2005"));
    EXPECT_EQ(m_prompter.lastText(),
              QStringLiteral("Пользователь SYSDBA\r\nне имеет прав на добавление/корректировку "
                             "периода"));
    EXPECT_EQ(nast("GODOPER"), QStringLiteral("2003"));
    EXPECT_EQ(controller().nodes(Fund::Oper), QStringList{"2003"});
    EXPECT_EQ(m_lists.oper.years, QList<int>{2003});
    // FD_OPERAGR had no unique index and was updated first: rolled back as well.
    EXPECT_EQ(column(*m_check, QStringLiteral("SELECT GOD FROM FD_OPERAGR ORDER BY GOD")),
              (QVariantList{2003, 2005}));
    EXPECT_FALSE(m_dm->dbMain.inTransaction());
}

TEST_F(PeriodEdits, AFailedColumnAdditionLeavesNoColumnBehind) {
    longTermYears(QStringLiteral("2003"), 1);
    // A stray column of the next position in one table only makes the second ALTER fail.
    exec(*m_check, QStringLiteral("ALTER TABLE FD_DOLGELM ADD D2 VARCHAR (250)"));
    addYear(Fund::Dolg, QStringLiteral("2004"));
    ASSERT_EQ(m_prompter.texts().size(), 1);
    EXPECT_TRUE(m_prompter.lastText().contains(QStringLiteral("D2")))
        << m_prompter.lastText().toStdString();
    EXPECT_EQ(columns("FD_DOLGAGR").mid(3), QStringList{"D1"});
    EXPECT_EQ(nast("GODDOLG"), QStringLiteral("2003"));
    EXPECT_EQ(controller().nodes(Fund::Dolg), QStringList{"2003"});
    EXPECT_EQ(m_lists.dolg.count(), 1);
}

TEST_F(PeriodEdits, AFullListTakesNoFurtherYear) {
    QString field;
    for (int year = 1951; year <= 2000; ++year)
        field += QString::number(year);
    setNast(QString(), field);
    EXPECT_EQ(controller().add(Fund::Oper), -1);
    EXPECT_EQ(m_prompter.texts(), QStringList{"Задано наибольшее возможное число периодов (50)"});
    EXPECT_EQ(controller().nodes(Fund::Oper).size(), 50);
    // Renaming inside a full list still works.
    m_prompter.answer(Answer::No);
    controller().endEdit(Fund::Oper, 49, QStringLiteral("2001"));
    EXPECT_EQ(nast("GODOPER").right(8), QStringLiteral("19992001"));
}

TEST_F(PeriodEdits, AYearIsAddedWhileAnotherUserReadsTheFund) {
    longTermYears(QStringLiteral("2003"), 1);
    addObjectAndIndicator();
    exec(*m_check, QStringLiteral("INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, "
                                  "D1) VALUES (1, 7, 0, 0, '5')"));
    // The other workstation keeps its transaction and a prepared reader open.
    auto other = m_dbs->connect(0);
    other->startTransaction();
    DbStatement& reader = other->statement(QStringLiteral("quFFDDolGElm"));
    reader.setSql(QStringList{QStringLiteral("SELECT D1"),
                              QStringLiteral("FROM FD_DOLGELM WHERE KODFOLDER=:KODFOLDER and "
                                             "KODPOK=:KODPOK and KODPOK1=:KODPOK1 and "
                                             "KODPOK2=:KODPOK2")});
    reader.setParam(QStringLiteral("KODFOLDER"), 1);
    reader.setParam(QStringLiteral("KODPOK"), 7);
    reader.setParam(QStringLiteral("KODPOK1"), 0);
    reader.setParam(QStringLiteral("KODPOK2"), 0);
    reader.open();
    EXPECT_EQ(reader.value(0).toString(), QStringLiteral("5"));

    addYear(Fund::Dolg, QStringLiteral("2004"));
    EXPECT_TRUE(m_prompter.texts().isEmpty()) << m_prompter.texts().join('|').toStdString();
    EXPECT_EQ(columns("FD_DOLGELM").mid(4), (QStringList{"D1", "D2"}));

    // Its next transaction reads the new column.
    other->commit();
    reader.setSql(QStringList{QStringLiteral("SELECT D1,D2"), reader.sql().at(1)});
    reader.open();
    EXPECT_EQ(reader.value(0).toString(), QStringLiteral("5"));
    EXPECT_TRUE(reader.value(1).isNull());
}

TEST_F(PeriodEdits, AListChangedByAnotherUserIsNotOverwritten) {
    setNast(QStringLiteral("2003"), QStringLiteral("20032004"));
    addObjectAndIndicator();
    exec(*m_check, QStringLiteral("INSERT INTO FD_OPERELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, "
                                  "GOD) VALUES (1, 7, 0, 0, 2005)"));
    ASSERT_EQ(controller().nodes(Fund::Oper), (QStringList{"2003", "2004"}));
    // Meanwhile another administrator renamed 2003 to 2005 and moved its rows.
    setNast(QStringLiteral("2003"), QStringLiteral("20052004"));

    m_prompter.answer(Answer::No);
    controller().endEdit(Fund::Oper, 0, QStringLiteral("2006"));
    EXPECT_EQ(m_prompter.texts().last(),
              QStringLiteral("Периоды хранения изменены другим пользователем.\r\n"
                             "Список обновлён, повторите ввод"));
    EXPECT_EQ(nast("GODOPER"), QStringLiteral("20052004"));
    EXPECT_EQ(scalar(*m_check, QStringLiteral("SELECT GOD FROM FD_OPERELM")).toInt(), 2005);
    EXPECT_EQ(controller().nodes(Fund::Oper), (QStringList{"2005", "2004"}));

    // A long-term year added elsewhere: the next one goes to the next column.
    exec(*m_check, QStringLiteral("ALTER TABLE FD_DOLGAGR ADD D1 VARCHAR (250)"));
    exec(*m_check, QStringLiteral("ALTER TABLE FD_DOLGELM ADD D1 VARCHAR (250)"));
    exec(*m_check, QStringLiteral("ALTER TABLE FD_DOLGAGR ADD D2 VARCHAR (250)"));
    exec(*m_check, QStringLiteral("ALTER TABLE FD_DOLGELM ADD D2 VARCHAR (250)"));
    setNast(QStringLiteral("20032004"), QStringLiteral("20052004"));
    m_prompter.clear();
    addYear(Fund::Dolg, QStringLiteral("2005"));
    EXPECT_TRUE(m_prompter.texts().isEmpty()) << m_prompter.texts().join('|').toStdString();
    EXPECT_EQ(nast("GODDOLG"), QStringLiteral("200320042005"));
    EXPECT_EQ(columns("FD_DOLGAGR").mid(3), (QStringList{"D1", "D2", "D3"}));
}
