#pragma once

#include "DbTestHelpers.h"
#include "ScriptedPrompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <gtest/gtest.h>

#include <memory>

// A data module connected to fresh databases, shared by the tests of a suite; each
// test gets its own prompter and a table of its own.
class TableDbFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setUpDatabases(false); }
    // `demo`: the databases carry the demo directories and tables.
    static void setUpDatabases(bool demo) {
        s_dbs = std::make_unique<TestDatabases>(demo);
        s_dm = std::make_unique<TdmMSSQL>(AppPrompter());
        s_dm->SetConnectionParams(s_dm->dbMain, s_dbs->factPath(), TestDatabases::password(),
                                  TestDatabases::user());
        s_dm->SetConnectionParams(s_dm->dbTab, s_dbs->tabPath(), TestDatabases::password(),
                                  TestDatabases::user());
        s_dm->dbMain.open();
        s_dm->dbTab.open();
        s_folder = dbtest::call(s_dm->dbTab, "INSERT_SBR",
                                {{"NPP", 100},
                                 {"NAMEFOLDER", QStringLiteral("Сборник")},
                                 {"NLEVEL", 1},
                                 {"NAMEID", QString()},
                                 {"KODSPIS", 0},
                                 {"NGOD", 0},
                                 {"NMES", 0}})
                       .output(QStringLiteral("KOD_FOLDER"))
                       .toInt();
    }
    static void TearDownTestSuite() {
        s_dm.reset();
        s_dbs.reset();
    }

    static TdmMSSQL& dm() { return *s_dm; }
    static DbConnection& tab() { return s_dm->dbTab; }
    static DbConnection& fact() { return s_dm->dbMain; }

    // A new CAT row without a workbook.
    static int newTable(int kodSpis = 0) {
        static int npp = 100;
        npp += 100;
        return dbtest::call(tab(), "INSERT_CAT",
                            {{"NPP", npp},
                             {"KODFOLDER", s_folder},
                             {"NAMEFOLDER", QStringLiteral("Таблица %1").arg(npp)},
                             {"KODALT", QStringLiteral("Ф-1")},
                             {"KODSPIS", kodSpis}})
            .output(QStringLiteral("KOD_ELMT"))
            .toInt();
    }
    static QByteArray storedBytes(int kodElmt) {
        return dbtest::scalar(tab(), QStringLiteral("SELECT TABF1 FROM CAT WHERE KODELMT = :K"),
                              {{"K", kodElmt}})
            .toByteArray();
    }
    static void storeBytes(int kodElmt, const QByteArray& bytes) {
        dbtest::exec(tab(), QStringLiteral("UPDATE CAT SET TABF1 = :B WHERE KODELMT = :K"),
                     {{"B", bytes}, {"K", kodElmt}});
    }

    // A small directory: indicators 25 (no alternative code) and 26 "В-1"; aggregation
    // directories 1 " Районы " and 2 "Ведомства"; code 40 in both of them and in the
    // objects directory, 41 in directory 1 only, 77 in the objects directory only.
    static void seedSmallDirectory() {
        for (const char* sql :
             {"INSERT INTO POK (KODELMT, NPP, KODFOLDER, NAMEFOLDER, KODALT) "
              "VALUES (25, 1, 1, 'Коек всего', NULL)",
              "INSERT INTO POK (KODELMT, NPP, KODFOLDER, NAMEFOLDER, KODALT) "
              "VALUES (26, 2, 1, 'Врачей', 'В-1')",
              "INSERT INTO SPISAGR (NUMAGR, NAMEAGR, NAMEAGRZAG, ISINELM) "
              "VALUES (1, ' Районы ', ' ', 'F')",
              "INSERT INTO SPISAGR (NUMAGR, NAMEAGR, NAMEAGRZAG, ISINELM) "
              "VALUES (2, 'Ведомства', ' ', 'F')",
              "INSERT INTO AGR (KODFOLDER, NUMAGR, NAMEFOLDER, NPP, NLEVEL) "
              "VALUES (40, 2, 'Минздрав', 1, 1)",
              "INSERT INTO AGR (KODFOLDER, NUMAGR, NAMEFOLDER, NPP, NLEVEL) "
              "VALUES (40, 1, 'Центральный', 1, 1)",
              "INSERT INTO AGR (KODFOLDER, NUMAGR, NAMEFOLDER, NPP, NLEVEL) "
              "VALUES (41, 1, 'Северный', 2, 1)",
              "INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) VALUES (1, 40, 'Больница 40')",
              "INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) VALUES (2, 77, 'Больница 77')"})
            dbtest::exec(fact(), QString::fromUtf8(sql));
    }

    static inline std::unique_ptr<TestDatabases> s_dbs;
    static inline std::unique_ptr<TdmMSSQL> s_dm;
    static inline int s_folder = 0;
    ScriptedPrompter m_prompter;
};
