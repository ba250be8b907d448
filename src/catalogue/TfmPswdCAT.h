#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// "Защита таблицы": the table password and what it guards.
class TfmPswdCAT : public QDialog {
    Q_OBJECT
public:
    explicit TfmPswdCAT(QWidget* parent = nullptr);

    // Shows the dialog over the given values and hands back the new ones on "Применить".
    static bool run(QWidget* parent, QString& parol, bool& onOpen, bool& onSave);

private:
    void updateState();

    QLineEdit* m_parol = nullptr;
    QGroupBox* m_scope = nullptr;
    QCheckBox* m_open = nullptr;
    QCheckBox* m_save = nullptr;
    QPushButton* m_apply = nullptr;
    bool m_typed = false;
};
