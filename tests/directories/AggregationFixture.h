#pragma once

#include "DbError.h"
#include "DbTestHelpers.h"
#include "OutlineState.h"
#include "ScriptedPrompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <gtest/gtest.h>

#include <memory>

// One running program on the fact database, registered as an instance.
struct FactInstance {
    explicit FactInstance(const TestDatabases& dbs) {
        dm.dbMain.setParams(dbs.factPath(), TestDatabases::user(), TestDatabases::password());
        dm.dbTab.setParams(dbs.tabPath(), TestDatabases::user(), TestDatabases::password());
        dm.dbMain.open();
        dm.dbTab.open();
        dm.registerInstance();
    }
    ~FactInstance() {
        RollbackQuietly(dm.dbMain);
        dm.unregisterInstance();
    }
    // The boxes and questions shown, without the file dialogs.
    QStringList messages() const {
        QStringList texts;
        for (const ScriptedPrompter::Shown& s : prompter.shown())
            if (s.kind == ScriptedPrompter::Kind::Message ||
                s.kind == ScriptedPrompter::Kind::Question)
                texts << s.text;
        return texts;
    }

    ScriptedPrompter prompter;
    TdmMSSQL dm{prompter};
    OutlineState state;
};

// Fresh databases per test (the tests change the schema and the directories).
class FactTest : public ::testing::Test {
protected:
    explicit FactTest(bool demo = true) : m_demo(demo) {}
    void SetUp() override {
        m_dbs = std::make_unique<TestDatabases>(m_demo);
        m_fact = m_dbs->connect(0);
        m_a = std::make_unique<FactInstance>(*m_dbs);
    }
    void TearDown() override {
        m_a.reset();
        m_fact.reset();
        m_dbs.reset();
    }
    QVariant scalar(const QString& sql, dbtest::Params params = {}) {
        return dbtest::scalar(*m_fact, sql, params);
    }
    QVariantList column(const QString& sql, dbtest::Params params = {}) {
        return dbtest::column(*m_fact, sql, params);
    }
    void exec(const QString& sql, dbtest::Params params = {}) {
        dbtest::exec(*m_fact, sql, params);
    }
    int count(const QString& sql) { return scalar(sql).toInt(); }
    // Everything the schema says about the tables a new directory touches:
    // columns with type and nullability, indexes with their segments, references.
    QString schema() {
        QStringList lines;
        for (const QVariant& v : column(QStringLiteral(
                 "SELECT TRIM(RF.RDB$RELATION_NAME) || '.' || TRIM(RF.RDB$FIELD_NAME) || ' ' || "
                 "F.RDB$FIELD_TYPE || ' ' || COALESCE(RF.RDB$NULL_FLAG, 0) FROM "
                 "RDB$RELATION_FIELDS "
                 "RF JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE WHERE "
                 "RF.RDB$RELATION_NAME IN ('ELM', 'FD_OPERAGR', 'FD_DOLGAGR') ORDER BY 1")))
            lines << v.toString();
        for (const QVariant& v : column(QStringLiteral(
                 "SELECT TRIM(I.RDB$INDEX_NAME) || ' ' || COALESCE(I.RDB$UNIQUE_FLAG, 0) || ' ' || "
                 "COALESCE(TRIM(S.RDB$FIELD_NAME), 'expr') FROM RDB$INDICES I LEFT JOIN "
                 "RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = I.RDB$INDEX_NAME WHERE "
                 "I.RDB$RELATION_NAME IN ('ELM', 'FD_OPERAGR', 'FD_DOLGAGR') ORDER BY "
                 "I.RDB$INDEX_NAME, "
                 "S.RDB$FIELD_POSITION")))
            lines << v.toString();
        for (const QVariant& v : column(QStringLiteral(
                 "SELECT 'REF ' || TRIM(RDB$CONSTRAINT_NAME) || ' ' || TRIM(RDB$UPDATE_RULE) || ' "
                 "' || "
                 "TRIM(RDB$DELETE_RULE) FROM RDB$REF_CONSTRAINTS WHERE RDB$CONSTRAINT_NAME "
                 "STARTING WITH 'INTEGELM' ORDER BY 1")))
            lines << v.toString();
        return lines.join(QLatin1Char('\n'));
    }

    bool m_demo;
    std::unique_ptr<TestDatabases> m_dbs;
    std::unique_ptr<DbConnection> m_fact;
    std::unique_ptr<FactInstance> m_a;
};
