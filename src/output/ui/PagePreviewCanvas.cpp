#include "PagePreviewCanvas.h"

#include "PageLayout.h"

#include <QPainter>

PagePreviewCanvas::PagePreviewCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PreviewCanvas"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::gray);
    setPalette(p);
}

void PagePreviewCanvas::setZoomed(bool zoomed, QSize room) {
    m_zoomed = zoomed;
    const PageLayout* l = layout ? layout() : nullptr;
    if (zoomed && l) {
        const QSizeF paper = l->paperInches() * PageLayout::kGridDpi;
        setFixedSize(int(paper.width()) + 100, int(paper.height()) + 100);
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(room);
    }
    update();
}

void PagePreviewCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const PageLayout* l = layout ? layout() : nullptr;
    if (!l)
        return;
    // The paper inside a 50-pixel border, its proportions kept.
    const QSizeF paper = l->paperInches();
    QRectF room(50, 50, width() - 100, height() - 100);
    if (room.width() <= 0 || room.height() <= 0)
        return;
    const double scale = std::min(room.width() / paper.width(), room.height() / paper.height());
    const QSizeF size = paper * scale;
    const QRectF target(room.left() + (room.width() - size.width()) / 2, room.top(), size.width(),
                        size.height());
    p.setPen(Qt::black);
    p.drawRect(target.adjusted(-1, -1, 0, 0));
    l->drawPage(p, pageIndex, target);
}
