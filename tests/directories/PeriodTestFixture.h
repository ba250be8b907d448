#pragma once

#include "DbTestHelpers.h"
#include "ScriptedPrompter.h"
#include "StoragePeriods.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <gtest/gtest.h>

#include <memory>

// A fresh fact database per test (the tests change the fund tables' layout), the
// data module connected to it as `user`, and a second connection for checks.
class PeriodTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dbs = std::make_unique<TestDatabases>();
        m_check = m_dbs->connect(0);
        m_dm = std::make_unique<TdmMSSQL>(m_prompter);
    }
    void TearDown() override {
        m_dm->dbMain.close();
        m_dm.reset();
        m_check.reset();
        m_dbs.reset();
    }

    void connectAs(const QString& user = TestDatabases::user()) {
        m_dm->dbMain.close();
        m_dm->dbMain.setParams(m_dbs->factPath(), user, TestDatabases::password());
        m_dm->dbMain.open();
    }

    void setNast(const QString& dolg, const QString& oper) {
        dbtest::exec(*m_check, QStringLiteral("UPDATE NAST SET GODDOLG = :D, GODOPER = :O"),
                     {{"D", dolg}, {"O", oper}});
    }
    QString nast(const char* column) {
        return dbtest::scalar(*m_check,
                              QStringLiteral("SELECT %1 FROM NAST").arg(QLatin1String(column)))
            .toString();
    }
    QStringList columns(const char* table) {
        QStringList names;
        for (const QVariant& v : dbtest::column(
                 *m_check,
                 QStringLiteral("SELECT TRIM(RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS "
                                "WHERE RDB$RELATION_NAME = :T ORDER BY RDB$FIELD_POSITION"),
                 {{"T", QString::fromLatin1(table)}}))
            names << v.toString();
        return names;
    }
    // An object and an indicator for the object fund tables' foreign keys.
    void addObjectAndIndicator() {
        dbtest::exec(*m_check, QStringLiteral("INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER) "
                                              "VALUES (1, 1, 'Район')"));
        dbtest::exec(*m_check, QStringLiteral("INSERT INTO POK (KODELMT, NPP, KODFOLDER, "
                                              "NAMEFOLDER) VALUES (7, 1, 1, 'Число')"));
    }

    std::unique_ptr<TestDatabases> m_dbs;
    std::unique_ptr<DbConnection> m_check;
    ScriptedPrompter m_prompter;
    std::unique_ptr<TdmMSSQL> m_dm;
    StoragePeriods m_lists;
};
