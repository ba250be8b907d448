#include "PageSetupController.h"

#include "IdentModel.h"
#include "PageLayout.h"
#include "Prompter.h"
#include "TableLayout.h"

#include "model/Sheet.h"
#include "model/Workbook.h"

#include <QLocale>

#include <algorithm>

using namespace TableLayout;

PageSetupController::PageSetupController(Workbook& book, IdentModel& model, Prompter& prompter)
    : m_book(book), m_model(model), m_prompter(prompter) {}

int PageSetupController::countAndHideTitles(bool hide) {
    Sheet& s = m_book.activeSheet();
    int visible = 0;
    for (int r = kFirstTitleRow; r <= kLastTitleRow; ++r)
        if (!s.rowHidden(r)) {
            ++visible;
            if (hide)
                s.setRowHidden(r, true);
        }
    return visible;
}

// The visible title lines were the last ones, down to row 99.
void PageSetupController::restoreTitles() {
    Sheet& s = m_book.activeSheet();
    for (int i = 0; i < m_titleCount; ++i)
        s.setRowHidden(kLastTitleRow - i, false);
    m_book.notify({WorkbookChange::RowsColumns, m_book.activeSheetIndex(), {}});
}

int PageSetupController::textLines() const {
    return m_model.extraTextLines();
}

void PageSetupController::setTextRows(int sheet, bool shown) {
    Sheet& s = m_book.sheet(sheet);
    const int k = textLines();
    for (int r = kFirstTextRow; r <= kFirstTextRow + k; ++r)
        s.setRowHidden(r, !shown);
}

void PageSetupController::openFromMenu(bool accompanyingTextShown) {
    m_titleCount = countAndHideTitles(accompanyingTextShown);
    m_menuTicked = true;
}

QString PageSetupController::marginText(double inches) {
    return QString::number(inches, 'g', 15);
}

std::optional<double> PageSetupController::parseMargin(const QString& text) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

PageFields PageSetupController::activate() {
    const PrintSettings& ps = m_book.activeSheet().printSettings();
    PageFields f;
    f.landscape = ps.landscape;
    m_landscapeAtActivation = ps.landscape;
    f.noColor = ps.noColor;
    f.scale = ps.scale;
    f.leftMargin = marginText(ps.leftMargin);
    f.rightMargin = marginText(ps.rightMargin);
    f.topMargin = marginText(ps.topMargin);
    f.bottomMargin = marginText(ps.bottomMargin);
    f.headerMargin = marginText(ps.headerMargin);
    f.footerMargin = marginText(ps.footerMargin);
    f.header = ps.header;
    f.footer = ps.footer;
    f.hCenter = ps.centerHorizontally;
    f.vCenter = ps.centerVertically;
    f.gridLines = ps.gridLines;
    f.colHeading = ps.colHeadings;
    f.rowHeading = ps.rowHeadings;
    f.showTextEnabled = textLines() != 0;
    f.showText = !m_book.sheet(1).rowHidden(kFirstTextRow);
    return f;
}

// Reads the six margins; the first that is not a number, or lies outside 0 … 100
// inches, is named to the user.
bool PageSetupController::checkMargins(const PageFields& f, double* out) {
    const std::pair<const QString*, const char*> fields[] = {
        {&f.leftMargin, "Левое"},
        {&f.rightMargin, "Правое"},
        {&f.topMargin, "Верхнее"},
        {&f.bottomMargin, "Нижнее"},
        {&f.headerMargin, "Верхний колонтитул"},
        {&f.footerMargin, "Нижний колонтитул"}};
    for (int i = 0; i < 6; ++i) {
        const std::optional<double> v = parseMargin(*fields[i].first);
        const QString name = QString::fromUtf8(fields[i].second);
        if (!v) {
            m_prompter.error(QStringLiteral("Поле \"%1\": \"%2\" не является числом.\r\n"
                                            "Введите число, например 0.75")
                                 .arg(name, fields[i].first->trimmed()));
            return false;
        }
        if (*v < 0 || *v > 100) {
            m_prompter.error(
                QStringLiteral("Поле \"%1\": поле должно быть от 0 до 100 дюймов").arg(name));
            return false;
        }
        out[i] = *v;
    }
    return true;
}

bool PageSetupController::apply(const PageFields& f) {
    double m[6];
    if (!checkMargins(f, m))
        return false;
    const int active = m_book.activeSheetIndex();
    for (int s = 1; s <= m_book.sheetCount(); ++s) {
        if (!f.applyAll && s != active)
            continue;
        Sheet& sheet = m_book.sheet(s);
        PrintSettings ps = sheet.printSettings();
        ps.footer = f.footer;
        ps.header = f.header;
        ps.leftMargin = m[0];
        ps.rightMargin = m[1];
        ps.topMargin = m[2];
        ps.bottomMargin = m[3];
        ps.headerMargin = m[4];
        ps.footerMargin = m[5];
        ps.landscape = f.landscape;
        ps.scale = clampScale(f.scale);
        ps.noColor = f.noColor;
        ps.centerHorizontally = f.hCenter;
        ps.centerVertically = f.vCenter;
        ps.gridLines = f.gridLines;
        ps.colHeadings = f.colHeading;
        ps.rowHeadings = f.rowHeading;
        sheet.setPrintSettings(ps);
    }
    m_book.notify({WorkbookChange::SheetSettings, 0, {}});
    return true;
}

bool PageSetupController::accept(const PageFields& f) {
    if (!apply(f))
        return false;
    if (m_menuTicked) {
        m_menuTicked = false;
        // On paper either the accompanying text or the title lines.
        if (f.showText && textLines() == 0)
            m_model.setExtraTextLines(2);
        for (int s = 1; s < m_book.sheetCount(); ++s) {
            Sheet& sheet = m_book.sheet(s);
            for (int r = kFirstTextRow; r <= kLastTextRow; ++r)
                sheet.setRowHidden(r, !f.showText || r > kFirstTextRow + textLines());
        }
    }
    Sheet& s = m_book.activeSheet();
    for (int i = 0; i < m_titleCount; ++i)
        s.setRowHidden(kLastTitleRow - i, f.showText);
    m_book.notify({WorkbookChange::RowsColumns, 0, {}});
    return true;
}

void PageSetupController::setLandscape(bool on) {
    Sheet& s = m_book.activeSheet();
    PrintSettings ps = s.printSettings();
    ps.landscape = on;
    s.setPrintSettings(ps);
}

void PageSetupController::cancel() {
    Sheet& s = m_book.activeSheet();
    PrintSettings ps = s.printSettings();
    ps.landscape = m_landscapeAtActivation;
    s.setPrintSettings(ps);
    if (m_menuTicked) {
        restoreTitles();
        m_titleCount = 0;
        m_menuTicked = false;
    }
}

std::optional<QString> PageSetupController::stepMargin(const QString& text, int direction,
                                                       const QString& field) {
    const std::optional<double> v = parseMargin(text);
    if (!v) {
        m_prompter.error(QStringLiteral("Поле \"%1\": \"%2\" не является числом.\r\n"
                                        "Введите число, например 0.75")
                             .arg(field, text.trimmed()));
        return std::nullopt;
    }
    const double next = std::max(0.0, std::round((*v + 0.01 * direction) * 100) / 100);
    return marginText(next);
}

bool PageSetupController::preparePreview(bool accompanyingTextShown) {
    m_titleCount = accompanyingTextShown ? countAndHideTitles(true) : 0;
    if (setPrintArea() == 0) {
        restoreTitles();
        m_titleCount = 0;
        m_prompter.info(QStringLiteral("Таблица пуста"));
        return false;
    }
    return true;
}

int PageSetupController::setPrintArea() {
    Sheet& s = m_book.activeSheet();
    int lastPrintCol = 0;
    for (int r = kFirstTextRow; r <= s.lastRow(); ++r)
        for (int c = kSideCol; c <= s.lastColInRow(r); ++c)
            if (c > lastPrintCol && s.type(r, c) != 0)
                lastPrintCol = c;
    if (lastPrintCol <= kSideCol)
        return 0;
    m_model.readGeometry();
    PrintSettings ps = s.printSettings();
    ps.printArea = CellRange(kFirstTextRow, kSideCol, s.lastRow(), lastPrintCol);
    // The header and the side are printed again on every page they do not start.
    ps.titleRow1 = kFirstHeaderRow;
    ps.titleRow2 = m_model.lastHeaderRow();
    ps.titleCol1 = ps.titleCol2 = kSideCol;
    s.setPrintSettings(ps);
    return lastPrintCol;
}

void PageSetupController::clearPageBreaks() {
    Sheet& s = m_book.activeSheet();
    for (int r : QList<int>(s.rowBreaks()))
        if (r >= kFirstTextRow && r <= s.lastRow())
            s.setRowBreak(r, false);
    for (int c : QList<int>(s.colBreaks()))
        if (c >= kSideCol && c <= s.lastCol())
            s.setColBreak(c, false);
}

void PageSetupController::markPageBreaks() {
    clearPageBreaks();
    if (setPrintArea() == 0)
        return;
    Sheet& s = m_book.activeSheet();
    const PageLayout layout(s);
    for (int r : layout.rowStarts())
        s.setRowBreak(r, true);
    for (int c : layout.colStarts())
        s.setColBreak(c, true);
}

void PageSetupController::closePreview(bool accompanyingTextShown) {
    restoreTitles();
    m_titleCount = 0;
    setTextRows(m_book.activeSheetIndex(), accompanyingTextShown);
    m_book.notify({WorkbookChange::RowsColumns, m_book.activeSheetIndex(), {}});
}

void PageSetupController::toggleOrientation(bool allSheets) {
    const bool landscape = !m_book.activeSheet().printSettings().landscape;
    for (int s = 1; s <= m_book.sheetCount(); ++s)
        if (allSheets || s == m_book.activeSheetIndex()) {
            PrintSettings ps = m_book.sheet(s).printSettings();
            ps.landscape = landscape;
            m_book.sheet(s).setPrintSettings(ps);
        }
}

void PageSetupController::showTextInPreview(bool shown) {
    if (shown) {
        m_titleCount = std::max(m_titleCount, countAndHideTitles(true));
    } else {
        restoreTitles();
        m_titleCount = 0;
    }
    setTextRows(m_book.activeSheetIndex(), shown);
    m_book.notify({WorkbookChange::RowsColumns, m_book.activeSheetIndex(), {}});
}
