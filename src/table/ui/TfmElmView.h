#pragma once

#include "ObjectPicking.h"

#include <QDialog>

#include <functional>

class Prompter;
class QAction;
class QTableWidget;
class TdmMSSQL;

// "Просмотр подчиненных объектов": the objects directory as a multi-select grid with a
// column per attached aggregation directory; a click on such a column's title filters
// the list by one of its nodes. "Перенести в таблицу" hands the selected objects to the
// editor in list order.
class TfmElmView : public QDialog {
    Q_OBJECT
public:
    using Transfer = std::function<bool(const QList<PickedEntry>&)>;
    TfmElmView(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);

    void setTransfer(Transfer transfer) { m_transfer = std::move(transfer); }
    // The directory and its attached directories read afresh, unfiltered.
    void load();
    // A click on the title of grid column `col`: the filter dialog for its directory.
    void filterColumn(int col);
    void sbDeleteFilterClick();
    // SBrefr: the list read again, the current object kept.
    void SBrefrClick();
    void SBtableClick();
    const ObjectPicking& picking() const { return m_picking; }

    QTableWidget* dgElm;
    QAction* sbDeleteFilter;
    QAction* SBrefr;
    QAction* SBtable;

protected:
    void done(int result) override;

private:
    // Runs a read of the list; a database error is told and leaves the grid as it was.
    bool read(const std::function<void()>& work);
    void fill(double current);
    double currentCode() const;

    Prompter& m_prompter;
    ObjectPicking m_picking;
    Transfer m_transfer;
};
