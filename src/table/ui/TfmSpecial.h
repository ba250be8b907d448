#pragma once

#include "SpecialIdentification.h"

#include <QDialog>

class QButtonGroup;
class QPushButton;
class QSpinBox;

// "Специальная идентификация" of one header row or body column. "Применить" fills the
// line with the chosen kind; "Убрать" takes the kind away (the line is cleared) and
// closes. Escape closes without changing anything.
class TfmSpecial : public QDialog {
    Q_OBJECT
public:
    TfmSpecial(SpecialIdentification& special, const SpecialLine& line, QWidget* parent = nullptr);

    QButtonGroup* rgSpIdent = nullptr;
    QSpinBox* SpEdit = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCancel = nullptr;

    // The checked kind, -1 when none.
    int choice() const;
    void setChoice(int choice);

private:
    void btOKClick();
    void btCancelClick();
    void choiceChanged();

    SpecialIdentification& m_special;
    SpecialLine m_line;
};
