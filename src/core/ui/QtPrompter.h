#pragma once

#include "Prompter.h"

class QWidget;

// The Prompter on screen: Qt message boxes and dialogs in Russian.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}

    void message(const QString& text, const QString& caption, PromptIcon icon) override;
    Answer ask(const QString& text, QuestionButtons buttons, Answer defaultButton,
               const QString& caption) override;
    QString openFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString openTypedFileName(const QString& caption, const QString& folder, const QString& filter,
                              int* chosenType) override;
    int choose(const QString& caption, const QStringList& items, int current) override;
    bool inputText(const QString& caption, const QString& label, QString& text) override;

private:
    QWidget* m_parent;
};

// "\r\n" in the system's texts is a line break on screen.
QString ScreenText(const QString& text);
// Filters are written "Описание|*.ext|…" as the system stores them; Qt wants "Описание (*.ext);;…".
QString QtFileFilter(const QString& filter);
