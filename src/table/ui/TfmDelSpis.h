#pragma once

#include <QDialog>

class ObjectLists;
class QComboBox;
class QPushButton;

// "Удаление списка": one of the object lists chosen and deleted.
class TfmDelSpis : public QDialog {
    Q_OBJECT
public:
    TfmDelSpis(ObjectLists& lists, QWidget* parent = nullptr);

    // Refills the names (on activation and after a deletion).
    void refill();

    QComboBox* cbName;
    QPushButton* bOK;
    QPushButton* bCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void bOKClick();

    ObjectLists& m_lists;
};
