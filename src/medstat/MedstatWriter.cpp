#include "MedstatWriter.h"

#include "DbfError.h"
#include "DbfTable.h"
#include "IdentModel.h"
#include "TableLayout.h"
#include "model/Workbook.h"

#include <cmath>

namespace {

constexpr int kFirstValuePosition = 6; // A81 follows A1, A2, A4, A5, A6

// The lowest-numbered instance sheet of the object; 0 when none.
int objectSheet(const Workbook& book, const MedstatParams& p) {
    for (int s = 1; s <= book.sheetCount() - 2; ++s) {
        const Sheet& sheet = book.sheet(s);
        if (sheet.text(int(TitleRow::Object), kTitleValueCol) == p.object &&
            sheet.number(int(TitleRow::Object), kTitleExtraCol) == p.objectType)
            return s;
    }
    return 0;
}

} // namespace

MedstatWriter::MedstatWriter(DbfTable& file, const MedstatParams& params)
    : m_file(file), m_params(params) {
    const char* names[] = {"A1", "A2", "A4", "A5", "A6"};
    for (int i = 0; i < 5; ++i)
        m_a[i] = file.fieldByName(QString::fromLatin1(names[i]));
}

void MedstatWriter::startRecord(const MedstatTable& table, const QString& rowCode) {
    m_file.append();
    ++m_records;
    m_file.setText(m_a[0], m_params.year);
    const QString a2 =
        m_params.fileObject.trimmed().isEmpty() ? m_params.object : m_params.fileObject;
    m_file.setText(m_a[1], a2);
    m_file.setText(m_a[2], m_params.form + m_params.cut);
    m_file.setText(m_a[3], MedstatCodes::tableCode(table.kodAlt));
    if (!rowCode.isNull())
        m_file.setText(m_a[4], MedstatCodes::rowCode(rowCode));
}

void MedstatWriter::setValue(const MedstatTable& table, int row, int col, int position,
                             double value) {
    const int field = position - 1;
    try {
        m_file.setNumber(field, value);
    } catch (const DbfError& e) {
        m_protocol.append(QStringLiteral("Таблица \"%1\", строка %2, графа %3: %4")
                              .arg(table.name)
                              .arg(row)
                              .arg(col)
                              .arg(e.message()));
    }
}

bool MedstatWriter::write(Workbook& book, const MedstatTable& table) {
    if (book.sheetCount() < 3)
        return false;
    const Sheet& first = book.sheet(1);
    const int m =
        IdentModel::layoutField(first.text(TableLayout::kLayoutRow, TableLayout::kLayoutCol), 7);
    const int h = TableLayout::kLastTitleRow + m;
    const int s = objectSheet(book, m_params);
    if (s == 0)
        return false;
    book.setActiveSheet(s);
    const Sheet& sheet = book.sheet(s);
    const Sheet& colIdent = book.sheet(book.sheetCount());
    auto special = [&](int row, int col) { return int(colIdent.number(row, col)); };

    int p = 0;
    for (int c = 2; c <= sheet.lastCol(); ++c)
        if (special(1, c) > 10)
            p = c;
    const bool perRow = p != 0 || special(h, TableLayout::kSettingsCol) > 10;
    const int lastField = m_file.fieldCount();

    // The column numbers of the header, read once per table.
    QList<QPair<int, int>> columns; // sheet column, field position
    if (perRow) {
        for (int j = 3; j <= sheet.lastColInRow(h); ++j) {
            if (j <= p || special(1, j) != 0)
                continue;
            const double x = sheet.number(h, j);
            if (x == 0)
                continue;
            if (std::isnan(x) || std::fabs(x) >= 2147483648.0) {
                m_big.append(QStringLiteral("таблица \"%1\", ячейка (%2, %3)")
                                 .arg(table.name)
                                 .arg(h)
                                 .arg(j));
                continue;
            }
            const int n = int(std::trunc(x));
            const int position = n + kFirstValuePosition - 1;
            if (n < 1 || n > 50 || position > lastField) {
                m_protocol.append(
                    QStringLiteral("Таблица \"%1\": номер графы %2 в столбце %3 вне пределов "
                                   "1…50, графа не записана")
                        .arg(table.name)
                        .arg(n)
                        .arg(j));
                continue;
            }
            columns.append({j, position});
        }
    }

    bool started = false;
    for (int i = h + 1; i <= sheet.lastRow(); ++i) {
        if (sheet.rowHidden(i))
            continue;
        QString code;
        if (p != 0) {
            code = sheet.text(i, p).trimmed();
            if (code.isEmpty() || code == QLatin1String("0"))
                continue;
            const int comma = int(code.indexOf(u','));
            if (comma >= 0)
                code.remove(comma, 1);
            bool ok = false;
            code.toInt(&ok);
            if (!ok) {
                m_protocol.append(
                    QStringLiteral("Таблица \"%1\": номер строки \"%2\" в строке %3 не число, "
                                   "строка не записана")
                        .arg(table.name, code)
                        .arg(i));
                continue;
            }
        } else {
            code = QString::number(i - h);
        }
        if (perRow) {
            startRecord(table, code);
            for (const auto& [j, position] : columns)
                setValue(table, i, j, position, sheet.number(i, j));
            m_file.post();
            continue;
        }
        if (!started) {
            startRecord(table, code);
            started = true;
        }
        const int position = (i - h) + kFirstValuePosition - 1;
        if (i - h > 50 || position > lastField) {
            m_protocol.append(QStringLiteral("Таблица \"%1\": строка %2 не помещается в 50 граф "
                                             "файла, значение не записано")
                                  .arg(table.name)
                                  .arg(i - h));
            continue;
        }
        setValue(table, i, TableLayout::kFirstDataCol, position, sheet.number(i, 3));
    }
    if (started)
        m_file.post();
    return true;
}
