#pragma once

#include "ElementRowSet.h"
#include "ObjectsController.h"

#include <QDialog>
#include <QPoint>
#include <QStyle>

class QAction;
class QMenu;
class QProgressBar;
class QTimer;
class QToolButton;
class TMyDBGrid;

// The objects directory: the list of objects with a membership column per
// attached aggregation directory. The window only wires its widgets to
// ObjectsController; it is kept between openings, its filter with it.
class TfmKisElm0 : public QDialog {
    Q_OBJECT
public:
    TfmKisElm0(TdmMSSQL& dm, Prompter& prompter, const QString& caption, QWidget* parent = nullptr);
    ~TfmKisElm0() override;

    ObjectsController& controller() { return m_controller; }
    ElementRowSet& rows() { return m_rows; }
    QAction* action(const QString& caption) const;

    // Shows the window modally (the list read again when it was closed).
    void showModal();
    // The filter dialog for the j-th attached directory.
    void chooseFilter(int j);
    // "Отбор независимого объекта" on the current membership column.
    void chooseMembership();
    // The hint of a membership cell; what the timer shows.
    QString hintAt(int row, int column);

    TMyDBGrid* dgElm = nullptr;
    QProgressBar* pbImport = nullptr;
    QTimer* tmGetAgr = nullptr;
    QToolButton *sbAdd = nullptr, *sbDelete = nullptr, *sbFindAgr = nullptr,
                *sbDeleteFilter = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    QToolButton* toolButton(const QString& hint, QStyle::StandardPixmap pixmap);
    void buildMenu(class QVBoxLayout* layout);
    void applyColumns();
    void updateControls();
    int currentDirectory() const;

    Prompter& m_prompter;
    ElementRowSet m_rows;
    ObjectsController m_controller;
    QWidget* m_toolPanel = nullptr;
    QMenu* m_ops = nullptr;
    QAction *m_add = nullptr, *m_delete = nullptr, *m_findAgr = nullptr, *m_filter = nullptr,
            *m_export = nullptr, *m_import = nullptr;
    int m_hintRow = -1;
    int m_hintColumn = -1;
};
