#include "ObjectsController.h"

#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "ElementRowSet.h"
#include "Helpers.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <stdexcept>

namespace {

// A grid edit refused after the user was told why.
struct EditRefused : std::runtime_error {
    EditRefused() : std::runtime_error("edit refused") {}
};

const QString kChanged = QStringLiteral("Справочник изменен другим пользователем. Повторите...");

QString codeText(double code) {
    return QLocale::c().toString(code, 'g', 15);
}

} // namespace

ObjectsController::ObjectsController(TdmMSSQL& dm, Prompter& prompter, ElementRowSet& rows,
                                     OutlineState& state)
    : m_dm(dm), m_prompter(prompter), m_rows(rows), m_state(state), m_flags(dm, prompter) {}

QString ObjectsController::userName() const {
    return m_dm.dbMain.userName();
}

void ObjectsController::load() {
    DbStatement& agr = m_dm.query(QStringLiteral("quSpisAgr"));
    agr.close();
    agr.open();
    QList<int> attached;
    m_names.clear();
    m_count = 0;
    for (agr.first(); !agr.eof(); agr.next()) {
        ++m_count;
        if (agr.value(QStringLiteral("ISINELM")).toString().trimmed().toUpper() ==
            QLatin1String("T")) {
            attached << agr.value(QStringLiteral("NUMAGR")).toInt();
            m_names << agr.value(QStringLiteral("NAMEAGR")).toString().trimmed();
        }
    }
    agr.close();
    m_filter.setDirectories(attached);
    m_filterNames = QStringList(attached.size(), QString());
    QList<ElementRowSet::Column> columns{
        {QStringLiteral("KODFOLDER"), QStringLiteral("Код"), 80, true},
        {QStringLiteral("NAMEFOLDER"), QStringLiteral("Наименование"), 150, false}};
    for (int j = 0; j < attached.size(); ++j)
        columns.append({QStringLiteral("KOD%1").arg(attached[j]), m_names[j], 80, false});
    m_rows.setColumns(columns);
    m_rows.setFieldLength(QStringLiteral("NAMEFOLDER"), 250);
    reopenAt({});
}

QString ObjectsController::columnTitle(int j) const {
    if (m_filter.isSet(j) && !m_filterNames.value(j).isEmpty())
        return m_filterNames[j];
    return m_names.value(j);
}

QString ObjectsController::listSql() const {
    QString sql = QStringLiteral("SELECT NPP, KODFOLDER, NAMEFOLDER");
    for (int n : m_filter.directories())
        sql += QStringLiteral(", KOD%1, AGR%1").arg(n);
    sql += QStringLiteral(" FROM ELM");
    const QString where = m_filter.whereClause();
    if (!where.isEmpty())
        sql += QStringLiteral(" ") + where;
    return sql + QStringLiteral(" ORDER BY NPP");
}

void ObjectsController::reopenAt(const QVariant& key) {
    DbStatement& q = m_rows.query();
    q.setSql(listSql());
    q.clearParams();
    m_filter.bind(q);
    m_rows.open();
    if (key.isValid() && !key.isNull())
        m_rows.locate(QStringLiteral("KODFOLDER"), key);
    for (int j = 0; j < m_filter.size(); ++j) {
        QList<ElementRowSet::Column> columns = m_rows.columns();
        if (membershipColumn(j) < columns.size() &&
            columns[membershipColumn(j)].title != columnTitle(j)) {
            columns[membershipColumn(j)].title = columnTitle(j);
            m_rows.setColumns(columns);
        }
    }
}

QVariant ObjectsController::currentKey() const {
    return m_rows.isEmpty() || m_rows.currentRow() < 0 ? QVariant()
                                                       : m_rows.value(QStringLiteral("KODFOLDER"));
}

bool ObjectsController::unchanged(bool tellChanged) {
    const QVariant key = currentKey();
    std::optional<QVariant> probe;
    if (key.isValid())
        probe = key;
    const int result =
        m_flags.CheckChangeFlag(QStringLiteral("KODFOLDER"), probe, m_rows.query(),
                                QStringLiteral("PELM"), QStringLiteral("spZeroUELM"));
    if (result == ChangeFlags::Unchanged)
        return true;
    if (result == ChangeFlags::Failed)
        return false;
    try {
        reopenAt(key);
    } catch (const DbError& e) {
        m_prompter.error(e.message());
    }
    if (tellChanged)
        m_prompter.info(kChanged);
    return false;
}

void ObjectsController::readFull() {
    DbStatement& st = m_dm.query(QStringLiteral("quElmFull"));
    st.close();
    st.open();
    m_full.clear();
    m_full.reserve(size_t(st.rowCount()));
    for (st.first(); !st.eof(); st.next())
        m_full.push_back({st.value(0).toDouble(), st.value(1).toDouble()});
    st.close();
}

int ObjectsController::fullIndexOf(double key) const {
    for (size_t i = 0; i < m_full.size(); ++i)
        if (m_full[i].key == key)
            return int(i);
    return -1;
}

void ObjectsController::setNpp(double key, int npp) {
    DbProcedure& sp = m_dm.storedProc(QStringLiteral("spUpdateNppElm"));
    sp.clearParams();
    sp.setParam(QStringLiteral("KOD_FOLDER"), key);
    sp.setParam(QStringLiteral("NPP_NEW"), npp);
    sp.execute();
    for (Entry& e : m_full)
        if (e.key == key)
            e.npp = npp;
}

void ObjectsController::renumber() {
    DbProcedure& sp = m_dm.storedProc(QStringLiteral("spRenumElm"));
    sp.clearParams();
    sp.setParam(QStringLiteral("INTERVAL"), m_state.nppStep);
    sp.execute();
    readFull();
}

double ObjectsController::maxCode() {
    DbStatement& st = m_dm.query(QStringLiteral("quGetElmKod"));
    st.close();
    st.open();
    const double max = st.isEmpty() ? 0 : st.value(0).toDouble();
    st.close();
    return max;
}

int ObjectsController::nppInFront(int r) {
    const int step = m_state.nppStep;
    auto half = [this](double x) { return TruncToInt(x / 2, m_prompter); };
    auto npp = [this](int i) { return m_full[size_t(i)].npp; };
    const double rKey = m_full[size_t(r)].key;
    double q = npp(r);
    const bool last = r == int(m_full.size()) - 1;
    if (r == 0) {
        // Below 1 there is no room in front of the first object either.
        if (q > 1)
            return half(q);
        if (last) {
            setNpp(rKey, 2 * step);
            return step;
        }
        if (npp(1) - q > 1) {
            const int moved = TruncToInt(q + half(npp(1) - q), m_prompter);
            setNpp(rKey, moved);
            return half(moved);
        }
        renumber();
        return step / 2;
    }
    if (q - npp(r - 1) <= 1) {
        if (last)
            setNpp(rKey, TruncToInt(q + step, m_prompter));
        else if (npp(r + 1) - q > 1)
            setNpp(rKey, TruncToInt(q + half(npp(r + 1) - q), m_prompter));
        else
            renumber();
        r = fullIndexOf(rKey);
        q = npp(r);
    }
    return TruncToInt(npp(r - 1) + half(q - npp(r - 1)), m_prompter);
}

void ObjectsController::insertObject(int npp, double code, const QString& name,
                                     const QList<QVariant>& kods) {
    QString columns = QStringLiteral("INSERT INTO ELM (NPP, KodFolder, NameFolder");
    QString values = QStringLiteral("VALUES  (:NPP, :KodFolder, :NameFolder");
    for (int n = 1; n <= m_count; ++n) {
        columns += QStringLiteral(",AGR%1").arg(n);
        values += QStringLiteral(",:AGR%1").arg(n);
    }
    for (int j = 0; j < kods.size(); ++j) {
        columns += QStringLiteral(",KOD%1").arg(attached()[j]);
        values += QStringLiteral(",:KOD%1").arg(attached()[j]);
    }
    DbStatement& st = m_dm.dbMain.statement(QStringLiteral("quInsertElm"));
    st.setSql(QStringList{columns + QStringLiteral(")"), values + QStringLiteral(")")});
    st.clearParams();
    st.setParam(QStringLiteral("NPP"), npp);
    st.setParam(QStringLiteral("KodFolder"), code);
    st.setParam(QStringLiteral("NameFolder"), name);
    for (int n = 1; n <= m_count; ++n)
        st.setParam(QStringLiteral("AGR%1").arg(n), n);
    for (int j = 0; j < kods.size(); ++j)
        st.setParam(QStringLiteral("KOD%1").arg(attached()[j]), kods[j]);
    st.execute();
}

bool ObjectsController::addObject() {
    if (!unchanged(true))
        return false;
    const QVariant current = currentKey();
    double code = 1;
    try {
        RunInTransaction(m_dm.dbMain, [&] {
            readFull();
            int npp = m_state.nppStep;
            if (!m_full.empty()) {
                int at = current.isValid() ? fullIndexOf(current.toDouble()) : -1;
                if (at < 0)
                    at = int(m_full.size()) - 1;
                if (at == int(m_full.size()) - 1)
                    npp = TruncToInt(m_full.back().npp + m_state.nppStep, m_prompter);
                else
                    npp = nppInFront(at + 1);
            }
            code = maxCode() + 1;
            // A new object made under a filter belongs to the filtered nodes.
            QList<QVariant> kods;
            for (int j = 0; j < m_filter.size(); ++j)
                kods << (m_filter.isSet(j) ? QVariant(m_filter.value(j)) : QVariant());
            insertObject(npp, code, QString(), kods);
            m_flags.FlagChangeForOthers(QStringLiteral("spOneUELM"));
        });
    } catch (const DbError& e) {
        RollbackQuietly(m_dm.dbMain);
        if (IsRightsError(e.message(), e.sqlCode()))
            m_prompter.error(QStringLiteral("Пользователю ") + userName() +
                             QStringLiteral(" добавление запрещено"));
        else
            m_prompter.error(
                WithServerText(QStringLiteral("Ошибка при добавлении. Повторите..."), e.message()));
        reopenAt(current);
        return false;
    }
    reopenAt(code);
    return true;
}

bool ObjectsController::deleteObject() {
    if (m_rows.isEmpty() || m_rows.currentRow() < 0 || !unchanged(true))
        return false;
    const int row = m_rows.currentRow();
    const QVariant object = currentKey();
    const QVariant returnTo = !m_rows.isLast() ? m_rows.value(row + 1, QStringLiteral("KODFOLDER"))
                              : row > 0        ? m_rows.value(row - 1, QStringLiteral("KODFOLDER"))
                                               : QVariant();
    try {
        RunInTransaction(m_dm.dbMain, [&] {
            DbProcedure& sp = m_dm.storedProc(QStringLiteral("spDeleteElm"));
            sp.clearParams();
            sp.setParam(QStringLiteral("KOD_FOLDER"), object);
            sp.execute();
            m_flags.FlagChangeForOthers(QStringLiteral("spOneUELM"));
        });
    } catch (const DbError& e) {
        RollbackQuietly(m_dm.dbMain);
        const QString upper = e.message().toUpper();
        if (IsRightsError(e.message(), e.sqlCode()))
            m_prompter.error(QStringLiteral("Пользователю ") + userName() +
                             QStringLiteral(" удаление объекта запрещено"));
        else if (upper.contains(QLatin1String("INTEGOBJ")))
            m_prompter.error(QStringLiteral("Объект не удален: в фондах данных хранятся его "
                                            "значения"));
        else
            m_prompter.error(
                WithServerText(QStringLiteral("Ошибка при удалении. Повторите..."), e.message()));
        reopenAt(object);
        return false;
    }
    reopenAt(returnTo);
    return true;
}

bool ObjectsController::moveObject(int sourceRow, int targetRow) {
    if (sourceRow == targetRow || sourceRow < 0 || sourceRow >= m_rows.count() ||
        targetRow >= m_rows.count())
        return false;
    if (!unchanged(true))
        return false;
    const QVariant moved = m_rows.value(sourceRow, QStringLiteral("KODFOLDER"));
    const QVariant target =
        targetRow < 0 ? QVariant() : m_rows.value(targetRow, QStringLiteral("KODFOLDER"));
    try {
        RunInTransaction(m_dm.dbMain, [&] {
            readFull();
            int npp = 0;
            const int at = target.isValid() ? fullIndexOf(target.toDouble()) : -1;
            if (at < 0)
                npp = TruncToInt(m_full.back().npp + m_state.nppStep, m_prompter);
            else
                npp = nppInFront(at);
            setNpp(moved.toDouble(), npp);
            m_flags.FlagChangeForOthers(QStringLiteral("spOneUELM"));
        });
    } catch (const DbError& e) {
        RollbackQuietly(m_dm.dbMain);
        if (IsRightsError(e.message(), e.sqlCode()))
            m_prompter.error(QStringLiteral("Пользователю ") + userName() +
                             QStringLiteral(" изменение справочника запрещено"));
        else
            m_prompter.error(WithServerText(
                QStringLiteral("Ошибка при переносе объекта. Повторите..."), e.message()));
        reopenAt(moved);
        return false;
    }
    reopenAt(moved);
    return true;
}

bool ObjectsController::mayChangeMemberships() {
    const QVariant key = currentKey();
    if (!key.isValid())
        return false;
    try {
        RunInTransaction(m_dm.dbMain, [&] {
            DbStatement& st = m_dm.query(QStringLiteral("quCommonMAIN"));
            const QString code = codeText(key.toDouble());
            st.setSql(QStringLiteral("UPDATE ELM SET KODFOLDER = ") + code +
                      QStringLiteral(" WHERE KODFOLDER = ") + code);
            st.clearParams();
            st.execute();
        });
    } catch (const DbError&) {
        RollbackQuietly(m_dm.dbMain);
        m_prompter.error(QStringLiteral("Пользователю ") + userName() +
                         QStringLiteral(" корректировка справочника запрещена"));
        return false;
    }
    return true;
}

QList<AgrNode> ObjectsController::nodesOf(int j, const QString& emptyText) {
    QList<AgrNode> nodes;
    try {
        nodes = ReadAgrNodes(m_dm, attached().value(j));
    } catch (const DbError& e) {
        m_prompter.error(e.message());
        return {};
    }
    if (nodes.isEmpty())
        m_prompter.info(emptyText);
    return nodes;
}

bool ObjectsController::setMembership(int j, double node) {
    const QVariant object = currentKey();
    if (!object.isValid() || j < 0 || j >= attached().size())
        return false;
    const int n = attached()[j];
    bool ok = true;
    try {
        RunInTransaction(m_dm.dbMain, [&] {
            DbStatement& st = m_dm.query(QStringLiteral("quCommonMAIN"));
            st.setSql(QStringList{QStringLiteral("UPDATE ELM"),
                                  QStringLiteral("SET KOD%1 = :KOD, AGR%1 = :NumAgr").arg(n),
                                  QStringLiteral("WHERE KODFOLDER = :KODFOLDER")});
            st.clearParams();
            st.setParam(QStringLiteral("KOD"), node);
            st.setParam(QStringLiteral("NumAgr"), n);
            st.setParam(QStringLiteral("KODFOLDER"), object);
            st.execute();
        });
    } catch (const DbError& e) {
        RollbackQuietly(m_dm.dbMain);
        ok = false;
        m_prompter.error(WithServerText(
            QStringLiteral("Ошибка при корректировке справочника. Повторите..."), e.message()));
    }
    reopenAt(object);
    return ok;
}

bool ObjectsController::applyFilter(int j, double node, const QString& nodeName) {
    if (j < 0 || j >= m_filter.size())
        return false;
    const QVariant current = currentKey();
    m_filter.set(j, node);
    m_filterNames[j] = node == ObjectFilter::kNone ? QString() : nodeName;
    try {
        reopenAt(current);
    } catch (const DbError& e) {
        m_prompter.error(e.message());
        return false;
    }
    return true;
}

void ObjectsController::removeFilter() {
    const QVariant current = currentKey();
    m_filter.clear();
    for (QString& name : m_filterNames)
        name.clear();
    try {
        reopenAt(current);
    } catch (const DbError& e) {
        m_prompter.error(e.message());
    }
}

QString ObjectsController::nodeName(int j, const QVariant& code) {
    if (j < 0 || j >= attached().size() || code.isNull() || code.toString().isEmpty())
        return {};
    try {
        DbStatement& st = m_dm.dbMain.statement(QStringLiteral("quAgrHint"));
        st.setSql(
            QStringList{QStringLiteral("SELECT NAMEFOLDER FROM AGR"),
                        QStringLiteral("WHERE KodFolder = :KOD_FOLDER AND NumAgr = :NUM_AGR")});
        st.clearParams();
        st.setParam(QStringLiteral("KOD_FOLDER"), code.toDouble());
        st.setParam(QStringLiteral("NUM_AGR"), attached()[j]);
        st.open();
        const QString name = st.rowCount() == 1 ? st.value(0).toString().trimmed() : QString();
        st.close();
        return name;
    } catch (const DbError&) {
        return {};
    }
}

void ObjectsController::attachGridEditing() {
    m_rows.setApplier([this](const ElementRowSet& set, const ElementRowSet::Row& stored,
                             const ElementRowSet::Row& edited, const QStringList& changed) {
        QStringList assignments;
        QList<QVariant> values;
        for (const QString& field : changed) {
            const QVariant typed = edited[set.fieldIndex(field)];
            if (field.compare(QLatin1String("NAMEFOLDER"), Qt::CaseInsensitive) == 0) {
                assignments << QStringLiteral("NAMEFOLDER = :V%1").arg(values.size());
                values << typed.toString().left(250);
                continue;
            }
            const int n = field.mid(3).toInt();
            QVariant code;
            const QString text = typed.toString().trimmed();
            if (!text.isEmpty()) {
                bool ok = false;
                const double value = QLocale::c().toDouble(QString(text).replace(',', '.'), &ok);
                if (!ok || !std::isfinite(value) || value <= 0) {
                    m_prompter.error(QStringLiteral("Код объекта должен быть числом больше нуля"));
                    throw EditRefused();
                }
                code = value;
            }
            assignments << QStringLiteral("KOD%1 = :V%2, AGR%1 = %1").arg(n).arg(values.size());
            values << code;
        }
        DbStatement& st = m_dm.dbMain.statement(QStringLiteral("apply_ELM"));
        st.setSql(QStringLiteral("UPDATE ELM SET %1 WHERE KODFOLDER = :OLD_KEY")
                      .arg(assignments.join(QStringLiteral(", "))));
        st.clearParams();
        for (int i = 0; i < values.size(); ++i)
            st.setParam(QStringLiteral("V%1").arg(i), values[i]);
        st.setParam(QStringLiteral("OLD_KEY"), stored[set.fieldIndex(QStringLiteral("KODFOLDER"))]);
        try {
            RunInTransaction(m_dm.dbMain, [&] { st.execute(); });
        } catch (const DbError& e) {
            static const QRegularExpression integ(QStringLiteral("INTEGELM_(\\d+)"));
            const auto match = integ.match(e.message());
            if (IsRightsError(e.message(), e.sqlCode())) {
                m_prompter.error(QStringLiteral("Пользователю ") + userName() +
                                 QStringLiteral(" корректировка справочника запрещена"));
            } else if (match.hasMatch()) {
                const int j = attached().indexOf(match.captured(1).toInt());
                m_prompter.error(QStringLiteral("В справочнике \"%1\" нет такого объекта")
                                     .arg(m_names.value(j)));
            } else {
                m_prompter.error(WithServerText(
                    QStringLiteral("Ошибка при корректировке справочника"), e.message()));
            }
            throw EditRefused();
        }
    });
    m_rows.setFailureHandler([](const std::exception&) {});
}

bool ObjectsController::followFilterAfterEdit() {
    if (!m_filter.isActive() || m_rows.isEmpty() || m_rows.currentRow() < 0)
        return false;
    for (int j = 0; j < m_filter.size(); ++j) {
        if (m_filter.accepts(j, m_rows.value(QStringLiteral("KOD%1").arg(attached()[j]))))
            continue;
        const int row = m_rows.currentRow();
        const QVariant next = !m_rows.isLast() ? m_rows.value(row + 1, QStringLiteral("KODFOLDER"))
                              : row > 0        ? m_rows.value(row - 1, QStringLiteral("KODFOLDER"))
                                               : QVariant();
        reopenAt(next);
        return true;
    }
    return false;
}

void ObjectsController::progress(int done, int total) {
    if (m_progress)
        m_progress(done, total);
}
