#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// "Защита таблицы": the table password and what it guards. "Применить" hands them to
// the store; the dialog stays open while the store refuses them (the user has been
// told why) and closes once they are stored.
class TfmPswdCAT : public QDialog {
    Q_OBJECT
public:
    using Store = std::function<bool(const QString& parol, bool onOpen, bool onSave)>;

    explicit TfmPswdCAT(Store store, QWidget* parent = nullptr);

    static bool run(QWidget* parent, const QString& parol, bool onOpen, bool onSave,
                    const Store& store);

private:
    void updateState();
    void apply();

    Store m_store;
    QLineEdit* m_parol = nullptr;
    QGroupBox* m_scope = nullptr;
    QCheckBox* m_open = nullptr;
    QCheckBox* m_save = nullptr;
    QPushButton* m_apply = nullptr;
    bool m_typed = false;
};
