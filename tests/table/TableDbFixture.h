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
    static void SetUpTestSuite() {
        s_dbs = std::make_unique<TestDatabases>();
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

    static inline std::unique_ptr<TestDatabases> s_dbs;
    static inline std::unique_ptr<TdmMSSQL> s_dm;
    static inline int s_folder = 0;
    ScriptedPrompter m_prompter;
};
