#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QAction;
class QMenu;
class QStyleOptionMenuItem;
class QWidgetAction;

// Menu entries laid out in columns inside a menu, each column starting at a
// break, for long lists that a plain menu would only show in one tall column.
// Items are drawn by the style as menu items and answer the mouse and the
// keys a menu answers; keys it does not use go on to the menu around it.
class MenuColumns : public QWidget {
    Q_OBJECT
public:
    // breaks: indices of the entries that start a new column.
    MenuColumns(QList<QAction*> actions, QList<int> breaks, QWidget* parent = nullptr);

    // Puts the entries into menu: in columns when there is a break, else one by one.
    static void addTo(QMenu* menu, const QList<QAction*>& actions, const QList<int>& breaks);

    int count() const { return int(m_actions.size()); }
    int columnCount() const { return int(m_starts.size()); }
    int columnOf(int index) const;
    int rowOf(int index) const;
    QRect itemRect(int index);
    // The highlighted entry, -1 for none.
    int current() const { return m_current; }
    void setCurrent(int index);

    QSize sizeHint() const override;

signals:
    void triggered(QAction* action);

protected:
    // The menu keeps the keyboard while the columns are its active entry.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ensureLayout() const;
    void initItemOption(QStyleOptionMenuItem* option, int index) const;
    int indexAt(const QPoint& point) const;
    int columnEnd(int column) const;
    // The entry at row of column, the column's last one when it is shorter.
    int entryAt(int column, int row) const;
    void activate(int index);

    QPointer<QMenu> m_menu;
    QWidgetAction* m_holder = nullptr;
    QList<QAction*> m_actions;
    QList<int> m_starts; // first entry of each column
    int m_current = -1;
    mutable QList<QRect> m_rects;
    mutable QSize m_size;
};
