#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;

// Asks for the password of a collection ("Пароль сборника") or a table ("Пароль
// таблицы"). "Применить" is offered only with something typed; a wrong password
// keeps the dialog open (the check has told the user) until the right one or "Отменить".
class TfmParol : public QDialog {
    Q_OBJECT
public:
    using Check = std::function<bool(const QString& typed)>;

    TfmParol(const QString& caption, const QString& label, Check check, QWidget* parent = nullptr);

    static bool run(QWidget* parent, const QString& caption, const QString& label,
                    const Check& check);

private:
    void apply();

    QLineEdit* m_parol = nullptr;
    QPushButton* m_apply = nullptr;
    Check m_check;
};
