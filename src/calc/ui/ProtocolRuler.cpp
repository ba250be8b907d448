#include "ProtocolRuler.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>

#include <algorithm>
#include <cstdlib>

ProtocolRuler::ProtocolRuler(QTextEdit* editor, QWidget* parent)
    : QWidget(parent), m_editor(editor) {
    setObjectName(QStringLiteral("Ruler"));
    connect(editor, &QTextEdit::cursorPositionChanged, this, qOverload<>(&QWidget::update));
    connect(editor->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            qOverload<>(&QWidget::update));
}

QSize ProtocolRuler::sizeHint() const {
    return {200, 22};
}

int ProtocolRuler::origin() const {
    // The text starts after the editor's frame and the document margin.
    return m_editor->geometry().x() - x() + m_editor->frameWidth() +
           int(m_editor->document()->documentMargin()) - m_editor->horizontalScrollBar()->value();
}

int ProtocolRuler::leftX() const {
    return origin() + int(m_editor->textCursor().blockFormat().leftMargin());
}

int ProtocolRuler::firstX() const {
    return leftX() + int(m_editor->textCursor().blockFormat().textIndent());
}

int ProtocolRuler::rightX() const {
    const int textWidth =
        m_editor->viewport()->width() - 2 * int(m_editor->document()->documentMargin());
    return origin() + textWidth - int(m_editor->textCursor().blockFormat().rightMargin());
}

void ProtocolRuler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const int o = origin();
    const double cm = logicalDpiX() / 2.54;
    p.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; o + i * cm / 2 < width(); ++i) {
        const int x = o + int(i * cm / 2);
        p.drawLine(x, height() - (i % 2 ? 4 : 8), x, height() - 1);
        if (i % 2 == 0 && i > 0)
            p.drawText(x + 2, 10, QString::number(i / 2));
    }
    auto marker = [&](int x, bool top) {
        const int y = top ? 0 : height() - 1;
        const int d = top ? 6 : -6;
        p.setBrush(palette().color(QPalette::Highlight));
        p.drawPolygon(QPolygon({QPoint(x - 4, y), QPoint(x + 4, y), QPoint(x, y + d)}));
    };
    marker(firstX(), true);
    marker(leftX(), false);
    marker(rightX(), false);
}

void ProtocolRuler::mousePressEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    const bool top = event->position().y() < height() / 2;
    m_dragged = Marker::None;
    if (top && std::abs(x - firstX()) <= 6)
        m_dragged = Marker::First;
    else if (std::abs(x - leftX()) <= 6)
        m_dragged = Marker::Left;
    else if (std::abs(x - rightX()) <= 6)
        m_dragged = Marker::Right;
}

void ProtocolRuler::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragged != Marker::None)
        moveMarker(event->position().toPoint().x());
}

void ProtocolRuler::mouseReleaseEvent(QMouseEvent* event) {
    if (m_dragged != Marker::None)
        moveMarker(event->position().toPoint().x());
    m_dragged = Marker::None;
}

void ProtocolRuler::moveMarker(int x) {
    QTextCursor cursor = m_editor->textCursor();
    QTextBlockFormat f;
    const QTextBlockFormat now = cursor.blockFormat();
    switch (m_dragged) {
    case Marker::First:
        f.setTextIndent(x - leftX());
        break;
    case Marker::Left:
        // The first line keeps its place relative to the left indent.
        f.setLeftMargin(std::max(0, x - origin()));
        f.setTextIndent(now.textIndent());
        break;
    case Marker::Right:
        f.setRightMargin(std::max(0, rightX() + int(now.rightMargin()) - x));
        break;
    case Marker::None:
        return;
    }
    cursor.mergeBlockFormat(f);
    update();
}
