#pragma once

#include "IdentMode.h"

#include <QDialog>

class ObjectLists;
class QLineEdit;
class QPushButton;

// "Создание списка": the name of a list made from the table's identification.
class TfmCrtSpis : public QDialog {
    Q_OBJECT
public:
    TfmCrtSpis(ObjectLists& lists, IdentMode mode, QWidget* parent = nullptr);

    QLineEdit* edName;
    QPushButton* bOK;
    QPushButton* bCancel;

private:
    void bOKClick();

    ObjectLists& m_lists;
    IdentMode m_mode;
};
