#include "TablePassword.h"

#include "Helpers.h"
#include "Prompter.h"

bool TablePassword::ask(const QString& parol) {
    for (;;) {
        QString typed;
        if (!m_prompter.inputText(QStringLiteral("Пароль таблицы"),
                                  QStringLiteral("Введите пароль таблицы :"), typed))
            return false;
        if (IsBlank(typed))
            continue;
        if (typed == parol)
            return true;
        m_prompter.error(QStringLiteral("Неверный пароль"));
    }
}
