// A directory's nodes written to a dBase file and appended from one.
#include "AggregationController.h"
#include "DbfSavePath.h"

#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "DbfError.h"
#include "DbfTable.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

#include <QFile>
#include <QFileInfo>

namespace {

struct NodeRecord {
    double code = 0;
    QString name;
    int level = 1;
};

bool isDuplicate(const QString& message) {
    const QString upper = message.toUpper();
    return upper.contains(QLatin1String("PRIMARY")) || upper.contains(QLatin1String("UNIQUE"));
}

} // namespace

bool AggregationController::exportNodes() {
    std::vector<NodeRecord> nodes;
    try {
        DbStatement& ds = m_engine.dataset();
        for (ds.first(); !ds.eof(); ds.next())
            nodes.push_back({ds.value(QStringLiteral("KODFOLDER")).toDouble(),
                             ds.value(QStringLiteral("NAMEFOLDER")).toString(),
                             ds.value(QStringLiteral("NLEVEL")).toInt()});
    } catch (const DbError& e) {
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при сохранении. Повторите..."), e.message()));
        return false;
    }
    if (nodes.empty()) {
        m_prompter.info(QStringLiteral("Справочник пуст"));
        return false;
    }
    const QString path = AskDbfSavePath(m_prompter, QStringLiteral("Сохранить как внешний файл"));
    if (path.isEmpty())
        return false;
    try {
        DbfTable t = DbfTable::create(path, ParseFieldList({QStringLiteral("KodFolder;N;20;4"),
                                                            QStringLiteral("NameFOLDER;C;140;0"),
                                                            QStringLiteral("nLevel;N;10;0")}));
        for (const NodeRecord& n : nodes) {
            t.append();
            t.setNumber(0, n.code);
            t.setText(1, n.name);
            t.setNumber(2, n.level);
        }
        t.save();
        TellCutTexts(m_prompter, t);
    } catch (const DbfError& e) {
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при сохранении. Повторите..."), e.message()));
        return false;
    }
    return true;
}

bool AggregationController::importNodes() {
    if (!m_engine.BeginCommand())
        return false;
    const QString path = m_prompter.openFileName(QStringLiteral("Открыть внешний файл"), QString(),
                                                 QStringLiteral("Файлы dBase : *.dbf|*.dbf"));
    if (path.isEmpty())
        return false;
    if (!QFileInfo::exists(path)) {
        m_prompter.error(QStringLiteral("Файл не найден"));
        return false;
    }
    std::vector<NodeRecord> records;
    try {
        DbfTable t = DbfTable::open(path);
        if (!SameFieldNames(t.header().fields,
                            {QStringLiteral("KODFOLDER"), QStringLiteral("NAMEFOLDER"),
                             QStringLiteral("NLEVEL")})) {
            m_prompter.error(QStringLiteral("Файл не содержит справочник независимых объектов"));
            return false;
        }
        if (t.isEmpty()) {
            m_prompter.info(QStringLiteral("Загружаемый справочник пуст"));
            return false;
        }
        for (t.first(); !t.eof(); t.next())
            records.push_back({t.number(0), t.text(1), int(t.integer(2))});
    } catch (const DbfError& e) {
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при открытии. Повторите..."), e.message()));
        return false;
    }

    const int step = m_engine.state().nppStep;
    const auto& positions = m_engine.arrays().positions;
    int npp = positions.empty() ? 0 : positions.back();
    DbConnection& c = m_dm.dbMain;
    DbStatement& insert = c.statement(QStringLiteral("quImportAGR"));
    insert.setSql(
        QStringList{QStringLiteral("INSERT INTO AGR (KODFOLDER, NAMEFOLDER, NPP, NLEVEL, NUMAGR)"),
                    QStringLiteral("VALUES (:KODFOLDER, :NAMEFOLDER, :NPP, :NLEVEL, :NUM_AGR)")});
    auto store = [&](double code, const NodeRecord& r) {
        insert.clearParams();
        insert.setParam(QStringLiteral("KODFOLDER"), code);
        insert.setParam(QStringLiteral("NAMEFOLDER"), r.name);
        insert.setParam(QStringLiteral("NPP"), npp);
        insert.setParam(QStringLiteral("NLEVEL"), r.level);
        insert.setParam(QStringLiteral("NUM_AGR"), m_numAgr);
        RunInTransaction(c, [&] { insert.execute(); });
    };
    const int total = int(records.size());
    progress(0, total);
    bool flagged = false;
    int done = 0;
    try {
        for (const NodeRecord& r : records) {
            npp += step;
            try {
                store(r.code, r);
            } catch (const DbError& e) {
                if (!isDuplicate(e.message()))
                    throw;
                try {
                    store(maxCode() + 1, r);
                } catch (const DbError& again) {
                    if (IsRightsError(again.message(), again.sqlCode()))
                        throw;
                    // A second refusal loses this record only.
                    RollbackQuietly(c);
                }
            }
            if (!flagged) {
                RunInTransaction(
                    c, [&] { m_engine.flags().FlagChangeForOthers(QStringLiteral("spOneUAGR")); });
                flagged = true;
            }
            progress(++done, total);
        }
    } catch (const DbError& e) {
        RollbackQuietly(c);
        progress(0, 0);
        if (IsRightsError(e.message(), e.sqlCode()))
            m_prompter.error(QStringLiteral("Пользователю ") + userName() +
                             QStringLiteral(" импорт объектов запрещен"));
        else
            m_prompter.error(
                WithServerText(QStringLiteral("Ошибка при добавлении. Повторите..."), e.message()));
        m_engine.closeDataset();
        m_engine.BuildOutline();
        return false;
    }
    progress(0, 0);
    try {
        RunInTransaction(
            c, [&] { m_engine.flags().FlagChangeForOthers(QStringLiteral("spOneUAGR")); });
    } catch (const DbError&) {
        // The nodes are stored; the others find them at their next change check.
    }
    m_engine.closeDataset();
    m_engine.BuildOutline();
    if (!m_engine.tree().isEmpty())
        m_engine.selectNode(m_engine.tree().topLevel(0));
    return true;
}
