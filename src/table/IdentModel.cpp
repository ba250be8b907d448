#include "IdentModel.h"

#include "Helpers.h"
#include "Prompter.h"
#include "model/Workbook.h"

#include <algorithm>

using namespace TableLayout;

namespace {

const QString kCutCaption = QStringLiteral("           разрез %1");
const QString kAttrCaption = QStringLiteral("          признак %1");

// An object or cut code is looked up by its magnitude ("-3" finds 3) and stays as typed:
// the code that was found is the one the table names.
int foundCode(int typed) {
    return typed < 0 ? -typed : typed;
}

bool isElementSlot(Slot s) {
    return s >= Slot::Object && s <= Slot::Cut4;
}

} // namespace

IdentModel::IdentModel(Workbook& book, Prompter& prompter) : m_book(book), m_prompter(prompter) {}

int IdentModel::sheetCount() const {
    return m_book.sheetCount();
}

int IdentModel::layoutField(const QString& text, int start) {
    bool ok = false;
    const int value = text.mid(start - 1, 5).trimmed().toInt(&ok);
    return ok ? value : 0;
}

QString IdentModel::withLayoutField(const QString& text, int start, int value) {
    QString result = PadRight(text, start + 4);
    result.replace(start - 1, 5, PadRight(QString::number(value), 5));
    return result;
}

void IdentModel::readGeometry() {
    const QString layout = m_book.sheet(1).text(kLayoutRow, kLayoutCol);
    // A damaged layout cell must not push the title or header out of their rows.
    m_titleRows = std::clamp(layoutField(layout, 1), 1, kMaxTitleRows);
    m_headerRows = std::clamp(layoutField(layout, 7), 1, 1000);
}

void IdentModel::writeLayout(int start, int value) {
    for (int s = 1; s <= instanceCount(); ++s) {
        const QString layout = m_book.sheet(s).text(kLayoutRow, kLayoutCol);
        m_book.setText(s, kLayoutRow, kLayoutCol, withLayoutField(layout, start, value));
    }
}

void IdentModel::setTitleRows(int rows) {
    m_titleRows = rows;
    writeLayout(1, rows);
}

void IdentModel::setHeaderRows(int rows) {
    m_headerRows = rows;
    writeLayout(7, rows);
}

int IdentModel::codeAt(int sheet, int row, int col) const {
    if (!m_book.hasSheet(sheet))
        return 0;
    const CellValue v = m_book.sheet(sheet).value(row, col);
    if (v.type != CellValue::Number)
        return 0;
    return TruncToInt(v.number, m_prompter);
}

PeriodBound IdentModel::periodAt(int sheet, int row, int col) const {
    if (!m_book.hasSheet(sheet))
        return {};
    const Sheet& s = m_book.sheet(sheet);
    return {s.entry(row, col), s.format(row, col).numberFormat == QLatin1String("General")};
}

int IdentModel::rowCode(int row, Slot s) const {
    const int code = codeAt(rowIdentSheet(), row, rowSlotCol(s));
    return isElementSlot(s) ? foundCode(code) : code;
}
int IdentModel::colCode(int col, Slot s) const {
    const int code = codeAt(colIdentSheet(), colSlotRow(s), col);
    return isElementSlot(s) ? foundCode(code) : code;
}
int IdentModel::titleCode(int sheet, TitleRow r, int col) const {
    const int code = codeAt(sheet, int(r), col);
    const bool element = col == kTitleValueCol && r >= TitleRow::Object && r <= TitleRow::Cut4;
    return element ? foundCode(code) : code;
}

PeriodBound IdentModel::rowPeriod(int row, Slot s) const {
    return periodAt(rowIdentSheet(), row, rowSlotCol(s));
}
PeriodBound IdentModel::colPeriod(int col, Slot s) const {
    return periodAt(colIdentSheet(), colSlotRow(s), col);
}
PeriodBound IdentModel::titlePeriod(int sheet, TitleRow r) const {
    return periodAt(sheet, int(r), kTitleValueCol);
}

bool IdentModel::rowMarkedHidden(int row) const {
    return m_book.sheet(rowIdentSheet()).text(row, rowSlotCol(Slot::HideMarker)).trimmed() ==
           hideMarker();
}

bool IdentModel::colMarkedHidden(int col) const {
    return m_book.sheet(colIdentSheet()).text(colSlotRow(Slot::HideMarker), col).trimmed() ==
           hideMarker();
}

QString IdentModel::titleKind(int sheet) const {
    return m_book.sheet(sheet).text(int(TitleRow::Kind), kTitleValueCol);
}

QString IdentModel::rowSlotCaption(Slot s) {
    const int i = int(s);
    if (s >= Slot::Cut1 && s <= Slot::Cut4)
        return QStringLiteral("\r\nразрез %1").arg(i - int(Slot::Cut1) + 1);
    if (s >= Slot::Cut1Type && s <= Slot::Cut4Type)
        return QStringLiteral("Тип P%1").arg(i - int(Slot::Cut1Type) + 1);
    switch (s) {
    case Slot::HideMarker:
        return QStringLiteral("Скрытые\r\nстроки");
    case Slot::IndicatorCode:
        return QStringLiteral("Код\r\nпоказателя");
    case Slot::IndicatorShown:
        return QStringLiteral("Показатель\r\n");
    case Slot::Attr1Code:
        return QStringLiteral("Код\r\nпризнака 1");
    case Slot::Attr1Shown:
        return QStringLiteral("\r\nпризнак 1");
    case Slot::Attr2Code:
        return QStringLiteral("Код\r\nпризнака 2");
    case Slot::Attr2Shown:
        return QStringLiteral("\r\nпризнак 2");
    case Slot::Object:
        return QStringLiteral("Объект\r\n");
    case Slot::Level:
        return QStringLiteral("\r\nУровень");
    case Slot::PeriodStart:
        return QStringLiteral("Начало\r\nПериода");
    case Slot::PeriodEnd:
        return QStringLiteral("Конец\r\nПериода");
    case Slot::ObjectType:
        return QStringLiteral("Тип О");
    default:
        return {};
    }
}

QString IdentModel::colSlotCaption(Slot s) {
    const int i = int(s);
    if (s >= Slot::Cut1 && s <= Slot::Cut4)
        return kCutCaption.arg(i - int(Slot::Cut1) + 1);
    if (s >= Slot::Cut1Type && s <= Slot::Cut4Type)
        return QStringLiteral("Тип P%1").arg(i - int(Slot::Cut1Type) + 1);
    switch (s) {
    case Slot::HideMarker:
        return QStringLiteral("Скрытые колонки");
    case Slot::IndicatorCode:
        return QStringLiteral("Код показателя");
    case Slot::IndicatorShown:
        return QStringLiteral("Показатель");
    case Slot::Attr1Code:
        return QStringLiteral("Код признака 1");
    case Slot::Attr1Shown:
        return kAttrCaption.arg(1);
    case Slot::Attr2Code:
        return QStringLiteral("Код признака 2");
    case Slot::Attr2Shown:
        return kAttrCaption.arg(2);
    case Slot::Object:
        return QStringLiteral("Объект");
    case Slot::Level:
        return QStringLiteral("Уровень");
    case Slot::PeriodStart:
        return QStringLiteral("Начало периода");
    case Slot::PeriodEnd:
        return QStringLiteral("Конец периода");
    case Slot::ObjectType:
        return QStringLiteral("Тип О");
    default:
        return {};
    }
}

QString IdentModel::titleCaption(TitleRow r) {
    if (r >= TitleRow::Cut1 && r <= TitleRow::Cut4)
        return kCutCaption.arg(int(r) - int(TitleRow::Cut1) + 1);
    switch (r) {
    case TitleRow::Hint:
        return QStringLiteral("Идентификация заголовка");
    case TitleRow::Kind:
        return QStringLiteral("Что поместить в заголовок: ");
    case TitleRow::Indicator:
        return QStringLiteral("Показатель");
    case TitleRow::Attr1:
        return kAttrCaption.arg(1);
    case TitleRow::Attr2:
        return kAttrCaption.arg(2);
    case TitleRow::Object:
        return QStringLiteral("Объект");
    case TitleRow::Level:
        return QStringLiteral("Уровень");
    case TitleRow::PeriodStart:
        return QStringLiteral("Начало периода");
    case TitleRow::PeriodEnd:
        return QStringLiteral("Конец периода");
    default:
        return {};
    }
}

bool IdentModel::slotShown(Slot s) {
    switch (s) {
    case Slot::IndicatorShown:
    case Slot::Attr1Shown:
    case Slot::Attr2Shown:
    case Slot::Object:
    case Slot::Cut1:
    case Slot::Cut2:
    case Slot::Cut3:
    case Slot::Cut4:
    case Slot::Level:
    case Slot::PeriodStart:
    case Slot::PeriodEnd:
        return true;
    default:
        return false;
    }
}

int IdentModel::setting(Setting s) const {
    return codeAt(rowIdentSheet(), int(s), kSettingsCol);
}

void IdentModel::setSetting(Setting s, int value) {
    m_book.setNumber(rowIdentSheet(), int(s), kSettingsCol, value);
}

int IdentModel::columnSpecialKind(int col) const {
    return codeAt(colIdentSheet(), 1, col);
}

int IdentModel::headerRowSpecialKind(int row) const {
    return codeAt(colIdentSheet(), row, kSettingsCol);
}

int IdentModel::extraTextLines() const {
    return std::clamp(codeAt(colIdentSheet(), kTextLinesRow, kSettingsCol), 0, kMaxExtraTextLines);
}

void IdentModel::setExtraTextLines(int k) {
    m_book.setNumber(colIdentSheet(), kTextLinesRow, kSettingsCol,
                     std::clamp(k, 0, kMaxExtraTextLines));
}

int IdentModel::sheetLevel(int sheet) const {
    return titleCode(sheet, TitleRow::Level);
}

CellIdent IdentModel::identify(int sheet, int row, int col) const {
    CellIdent id;
    auto pick = [](int rowValue, int colValue, int titleValue) {
        return rowValue != 0 ? rowValue : colValue != 0 ? colValue : titleValue;
    };
    auto pickRef = [](ElementRef rowRef, ElementRef colRef, ElementRef titleRef) {
        return rowRef.code != 0 ? rowRef : colRef.code != 0 ? colRef : titleRef;
    };
    auto pickPeriod = [](PeriodBound rowP, PeriodBound colP, PeriodBound titleP) {
        return !rowP.blank() ? rowP : !colP.blank() ? colP : titleP;
    };

    id.indicator = pick(rowCode(row, Slot::IndicatorCode), colCode(col, Slot::IndicatorCode),
                        titleCode(sheet, TitleRow::Indicator));
    id.attr1 = pick(rowCode(row, Slot::Attr1Code), colCode(col, Slot::Attr1Code),
                    titleCode(sheet, TitleRow::Attr1));
    id.attr2 = pick(rowCode(row, Slot::Attr2Code), colCode(col, Slot::Attr2Code),
                    titleCode(sheet, TitleRow::Attr2));
    id.object = pickRef(
        {rowCode(row, Slot::Object), rowCode(row, Slot::ObjectType)},
        {colCode(col, Slot::Object), colCode(col, Slot::ObjectType)},
        {titleCode(sheet, TitleRow::Object), titleCode(sheet, TitleRow::Object, kTitleExtraCol)});
    for (int i = 0; i < 4; ++i)
        id.cuts[size_t(i)] = pickRef(
            {rowCode(row, cutSlot(i)), rowCode(row, cutTypeSlot(i))},
            {colCode(col, cutSlot(i)), colCode(col, cutTypeSlot(i))},
            {titleCode(sheet, titleCutRow(i)), titleCode(sheet, titleCutRow(i), kTitleExtraCol)});
    id.start = pickPeriod(rowPeriod(row, Slot::PeriodStart), colPeriod(col, Slot::PeriodStart),
                          titlePeriod(sheet, TitleRow::PeriodStart));
    id.end = pickPeriod(rowPeriod(row, Slot::PeriodEnd), colPeriod(col, Slot::PeriodEnd),
                        titlePeriod(sheet, TitleRow::PeriodEnd));
    return id;
}
