#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QComboBox;
class TBook;

// The drop-down objects of the active sheet, shown as combo boxes over their cells.
// A choice made by the user is stored in the object and reported by OnObjValueChanged.
class DropDownLayer : public QObject {
    Q_OBJECT
public:
    explicit DropDownLayer(TBook* view);
    // Brings the boxes in line with the objects (after a sheet or object change).
    void sync();
    // Moves the boxes after scrolling or resizing.
    void place();
    QComboBox* box(int objectId) const;

private:
    void chosen(int objectId, int index);

    TBook* m_view;
    int m_sheetId = -1;
    QHash<int, QPointer<QComboBox>> m_boxes;
};
