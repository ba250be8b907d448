#pragma once

#include <QString>

class Prompter;

// Asks for the table password ("Пароль таблицы") until it is typed exactly or the user
// cancels; true when it was typed.
class TablePassword {
public:
    virtual ~TablePassword() = default;
    virtual bool ask(const QString& parol);
    explicit TablePassword(Prompter& prompter) : m_prompter(prompter) {}

private:
    Prompter& m_prompter;
};
