#include "MaskedTablePassword.h"

#include <QInputDialog>
#include <QLineEdit>

bool MaskedTablePassword::readPassword(QString& typed) {
    bool ok = false;
    typed =
        QInputDialog::getText(m_parent, caption(), label(), QLineEdit::Password, QString(), &ok);
    return ok;
}
