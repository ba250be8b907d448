#pragma once

#include "DbTestHelpers.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "IndicatorsController.h"
#include "ScriptedPrompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// One running program with the indicators directory open.
struct PokInstance {
    explicit PokInstance(const TestDatabases& dbs)
        : engine(dm, OutlineDescriptor::Rubrics(), tree, prompter, state),
          rows(dm.query(QStringLiteral("quPOK"))),
          elements(dm, IndicatorsController::Descriptor(TestDatabases::user()), rows, prompter,
                   state),
          controller(dm, prompter, engine, elements) {
        dm.dbMain.setParams(dbs.factPath(), TestDatabases::user(), TestDatabases::password());
        dm.dbTab.setParams(dbs.tabPath(), TestDatabases::user(), TestDatabases::password());
        dm.dbMain.open();
        dm.dbTab.open();
        dm.registerInstance();
        state.currentCatalogue = 2;
        rows.setColumns({{QStringLiteral("NameFolder"), QStringLiteral("Наименование")},
                         {QStringLiteral("KodAlt"), QStringLiteral("Альт.код")},
                         {QStringLiteral("Eiz"), QStringLiteral("Ед.изм.")},
                         {QStringLiteral("KodElmt"), QStringLiteral("Внутр.код")}});
        controller.attachGridEditing();
        controller.setProtocolShower([this](const QString& caption, const QString& text) {
            protocolCaption = caption;
            protocolText = text;
        });
        engine.BuildOutline();
    }
    ~PokInstance() {
        RollbackQuietly(dm.dbMain);
        dm.unregisterInstance();
    }
    // Selects a rubric by key and opens its indicators.
    bool open(int rubric) { return engine.selectKey(rubric) && controller.openRubric(); }
    // Types a value into the grid as the user does.
    bool type(int row, const char* field, const QVariant& value) {
        int column = -1;
        for (int c = 0; c < rows.columns().size(); ++c)
            if (rows.columns()[c].field.compare(QLatin1String(field), Qt::CaseInsensitive) == 0)
                column = c;
        return rows.setData(rows.index(row, column), value, Qt::EditRole);
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
    OutlineTree tree;
    OutlineEngine<int> engine;
    ElementRowSet rows;
    ElementOperations elements;
    IndicatorsController controller;
    QString protocolCaption;
    QString protocolText;
};

// Fresh demo databases per test (the tests change the directory).
class IndicatorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dbs = std::make_unique<TestDatabases>(true);
        m_fact = m_dbs->connect(0);
        m_a = std::make_unique<PokInstance>(*m_dbs);
    }
    void TearDown() override {
        m_a.reset();
        m_fact.reset();
        m_dbs.reset();
    }
    QVariant scalar(const QString& sql, dbtest::Params params = {}) {
        const QVariantList values = dbtest::column(*m_fact, sql, params);
        return values.isEmpty() ? QVariant() : values.first();
    }
    int generator() {
        return scalar(QStringLiteral("SELECT GEN_ID(GET_KOD_POK, 0) FROM RDB$DATABASE")).toInt();
    }
    int maxCode() { return scalar(QStringLiteral("SELECT MAX(KODELMT) FROM POK")).toInt(); }
    QString file(const char* name) { return m_files.filePath(QString::fromLatin1(name)); }

    std::unique_ptr<TestDatabases> m_dbs;
    std::unique_ptr<DbConnection> m_fact;
    std::unique_ptr<PokInstance> m_a;
    QTemporaryDir m_files;
};
