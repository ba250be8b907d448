#include "DropDownLayer.h"

#include "TBook.h"

#include <QComboBox>

DropDownLayer::DropDownLayer(TBook* view) : QObject(view), m_view(view) {}

QComboBox* DropDownLayer::box(int objectId) const {
    return m_boxes.value(objectId);
}

void DropDownLayer::sync() {
    const Sheet& sheet = m_view->workbook().activeSheet();
    if (int(sheet.id()) != m_sheetId) {
        for (auto& b : m_boxes)
            if (b)
                b->deleteLater();
        m_boxes.clear();
        m_sheetId = int(sheet.id());
    }
    QSet<int> present;
    for (const DropDownObject& o : sheet.objects()) {
        present.insert(o.id);
        QComboBox* b = m_boxes.value(o.id);
        if (!b) {
            b = new QComboBox(m_view->viewport());
            b->setFocusPolicy(Qt::ClickFocus);
            const int id = o.id;
            connect(b, &QComboBox::activated, this, [this, id](int index) { chosen(id, index); });
            m_boxes.insert(o.id, b);
        }
        const QSignalBlocker block(b);
        const QStringList items = o.itemList();
        bool same = b->count() == items.size();
        for (int i = 0; same && i < items.size(); ++i)
            same = b->itemText(i) == items[i];
        if (!same) {
            b->clear();
            b->addItems(items);
        }
        b->setCurrentIndex(o.selected - 1);
        b->setObjectName(o.name);
    }
    for (auto it = m_boxes.begin(); it != m_boxes.end();) {
        if (!present.contains(it.key())) {
            if (it.value())
                it.value()->deleteLater();
            it = m_boxes.erase(it);
        } else {
            ++it;
        }
    }
    place();
}

void DropDownLayer::place() {
    const Sheet& sheet = m_view->workbook().activeSheet();
    const SheetLayout& l = m_view->layout();
    for (const DropDownObject& o : sheet.objects()) {
        QComboBox* b = m_boxes.value(o.id);
        if (!b)
            continue;
        const QRect rect = l.rangeRect(o.position);
        // A box whose cells scrolled under the frozen lines or off the screen is hidden.
        const int top = o.position.row1 > l.frozenRows() ? l.scrollTop() : l.origin().y();
        const int left = o.position.col1 > l.frozenCols() ? l.scrollLeft() : l.origin().x();
        const bool shown = rect.width() > 0 && rect.height() > 0 && rect.top() >= top &&
                           rect.left() >= left && rect.top() < m_view->viewport()->height() &&
                           rect.left() < m_view->viewport()->width();
        b->setGeometry(rect.adjusted(0, 0, -1, -1));
        b->setVisible(shown);
    }
}

void DropDownLayer::chosen(int objectId, int index) {
    Sheet& sheet = m_view->workbook().activeSheet();
    const DropDownObject* o = sheet.object(objectId);
    if (!o || o->selected == index + 1)
        return;
    const QString name = o->name;
    sheet.setObjectSelected(objectId, index + 1);
    emit m_view->OnObjValueChanged(name, objectId);
    emit m_view->OnModified();
}
