#include "CellPainter.h"

#include "format/EntryParser.h"
#include "format/NumberFormat.h"
#include "model/Sheet.h"
#include "model/Workbook.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

CellPainter::CellPainter(const Sheet& sheet, int zoom) : m_sheet(sheet), m_zoom(zoom) {}

const CellFormat& CellPainter::format(uint32_t formatIndex) const {
    return m_sheet.workbook().formats().at(formatIndex);
}

QFont CellPainter::font(uint32_t formatIndex) const {
    auto it = m_fonts.constFind(formatIndex);
    if (it != m_fonts.constEnd())
        return *it;
    const CellFont& own = format(formatIndex).font;
    const CellFont& def = m_sheet.defaultFont();
    QFont f(own.name.isEmpty() ? def.name : own.name);
    const double points = own.size > 0 ? own.size : (def.size > 0 ? def.size : 10);
    // Pixel sizes keep the font in step with the cell grid on any device.
    f.setPixelSize(std::max(1, int(std::lround(points * 96.0 / 72.0 * m_zoom / 100.0))));
    f.setBold(own.bold);
    f.setItalic(own.italic);
    f.setUnderline(own.underline);
    f.setStrikeOut(own.strikeout);
    m_fonts.insert(formatIndex, f);
    return f;
}

void CellPainter::paintFill(QPainter& p, const QRect& rect, const CellFormat& f) const {
    if (f.pattern <= 0 || m_mono)
        return;
    if (f.pattern == 1) {
        p.fillRect(rect, color(f.patternFg));
        return;
    }
    static const Qt::BrushStyle hatches[] = {
        Qt::Dense4Pattern,    Qt::Dense5Pattern, Qt::Dense3Pattern, Qt::HorPattern,
        Qt::VerPattern,       Qt::BDiagPattern,  Qt::FDiagPattern,  Qt::CrossPattern,
        Qt::DiagCrossPattern, Qt::Dense6Pattern, Qt::Dense7Pattern, Qt::Dense2Pattern};
    const int n = int(sizeof(hatches) / sizeof(hatches[0]));
    p.fillRect(rect, color(f.patternBg));
    p.fillRect(rect, QBrush(color(f.patternFg), hatches[(f.pattern - 2) % n]));
}

HAlign CellPainter::effectiveAlign(const CellFormat& f, CellValue::Type type) {
    if (f.hAlign != HAlign::General)
        return f.hAlign;
    switch (type) {
    case CellValue::Number:
        return HAlign::Right;
    case CellValue::Boolean:
    case CellValue::Error:
        return HAlign::Center;
    default:
        return HAlign::Left;
    }
}

int CellPainter::textWidth(uint32_t formatIndex, const QString& text) const {
    return QFontMetrics(font(formatIndex)).horizontalAdvance(text) + 4;
}

int CellPainter::textHeight(uint32_t formatIndex, const QString& text, int width) const {
    const QFontMetrics fm(font(formatIndex));
    if (!format(formatIndex).wordWrap)
        return fm.height() + 2;
    const QRect box(0, 0, std::max(1, width - 4), 1 << 20);
    return fm.boundingRect(box, Qt::TextWordWrap, text).height() + 2;
}

void CellPainter::paintText(QPainter& p, const QRect& rect, const QRect& clip, uint32_t formatIndex,
                            const QString& text, CellValue::Type type) const {
    if (text.isEmpty() || rect.width() <= 2 || rect.height() <= 0)
        return;
    const CellFormat& f = format(formatIndex);
    const QFont fnt = font(formatIndex);
    p.setFont(fnt);
    p.setPen(m_mono ? QColor(Qt::black) : color(f.font.color));
    int flags = 0;
    switch (effectiveAlign(f, type)) {
    case HAlign::Right:
        flags |= Qt::AlignRight;
        break;
    case HAlign::Center:
    case HAlign::CenterAcross:
        flags |= Qt::AlignHCenter;
        break;
    case HAlign::Justify:
        flags |= Qt::AlignJustify;
        break;
    default:
        flags |= Qt::AlignLeft;
        break;
    }
    switch (f.vAlign) {
    case VAlign::Top:
        flags |= Qt::AlignTop;
        break;
    case VAlign::Center:
        flags |= Qt::AlignVCenter;
        break;
    default:
        flags |= Qt::AlignBottom;
        break;
    }
    QString shown = text;
    QRect box = rect.adjusted(2, 1, -2, -1);
    if (f.wordWrap) {
        flags |= Qt::TextWordWrap;
    } else if (type == CellValue::Number &&
               QFontMetrics(fnt).horizontalAdvance(text) > box.width()) {
        // A number that does not fit is never cut: General drops decimals first, then
        // the cell shows it cannot.
        const QFontMetrics fm(fnt);
        double value = 0;
        if (m_sheet.workbook().formats().numberFormat(formatIndex).isGeneral() &&
            EntryParser::parseNumber(text, value))
            shown = NumberFormat::generalToFit(
                value, [&](const QString& s) { return fm.horizontalAdvance(s) <= box.width(); });
        else
            shown.clear();
        if (shown.isEmpty()) {
            const int hash = std::max(1, fm.horizontalAdvance(QLatin1Char('#')));
            shown = QString(std::max(1, box.width() / hash), QLatin1Char('#'));
        }
    } else if (clip.width() > rect.width()) {
        // Running over empty neighbours: lay the text out in the wider box.
        if (flags & Qt::AlignRight)
            box.setLeft(clip.left() + 2);
        else if (flags & Qt::AlignHCenter)
            box = QRect(clip.left() + 2, box.top(), clip.width() - 4, box.height());
        else
            box.setRight(clip.right() - 2);
    }
    p.save();
    p.setClipRect(clip, Qt::IntersectClip);
    p.drawText(box, flags, shown);
    p.restore();
}

static QPen borderPen(const BorderSide& side, int zoom) {
    QPen pen(CellPainter::color(side.color));
    const int unit = std::max(1, zoom / 100);
    switch (side.style) {
    case BorderStyle::Medium:
        pen.setWidth(2 * unit);
        break;
    case BorderStyle::Thick:
    case BorderStyle::Double:
        pen.setWidth(3 * unit);
        break;
    case BorderStyle::Dashed:
        pen.setStyle(Qt::DashLine);
        break;
    case BorderStyle::Dotted:
    case BorderStyle::Hair:
        pen.setStyle(Qt::DotLine);
        break;
    default:
        pen.setWidth(unit);
        break;
    }
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

void CellPainter::paintBorders(QPainter& p, const QRect& r, const CellFormat& f) const {
    const int x1 = r.left() - 1, y1 = r.top() - 1; // the grid line above/left of the cell
    const int x2 = r.right(), y2 = r.bottom();
    auto line = [&](const BorderSide& side, int ax, int ay, int bx, int by) {
        if (side.style == BorderStyle::None)
            return;
        QPen pen = borderPen(side, m_zoom);
        if (m_mono)
            pen.setColor(Qt::black);
        p.setPen(pen);
        p.drawLine(ax, ay, bx, by);
    };
    line(f.top, x1, y1, x2, y1);
    line(f.bottom, x1, y2, x2, y2);
    line(f.left, x1, y1, x1, y2);
    line(f.right, x2, y1, x2, y2);
}
