#pragma once

#include <QString>

class Prompter;

// Asks for the table password ("Пароль таблицы") until it is typed exactly or the user
// cancels; true when it was typed. "Неверный пароль" after a wrong one.
class TablePassword {
public:
    explicit TablePassword(Prompter& prompter) : m_prompter(prompter) {}
    virtual ~TablePassword() = default;

    bool ask(const QString& parol);

    static QString caption() { return QStringLiteral("Пароль таблицы"); }
    static QString label() { return QStringLiteral("Введите пароль таблицы :"); }

protected:
    // One reading of the field; false when cancelled. Windows show it masked.
    virtual bool readPassword(QString& typed);
    Prompter& prompter() const { return m_prompter; }

private:
    Prompter& m_prompter;
};
