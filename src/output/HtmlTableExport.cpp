#include "HtmlTableExport.h"

#include "CellPainter.h"
#include "IdentModel.h"
#include "SheetLayout.h"
#include "TableLayout.h"

#include "model/Sheet.h"
#include "model/Workbook.h"

#include <QLocale>

#include <cmath>

using namespace TableLayout;

namespace {

bool blank(const QString& s) {
    return s.trimmed().isEmpty();
}

QString vAlignOf(VAlign v) {
    switch (v) {
    case VAlign::Top:
        return QStringLiteral("top");
    case VAlign::Center:
        return QStringLiteral("middle");
    default:
        return QStringLiteral("bottom");
    }
}

// Decimals of a number format: placeholders after "." in its first section.
int decimalsOf(const QString& format) {
    const QString first = format.section(QLatin1Char(';'), 0, 0);
    const qsizetype dot = first.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return 0;
    int n = 0;
    for (qsizetype i = dot + 1; i < first.size(); ++i)
        if (first[i] == QLatin1Char('0') || first[i] == QLatin1Char('#') ||
            first[i] == QLatin1Char('?'))
            ++n;
    return n;
}

} // namespace

HtmlTableExport::HtmlTableExport(IdentModel& model, int kodElmt, const QString& tableName)
    : m_model(model), m_kod(kodElmt), m_name(tableName) {
    m_model.readGeometry();
}

HtmlPageSet HtmlTableExport::pages(const QString& fileName) const {
    HtmlPageSet set;
    const int instances = m_model.instanceCount();
    if (instances < 2) {
        set.add(fileName, HtmlPageSet::head(m_name) + sheetTable(1) + HtmlPageSet::tail());
        return set;
    }
    QString index = HtmlPageSet::head(m_name);
    index += QStringLiteral("<h1 align=\"center\">%1</h1>\r\n").arg(HtmlPageSet::escape(m_name));
    for (int n = 1; n <= instances; ++n) {
        QString link;
        for (int r = m_model.firstShownTitleRow(); r <= kLastTitleRow; ++r)
            link += rowText(n, r) + QLatin1Char(' ');
        link = link.trimmed();
        if (link.isEmpty())
            link = m_model.book().sheet(n).name();
        index += QStringLiteral("<h2><a href=\"%1\">%2</a></h2>\r\n")
                     .arg(sheetPageName(n), HtmlPageSet::escape(link));
        set.add(sheetPageName(n), HtmlPageSet::head(m_name) + sheetTable(n) + HtmlPageSet::tail());
    }
    index += HtmlPageSet::tail();
    set.add(fileName, index);
    return set;
}

QString HtmlTableExport::rowText(int sheet, int row) const {
    const Sheet& s = m_model.book().sheet(sheet);
    if (s.rowHidden(row))
        return {};
    QString out;
    for (int c = kSideCol; c <= s.lastCol(); ++c)
        out += s.formattedText(row, c).trimmed() + QLatin1Char(' ');
    return out.trimmed();
}

int HtmlTableExport::lastColumn(const Sheet& s) const {
    int last = kFirstDataCol;
    for (int c = kFirstDataCol + 1; c <= s.lastCol(); ++c) {
        if (s.colHidden(c))
            continue;
        for (int r = m_model.firstBodyRow(); r <= s.lastRow(); ++r)
            if (!s.rowHidden(r) && !blank(s.formattedText(r, c))) {
                last = c;
                break;
            }
    }
    return last;
}

QList<int> HtmlTableExport::headerSpans(int sheet, int row, int last) const {
    const Sheet& s = m_model.book().sheet(sheet);
    const CellPainter painter(s, 100);
    QList<int> spans(std::max(0, last - kSideCol + 1), 0);
    if (spans.isEmpty())
        return spans;
    spans[0] = 1;
    auto width = [&](int c) { return SheetLayout::colPixels(s.colWidth(c), 100); };
    int c = kFirstDataCol;
    while (c <= last) {
        if (s.colHidden(c)) {
            ++c;
            continue;
        }
        const QString text = s.formattedText(row, c);
        spans[c - kSideCol] = 1;
        const int need = blank(text) ? 0 : painter.textWidth(s.formatIndex(row, c), text);
        if (need <= width(c)) {
            ++c;
            continue;
        }
        // A long text covers the blank cells to its right until it fits; hidden columns
        // inside the run are passed over and count for nothing.
        int covered = width(c);
        int r = c + 1;
        for (; r <= last; ++r) {
            if (s.colHidden(r))
                continue;
            if (!blank(s.formattedText(row, r)) || covered > need)
                break;
            spans[c - kSideCol] += 1;
            covered += width(r);
        }
        c = r;
    }
    return spans;
}

QString HtmlTableExport::valueText(const Sheet& s, int row, int col) {
    const CellValue v = s.value(row, col);
    if (v.type != CellValue::Number)
        return s.formattedText(row, col);
    if (QString::number(v.number, 'g', 15) == QLatin1String("0"))
        return {};
    const QString format = s.format(row, col).numberFormat;
    if (format.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return QString::number(v.number, 'g', 15);
    if (format == QLatin1String("$#,##0.00_);($#,##0.00)"))
        return QLocale().toCurrencyString(v.number, QString(), 0);
    if (format == QLatin1String("# ?\?/??"))
        return QString::number(v.number, 'f', 0);
    return QString::number(v.number, 'f', decimalsOf(format));
}

QString HtmlTableExport::cellLine(const Sheet& s, int row, int col, int span, bool header) const {
    const CellFormat& f = s.format(row, col);
    QString h;
    if (header)
        h = f.hAlign == HAlign::Left    ? QStringLiteral("left")
            : f.hAlign == HAlign::Right ? QStringLiteral("right")
                                        : QStringLiteral("center");
    else if (col == kSideCol)
        h = f.hAlign == HAlign::Center  ? QStringLiteral("center")
            : f.hAlign == HAlign::Right ? QStringLiteral("right")
                                        : QStringLiteral("left");
    else
        h = f.hAlign == HAlign::Left     ? QStringLiteral("left")
            : f.hAlign == HAlign::Center ? QStringLiteral("center")
                                         : QStringLiteral("right");
    const QString text =
        header || col == kSideCol ? s.formattedText(row, col) : valueText(s, row, col);
    QString line =
        span > 0 ? QStringLiteral("<td colspan=\"%1\" align=\"%2\" valign=\"%3\">")
                       .arg(span)
                       .arg(h, vAlignOf(f.vAlign))
                 : QStringLiteral("<td align=\"%1\" valign=\"%2\">").arg(h, vAlignOf(f.vAlign));
    const QString fontName = f.font.name.isEmpty() ? s.defaultFont().name : f.font.name;
    QStringList closing;
    if (fontName == QLatin1String("Courier New")) {
        line += QStringLiteral("<tt>");
        closing.prepend(QStringLiteral("</tt>"));
    }
    for (const auto& [on, tag] : {std::pair{f.font.bold, "b"}, std::pair{f.font.italic, "i"},
                                  std::pair{f.font.underline, "u"}})
        if (on) {
            line += QStringLiteral("<%1>").arg(QLatin1String(tag));
            closing.prepend(QStringLiteral("</%1>").arg(QLatin1String(tag)));
        }
    line += QStringLiteral("<font color=\"#000000\">");
    line += blank(text) ? QStringLiteral("&#160;") : HtmlPageSet::escape(text);
    line += QStringLiteral("</font>") + closing.join(QString()) + QStringLiteral("</td>\r\n");
    return line;
}

QString HtmlTableExport::sheetTable(int sheet) const {
    const Sheet& s = m_model.book().sheet(sheet);
    const int last = lastColumn(s);
    QString out;
    for (int r = m_model.firstShownTitleRow(); r <= kLastTitleRow; ++r) {
        const QString text = rowText(sheet, r);
        if (!text.isEmpty())
            out += QStringLiteral("<h1 align=\"center\"><b><font color=\"#000000\" "
                                  "size=\"+2\">%1</font></b></h1>\r\n")
                       .arg(HtmlPageSet::escape(text));
    }
    out += QStringLiteral("<table border=\"1\">\r\n");
    for (int r = kFirstHeaderRow; r <= m_model.lastHeaderRow(); ++r) {
        if (s.rowHidden(r))
            continue;
        const QList<int> spans = headerSpans(sheet, r, last);
        out += QStringLiteral("<tr>\r\n");
        for (int c = kSideCol; c <= last; ++c)
            if (!s.colHidden(c) && spans[c - kSideCol] > 0)
                out += cellLine(s, r, c, spans[c - kSideCol], true);
        out += QStringLiteral("</tr>\r\n");
    }
    for (int r = m_model.firstBodyRow(); r <= s.lastRow(); ++r) {
        if (s.rowHidden(r))
            continue;
        out += QStringLiteral("<tr>\r\n");
        for (int c = kSideCol; c <= last; ++c)
            if (!s.colHidden(c))
                out += cellLine(s, r, c, 0, false);
        out += QStringLiteral("</tr>\r\n");
    }
    out += QStringLiteral("</table>\r\n");
    return out;
}
