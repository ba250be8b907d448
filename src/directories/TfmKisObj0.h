#pragma once

#include "CompositionController.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// "Состав  справочников  объектов": the aggregation directories as a check list
// (a mark = attached to the objects directory), their names edited in place,
// adding a directory and the objects directory's name.
class TfmKisObj0 : public QDialog {
    Q_OBJECT
public:
    TfmKisObj0(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);

    struct Outcome {
        bool directoriesAdded = false;
        bool objectsLayoutChanged = false;
    };
    // Shown modally; what the collections window must renew afterwards.
    static Outcome run(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);

    CompositionController& controller() { return m_controller; }
    // Adds a directory and opens its name for editing.
    void addDirectory();

    QListWidget* clbAgr = nullptr;
    QPushButton* bAddAgr = nullptr;
    QLineEdit* edNameElm = nullptr;

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void itemChanged(QListWidgetItem* item);

    CompositionController m_controller;
    bool m_filling = false;
};
