#include "TableDocument.h"

#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "Helpers.h"
#include "InitialWorkbook.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"
#include "formula/Recalculator.h"
#include "io/NativeFormat.h"
#include "model/Workbook.h"

#include <stdexcept>

using namespace TableLayout;

namespace {

const QString kTooLarge = QStringLiteral("Не удалось сохранить таблицу: СЛИШКОМ БОЛЬШОЕ ЧИСЛО");

} // namespace

TableDocument::TableDocument(TdmMSSQL& dm, Workbook& book, Prompter& prompter)
    : m_dm(dm), m_book(book), m_prompter(prompter), m_model(book, prompter),
      m_defaultPassword(prompter) {}

QString TableDocument::unreadableMessage() {
    return QStringLiteral("Сохраненную таблицу прочитать не удалось: показана новая таблица.\r\n"
                          "Если сохранить ее, сохраненная таблица будет заменена.");
}

QString TableDocument::replaceQuestion() {
    return QStringLiteral("Сохраненную таблицу прочитать не удалось.\r\n"
                          "Заменить ее таблицей, показанной сейчас ?");
}

QByteArray TableDocument::workbookBytes(const Workbook& book) {
    return NativeFormat::save(book);
}

void TableDocument::open(const TableRef& table) {
    m_table = table;
    m_storedUnreadable = false;
    readStored();

    m_book.setActiveSheet(1);
    m_model.readGeometry();
    for (int i = 1; i <= m_book.sheetCount(); ++i)
        m_book.sheet(i).setMaxCol(kColumnCount);
    readSettings();

    DbStatement& nast = m_dm.query(QStringLiteral("quNast"));
    try {
        nast.open();
        m_objectsEnabled =
            nast.isEmpty() ||
            nast.value(QStringLiteral("ISELMENABLED")).toString().trimmed() == QLatin1String("T");
        nast.close();
    } catch (const DbError&) {
        m_objectsEnabled = true;
    }
    placeCursor();
    m_book.setModified(false);
}

void TableDocument::readStored() {
    QByteArray bytes;
    bool readFailed = false;
    QString why;
    try {
        DbStatement& q = m_dm.query(QStringLiteral("quGetTABCat"));
        q.setParam(QStringLiteral("P_KODELMT"), m_table.kodElmt);
        q.open();
        if (!q.isEmpty())
            bytes = q.value(QStringLiteral("TABF1")).toByteArray();
        q.close();
    } catch (const DbError& e) {
        readFailed = true;
        why = e.message();
    }
    if (!readFailed && bytes.isEmpty()) {
        InitialWorkbook::build(m_book);
        return;
    }
    if (!readFailed) {
        Workbook loaded;
        if (NativeFormat::load(loaded, bytes, &why)) {
            // A table always has its two identification sheets after the instances.
            if (loaded.sheetCount() >= 3) {
                m_book.swapContents(loaded);
                m_book.recalculator().loadedClean();
                return;
            }
            why = QStringLiteral("В книге меньше трех листов");
        }
    }
    // Never let an unreadable table pass for an empty one: the next save would
    // destroy what is stored.
    InitialWorkbook::build(m_book);
    m_storedUnreadable = true;
    QString text = unreadableMessage();
    if (!IsBlank(why))
        text += QStringLiteral("\r\n\r\n") + why;
    m_prompter.message(text, {}, PromptIcon::Warning);
}

void TableDocument::readSettings() {
    if (m_book.sheetCount() < 3)
        return;
    TableSettings& s = m_settings;
    s.editBar = m_model.setting(Setting::EditBar) != 0;
    s.recalcOrder = m_model.setting(Setting::RecalcOrder);
    if (s.recalcOrder <= 0) {
        s.recalcOrder = 1;
        m_model.setSetting(Setting::RecalcOrder, 1);
    }
    s.rowTotals = m_model.setting(Setting::RowTotals);
    if (s.rowTotals <= 0) {
        s.rowTotals = 1;
        m_model.setSetting(Setting::RowTotals, 1);
    }
    s.colTotals = m_model.setting(Setting::ColTotals);
    if (s.colTotals <= 0) {
        s.colTotals = 2;
        m_model.setSetting(Setting::ColTotals, 2);
    }
    s.showZeros = m_model.setting(Setting::ShowZeros) != 0;
    s.hideSubordinate = m_model.setting(Setting::HideSubordinate) != 0;
    s.showEmptyRows = m_model.setting(Setting::HideEmptyRows) == 0;
    s.showEmptyCols = m_model.setting(Setting::HideEmptyCols) == 0;
    s.hideMarkedRows = m_model.setting(Setting::HideMarkedRows) != 0;
    s.hideMarkedCols = m_model.setting(Setting::HideMarkedCols) != 0;
}

void TableDocument::placeCursor() {
    Sheet& s = m_book.sheet(1);
    SheetOptions o = s.options();
    o.topRow = m_model.firstShownTitleRow();
    o.leftCol = kSideCol;
    int row = m_model.firstBodyRow();
    while (row < s.maxRow() && s.rowHidden(row))
        ++row;
    int col = kFirstDataCol;
    while (col < kColumnCount && s.colHidden(col))
        ++col;
    o.activeRow = row;
    o.activeCol = col;
    o.selection = CellRange::cell(row, col);
    s.setOptions(o);
}

bool TableDocument::accompanyingTextShown() const {
    return !m_book.sheet(1).rowHidden(kFirstTextRow);
}

bool TableDocument::passwordPassed() {
    if (!m_table.passwordGuardsSaving())
        return true;
    TablePassword* dialog = m_password ? m_password : &m_defaultPassword;
    return dialog->ask(m_table.parol);
}

TableDocument::SaveResult TableDocument::save() {
    // What is stored could not be read, so saving destroys it: only when the user says so.
    if (m_storedUnreadable && !m_prompter.confirm(replaceQuestion(), Answer::No))
        return SaveResult::Cancelled;
    if (!passwordPassed())
        return SaveResult::Cancelled;
    return write();
}

TableDocument::SaveResult TableDocument::write() {
    try {
        const QByteArray bytes = workbookBytes(m_book);
        DbStatement& put = m_dm.dbTab.statement(QStringLiteral("quGetTABCatApply"));
        put.setSql(QStringLiteral("UPDATE CAT SET TABF1 = :TABF1 WHERE KODELMT = :P_KODELMT"));
        put.setParam(QStringLiteral("TABF1"), bytes);
        put.setParam(QStringLiteral("P_KODELMT"), m_table.kodElmt);
        const int rows = RunInTransaction(m_dm.dbTab, [&] {
            put.execute();
            return put.rowsAffected();
        });
        if (rows == 0) {
            // The catalogue row is gone (another user deleted the table): nothing was kept.
            m_prompter.error(QStringLiteral("Не удалось сохранить таблицу: таблица удалена из БД"));
            return SaveResult::Failed;
        }
        m_book.setModified(false);
        m_storedUnreadable = false; // what is stored now is this workbook
        return SaveResult::Saved;
    } catch (const DbError& e) {
        RollbackQuietly(m_dm.dbTab);
        if (IsRightsError(e.message(), e.sqlCode())) {
            m_prompter.plain(QStringLiteral("Пользователю ") + m_dm.dbTab.userName() +
                             QStringLiteral(" сохранение таблицы запрещенo"));
            return SaveResult::RightsDenied;
        }
        m_prompter.error(QStringLiteral("Не удалось сохранить таблицу: ") + e.message());
        return SaveResult::Failed;
    } catch (const std::range_error&) {
        m_prompter.plain(kTooLarge);
        return SaveResult::TooLarge;
    } catch (const std::overflow_error&) {
        m_prompter.plain(kTooLarge);
        return SaveResult::TooLarge;
    }
}

void TableDocument::prepareForClose() {
    if (m_leaveModes)
        m_leaveModes();
    m_book.setActiveSheet(1);
    if (m_book.sheetCount() >= 3)
        m_model.setSetting(Setting::EditBar, m_settings.editBar ? 1 : 0);
    for (int i = 2; i <= m_book.sheetCount() - 2; ++i)
        m_book.setInEditGroup(i, false);
}

bool TableDocument::close() {
    const Answer answer = m_storedUnreadable
                              ? m_prompter.confirmOrCancel(replaceQuestion(), Answer::No)
                              : m_prompter.confirmOrCancel(QStringLiteral("Сохранить таблицу ?"));
    if (answer == Answer::Cancel)
        return false;
    if (answer == Answer::Yes) {
        if (!passwordPassed())
            return false;
        prepareForClose();
        switch (write()) {
        case SaveResult::TooLarge:
        case SaveResult::Failed:
            return false; // the table stays open so nothing is lost
        default:
            break;
        }
    } else {
        prepareForClose();
    }
    m_dm.query(QStringLiteral("quSPIS")).close();
    return true;
}

bool TableDocument::sheetListEnabled() const {
    return m_book.sheetCount() > 3;
}
