#pragma once

#include <QDialog>

class Prompter;
class QLineEdit;

// The size window: a row height in millimetres or a column width in characters.
class TfmWidth : public QDialog {
    Q_OBJECT
public:
    TfmWidth(bool height, int units, Prompter& prompter, QWidget* parent = nullptr);
    // The size in twips or 1/256 character; -1 when none was given.
    int units() const { return m_units; }

    QLineEdit* Edit1 = nullptr;

private:
    void apply();

    bool m_height;
    Prompter& m_prompter;
    int m_units = -1;
    bool m_edited = false;
};
