#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;

// "Пароль сборника": sets the collection's password (an empty field removes it).
// "Применить" hands the field to the store; the dialog stays open while the store
// refuses it (the user has been told why) and closes once it is stored.
class TfmPswdSBR : public QDialog {
    Q_OBJECT
public:
    using Store = std::function<bool(const QString& parol)>;

    TfmPswdSBR(const QString& parol, Store store, QWidget* parent = nullptr);

    static bool run(QWidget* parent, const QString& parol, const Store& store);

private:
    void apply();

    QLineEdit* m_parol = nullptr;
    Store m_store;
};
