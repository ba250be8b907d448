#include "ToolIcons.h"

#include <QAction>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolBar>

namespace {

constexpr int kSize = 20;
const QColor kInk(40, 40, 40);
const QColor kBlue(30, 90, 170);
const QColor kGreen(30, 130, 60);
const QColor kRed(180, 40, 40);

void letter(QPainter& p, const QString& text, bool bold, bool italic, bool underline) {
    QFont f(QStringLiteral("Sans"), 11);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

void lines(QPainter& p, Qt::Alignment align) {
    p.setPen(QPen(kInk, 2));
    const int widths[] = {14, 9, 14, 9};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        const int x = align == Qt::AlignLeft ? 3 : align == Qt::AlignRight ? 17 - w : 10 - w / 2;
        p.drawLine(x, 4 + i * 4, x + w, 4 + i * 4);
    }
}

void sheet(QPainter& p, const QColor& accent) {
    p.setPen(kInk);
    p.setBrush(Qt::white);
    p.drawRect(3, 2, 13, 16);
    p.setPen(accent);
    for (int y = 6; y <= 14; y += 4)
        p.drawLine(5, y, 14, y);
}

void arrow(QPainter& p, bool down, const QColor& c) {
    p.setPen(QPen(c, 2));
    p.drawLine(10, 3, 10, 16);
    if (down) {
        p.drawLine(10, 16, 6, 12);
        p.drawLine(10, 16, 14, 12);
    } else {
        p.drawLine(10, 3, 6, 7);
        p.drawLine(10, 3, 14, 7);
    }
}

void grid(QPainter& p, bool outer, bool inner) {
    p.setPen(QPen(QColor(170, 170, 170), 1, Qt::DotLine));
    p.drawRect(3, 3, 14, 14);
    p.drawLine(10, 3, 10, 17);
    p.drawLine(3, 10, 17, 10);
    p.setPen(QPen(kInk, 2));
    if (outer)
        p.drawRect(3, 3, 14, 14);
    if (inner) {
        p.drawLine(10, 3, 10, 17);
        p.drawLine(3, 10, 17, 10);
    }
}

void draw(QPainter& p, const QString& n) {
    if (n == QLatin1String("SBsave")) {
        p.setPen(kInk);
        p.setBrush(kBlue);
        p.drawRect(3, 3, 14, 14);
        p.setBrush(Qt::white);
        p.drawRect(6, 3, 8, 5);
        p.drawRect(5, 11, 10, 6);
    } else if (n == QLatin1String("sbCut")) {
        p.setPen(QPen(kInk, 2));
        p.drawLine(6, 3, 13, 13);
        p.drawLine(14, 3, 7, 13);
        p.drawEllipse(QPoint(6, 15), 2, 2);
        p.drawEllipse(QPoint(14, 15), 2, 2);
    } else if (n == QLatin1String("sbCopy")) {
        p.setPen(kInk);
        p.setBrush(Qt::white);
        p.drawRect(3, 3, 9, 11);
        p.drawRect(8, 7, 9, 11);
    } else if (n == QLatin1String("sbPaste")) {
        p.setPen(kInk);
        p.setBrush(QColor(200, 160, 90));
        p.drawRect(3, 4, 11, 14);
        p.setBrush(Qt::white);
        p.drawRect(8, 8, 9, 10);
    } else if (n == QLatin1String("SBsheet")) {
        sheet(p, kBlue);
    } else if (n == QLatin1String("sbSeetsSel")) {
        p.translate(2, 0);
        sheet(p, kBlue);
        p.translate(-4, 2);
        sheet(p, kBlue);
    } else if (n == QLatin1String("SBunload")) {
        sheet(p, kGreen);
        arrow(p, true, kGreen);
    } else if (n == QLatin1String("SBload")) {
        sheet(p, kRed);
        arrow(p, false, kRed);
    } else if (n == QLatin1String("sbControl")) {
        p.setPen(QPen(kGreen, 3));
        p.drawLine(4, 10, 8, 15);
        p.drawLine(8, 15, 16, 4);
    } else if (n == QLatin1String("SBidbok")) {
        grid(p, false, false);
        p.fillRect(3, 3, 5, 15, kBlue);
    } else if (n == QLatin1String("SBidshap")) {
        grid(p, false, false);
        p.fillRect(3, 3, 15, 5, kBlue);
    } else if (n == QLatin1String("SBidzag")) {
        letter(p, QStringLiteral("T"), true, false, false);
    } else if (n == QLatin1String("SBhidrow")) {
        grid(p, false, false);
        p.setPen(QPen(kRed, 2));
        p.drawLine(2, 10, 18, 10);
    } else if (n == QLatin1String("SBhidcol")) {
        grid(p, false, false);
        p.setPen(QPen(kRed, 2));
        p.drawLine(10, 2, 10, 18);
    } else if (n == QLatin1String("sbCalcAgr")) {
        letter(p, QStringLiteral("Σ"), true, false, false);
    } else if (n == QLatin1String("SBSortUp")) {
        arrow(p, false, kBlue);
    } else if (n == QLatin1String("SBSortDn")) {
        arrow(p, true, kBlue);
    } else if (n == QLatin1String("sbMaxCol")) {
        letter(p, QStringLiteral("256"), false, false, false);
    } else if (n == QLatin1String("Bbld")) {
        letter(p, QStringLiteral("Ж"), true, false, false);
    } else if (n == QLatin1String("Bital")) {
        letter(p, QStringLiteral("К"), false, true, false);
    } else if (n == QLatin1String("BUdl")) {
        letter(p, QStringLiteral("Ч"), false, false, true);
    } else if (n == QLatin1String("Bleft")) {
        lines(p, Qt::AlignLeft);
    } else if (n == QLatin1String("Bcnt")) {
        lines(p, Qt::AlignHCenter);
    } else if (n == QLatin1String("Bright")) {
        lines(p, Qt::AlignRight);
    } else if (n == QLatin1String("SBbrd")) {
        grid(p, true, true);
    } else if (n == QLatin1String("SBdropdn")) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPolygon(QPolygon({QPoint(6, 8), QPoint(14, 8), QPoint(10, 13)}));
    } else if (n == QLatin1String("SBzal")) {
        p.setPen(kInk);
        p.setBrush(QColor(250, 220, 60));
        p.drawRect(3, 5, 14, 11);
    } else if (n == QLatin1String("sbMerge")) {
        grid(p, true, false);
        p.setPen(QPen(kInk, 2));
        p.drawLine(5, 10, 15, 10);
        p.drawLine(5, 10, 8, 7);
        p.drawLine(5, 10, 8, 13);
        p.drawLine(15, 10, 12, 7);
        p.drawLine(15, 10, 12, 13);
    } else if (n == QLatin1String("sbChart")) {
        p.setPen(kInk);
        p.drawLine(3, 17, 17, 17);
        p.fillRect(4, 10, 3, 7, kBlue);
        p.fillRect(9, 5, 3, 12, kRed);
        p.fillRect(14, 8, 3, 9, kGreen);
    } else if (n == QLatin1String("SBrazup")) {
        letter(p, QStringLiteral(".0+"), false, false, false);
    } else if (n == QLatin1String("SBrazdn")) {
        letter(p, QStringLiteral(".0−"), false, false, false);
    } else {
        letter(p, n.left(1), false, false, false);
    }
}

} // namespace

QIcon ToolIcons::icon(const QString& actionName) {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, actionName);
    p.end();
    return QIcon(pm);
}

void ToolIcons::apply(QToolBar* bar) {
    bar->setIconSize(QSize(kSize, kSize));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (QAction* a : bar->actions()) {
        if (a->isSeparator() || a->objectName().isEmpty())
            continue;
        if (a->toolTip().isEmpty() || a->toolTip() == a->iconText())
            a->setToolTip(a->text());
        a->setIcon(icon(a->objectName()));
    }
}
