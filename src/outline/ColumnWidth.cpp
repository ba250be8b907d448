#include "ColumnWidth.h"

#include "DbConnection.h"
#include "DbStatement.h"

int DeclaredColumnWidth(DbConnection& connection, const QString& table, const QString& column) {
    DbStatement& st = connection.statement(QStringLiteral("quColumnWidth"));
    st.setSql(
        QStringList{QStringLiteral("SELECT F.RDB$CHARACTER_LENGTH FROM RDB$RELATION_FIELDS R"),
                    QStringLiteral("  JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE"),
                    QStringLiteral("  WHERE R.RDB$RELATION_NAME = :T AND R.RDB$FIELD_NAME = :C")});
    st.setParam(QStringLiteral("T"), table.toUpper());
    st.setParam(QStringLiteral("C"), column.toUpper());
    st.open();
    const int width = st.isEmpty() ? 0 : st.value(0).toInt();
    st.close();
    return width;
}
