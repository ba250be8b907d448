#pragma once

#include "TablePassword.h"

class QWidget;

// The table password asked in a box that shows "*" for each letter.
class MaskedTablePassword : public TablePassword {
public:
    MaskedTablePassword(Prompter& prompter, QWidget* parent)
        : TablePassword(prompter), m_parent(parent) {}

protected:
    bool readPassword(QString& typed) override;

private:
    QWidget* m_parent;
};
