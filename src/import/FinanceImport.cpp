#include "FinanceImport.h"

#include "DbStatement.h"
#include "IdentModel.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "model/Workbook.h"

#include <QHash>

using namespace TableLayout;

namespace FinanceImport {

namespace {

int headingColumn(const Sheet& s, const QString& name) {
    for (int c = 1; c <= std::max(s.lastCol(), 1); ++c)
        if (s.colHeading(c).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return 0;
}

QString cellText(const Sheet& s, int row, int col) {
    const CellValue v = s.value(row, col);
    if (v.type == CellValue::Number)
        return QString::number(v.number, 'f', 0);
    return s.text(row, col).trimmed();
}

// A slot text padded with zeros to `width`; a slot holding 0 gives zeros only.
QString padded(const Sheet& rows, int row, Slot slot, int width) {
    QString t = cellText(rows, row, rowSlotColumn(slot));
    if (t.isEmpty() || t == QLatin1String("0"))
        t.clear();
    return t.rightJustified(width, '0');
}

bool territoryExists(TdmMSSQL& dm, double code) {
    DbStatement& q = dm.dbMain.statement(QStringLiteral("quFinTerritory"));
    q.setSql(QStringList{QStringLiteral("SELECT NUMAGR, NAMEFOLDER FROM AGR"),
                         QStringLiteral("WHERE KodFOLDER = :KODFOLDER AND NumAgr = :NUMAGR")});
    q.setParam(QStringLiteral("KODFOLDER"), code);
    q.setParam(QStringLiteral("NUMAGR"), 1);
    q.open();
    const bool found = !q.isEmpty();
    q.close();
    return found;
}

} // namespace

bool run(TdmMSSQL& dm, IdentModel& table, const Workbook& preview, Kind kind, Prompter& prompter) {
    const Sheet& p = preview.sheet(1);
    const int kbk = headingColumn(p, QStringLiteral("KBK"));
    const int org = headingColumn(p, QStringLiteral("ORG"));
    const int p1 = headingColumn(p, QStringLiteral("P1"));
    const int p2 = headingColumn(p, QStringLiteral("P2"));
    if (!kbk || !org || !p1 || !p2) {
        prompter.info(QStringLiteral("DBF-файл не содержит отчет по доходам/расходам"));
        return false;
    }
    bool isNumber = false;
    const double territory = cellText(p, 1, org).toDouble(&isNumber);
    if (!isNumber || !territoryExists(dm, territory)) {
        prompter.info(QStringLiteral("Код территории из входного файла не найден в справочнике "
                                     "территорий"));
        return false;
    }
    Workbook& book = table.book();
    table.readGeometry();
    const int sheet = book.activeSheetIndex();
    const Sheet& s = book.sheet(sheet);
    const bool identified = table.titleKind(sheet).trimmed() == QStringLiteral("Объект") &&
                            s.number(int(TitleRow::Object), kTitleValueCol) == territory &&
                            table.titleCode(sheet, TitleRow::Object, kTitleExtraCol) == 1;
    if (!identified) {
        if (!prompter.confirm(QStringLiteral("       Текущий лист не идентифицирован\r\n     кодом "
                                             "территории из входного файла.\r\nПроизвести "
                                             "нужную идентификацию сейчас ?")))
            return false;
        book.setText(sheet, int(TitleRow::Kind), kTitleValueCol, QStringLiteral("Объект"));
        book.setNumber(sheet, int(TitleRow::Object), kTitleValueCol, territory);
        book.setNumber(sheet, int(TitleRow::Object), kTitleExtraCol, 1);
        if (kind == Kind::Expenses)
            book.setNumber(sheet, int(TitleRow::Level), kTitleValueCol, 1);
    }

    // The first preview row of each budget code.
    const int maxLength = kind == Kind::Income ? 8 : 19;
    QHash<QString, int> byCode;
    for (int r = p.lastRow(); r >= 1; --r) {
        const QString code = cellText(p, r, kbk);
        if (!code.isEmpty() && code.size() <= maxLength)
            byCode.insert(code, r);
    }
    const Sheet& rows = book.sheet(table.rowIdentSheet());
    const int target = kind == Kind::Income ? 5 : 9;
    book.beginUpdate();
    for (int row = table.firstBodyRow(); row <= rows.lastRow(); ++row) {
        QString code;
        if (kind == Kind::Income) {
            const double shown =
                rows.value(row, rowSlotColumn(Slot::IndicatorShown)).type == CellValue::Number
                    ? rows.number(row, rowSlotColumn(Slot::IndicatorShown))
                    : rows.text(row, rowSlotColumn(Slot::IndicatorShown)).trimmed().toDouble();
            if (shown == 0)
                continue;
            code = QString::number(shown, 'f', 0);
        } else {
            if (table.rowCode(row, Slot::Cut1) == 0)
                continue;
            code = padded(rows, row, Slot::Cut1, 4) + padded(rows, row, Slot::Cut2, 3) +
                   padded(rows, row, Slot::Cut3, 3) + padded(rows, row, Slot::Cut4, 3) +
                   padded(rows, row, Slot::IndicatorShown, 6);
        }
        const auto it = byCode.constFind(code);
        if (it == byCode.constEnd())
            continue;
        for (const auto& [from, to] : {std::pair{p1, target}, std::pair{p2, target + 1}}) {
            const CellValue v = p.value(*it, from);
            if (v.type == CellValue::Number)
                book.setNumber(sheet, row, to, v.number);
            else
                book.clearCell(sheet, row, to);
        }
    }
    book.endUpdate();
    return true;
}

} // namespace FinanceImport
