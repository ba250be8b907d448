#pragma once

#include <QString>
#include <QStringList>

// Every message box, question, file dialog and pop-up choice of the program goes
// through a Prompter, so that commands can be driven and checked without a screen.
// Texts are passed exactly as the system words them ("\r\n" included).

enum class PromptIcon { None, Information, Warning, Error, Question };
enum class Answer { Ok, Yes, No, Cancel };
enum class QuestionButtons { YesNo, YesNoCancel, OkCancel };

class Prompter {
public:
    virtual ~Prompter() = default;

    // A box with an OK button.
    virtual void message(const QString& text, const QString& caption, PromptIcon icon) = 0;
    // A question; the default button is the one Enter presses.
    virtual Answer ask(const QString& text, QuestionButtons buttons, Answer defaultButton,
                       const QString& caption) = 0;
    // File dialogs give an empty text when cancelled.
    virtual QString openFileName(const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    // An open dialog whose file-type list ("A (*.a);;B (*.b)") decides what is done with
    // the file: `*chosenType` gets the position (from 0) of the entry the user had chosen,
    // -1 when the dialog cannot tell.
    virtual QString openTypedFileName(const QString& caption, const QString& folder,
                                      const QString& filter, int* chosenType) {
        *chosenType = -1;
        return openFileName(caption, folder, filter);
    }
    // A pop-up choice among items; -1 when cancelled.
    virtual int choose(const QString& caption, const QStringList& items, int current) = 0;
    // A one-line text input; false when cancelled.
    virtual bool inputText(const QString& caption, const QString& label, QString& text) = 0;

    void info(const QString& text, const QString& caption = {}) {
        message(text, caption, PromptIcon::Information);
    }
    void error(const QString& text, const QString& caption = {}) {
        message(text, caption, PromptIcon::Error);
    }
    void plain(const QString& text) { message(text, {}, PromptIcon::None); }
    // The usual confirmation box, captioned "Подтверждение".
    bool confirm(const QString& text, Answer defaultButton = Answer::Yes) {
        return ask(text, QuestionButtons::YesNo, defaultButton, confirmationCaption()) ==
               Answer::Yes;
    }
    Answer confirmOrCancel(const QString& text, Answer defaultButton = Answer::Yes) {
        return ask(text, QuestionButtons::YesNoCancel, defaultButton, confirmationCaption());
    }
    static QString confirmationCaption() { return QStringLiteral("Подтверждение"); }
};

// The program-wide prompter for code that has no window of its own to ask through
// (TruncToInt and the like). Until one is installed, a silent prompter answers
// "Cancel" and keeps nothing, so library code never blocks.
Prompter& AppPrompter();
void SetAppPrompter(Prompter* prompter);
