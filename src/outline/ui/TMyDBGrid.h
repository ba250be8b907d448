#pragma once

#include <QTableView>

class ElementRowSet;

// The element grid: a table over an ElementRowSet that remembers where the
// last mouse press on a data row was and starts dragging that row when the
// left button moves past the drag threshold (never after a double click).
class TMyDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TMyDBGrid(QWidget* parent = nullptr);

    // Shows the rows and keeps the grid's current row and the set's in step.
    void setRowSet(ElementRowSet* rows);
    ElementRowSet* rowSet() const { return m_rows; }

    // The drag-start point; -1 while unset (0 or below).
    int dragStartX() const { return m_x > 0 ? m_x : -1; }
    int dragStartY() const { return m_y > 0 ? m_y : -1; }
    void setDragStart(int x, int y) {
        m_x = x;
        m_y = y;
    }
    // A read-only grid only reports presses.
    void setReadOnly(bool readOnly);
    bool readOnly() const { return m_readOnly; }

    // A cell editor is open (keys it leaves unused come on to the grid).
    bool cellEditing() const { return state() == EditingState; }

    // Grid row of a viewport point: -1 on the title row or below the rows.
    int rowAtPoint(const QPoint& point) const;

signals:
    void mouseDown(Qt::MouseButton button, const QPoint& point);
    // A grid row dropped here: the row the drag started on and the row under the drop.
    void rowDropped(int sourceRow, int targetRow);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Runs the drag itself; tests stand in for it.
    virtual void beginDrag();

private:
    bool acceptsFrom(QObject* source) const;

    ElementRowSet* m_rows = nullptr;
    int m_x = 0;
    int m_y = 0;
    bool m_readOnly = false;
    bool m_armed = false;
    QPoint m_pressPos;
};

// Rebuilds the grid's columns for tables of a collection or indicators of a rubric.
void SetupElementColumns(ElementRowSet& rows, TMyDBGrid& grid, bool indicators);
