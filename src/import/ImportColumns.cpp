#include "ImportColumns.h"

#include "DbStatement.h"
#include "Helpers.h"
#include "IdentModel.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "model/Workbook.h"

#include <QSet>

namespace {

bool isObjectOrCut(int element) {
    return element >= 4 && element <= 8;
}

// A preview cell as the text the user sees.
QString cellText(const Sheet& s, int row, int col) {
    return s.formattedText(row, col).trimmed();
}

} // namespace

ImportColumns::ImportColumns(Workbook& preview) : m_preview(preview) {}

void ImportColumns::reset() {
    m_columns.clear();
    m_names.clear();
    m_original.clear();
    m_indicators.clear();
}

QString ImportColumns::elementCaption(int element) {
    switch (element) {
    case 1:
        return QStringLiteral("Показатель");
    case 2:
        return QStringLiteral("Признак 1");
    case 3:
        return QStringLiteral("Признак 2");
    case 4:
        return QStringLiteral("Объект");
    default:
        return element >= 5 && element <= 8 ? QStringLiteral("Разрез %1").arg(element - 4)
                                            : QString();
    }
}

QList<ImportColumns::Directory> ImportColumns::directories(TdmMSSQL& dm, bool objectsEnabled) {
    QList<Directory> list;
    DbStatement& q = dm.query(QStringLiteral("quSpisAgr"));
    q.open();
    for (q.first(); !q.eof(); q.next())
        list.append({q.value(QStringLiteral("NUMAGR")).toInt(),
                     q.value(QStringLiteral("NAMEAGR")).toString().trimmed()});
    q.close();
    if (objectsEnabled) {
        DbStatement& n = dm.query(QStringLiteral("quNast"));
        n.open();
        const QString name =
            n.isEmpty() ? QString() : n.value(QStringLiteral("NAMEELM")).toString();
        n.close();
        list.append({kObjectsDirectory,
                     IsBlank(name) ? QStringLiteral("Подчиненные объекты") : name.trimmed()});
    }
    return list;
}

int ImportColumns::columnOf(int element) const {
    for (auto it = m_columns.cbegin(); it != m_columns.cend(); ++it)
        if (it->element == element)
            return it.key();
    return 0;
}

QString ImportColumns::heading(int col) const {
    return m_preview.sheet(1).colHeading(col);
}

void ImportColumns::showHeading(int col, const QString& text) {
    if (!m_original.contains(col))
        m_original.insert(col, heading(col));
    m_preview.sheet(1).setColHeading(col, text);
}

bool ImportColumns::assign(int col, int element, int directory, const QString& directoryName,
                           Prompter& prompter) {
    if (element < 1 || element > 8)
        return false;
    if (!isObjectOrCut(element))
        directory = 0;
    else if (directory <= 0 || (directory == kObjectsDirectory && element != 4))
        return false; // the objects directory serves the object element only
    const int other = columnOf(element);
    if (other != 0 && other != col) {
        const QString text = QStringLiteral("Требуемый тип идентификации\r\n уже задействован "
                                            "столбцом %1\r\n              Заменить ?")
                                 .arg(other);
        if (!prompter.confirm(text))
            return false;
        clear(other);
    }
    if (isObjectOrCut(element)) {
        for (auto it = m_columns.cbegin(); it != m_columns.cend(); ++it) {
            if (it.key() == col || !isObjectOrCut(it->element) || it->directory != directory)
                continue;
            const int taken = it.key();
            const QString text = elementCaption(it->element) +
                                 QStringLiteral(" уже использует выбранный справочник\r\n"
                                                "                            Заменить ?");
            if (!prompter.confirm(text))
                return false;
            clear(taken);
            break;
        }
    }
    m_columns.insert(col, {element, directory});
    m_names.insert(col, directoryName);
    showHeading(col, isObjectOrCut(element) ? directoryName : elementCaption(element));
    return true;
}

void ImportColumns::clear(int col) {
    m_columns.remove(col);
    m_names.remove(col);
    if (m_original.contains(col))
        m_preview.sheet(1).setColHeading(col, m_original.take(col));
}

void ImportColumns::columnDeleted(int col) {
    auto shift = [col](auto& map) {
        std::remove_reference_t<decltype(map)> moved;
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            if (it.key() != col)
                moved.insert(it.key() > col ? it.key() - 1 : it.key(), it.value());
        map = moved;
    };
    shift(m_columns);
    shift(m_names);
    shift(m_original);
}

QStringList ImportColumns::check(TdmMSSQL& dm, int startRow) {
    QStringList protocol;
    m_indicators.clear();
    DbConnection& fact = dm.dbMain;
    DbStatement& pok = fact.statement(QStringLiteral("quImportPok"));
    pok.setSql(QStringLiteral("SELECT KODELMT, KODALT FROM POK"));
    pok.open();
    for (pok.first(); !pok.eof(); pok.next()) {
        const QString alt = pok.value(1).toString().trimmed();
        if (!alt.isEmpty() && !m_indicators.contains(alt))
            m_indicators.insert(alt, pok.value(0).toInt());
    }
    pok.close();
    QSet<QPair<qint64, int>> agr;
    DbStatement& a = fact.statement(QStringLiteral("quImportAgr"));
    a.setSql(QStringLiteral("SELECT NUMAGR, KODFOLDER FROM AGR"));
    a.open();
    for (a.first(); !a.eof(); a.next())
        agr.insert({qint64(a.value(1).toDouble()), a.value(0).toInt()});
    a.close();
    QSet<qint64> elm;
    DbStatement& e = fact.statement(QStringLiteral("quImportElm"));
    e.setSql(QStringLiteral("SELECT KODFOLDER FROM ELM"));
    e.open();
    for (e.first(); !e.eof(); e.next())
        elm.insert(qint64(e.value(0).toDouble()));
    e.close();

    const Sheet& s = m_preview.sheet(1);
    const QString q = QStringLiteral("\"");
    for (auto it = m_columns.cbegin(); it != m_columns.cend(); ++it) {
        const int col = it.key();
        const QString column = QStringLiteral("СТОЛБЕЦ ") + q + heading(col) + q + ':';
        for (int r = std::max(startRow, 1); r <= s.lastRow(); ++r) {
            const QString text = cellText(s, r, col);
            if (text.isEmpty() || (s.type(r, col) == 1 && s.number(r, col) == 0) ||
                text == QLatin1String("0"))
                continue;
            if (!isObjectOrCut(it->element)) {
                if (!m_indicators.contains(text))
                    protocol << column + QStringLiteral("  КОД  ПОКАЗАТЕЛЯ  ") + text +
                                    QStringLiteral("  не  найден  в  справочнике\r\n");
                continue;
            }
            bool isNumber = false;
            const double code = QString(text).replace(',', '.').toDouble(&isNumber);
            if (!isNumber) {
                protocol << column + QStringLiteral("  КОД  ОБЪЕКТА ") + text +
                                QStringLiteral(" -  не  число\r\n");
                continue;
            }
            const bool found = it->directory == kObjectsDirectory
                                   ? elm.contains(qint64(code))
                                   : agr.contains({qint64(code), it->directory});
            if (!found)
                protocol << column + QStringLiteral("  КОД  ОБЪЕКТА  ") + text +
                                QStringLiteral("  не  найден  в  справочнике\r\n");
        }
    }
    return protocol;
}

void ImportColumns::write(IdentModel& table, int startRow) {
    Workbook& book = table.book();
    table.readGeometry();
    const int rowSheet = table.rowIdentSheet();
    const Sheet& s = m_preview.sheet(1);
    startRow = std::max(startRow, 1);
    book.beginUpdate();
    for (auto it = m_columns.cbegin(); it != m_columns.cend(); ++it) {
        const int col = it.key();
        const int element = it->element;
        for (int r = startRow; r <= s.lastRow(); ++r) {
            const QString text = cellText(s, r, col);
            if (text.isEmpty() || text == QLatin1String("0"))
                continue;
            const int row = table.lastHeaderRow() + r - startRow + 1;
            if (!isObjectOrCut(element)) {
                book.setNumber(rowSheet, row, rowSlotColumn(Slot(2 * element)),
                               m_indicators.value(text));
                book.setText(rowSheet, row, rowSlotColumn(Slot(2 * element + 1)), text);
                continue;
            }
            book.setNumber(rowSheet, row, rowSlotColumn(Slot(element + 4)),
                           QString(text).replace(',', '.').toDouble());
            book.setNumber(rowSheet, row, rowSlotColumn(Slot(element + 12)), it->directory);
        }
    }
    book.endUpdate();
    // The identification columns leave the preview, from the right so numbers hold.
    const QList<int> cols = m_columns.keys();
    for (auto it = cols.crbegin(); it != cols.crend(); ++it) {
        m_preview.deleteCols(1, *it, 1);
        columnDeleted(*it);
    }
}
