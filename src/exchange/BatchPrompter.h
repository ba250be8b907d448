#pragma once

#include "Prompter.h"

// Answers the questions of filling and storing from the command line and prints
// every box to standard error. Anything else it is asked is declined.
class BatchPrompter : public Prompter {
public:
    BatchPrompter(bool allSheets, bool emptyCells)
        : m_allSheets(allSheets), m_emptyCells(emptyCells) {}

    void message(const QString& text, const QString& caption, PromptIcon icon) override;
    Answer ask(const QString& text, QuestionButtons buttons, Answer defaultButton,
               const QString& caption) override;
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    int choose(const QString&, const QStringList&, int) override { return -1; }
    bool inputText(const QString&, const QString&, QString&) override { return false; }

    // Whether an error box was shown.
    bool errorShown() const { return m_error; }

private:
    bool m_allSheets;
    bool m_emptyCells;
    bool m_error = false;
};
