#include "TablePassword.h"

#include "Helpers.h"
#include "Prompter.h"

bool TablePassword::readPassword(QString& typed) {
    return m_prompter.inputText(caption(), label(), typed);
}

bool TablePassword::ask(const QString& parol) {
    for (;;) {
        QString typed;
        if (!readPassword(typed))
            return false;
        // "Применить" stays disabled while the field is blank.
        if (IsBlank(typed))
            continue;
        if (typed == parol)
            return true;
        m_prompter.error(QStringLiteral("Неверный пароль"));
    }
}
