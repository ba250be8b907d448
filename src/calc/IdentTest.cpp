#include "IdentTest.h"

#include "AppContext.h"
#include "ExchangeView.h"
#include "Helpers.h"
#include "IdentModel.h"
#include "Prompter.h"
#include "TableLayout.h"
#include "TdmMSSQL.h"
#include "model/CellAddress.h"
#include "model/Workbook.h"

#include <cmath>

using namespace TableLayout;

namespace {

const QString Q = QStringLiteral("\"");

QString numberText(double x) {
    if (x == std::trunc(x) && std::fabs(x) < 1e15)
        return QString::number(x, 'f', 0);
    return QString::number(x, 'g', 15);
}

// Column and title messages spell "ГРАНИЦA" with a Latin A.
QString latinA(const QString& text) {
    QString s = text;
    return s.replace(QStringLiteral("ГРАНИЦА "), QStringLiteral("ГРАНИЦ") + u'A' + u' ');
}

bool isYearFormat(const Sheet& s, int row, int col) {
    return s.format(row, col).numberFormat == QLatin1String("General");
}

// A date bound read as the period functions read it: the month between the separators,
// the year in the last four characters.
struct DateBound {
    bool read = false;
    int month = 0;
    int year = 0;
};

} // namespace

IdentTest::IdentTest(IdentModel& model, TdmMSSQL& dm, Prompter& prompter, ExchangeView& view,
                     ProtocolText& protocol)
    : m_model(model), m_dm(dm), m_prompter(prompter), m_view(view), m_protocol(protocol) {}

void IdentTest::report(const QString& line) {
    ++m_errors;
    m_protocol.addLine(line);
}

QString IdentTest::columnName(int sheet, int col) const {
    const QString heading = m_model.book().sheet(sheet).colHeading(col);
    return heading.isEmpty() ? ::columnName(col) : heading;
}

QString IdentTest::prefix(const Place& at) const {
    switch (at.zone) {
    case Zone::Rows:
        return QStringLiteral("БОКОВИК:  строка  ") + QString::number(at.row);
    case Zone::Columns:
        return QStringLiteral("ШАПКА:  строка  ") + QString::number(at.row);
    case Zone::Title:
        break;
    }
    return QStringLiteral("ЗАГОЛОВОК  ") + QString::number(at.sheet) +
           QStringLiteral("-го  листа:  строка  ") + QString::number(at.row);
}

void IdentTest::loadDirectories() {
    LoadStoragePeriods(m_dm, m_periods);
    DbStatement& nast = m_dm.query(QStringLiteral("quNast"));
    nast.open();
    m_objectsName = nast.isEmpty() ? QString() : nast.value(QStringLiteral("NAMEELM")).toString();
    nast.close();
    m_aggregations.clear();
    DbStatement& agr = m_dm.query(QStringLiteral("quSpisAgr"));
    agr.open();
    for (agr.first(); !agr.eof(); agr.next())
        m_aggregations.insert(agr.value(QStringLiteral("NUMAGR")).toInt(),
                              agr.value(QStringLiteral("NAMEAGR")).toString().trimmed());
    agr.close();
}

void IdentTest::checkIndicator(const Place& at, double x) {
    const QString column = Q + at.column + Q;
    if (std::fabs(x) >= 2147483648.0) {
        m_prompter.error(QStringLiteral("Слишком большое вещественное число"));
        const QString tail = numberText(x) + QStringLiteral("  БОЛЬШЕ  МАКСИМАЛЬНО  ВОЗМОЖНОГО");
        switch (at.zone) {
        case Zone::Rows:
            report(prefix(at) + QStringLiteral(",  столбец  ") + column +
                   QStringLiteral("  -  КОД  ПОКАЗАТЕЛЯ  ") + tail);
            break;
        case Zone::Columns:
            report(prefix(at) + QStringLiteral(",  столбец  ") + column +
                   QStringLiteral("  -  КОД ПОКАЗАТЕЛЯ  ") + tail);
            break;
        case Zone::Title:
            report(QStringLiteral("ЗАГОЛОВОК  ") + QString::number(at.sheet) +
                   QStringLiteral("-го  листа:  строка  ") + Q + QString::number(at.row) +
                   QStringLiteral(", столбец ") + at.column + Q +
                   QStringLiteral("  -  КОД  ПОКАЗАТЕЛЯ  ") + tail);
            break;
        }
        return;
    }
    const int code = int(std::trunc(x));
    DbStatement& q = m_dm.query(QStringLiteral("quFindPok"));
    q.setParam(QStringLiteral("KODELMT"), code);
    q.open();
    const bool found = !q.isEmpty();
    q.close();
    if (found)
        return;
    const QString missing = QStringLiteral("  ОТСУТСТВУЕТ  В  СПРАВОЧНИКЕ");
    switch (at.zone) {
    case Zone::Rows:
    case Zone::Title:
        report(prefix(at) + QStringLiteral(",  столбец  ") + column +
               QStringLiteral("  -  КОД  ПОКАЗАТЕЛЯ  ") + QString::number(code) + missing);
        break;
    case Zone::Columns:
        report(QStringLiteral("ШАПКА: строка ") + QString::number(at.row) +
               QStringLiteral(",  столбец  ") + column + QStringLiteral("  -  КОД ПОКАЗАТЕЛЯ ") +
               QString::number(code) + missing);
        break;
    }
}

void IdentTest::checkObjectSlot(const Place& at, int sheet, int row, int col, int typeRow,
                                int typeCol, bool* found) {
    Workbook& book = m_model.book();
    const Sheet& s = book.sheet(sheet);
    const double code = s.number(row, col);
    const int type = int(s.number(typeRow, typeCol));
    if (code == 0) {
        if (type != 0) {
            book.setNumber(sheet, typeRow, typeCol, 0);
            // A row of subordinate objects hidden by the view option is not one any more.
            if (at.zone == Zone::Rows && type == kObjectsDirectoryType && m_showSubordinate)
                for (int k = 1; k <= m_model.instanceCount(); ++k)
                    book.sheet(k).setRowHidden(row, false);
        }
        return;
    }
    if (code < 0)
        return;
    *found = true;
    checkObject(at, code, type);
}

void IdentTest::checkObject(const Place& at, double code, int type) {
    const QString p = prefix(at) + QStringLiteral(",  столбец  ") + Q + at.column + Q;
    const QString codeText = numberText(code);
    const SlotDirectory directory = slotDirectory(type);
    if (directory == SlotDirectory::Untyped) {
        // The code is kept and reported; the expansion refuses it alike.
        report(p + QStringLiteral("  -  КОД  ОБЪЕКТА  ") + codeText +
               QStringLiteral("  БЕЗ  ТИПА  СПРАВОЧНИКА"));
        return;
    }
    if (directory == SlotDirectory::Objects) {
        DbStatement& q = m_dm.query(QStringLiteral("quFindElm"));
        q.setParam(QStringLiteral("KODFOLDER"), code);
        q.open();
        const bool found = !q.isEmpty();
        q.close();
        if (found)
            return;
        if (IsBlank(m_objectsName))
            report(p + QStringLiteral("  -  КОД ОБЪЕКТА  ") + codeText +
                   QStringLiteral(",  НЕТ СПРАВОЧНИКА ПОДЧИНЕННЫХ ОБЪЕКТОВ") + Q);
        else
            report(p +
                   (at.zone == Zone::Title ? QStringLiteral("  -  КОД ОБЪЕКТА  ")
                                           : QStringLiteral("  -  КОД  ОБЪЕКТА  ")) +
                   codeText + QStringLiteral("  НЕ  НАЙДЕН  В  СПРАВОЧНИКЕ  ") + Q +
                   m_objectsName.trimmed() + Q);
        return;
    }
    DbStatement& q = m_dm.query(QStringLiteral("quFindAgr"));
    q.setParam(QStringLiteral("KODFOLDER"), code);
    q.setParam(QStringLiteral("NUMAGR"), type);
    q.open();
    const bool found = !q.isEmpty();
    q.close();
    if (found)
        return;
    if (m_aggregations.contains(type))
        report(p + QStringLiteral("  -  КОД  ОБЪЕКТА  ") + codeText +
               QStringLiteral("  НЕ НАЙДЕН В СПРАВОЧНИКЕ  ") + Q + m_aggregations.value(type) + Q);
    else
        report(p + QStringLiteral("  -  КОД  ОБЪЕКТА  ") + codeText +
               QStringLiteral("  НЕ НАЙДЕН НИ В ОДНОМ СПРАВОЧНИКЕ"));
}

void IdentTest::checkPeriod(const Place& at, int sheet, int startRow, int startCol, int endRow,
                            int endCol) {
    const Sheet& s = m_model.book().sheet(sheet);
    const QString startEntry = s.entry(startRow, startCol).trimmed();
    const QString endEntry = s.entry(endRow, endCol).trimmed();
    const bool startYear = isYearFormat(s, startRow, startCol);
    const bool endYear = isYearFormat(s, endRow, endCol);
    auto say = [&](const QString& message) {
        const QString text = at.zone == Zone::Rows ? message : latinA(message);
        switch (at.zone) {
        case Zone::Rows:
            report(QStringLiteral("БОКОВИК:  строка  ") + QString::number(at.row) + Q +
                   QStringLiteral("  - ") + text);
            break;
        case Zone::Columns:
            report(QStringLiteral("ШАПКА:  столбец  ") + Q + at.column + Q +
                   QStringLiteral("  - ") + text);
            break;
        case Zone::Title:
            report(QStringLiteral("ЗАГОЛОВОК ") + QString::number(at.sheet) +
                   QStringLiteral("-го  листа: ") + text);
            break;
        }
    };
    const bool startSet = !startEntry.isEmpty();
    const bool endSet = !endEntry.isEmpty();
    if (startSet && endSet && startYear != endYear)
        say(QStringLiteral("ВЕРХНЯЯ и НИЖНЯЯ ГРАНИЦЫ ПЕРИОДОВ РАЗНЫХ ВИДОВ"));
    const int startValue = startYear ? int(s.number(startRow, startCol)) : 0;
    const int endValue = endYear ? int(s.number(endRow, endCol)) : 0;
    if (startYear && startValue != 0 && YearPosition(startValue, m_periods.dolg) == 0)
        say(QStringLiteral("НИЖНЯЯ ГРАНИЦА ПЕРИОДА НЕ ОПИСАНА В СИСТЕМЕ"));
    if (endYear && endValue != 0 && YearPosition(endValue, m_periods.dolg) == 0)
        say(QStringLiteral("ВЕРХНЯЯ ГРАНИЦА ПЕРИОДА НЕ ОПИСАНА В НАСТРОЙКЕ"));
    if (startYear && endYear && startValue != 0 && endValue != 0 && endValue < startValue)
        say(QStringLiteral("ВЕРХНЯЯ ГРАНИЦА ПЕРИОДА МЕНЬШЕ НИЖНЕЙ"));

    const QChar sep = AppContext::systemDateSeparator();
    auto readDate = [&](int row, int col, const QString& entry, const QString& which,
                        const QString& bound) {
        DateBound d;
        const QString format = s.format(row, col).numberFormat;
        if (!format.contains(sep) && !format.contains(AppContext::dateSeparator())) {
            say(QStringLiteral("В ") + which +
                QStringLiteral(" ГРАНИЦЕ ПЕРИОДА ОБНАРУЖЕНА НЕ ДАТА"));
            return d;
        }
        const qsizetype first = entry.indexOf(sep);
        const qsizetype second = first < 0 ? -1 : entry.indexOf(sep, first + 1);
        bool monthOk = false;
        bool yearOk = false;
        if (second > first)
            d.month = entry.mid(first + 1, second - first - 1).toInt(&monthOk);
        d.year = entry.right(4).toInt(&yearOk);
        if (!monthOk || !yearOk) {
            say(QStringLiteral("НЕПРАВИЛЬНАЯ ДАТА В ") + which +
                QStringLiteral(" ГРАНИЦЕ ПЕРИОДА"));
            return d;
        }
        d.read = true;
        if (YearPosition(d.year, m_periods.oper) == 0)
            say(bound + QStringLiteral(" ГРАНИЦА ПЕРИОДА НЕ ОПИСАНА В СИСТЕМЕ"));
        return d;
    };
    DateBound startDate, endDate;
    if (!startYear && startSet)
        startDate = readDate(startRow, startCol, startEntry, QStringLiteral("НИЖНЕЙ"),
                             QStringLiteral("НИЖНЯЯ"));
    if (!endYear && endSet)
        endDate = readDate(endRow, endCol, endEntry, QStringLiteral("ВЕРХНЕЙ"),
                           QStringLiteral("ВЕРХНЯЯ"));
    if (startDate.read && endDate.read && startDate.year > 0 && endDate.year > 0 &&
        (endDate.year < startDate.year ||
         (endDate.year == startDate.year && endDate.month < startDate.month)))
        say(QStringLiteral("ВЕРХНЯЯ ГРАНИЦА ПЕРИОДА МЕНЬШЕ НИЖНЕЙ"));
}

void IdentTest::testRows() {
    const int sheet = m_model.rowIdentSheet();
    const Sheet& s = m_model.book().sheet(sheet);
    const int lastRow = s.lastRow();
    for (int r = m_model.firstBodyRow(); r <= lastRow; ++r) {
        m_view.stepProgress();
        for (Slot code : {Slot::IndicatorCode, Slot::Attr1Code, Slot::Attr2Code}) {
            const double x = s.number(r, rowSlotColumn(code));
            if (x > 0)
                checkIndicator(
                    {Zone::Rows, r, columnName(sheet, rowSlotColumn(Slot(int(code) + 1)))}, x);
        }
        for (int i = -1; i < 4; ++i) {
            const Slot code = i < 0 ? Slot::Object : cutSlot(i);
            const Slot type = i < 0 ? Slot::ObjectType : cutTypeSlot(i);
            checkObjectSlot({Zone::Rows, r, columnName(sheet, rowSlotColumn(code))}, sheet, r,
                            rowSlotColumn(code), r, rowSlotColumn(type), &m_objectSeen);
        }
        if (!s.text(r, rowSlotColumn(Slot::PeriodStart)).trimmed().isEmpty() ||
            !s.text(r, rowSlotColumn(Slot::PeriodEnd)).trimmed().isEmpty()) {
            m_periodSeen = true;
            checkPeriod({Zone::Rows, r, {}}, sheet, r, rowSlotColumn(Slot::PeriodStart), r,
                        rowSlotColumn(Slot::PeriodEnd));
        }
    }
}

void IdentTest::testColumns() {
    const int sheet = m_model.colIdentSheet();
    const Sheet& s = m_model.book().sheet(sheet);
    const int lastCol = s.lastCol();
    for (int c = kFirstDataCol; c <= lastCol; ++c) {
        m_view.stepProgress();
        const QString name = columnName(sheet, c);
        for (Slot code : {Slot::IndicatorCode, Slot::Attr1Code, Slot::Attr2Code}) {
            const int row = m_model.colSlotRow(code);
            const double x = s.number(row, c);
            if (x > 0)
                checkIndicator({Zone::Columns, row, name}, x);
        }
        for (int i = -1; i < 4; ++i) {
            const int row = m_model.colSlotRow(i < 0 ? Slot::Object : cutSlot(i));
            const int typeRow = m_model.colSlotRow(i < 0 ? Slot::ObjectType : cutTypeSlot(i));
            checkObjectSlot({Zone::Columns, row, name}, sheet, row, c, typeRow, c, &m_objectSeen);
        }
        const int startRow = m_model.colSlotRow(Slot::PeriodStart);
        const int endRow = m_model.colSlotRow(Slot::PeriodEnd);
        if (!s.text(startRow, c).trimmed().isEmpty() || !s.text(endRow, c).trimmed().isEmpty()) {
            m_periodSeen = true;
            checkPeriod({Zone::Columns, startRow, name}, sheet, startRow, c, endRow, c);
        }
    }
}

void IdentTest::testSheet(int k) {
    m_view.stepProgress();
    const QString kind = m_model.titleKind(k).trimmed();
    const Sheet& s = m_model.book().sheet(k);
    const QString column = columnName(k, kTitleValueCol);
    const bool objectKind =
        kind == QLatin1String("Объект") || kind.startsWith(QStringLiteral("Разрез"));
    if (kind == QStringLiteral("Признак") || kind == QStringLiteral("Показатель")) {
        for (TitleRow r : {TitleRow::Indicator, TitleRow::Attr1, TitleRow::Attr2}) {
            const double x = s.number(int(r), kTitleValueCol);
            if (x > 0)
                checkIndicator({Zone::Title, int(r), column, k}, x);
        }
    }
    const QString noObjects =
        QString::number(k) + QStringLiteral("-й лист не идентифицирован объектами");
    const QString noPeriods =
        QString::number(k) + QStringLiteral("-й лист не идентифицирован периодами");
    if (!objectKind && !m_objectSeen)
        report(noObjects);
    if (kind != QStringLiteral("Период") && !m_periodSeen)
        report(noPeriods);
    if (objectKind) {
        bool sheetObject = false;
        for (int i = int(TitleRow::Object); i <= int(TitleRow::Cut4); ++i)
            checkObjectSlot({Zone::Title, i, column, k}, k, i, kTitleValueCol, i, kTitleExtraCol,
                            &sheetObject);
        if (!sheetObject && !m_objectSeen)
            report(noObjects);
    }
    if (kind == QStringLiteral("Период")) {
        const int start = int(TitleRow::PeriodStart);
        const int end = int(TitleRow::PeriodEnd);
        if (s.text(start, kTitleValueCol).trimmed().isEmpty() &&
            s.text(end, kTitleValueCol).trimmed().isEmpty() && !m_periodSeen)
            report(noPeriods);
        else
            checkPeriod({Zone::Title, start, column, k}, k, start, kTitleValueCol, end,
                        kTitleValueCol);
    }
}

int IdentTest::run(const QString& tableCaption) {
    Workbook& book = m_model.book();
    m_errors = 0;
    m_objectSeen = false;
    m_periodSeen = false;
    const QString status = m_view.statusText();
    m_protocol.start(QStringLiteral("Протокол тестирования идентификации"),
                     QStringLiteral("Таблица: ") + tableCaption + QStringLiteral("\r\n"));
    m_view.suspendUpdates(true);
    m_view.setStatusText(QStringLiteral("Тестирование идентификации"));
    m_view.showProgress(book.sheet(m_model.rowIdentSheet()).lastRow() +
                        book.sheet(m_model.colIdentSheet()).lastCol() + book.sheetCount());
    // A code is looked up in the one directory its type names.
    DbStatement& findAgr = m_dm.query(QStringLiteral("quFindAgr"));
    const QStringList agrText = findAgr.sql();
    QStringList narrowed = agrText;
    if (narrowed.size() > 1)
        narrowed[1] += QStringLiteral(" and NUMAGR = :NUMAGR");
    const struct Restore {
        IdentTest& test;
        DbStatement& query;
        QStringList text;
        QString status;
        ~Restore() {
            query.setSql(text);
            test.m_view.suspendUpdates(false);
            test.m_view.setStatusText(status);
            test.m_view.hideProgress();
        }
    } restore{*this, findAgr, agrText, status};
    findAgr.setSql(narrowed);

    loadDirectories();
    testRows();
    testColumns();
    for (int k = 1; k <= m_model.instanceCount(); ++k)
        testSheet(k);
    if (m_errors == 0)
        m_prompter.info(QStringLiteral("Ошибки в идентификации не обнаружены"));
    return m_errors;
}
