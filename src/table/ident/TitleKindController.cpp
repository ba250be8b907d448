#include "TitleKindController.h"

#include "IdentContext.h"
#include "IdentEditorView.h"
#include "IdentModel.h"
#include "IdentSheetTools.h"
#include "Prompter.h"
#include "model/Workbook.h"

using namespace TableLayout;

namespace {

constexpr quint32 kBlue = 0x0000FF;
constexpr quint32 kYellow = 0xFFFF00;

constexpr std::initializer_list<TitleRow> kCaptionRows = {
    TitleRow::Kind,   TitleRow::Indicator, TitleRow::Attr1,       TitleRow::Attr2,
    TitleRow::Object, TitleRow::Cut1,      TitleRow::Cut2,        TitleRow::Cut3,
    TitleRow::Cut4,   TitleRow::Level,     TitleRow::PeriodStart, TitleRow::PeriodEnd};

} // namespace

QStringList TitleKindController::kinds() {
    return {QStringLiteral("Показатель"), QStringLiteral("Признак"), QStringLiteral("Объект"),
            QStringLiteral("Разрез"), QStringLiteral("Период")};
}

int TitleKindController::kindIndex(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return -1;
    const QStringList all = kinds();
    for (int i = 0; i < all.size(); ++i)
        if (t.startsWith(all[i], Qt::CaseInsensitive))
            return i;
    return -1;
}

QList<int> TitleKindController::kindRows(int kind) {
    switch (kind) {
    case 0:
        return {6, 7, 8, 14};
    case 1:
        return {7, 8, 14};
    case 2:
        return {9, 10, 11, 12, 13, 14};
    case 3:
        return {10, 14};
    case 4:
        return {15, 16, 14};
    default:
        return {};
    }
}

void TitleKindController::showKindRows(int sheet, int kind) {
    Sheet& s = m_ctx.model.book().sheet(sheet);
    for (int row : kindRows(kind))
        s.setRowHidden(row, false);
}

void TitleKindController::prepareSheet(int sheet) {
    Workbook& book = m_ctx.model.book();
    Sheet& s = book.sheet(sheet);
    book.setText(sheet, int(TitleRow::Hint), kSideCol, IdentModel::titleCaption(TitleRow::Hint));
    book.setFormat(sheet, CellRange::cell(int(TitleRow::Hint), kSideCol),
                   [](CellFormat& f) { f.font.color = kBlue; });
    for (int row = 2; row <= 5; ++row)
        s.setRowHidden(row, false);
    for (TitleRow r : kCaptionRows) {
        book.setText(sheet, int(r), kSideCol, IdentModel::titleCaption(r));
        book.setFormat(sheet, CellRange::cell(int(r), kSideCol), [](CellFormat& f) {
            f.pattern = 1;
            f.patternFg = kYellow;
        });
    }

    // A "tip" left behind (a workbook saved in the mode) is replaced, never doubled.
    while (int old = s.findObject(objectName()))
        s.deleteObject(old);
    const int kindRow = int(TitleRow::Kind);
    // Over column 3 and on into column 4, so that the longest kind reads whole.
    const int id =
        s.addDropDown(objectName(), CellRange{kindRow, kTitleValueCol, kindRow, kTitleExtraCol},
                      kinds().join(QLatin1Char(';')));

    const int kind = kindIndex(s.text(kindRow, kTitleValueCol));
    m_ctx.state.titleKind = kind;
    if (kind < 0) {
        s.setObjectSelected(id, 0);
        m_ctx.view.setCursor(kindRow, kTitleValueCol);
    } else {
        s.setObjectSelected(id, kind + 1);
        showKindRows(sheet, kind);
        m_ctx.view.setCursor(kindRows(kind).first(), kTitleValueCol);
    }
    m_ctx.view.scrollTo(int(TitleRow::Hint), kSideCol);
}

// The accompanying text keeps what its own command shows: title identification never
// shows those rows, so it must not hide them either.
void TitleKindController::hideAboveTitle(int sheet, int from) {
    Sheet& s = m_ctx.model.book().sheet(sheet);
    for (int row = from; row < m_ctx.model.firstShownTitleRow(); ++row)
        if (row < kFirstTextRow || row > kLastTextRow)
            s.setRowHidden(row, true);
}

void TitleKindController::unprepareSheet(int sheet) {
    Workbook& book = m_ctx.model.book();
    if (!book.hasSheet(sheet))
        return;
    Sheet& s = book.sheet(sheet);
    while (int id = s.findObject(objectName()))
        s.deleteObject(id);
    hideAboveTitle(sheet, 1);
}

bool TitleKindController::clearForNewKind() {
    const Answer answer = m_ctx.prompter.confirmOrCancel(
        QStringLiteral("При замене элемента идентификации\r\nпредыдущая идентификация будет "
                       "очищена с удалением листов.\r\n\r\nОчистить ?"));
    if (answer != Answer::Yes)
        return false;

    Workbook& book = m_ctx.model.book();
    const int keep = book.activeSheetIndex();
    book.beginUpdate();
    for (int i = m_ctx.model.instanceCount(); i >= 1; --i)
        if (i != keep)
            book.deleteSheet(i);
    m_ctx.view.showSheet(1);
    IdentSheetTools::keepOnlyInGroup(book, 1);
    Sheet& s = book.sheet(1);
    const int lastCol = std::max(s.lastCol(), kSideCol);
    book.clearRange(1, CellRange(kFirstTitleRow, kSideCol, kLastTitleRow, lastCol),
                    ClearWhat::Values);
    book.clearRange(1,
                    CellRange(int(TitleRow::Indicator), kTitleValueCol, int(TitleRow::PeriodEnd),
                              kTitleExtraCol),
                    ClearWhat::Values);
    book.endUpdate();
    m_ctx.model.setTitleRows(1);
    m_ctx.state.rememberedSheet = 1;
    return true;
}

void TitleKindController::kindChosen(int index) {
    if (index < 0 || index >= kinds().size())
        return;
    const int before = m_ctx.state.titleKind;
    if (before >= 0 && index != before && m_ctx.model.instanceCount() > 1 && !clearForNewKind())
        return; // "tip" keeps showing the refused choice; the next one is compared with `before`

    Workbook& book = m_ctx.model.book();
    const int sheet = book.activeSheetIndex();
    hideAboveTitle(sheet, int(TitleRow::Indicator));
    const QString text = kinds().at(index);
    for (int i = 1; i <= m_ctx.model.instanceCount(); ++i)
        book.setText(i, int(TitleRow::Kind), kTitleValueCol, text);
    showKindRows(sheet, index);
    m_ctx.state.titleKind = index;
    m_ctx.view.setCursor(int(TitleRow::Kind), kTitleValueCol);
}
