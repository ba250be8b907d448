#pragma once

#include "model/CellFormat.h"
#include "model/CellValue.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QRect>

class QPainter;
class Sheet;

// Draws what one cell shows: fill pattern, text in its font and alignment, borders.
// Sizes are in 96-dpi pixels at the given zoom, so the same code paints the screen and,
// under a scaled painter, a printed page.
class CellPainter {
public:
    CellPainter(const Sheet& sheet, int zoom);
    // Black and white: no fills, every text and line black.
    void setMonochrome(bool on) { m_mono = on; }

    static QColor color(quint32 rgb) { return QColor::fromRgb(QRgb(0xFF000000u | rgb)); }
    QFont font(uint32_t formatIndex) const;
    const CellFormat& format(uint32_t formatIndex) const;

    void paintFill(QPainter& p, const QRect& rect, const CellFormat& f) const;
    // `clip` may reach into empty neighbours so that a long text runs over them.
    void paintText(QPainter& p, const QRect& rect, const QRect& clip, uint32_t formatIndex,
                   const QString& text, CellValue::Type type) const;
    void paintBorders(QPainter& p, const QRect& rect, const CellFormat& f) const;
    // Pixels the text needs on one line (for running over neighbours).
    int textWidth(uint32_t formatIndex, const QString& text) const;
    // Pixels of height the text needs in a cell `width` pixels wide (wrapped when the
    // cell wraps).
    int textHeight(uint32_t formatIndex, const QString& text, int width) const;
    // How the cell aligns its text: explicit alignment, or numbers right, texts left.
    static HAlign effectiveAlign(const CellFormat& f, CellValue::Type type);

private:
    const Sheet& m_sheet;
    int m_zoom;
    bool m_mono = false;
    mutable QHash<uint32_t, QFont> m_fonts;
};
