#pragma once

#include <QWidget>

#include <functional>

class PageLayout;

// Draws one page of a layout: fitted into the window, or at its natural size (96 dots an
// inch) when zoomed, inside the preview's scroll area.
class PagePreviewCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PagePreviewCanvas(QWidget* parent = nullptr);
    // The layout to draw (made afresh by the owner before each paint) and the page index.
    std::function<const PageLayout*()> layout;
    int pageIndex = 0;
    void setZoomed(bool zoomed, QSize room);
    bool zoomed() const { return m_zoomed; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_zoomed = false;
};
