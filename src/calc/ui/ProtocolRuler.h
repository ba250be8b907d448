#pragma once

#include <QWidget>

class QTextEdit;

// The ruler over the protocol text: first-line, left and right indent markers of the
// paragraphs under the cursor, moved with the mouse.
class ProtocolRuler : public QWidget {
    Q_OBJECT
public:
    explicit ProtocolRuler(QTextEdit* editor, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Marker { None, First, Left, Right };
    // Marker positions in ruler pixels.
    int origin() const;
    int firstX() const;
    int leftX() const;
    int rightX() const;
    void moveMarker(int x);

    QTextEdit* m_editor;
    Marker m_dragged = Marker::None;
};
