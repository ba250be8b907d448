#pragma once

#include "Prompter.h"

#include <QList>
#include <QQueue>

#include <optional>

// A Prompter for tests: records every box it is shown and answers questions,
// file dialogs and choices from queues filled by the test. A question nobody
// scripted fails the running test (and is answered Cancel).
class ScriptedPrompter : public Prompter {
public:
    enum class Kind { Message, Question, OpenFile, SaveFile, Choice, Input };
    struct Shown {
        Kind kind;
        QString text;
        QString caption;
        PromptIcon icon = PromptIcon::None;
        QuestionButtons buttons = QuestionButtons::YesNo;
        Answer defaultButton = Answer::Ok;
    };

    ScriptedPrompter& answer(Answer a) {
        m_answers.enqueue(a);
        return *this;
    }
    ScriptedPrompter& file(const QString& path) { return typedFile(path, -1); }
    // A file picked under entry `type` (from 0) of the dialog's file-type list.
    ScriptedPrompter& typedFile(const QString& path, int type) {
        m_files.enqueue(path);
        m_fileTypes.enqueue(type);
        return *this;
    }
    ScriptedPrompter& choice(int index) {
        m_choices.enqueue(index);
        return *this;
    }
    ScriptedPrompter& input(const std::optional<QString>& text) {
        m_inputs.enqueue(text);
        return *this;
    }

    const QList<Shown>& shown() const { return m_shown; }
    // The texts of every box and question, in order.
    QStringList texts() const;
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    bool allAnswersUsed() const;
    void clear();

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
    QList<Shown> m_shown;
    QQueue<Answer> m_answers;
    QQueue<QString> m_files;
    QQueue<int> m_fileTypes; // beside m_files: -1 for a file without a type
    QQueue<int> m_choices;
    QQueue<std::optional<QString>> m_inputs;
};

// Installs a scripted prompter as the program-wide one for the life of a scope.
class AppPrompterScope {
public:
    explicit AppPrompterScope(Prompter& p) { SetAppPrompter(&p); }
    ~AppPrompterScope() { SetAppPrompter(nullptr); }
};
