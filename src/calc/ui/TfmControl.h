#pragma once

#include "ControlConditions.h"

#include <QDialog>

class QLineEdit;

// "Установка условий контроля": the condition and its error message for a row or a
// column; "Применить" stores them once the control accepts the condition.
class TfmControl : public QDialog {
    Q_OBJECT
public:
    TfmControl(ControlConditions& conditions, const ConditionDraft& draft,
               QWidget* parent = nullptr);

    QLineEdit* edCondition = nullptr;
    QLineEdit* edText = nullptr;

    void applyClick();

private:
    ControlConditions& m_conditions;
    ConditionDraft m_draft;
};
