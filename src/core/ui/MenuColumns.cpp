#include "MenuColumns.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <QWidgetAction>

#include <algorithm>

MenuColumns::MenuColumns(QList<QAction*> actions, QList<int> breaks, QWidget* parent)
    : QWidget(parent), m_actions(std::move(actions)) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_starts << 0;
    std::sort(breaks.begin(), breaks.end());
    for (int b : breaks)
        if (b > m_starts.last() && b < count())
            m_starts << b;
    for (QAction* a : m_actions)
        connect(a, &QAction::changed, this, [this] {
            m_rects.clear();
            updateGeometry();
            update();
        });
}

void MenuColumns::addTo(QMenu* menu, const QList<QAction*>& actions, const QList<int>& breaks) {
    const bool anyBreak = std::any_of(breaks.begin(), breaks.end(),
                                      [&](int b) { return b > 0 && b < actions.size(); });
    if (!anyBreak) {
        menu->addActions(actions);
        return;
    }
    auto* holder = new QWidgetAction(menu);
    auto* columns = new MenuColumns(actions, breaks);
    for (QAction* a : actions)
        if (!a->parent())
            a->setParent(columns);
    holder->setDefaultWidget(columns);
    menu->addAction(holder);
    columns->m_menu = menu;
    columns->m_holder = holder;
    menu->installEventFilter(columns);
}

bool MenuColumns::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_menu && event->type() == QEvent::KeyPress &&
        m_menu->activeAction() == m_holder) {
        auto* key = static_cast<QKeyEvent*>(event);
        key->accept();
        keyPressEvent(key);
        if (key->isAccepted())
            return true;
        key->accept(); // handed on to the menu as it came
    }
    return QWidget::eventFilter(watched, event);
}

int MenuColumns::columnEnd(int column) const {
    return column + 1 < columnCount() ? m_starts[column + 1] : count();
}

int MenuColumns::columnOf(int index) const {
    int column = 0;
    while (column + 1 < columnCount() && m_starts[column + 1] <= index)
        ++column;
    return column;
}

int MenuColumns::rowOf(int index) const {
    return index - m_starts[columnOf(index)];
}

int MenuColumns::entryAt(int column, int row) const {
    return std::min(m_starts[column] + row, columnEnd(column) - 1);
}

void MenuColumns::initItemOption(QStyleOptionMenuItem* option, int index) const {
    option->initFrom(this);
    QAction* action = m_actions[index];
    option->menuItemType = QStyleOptionMenuItem::Normal;
    option->checkType = QStyleOptionMenuItem::NotCheckable;
    option->text = action->text();
    option->font = font();
    option->maxIconWidth = 0;
    option->reservedShortcutWidth = 0;
    option->menuRect = rect();
    option->state &= ~(QStyle::State_Selected | QStyle::State_Enabled);
    if (action->isEnabled() && isEnabled())
        option->state |= QStyle::State_Enabled;
    else
        option->palette.setCurrentColorGroup(QPalette::Disabled);
    if (index == m_current)
        option->state |= QStyle::State_Selected;
}

void MenuColumns::ensureLayout() const {
    if (m_rects.size() == count())
        return;
    m_rects = QList<QRect>(count());
    int x = 0;
    int height = 0;
    for (int c = 0; c < columnCount(); ++c) {
        QList<QSize> sizes;
        int width = 0;
        for (int i = m_starts[c]; i < columnEnd(c); ++i) {
            QStyleOptionMenuItem option;
            initItemOption(&option, i);
            const QSize text = fontMetrics().size(Qt::TextShowMnemonic, option.text);
            sizes << style()->sizeFromContents(QStyle::CT_MenuItem, &option, text, this);
            width = std::max(width, sizes.last().width());
        }
        int y = 0;
        for (int i = m_starts[c]; i < columnEnd(c); ++i) {
            const int h = sizes[i - m_starts[c]].height();
            m_rects[i] = QRect(x, y, width, h);
            y += h;
        }
        x += width;
        height = std::max(height, y);
    }
    m_size = QSize(x, height);
}

QRect MenuColumns::itemRect(int index) {
    ensureLayout();
    return index >= 0 && index < count() ? m_rects[index] : QRect();
}

QSize MenuColumns::sizeHint() const {
    ensureLayout();
    return m_size;
}

int MenuColumns::indexAt(const QPoint& point) const {
    ensureLayout();
    for (int i = 0; i < count(); ++i)
        if (m_rects[i].contains(point))
            return i;
    return -1;
}

void MenuColumns::setCurrent(int index) {
    const int next = index >= 0 && index < count() ? index : -1;
    if (next == m_current)
        return;
    m_current = next;
    update();
}

void MenuColumns::paintEvent(QPaintEvent*) {
    ensureLayout();
    QPainter painter(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionMenuItem option;
        initItemOption(&option, i);
        option.rect = m_rects[i];
        style()->drawControl(QStyle::CE_MenuItem, &option, &painter, this);
    }
}

void MenuColumns::mouseMoveEvent(QMouseEvent* event) {
    setCurrent(indexAt(event->position().toPoint()));
}

void MenuColumns::mouseReleaseEvent(QMouseEvent* event) {
    const int index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index >= 0)
        activate(index);
}

void MenuColumns::leaveEvent(QEvent*) {
    setCurrent(-1);
}

void MenuColumns::focusInEvent(QFocusEvent* event) {
    if (m_current < 0 && count() > 0)
        setCurrent(0);
    QWidget::focusInEvent(event);
}

void MenuColumns::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_rects.clear();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

void MenuColumns::keyPressEvent(QKeyEvent* event) {
    if (count() == 0) {
        event->ignore();
        return;
    }
    const int at = std::max(m_current, 0);
    const int column = columnOf(at);
    const int row = rowOf(at);
    const int first = m_starts[column];
    const int last = columnEnd(column) - 1;
    switch (event->key()) {
    // Up and Down go round within a column, as in a menu.
    case Qt::Key_Down:
        setCurrent(m_current < 0 || at == last ? first : at + 1);
        break;
    case Qt::Key_Up:
        setCurrent(m_current < 0 || at == first ? last : at - 1);
        break;
    // Beyond the outer columns the menu itself goes on (closing a sub-menu).
    case Qt::Key_Right:
        if (column + 1 >= columnCount()) {
            event->ignore();
            return;
        }
        setCurrent(entryAt(column + 1, row));
        break;
    case Qt::Key_Left:
        if (column == 0) {
            event->ignore();
            return;
        }
        setCurrent(entryAt(column - 1, row));
        break;
    case Qt::Key_Home:
        setCurrent(0);
        break;
    case Qt::Key_End:
        setCurrent(count() - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        activate(m_current);
        break;
    default:
        event->ignore();
        return;
    }
    event->accept();
}

void MenuColumns::activate(int index) {
    if (index < 0 || index >= count() || !m_actions[index]->isEnabled())
        return;
    QAction* action = m_actions[index];
    // The menus close first, so that a window the entry opens is not under them.
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* menu = qobject_cast<QMenu*>(w))
            menu->close();
    action->trigger();
    emit triggered(action);
}
