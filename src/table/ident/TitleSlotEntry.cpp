#include "TitleSlotEntry.h"

#include "CodeResolver.h"
#include "DbStatement.h"
#include "Helpers.h"
#include "IdentContext.h"
#include "IdentModel.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "TitleKindController.h"
#include "format/EntryParser.h"
#include "model/Workbook.h"

#include <cmath>

using namespace TableLayout;

namespace {

const QString kNotFound = QStringLiteral("Код не найден в справочнике");
const QString kNotANumber = QStringLiteral("Введено не число или слишком большое число");

bool isCleared(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() || t == QLatin1String("0");
}

// A whole number that fits an internal code; false for anything else.
bool readWholeNumber(const QString& text, int& value) {
    double v = 0;
    if (!EntryParser::parseNumber(text, v) || v != std::trunc(v) || std::fabs(v) >= 2147483648.0)
        return false;
    value = int(v);
    return true;
}

bool isIndicatorKind(int kind) {
    return kind == 0 || kind == 1; // "Показатель", "Признак"
}

bool isObjectKind(int kind) {
    return kind == 2 || kind == 3; // "Объект", "Разрез"
}

} // namespace

TitleSlotEntry::TitleSlotEntry(IdentContext& context, std::function<void()> objectTaken)
    : m_ctx(context), m_objectTaken(std::move(objectTaken)) {}

bool TitleSlotEntry::endEdit(int sheet, int row, int col, const QString& typed) {
    // The kind is chosen in "tip" only: typed by hand it would neither clear the old
    // identification nor reach the other instance sheets.
    if (row == int(TitleRow::Kind) && (col == kTitleValueCol || col == kTitleExtraCol)) {
        m_ctx.prompter.plain(QStringLiteral("Элемент заголовка выбирается из списка"));
        return false;
    }
    const int kind = TitleKindController::kindIndex(m_ctx.model.titleKind(sheet));
    if (isIndicatorKind(kind) && row >= int(TitleRow::Indicator) && row <= int(TitleRow::Attr2)) {
        if (col == kTitleExtraCol)
            return indicatorByDisplayedCode(sheet, row, typed);
        if (col == kTitleValueCol)
            return indicatorByInternalCode(sheet, row, typed);
    }
    if (isObjectKind(kind) && row >= int(TitleRow::Object) && row <= int(TitleRow::Cut4)) {
        if (col == kTitleValueCol)
            return objectCode(sheet, row, typed);
        if (col == kTitleExtraCol)
            return objectType(sheet, row, typed);
    }
    return true;
}

bool TitleSlotEntry::indicatorByDisplayedCode(int sheet, int row, const QString& typed) {
    CodeResolver resolver(m_ctx.dm, m_ctx.prompter);
    const IndicatorEntry e = resolver.ResolveIndicatorEntry(typed);
    if (!e.ok)
        return false;
    m_ctx.model.book().setNumber(sheet, row, kTitleValueCol, e.code);
    if (e.code != 0)
        transferName(sheet, e.name);
    return true;
}

bool TitleSlotEntry::indicatorByInternalCode(int sheet, int row, const QString& typed) {
    if (IsBlank(typed))
        return true;
    Workbook& book = m_ctx.model.book();
    if (typed.trimmed() == QLatin1String("0")) {
        book.setNumber(sheet, row, kTitleExtraCol, 0);
        return true;
    }
    int code = 0;
    if (!readWholeNumber(typed, code)) {
        m_ctx.prompter.plain(kNotANumber);
        return false;
    }
    DbStatement& q = m_ctx.dm.query(QStringLiteral("quFindPok"));
    q.setParam(QStringLiteral("KODELMT"), code);
    q.open();
    const bool found = !q.isEmpty();
    const QString name = found ? q.value(QStringLiteral("NAMEFOLDER")).toString() : QString();
    const QString kodAlt = found ? q.value(QStringLiteral("KODALT")).toString() : QString();
    q.close();
    if (!found) {
        m_ctx.prompter.plain(kNotFound);
        return false;
    }
    // Alternative codes are texts: "001" must stay "001".
    if (IsBlank(kodAlt))
        book.setNumber(sheet, row, kTitleExtraCol, -double(code));
    else
        book.setText(sheet, row, kTitleExtraCol, kodAlt.left(20));
    transferName(sheet, name);
    return true;
}

bool TitleSlotEntry::objectCode(int sheet, int row, const QString& typed) {
    CodeResolver resolver(m_ctx.dm, m_ctx.prompter);
    const ObjectEntry e = resolver.ResolveObjectEntry(typed);
    if (!e.ok)
        return false;
    m_ctx.model.book().setNumber(sheet, row, kTitleExtraCol, e.type);
    if (e.code != 0)
        transferName(sheet, e.name);
    if (m_objectTaken)
        m_objectTaken();
    return true;
}

// The type says which directory the code belongs to. Typed by hand it is taken only when
// it names the directory that holds the code; blank or "0" clears the code with it.
bool TitleSlotEntry::objectType(int sheet, int row, const QString& typed) {
    Workbook& book = m_ctx.model.book();
    if (isCleared(typed)) {
        book.setNumber(sheet, row, kTitleValueCol, 0);
        return true;
    }
    int type = 0;
    if (!readWholeNumber(typed, type) || type < 0) {
        m_ctx.prompter.plain(kNotANumber);
        return false;
    }
    const int code = m_ctx.model.titleCode(sheet, TitleRow(row));
    if (code == 0 || !codeIsInDirectory(std::abs(code), type)) {
        m_ctx.prompter.plain(kNotFound);
        return false;
    }
    return true;
}

bool TitleSlotEntry::codeIsInDirectory(int code, int type) {
    const bool objects = type == kObjectsDirectoryType;
    DbStatement& q =
        m_ctx.dm.query(objects ? QStringLiteral("quFindElm") : QStringLiteral("quFindAgr"));
    q.setParam(QStringLiteral("KODFOLDER"), objects ? QVariant(code) : QVariant(double(code)));
    q.open();
    bool found = objects && !q.isEmpty();
    if (!objects)
        found = q.locate(QStringLiteral("NUMAGR"), type);
    q.close();
    return found;
}

void TitleSlotEntry::transferName(int sheet, const QString& name) {
    if (m_ctx.options.transferNames)
        m_ctx.model.book().setText(sheet, kLastTitleRow, kTitleValueCol, name);
}
