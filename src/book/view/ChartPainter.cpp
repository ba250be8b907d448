#include "ChartPainter.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace {

QColor seriesColor(int i, bool mono) {
    static const QRgb colors[] = {0x4472C4, 0xED7D31, 0xA5A5A5, 0xFFC000,
                                  0x5B9BD5, 0x70AD47, 0x264478, 0x9E480E};
    const int n = int(sizeof(colors) / sizeof(colors[0]));
    if (mono)
        return QColor::fromHsv(0, 0, 40 + (i * 160 / n) % 200);
    return QColor(colors[i % n]);
}

QString axisText(double v) {
    return QString::number(v, 'g', 10).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

double ChartPainter::axisStep(double span, int lines) {
    if (!(span > 0) || lines < 1)
        return 1;
    const double raw = span / lines;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (raw <= m * power)
            return m * power;
    return 10 * power;
}

void ChartPainter::paint(QPainter& p, const QRect& frame, bool mono) const {
    p.save();
    p.setClipRect(frame);
    p.fillRect(frame, Qt::white);
    p.setPen(Qt::black);
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    QFont font = p.font();
    font.setPixelSize(std::clamp(frame.height() / 22, 8, 12));
    p.setFont(font);
    const QFontMetrics fm(font);
    const int pad = fm.height() / 2 + 2;

    // Legend on the right, at most a third of the width.
    int legendWidth = 0;
    for (const ChartData::Series& s : m_data.series)
        legendWidth = std::max(legendWidth, fm.horizontalAdvance(s.name) + fm.height() + 6);
    legendWidth = std::min(legendWidth, frame.width() / 3);
    const QRect legend(frame.right() - legendWidth - pad, frame.top() + pad, legendWidth,
                       frame.height() - 2 * pad);
    for (size_t i = 0; i < m_data.series.size(); ++i) {
        const int y = legend.top() + int(i) * (fm.height() + 2);
        if (y + fm.height() > legend.bottom())
            break;
        p.fillRect(QRect(legend.left(), y + 2, fm.height() - 4, fm.height() - 4),
                   seriesColor(int(i), mono));
        p.drawText(QRect(legend.left() + fm.height(), y, legendWidth - fm.height(), fm.height()),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(m_data.series[i].name, Qt::ElideRight, legendWidth - fm.height()));
    }

    const double lo = m_data.minValue(), hi = m_data.maxValue();
    const double step = axisStep(hi - lo, 5);
    const double bottom = std::floor(lo / step) * step;
    const double ceiling = std::max(bottom + step, std::ceil(hi / step) * step);
    int axisWidth = 0;
    for (double v = bottom; v <= ceiling + step / 2; v += step)
        axisWidth = std::max(axisWidth, fm.horizontalAdvance(axisText(v)));
    // Room above the plot for half of the top axis label.
    const int top = frame.top() + pad + fm.height() / 2;
    const QRect plot(frame.left() + pad + axisWidth + 4, top,
                     legend.left() - pad - (frame.left() + pad + axisWidth + 4),
                     frame.bottom() - pad - fm.height() - 2 - top);
    if (plot.width() < 10 || plot.height() < 10 || m_data.categories.isEmpty()) {
        p.restore();
        return;
    }
    auto yOf = [&](double v) {
        return plot.bottom() - int(std::lround((v - bottom) / (ceiling - bottom) * plot.height()));
    };
    p.setPen(QColor(0xD0, 0xD0, 0xD0));
    for (double v = bottom; v <= ceiling + step / 2; v += step) {
        const int y = yOf(v);
        p.setPen(QColor(0xD0, 0xD0, 0xD0));
        p.drawLine(plot.left(), y, plot.right(), y);
        p.setPen(Qt::black);
        p.drawText(QRect(frame.left() + pad, y - fm.height() / 2, axisWidth, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, axisText(v));
    }

    const int groups = int(m_data.categories.size());
    const int bars = std::max(1, int(m_data.series.size()));
    const double slot = double(plot.width()) / groups;
    const double barWidth = std::max(1.0, slot * 0.8 / bars);
    const int zero = yOf(0);
    for (int g = 0; g < groups; ++g) {
        const double x0 = plot.left() + g * slot + slot * 0.1;
        for (int b = 0; b < int(m_data.series.size()); ++b) {
            const auto& v = m_data.series[size_t(b)].values[size_t(g)];
            if (!v)
                continue;
            const int y = yOf(*v);
            const QRect bar(int(x0 + b * barWidth), std::min(y, zero),
                            std::max(1, int(barWidth) - 1), std::max(1, std::abs(zero - y)));
            p.fillRect(bar, seriesColor(b, mono));
        }
        p.setPen(Qt::black);
        const QRect label(int(plot.left() + g * slot), plot.bottom() + 2, int(slot), fm.height());
        p.drawText(label, Qt::AlignHCenter | Qt::AlignTop,
                   fm.elidedText(m_data.categories[g], Qt::ElideRight, int(slot)));
    }
    p.setPen(Qt::black);
    p.drawLine(plot.left(), zero, plot.right(), zero);
    p.drawLine(plot.left(), plot.top(), plot.left(), plot.bottom());
    p.restore();
}
