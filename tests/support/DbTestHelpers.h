#pragma once

#include "DbConnection.h"
#include "DbProcedure.h"
#include "DbStatement.h"
#include "DbTransaction.h"

#include <QVariantList>

#include <initializer_list>
#include <utility>

// Short forms for tests that poke at the databases directly.
namespace dbtest {

using Params = std::initializer_list<std::pair<const char*, QVariant>>;

// Runs a procedure in its own transaction; returns the procedure for its outputs.
inline DbProcedure& call(DbConnection& c, const char* procedure, Params params = {}) {
    DbProcedure& sp = c.procedure(QString::fromLatin1(procedure));
    sp.clearParams();
    for (const auto& [name, value] : params)
        sp.setParam(QString::fromLatin1(name), value);
    RunInTransaction(c, [&] { sp.execute(); });
    return sp;
}

inline void exec(DbConnection& c, const QString& sql, Params params = {}) {
    DbStatement& st = c.statement(QStringLiteral("test_exec"));
    st.setSql(sql);
    st.clearParams();
    for (const auto& [name, value] : params)
        st.setParam(QString::fromLatin1(name), value);
    RunInTransaction(c, [&] { st.execute(); });
}

// The first column of every row of a query.
inline QVariantList column(DbConnection& c, const QString& sql, Params params = {}) {
    DbStatement& st = c.statement(QStringLiteral("test_query"));
    st.setSql(sql);
    st.clearParams();
    for (const auto& [name, value] : params)
        st.setParam(QString::fromLatin1(name), value);
    st.open();
    QVariantList values;
    for (st.first(); !st.eof(); st.next())
        values << st.value(0);
    st.close();
    return values;
}

inline QVariant scalar(DbConnection& c, const QString& sql, Params params = {}) {
    const QVariantList values = column(c, sql, params);
    return values.isEmpty() ? QVariant() : values.first();
}

inline QList<int> ints(const QVariantList& values) {
    QList<int> out;
    for (const QVariant& v : values)
        out << v.toInt();
    return out;
}

} // namespace dbtest
