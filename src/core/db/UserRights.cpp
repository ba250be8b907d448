#include "UserRights.h"

#include "DbError.h"
#include "DbTransaction.h"
#include "TdmMSSQL.h"

#include <QRegularExpression>

namespace UserRights {

namespace {

const QStringList kDirectoryTables{QStringLiteral("AGR"),        QStringLiteral("ELM"),
                                   QStringLiteral("RUB"),        QStringLiteral("POK"),
                                   QStringLiteral("FD_DOLGAGR"), QStringLiteral("FD_DOLGELM"),
                                   QStringLiteral("FD_OPERAGR"), QStringLiteral("FD_OPERELM"),
                                   QStringLiteral("SPISAGR"),    QStringLiteral("NAST")};

const QStringList kTabProcedures{QStringLiteral("DELETE_SBR"),     QStringLiteral("INSERT_SBR"),
                                 QStringLiteral("UPD_NPPLEV_SBR"), QStringLiteral("UPDATE_SBR"),
                                 QStringLiteral("UPDATE_SBRNAME"), QStringLiteral("UPDATE_LEV_SBR"),
                                 QStringLiteral("RENUM_SBR"),      QStringLiteral("DELETE_CAT"),
                                 QStringLiteral("INSERT_CAT"),     QStringLiteral("RENUM_CAT"),
                                 QStringLiteral("UPDATE_CAT_USE"), QStringLiteral("UPDATE_CAT")};

const QStringList kFactProcedures{
    QStringLiteral("DELETE_USERS"),   QStringLiteral("INSERT_USERS"),
    QStringLiteral("GET_KOL_USERS"),  QStringLiteral("ONE_UAGR"),
    QStringLiteral("ONE_UCAT"),       QStringLiteral("ONE_UELM"),
    QStringLiteral("ONE_USBR"),       QStringLiteral("ONE_URUB"),
    QStringLiteral("ONE_UPOK"),       QStringLiteral("ONE_USPIS"),
    QStringLiteral("ONE_UNAST"),      QStringLiteral("ONE_USPISELMT"),
    QStringLiteral("ZERO_UAGR"),      QStringLiteral("ZERO_UCAT"),
    QStringLiteral("ZERO_UELM"),      QStringLiteral("ZERO_USBR"),
    QStringLiteral("ZERO_URUB"),      QStringLiteral("ZERO_UPOK"),
    QStringLiteral("ZERO_USPIS"),     QStringLiteral("ZERO_UNAST"),
    QStringLiteral("ZERO_USPISELMT"), QStringLiteral("RENUM_AGR"),
    QStringLiteral("UPDATE_AGR"),     QStringLiteral("UPD_NPPLEV_AGR"),
    QStringLiteral("RENUM_ELM"),      QStringLiteral("UPDATE_ELM"),
    QStringLiteral("RENUM_RUB"),      QStringLiteral("UPDATE_RUB"),
    QStringLiteral("UPD_NPPLEV_RUB"), QStringLiteral("RENUM_POK"),
    QStringLiteral("UPDATE_POK"),     QStringLiteral("DELETE_SPIS"),
    QStringLiteral("INSERT_SPIS"),    QStringLiteral("INSERT_SPISELMT")};

const QStringList kChangingProcedures{
    QStringLiteral("UPDATE_SPISAGR"),    QStringLiteral("INSERT_SPISAGR"),
    QStringLiteral("UPDATE_ELMSPISAGR"), QStringLiteral("DELETE_ELM"),
    QStringLiteral("DELETE_POK"),        QStringLiteral("INSERT_POK"),
    QStringLiteral("UPDATE_AGRNAME"),    QStringLiteral("UPDATE_KOD_AGR"),
    QStringLiteral("UPDATE_LEV_AGR"),    QStringLiteral("DELETE_AGR"),
    QStringLiteral("INSERT_AGR"),        QStringLiteral("DELETE_RUB"),
    QStringLiteral("INSERT_RUB"),        QStringLiteral("UPDATE_LEV_RUB"),
    QStringLiteral("UPDATE_RUBNAME")};

// Firebird 3 asks for USAGE on a generator as on a table: the procedures and
// triggers that make new keys need it beside their own EXECUTE.
const QStringList kTabGenerators{QStringLiteral("GET_KOD_SBR"), QStringLiteral("GET_KOD_CAT")};
const QStringList kFactGenerators{QStringLiteral("GET_KOD_USERS"), QStringLiteral("GET_KOD_SPIS")};
const QStringList kChangingGenerators{QStringLiteral("GET_KOD_RUB"), QStringLiteral("GET_KOD_POK")};

void Add(QStringList& out, const QString& head, const QStringList& objects, const QString& tail) {
    for (const QString& object : objects)
        out << head + object + tail;
}

} // namespace

bool IsValidUserName(const QString& name) {
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]{0,30}$"));
    // PUBLIC is every user of the server at once.
    return identifier.match(name).hasMatch() && name.toUpper() != QLatin1String("PUBLIC");
}

QString QuotedUserName(const QString& name) {
    return QLatin1Char('"') + name.toUpper() + QLatin1Char('"');
}

QList<Stage> Stages(const QString& name, Level level) {
    const QString to = QStringLiteral(" TO ") + QuotedUserName(name);
    const QString from = QStringLiteral(" FROM ") + QuotedUserName(name);
    Stage revoke{0, {}};
    Add(revoke.statements, QStringLiteral("REVOKE ALL ON "), kDirectoryTables, from);

    Stage tab{1, {}};
    tab.statements << QStringLiteral("GRANT ALL ON SBR") + to
                   << QStringLiteral("GRANT ALL ON CAT") + to;
    Add(tab.statements, QStringLiteral("GRANT EXECUTE ON PROCEDURE "), kTabProcedures, to);
    Add(tab.statements, QStringLiteral("GRANT USAGE ON GENERATOR "), kTabGenerators, to);

    Stage fact{0, {}};
    for (const char* table : {"USERS", "SPIS", "SPISELMT"})
        fact.statements << QStringLiteral("GRANT ALL ON ") + QLatin1String(table) + to;
    Add(fact.statements, QStringLiteral("GRANT EXECUTE ON PROCEDURE "), kFactProcedures, to);
    Add(fact.statements, QStringLiteral("GRANT USAGE ON GENERATOR "), kFactGenerators, to);
    if (level == Level::All) {
        Add(fact.statements, QStringLiteral("GRANT ALL ON "), kDirectoryTables, to);
        Add(fact.statements, QStringLiteral("GRANT EXECUTE ON PROCEDURE "), kChangingProcedures,
            to);
        Add(fact.statements, QStringLiteral("GRANT USAGE ON GENERATOR "), kChangingGenerators, to);
    } else {
        Add(fact.statements, QStringLiteral("GRANT SELECT ON "), kDirectoryTables, to);
        Add(fact.statements, QStringLiteral("REVOKE EXECUTE ON PROCEDURE "), kChangingProcedures,
            from);
        Add(fact.statements, QStringLiteral("REVOKE USAGE ON GENERATOR "), kChangingGenerators,
            from);
    }
    return {revoke, tab, fact};
}

Result Apply(TdmMSSQL& dm, const QString& name, Level level) {
    Result result;
    for (const Stage& stage : Stages(name, level)) {
        DbConnection& c = stage.tag == 1 ? dm.dbTab : dm.dbMain;
        DbStatement& st = dm.query(stage.tag == 1 ? QStringLiteral("quCommonTAB")
                                                  : QStringLiteral("quCommonMAIN"));
        QString current;
        try {
            RunInTransaction(c, [&] {
                for (const QString& sql : stage.statements) {
                    current = sql;
                    st.close();
                    st.clearParams();
                    st.setSql(sql);
                    st.execute();
                }
            });
        } catch (const DbError& e) {
            return {false, stage.tag, current, e.message()};
        }
    }
    return result;
}

} // namespace UserRights
