#include "ReportTree.h"

#include "DbfTable.h"

void ReportTree::add(int year, int object, int form, int table, const QString& rowCode,
                     const std::array<double, kReportColumns>& values) {
    ReportTable& t = m_tables[Key{year, object, form, table}];
    ++m_records;
    const auto it = t.index.constFind(rowCode);
    if (it != t.index.constEnd()) {
        t.rows[size_t(*it)].values = values;
        return;
    }
    ReportRow row;
    row.code = rowCode;
    row.number = rowCode.trimmed().toInt(&row.numeric);
    row.values = values;
    t.index.insert(rowCode, int(t.rows.size()));
    t.rows.push_back(std::move(row));
}

void ReportTree::load(DbfTable& file) {
    const int a1 = file.fieldByName(QStringLiteral("A1"));
    const int a2 = file.fieldByName(QStringLiteral("A2"));
    const int a4 = file.fieldByName(QStringLiteral("A4"));
    const int a5 = file.fieldByName(QStringLiteral("A5"));
    const int a6 = file.fieldByName(QStringLiteral("A6"));
    const int values = std::min(kReportColumns, file.fieldCount() - 5);
    for (bool more = file.first(); more; more = file.next()) {
        bool ok1 = false, ok2 = false, ok3 = false, ok4 = false;
        const int year = file.text(a1).trimmed().toInt(&ok1);
        const int object = file.text(a2).trimmed().toInt(&ok2);
        const int form = file.text(a4).trimmed().left(3).toInt(&ok3);
        const int table = file.text(a5).trimmed().right(4).toInt(&ok4);
        if (!(ok1 && ok2 && ok3 && ok4)) {
            ++m_skipped;
            continue;
        }
        std::array<double, kReportColumns> v{};
        for (int c = 0; c < values; ++c)
            v[size_t(c)] = file.number(c + 5);
        add(year, object, form, table, file.text(a6).trimmed(), v);
    }
}

const ReportTable* ReportTree::find(int year, int object, int form, int table) const {
    const auto it = m_tables.find(Key{year, object, form, table});
    return it == m_tables.end() ? nullptr : &it->second;
}
