#include "PeriodController.h"

#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "Helpers.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

namespace {

const QString kAdministrator = QStringLiteral("SYSDBA");
constexpr int kPlaceholderYear = 9999;

// NAST no longer holds the list the edit started from.
struct ChangedByOthers : std::exception {};

bool isZeroYear(const QString& text) {
    return IsBlank(text) || text == QLatin1String("0") || text == QLatin1String("00") ||
           text == QLatin1String("000") || text == QLatin1String("0000");
}

QString paddedYear(int year) {
    return PadRight(QString::number(year), PeriodList::kFieldWidth);
}

} // namespace

PeriodController::PeriodController(TdmMSSQL& dm, Prompter& prompter, StoragePeriods& lists)
    : m_dm(dm), m_prompter(prompter), m_lists(lists) {
    rebuild(Fund::Dolg);
    rebuild(Fund::Oper);
}

bool PeriodController::mayOpen(const QString& userName, Prompter& prompter) {
    if (userName.trimmed().toUpper() == kAdministrator)
        return true;
    prompter.info(QStringLiteral("Изменить периоды хранения\r\nимеет право только "
                                 "администратор БД (SYSDBA)"));
    return false;
}

const PeriodList& PeriodController::list(Fund fund) const {
    return fund == Fund::Dolg ? m_lists.dolg : m_lists.oper;
}

PeriodList& PeriodController::listRef(Fund fund) {
    return fund == Fund::Dolg ? m_lists.dolg : m_lists.oper;
}

bool PeriodController::load() {
    try {
        LoadStoragePeriods(m_dm, m_lists);
    } catch (const DbError& e) {
        m_prompter.error(e.message());
        return false;
    }
    rebuild(Fund::Dolg);
    rebuild(Fund::Oper);
    return true;
}

void PeriodController::rebuild(Fund fund) {
    Page& page = m_pages[index(fund)];
    page.nodes = list(fund).texts;
    if (page.nodes.isEmpty())
        page.selected = -1;
    else
        page.selected = std::clamp(page.selected, 0, int(page.nodes.size()) - 1);
}

int PeriodController::add(Fund fund) {
    if (!load())
        return -1;
    if (list(fund).isFull()) {
        m_prompter.error(QStringLiteral("Задано наибольшее возможное число периодов (%1)")
                             .arg(PeriodList::kMaxYears));
        return -1;
    }
    Page& page = m_pages[index(fund)];
    page.nodes << QString();
    page.selected = int(page.nodes.size()) - 1;
    return page.selected;
}

int PeriodController::dropBlankNodes(Fund fund, int current) {
    Page& page = m_pages[index(fund)];
    const QString currentText =
        current >= 0 && current < page.nodes.size() ? page.nodes[current] : QString();
    int kept = -1;
    QStringList nodes;
    for (int i = 0; i < page.nodes.size(); ++i) {
        if (IsBlank(page.nodes[i]))
            continue;
        if (i == current)
            kept = int(nodes.size());
        nodes << page.nodes[i];
    }
    page.nodes = nodes;
    if (kept < 0 && !IsBlank(currentText))
        kept = int(nodes.indexOf(currentText));
    page.selected = kept >= 0 ? kept : int(nodes.size()) - 1;
    return page.selected;
}

void PeriodController::dropNewNode(Fund fund, int position) {
    Page& page = m_pages[index(fund)];
    page.nodes.removeAt(position);
    page.selected = int(page.nodes.size()) - 1;
}

void PeriodController::restoreNode(Fund fund, int position, const QString& oldText) {
    Page& page = m_pages[index(fund)];
    page.nodes[position] = oldText;
    page.selected = position;
}

void PeriodController::endEdit(Fund fund, int position, const QString& text) {
    Page& page = m_pages[index(fund)];
    const PeriodList& years = list(fund);
    if (position < 0 || position >= page.nodes.size() || position > years.count())
        return;
    const bool isNew = position == years.count();
    const QString oldText = page.nodes[position];
    auto refuse = [&](const QString& message) {
        m_prompter.error(message);
        if (isNew)
            dropNewNode(fund, position);
        else
            restoreNode(fund, position, oldText);
    };

    QString typed = text.trimmed();
    if (typed.size() > PeriodList::kFieldWidth)
        typed = typed.left(PeriodList::kFieldWidth);
    if (isZeroYear(typed)) {
        if (isNew) {
            dropNewNode(fund, position);
            return;
        }
        typed = QString::number(kPlaceholderYear);
    }
    bool ok = false;
    int year = typed.toInt(&ok);
    if (!ok) {
        refuse(QStringLiteral("Год должен быть числом"));
        return;
    }
    if (year == 0) { // "+0", "-0": no year either
        if (isNew) {
            dropNewNode(fund, position);
            return;
        }
        year = kPlaceholderYear;
    }
    if (year != kPlaceholderYear)
        for (int i = 0; i < years.count(); ++i)
            if (i != position && years.years[i] == year) {
                refuse(QStringLiteral("Данный год уже задан"));
                return;
            }
    if (!isNew && years.years[position] == year) {
        restoreNode(fund, position, years.texts[position]);
        return;
    }
    store(fund, position, year);
}

bool PeriodController::store(Fund fund, int position, int year) {
    PeriodList& years = listRef(fund);
    const bool isNew = position == years.count();
    if (isNew && years.isFull()) {
        dropNewNode(fund, position);
        return false;
    }
    const bool erase = !isNew && m_prompter.ask(QStringLiteral("Стереть данные "
                                                               "скорректированного периода ?"),
                                                QuestionButtons::YesNo, Answer::No,
                                                Prompter::confirmationCaption()) == Answer::Yes;
    const PeriodList before = years;
    const int oldYear = isNew ? 0 : years.years[position];
    if (isNew)
        years.append(year);
    else
        years.replace(position, year);
    try {
        RunInTransaction(m_dm.dbMain, [&] {
            if (!unchangedSinceLoad(fund, before))
                throw ChangedByOthers();
            if (fund == Fund::Dolg)
                storeDolg(position + 1, isNew, erase);
            else
                storeOper(oldYear, year, isNew, erase);
            DbStatement& nast = m_dm.query(QStringLiteral("quCommonMAIN"));
            if (fund == Fund::Dolg) {
                nast.setSql(QStringLiteral("UPDATE NAST SET GODDOLG = :StrDolg"));
                nast.clearParams();
                nast.setParam(QStringLiteral("StrDolg"), years.fieldText());
            } else {
                nast.setSql(QStringLiteral("UPDATE NAST SET GODOPER = :StrOper"));
                nast.clearParams();
                nast.setParam(QStringLiteral("StrOper"), years.fieldText());
            }
            nast.execute();
            FlagStoragePeriodsChanged(m_dm);
        });
    } catch (const ChangedByOthers&) {
        // Positions and rows were decided on a list someone has since replaced.
        years = before;
        m_prompter.error(QStringLiteral("Периоды хранения изменены другим пользователем.\r\n"
                                        "Список обновлён, повторите ввод"));
        if (!load())
            rebuild(fund);
        return false;
    } catch (const std::exception& e) {
        // The list goes back to what the database still holds, a replaced year too.
        years = before;
        rebuild(fund);
        const QString message = ExceptionMessage(e);
        if (fund == Fund::Oper)
            m_prompter.error(QStringLiteral("Пользователь ") + m_dm.dbMain.userName() +
                             QStringLiteral("\r\nне имеет прав на добавление/корректировку "
                                            "периода"));
        else if (IsOwnerOnlyError(message) || IsRightsError(message))
            m_prompter.error(QStringLiteral("Только пользователь ") + kAdministrator +
                             QStringLiteral("\r\nимеет права на добавление периода"));
        else
            m_prompter.error(message);
        return false;
    }
    rebuild(fund);
    m_pages[index(fund)].selected = position;
    return true;
}

bool PeriodController::unchangedSinceLoad(Fund fund, const PeriodList& loaded) {
    DbStatement& nast = m_dm.query(QStringLiteral("quCommonMAIN"));
    nast.setSql(fund == Fund::Dolg ? QStringLiteral("SELECT GODDOLG FROM NAST")
                                   : QStringLiteral("SELECT GODOPER FROM NAST"));
    nast.clearParams();
    nast.open();
    const QString field = nast.eof() ? QString() : nast.value(0).toString();
    nast.close();
    try {
        return PeriodList::fromField(field) == loaded;
    } catch (const DbError&) {
        return false;
    }
}

void PeriodController::storeDolg(int position, bool isNew, bool erase) {
    const QString column = QStringLiteral("D%1").arg(position);
    if (isNew) {
        runSql(QStringLiteral("ALTER TABLE FD_DOLGAGR ADD %1 VARCHAR (250)").arg(column));
        runSql(QStringLiteral("ALTER TABLE FD_DOLGELM ADD %1 VARCHAR (250)").arg(column));
    } else if (erase) {
        runSql(QStringLiteral("UPDATE FD_DOLGAGR SET %1 = ''").arg(column));
        runSql(QStringLiteral("UPDATE FD_DOLGELM SET %1 = ''").arg(column));
    }
}

void PeriodController::storeOper(int oldYear, int newYear, bool isNew, bool erase) {
    if (isNew)
        return;
    const QString oldText = paddedYear(oldYear);
    if (erase) {
        runSql(QStringLiteral("DELETE FROM FD_OPERAGR WHERE GOD = ") + oldText);
        runSql(QStringLiteral("DELETE FROM FD_OPERELM WHERE GOD = ") + oldText);
        return;
    }
    const QString newText = paddedYear(newYear);
    runSql(QStringLiteral("UPDATE FD_OPERAGR SET GOD = ") + newText +
           QStringLiteral("\nWHERE GOD = ") + oldText);
    runSql(QStringLiteral("UPDATE FD_OPERELM SET GOD = ") + newText +
           QStringLiteral("\nWHERE GOD = ") + oldText);
}

void PeriodController::runSql(const QString& sql) {
    DbStatement& st = m_dm.query(QStringLiteral("quCommonMAIN"));
    st.setSql(sql.split(QLatin1Char('\n')));
    st.clearParams();
    st.execute();
}
