#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

QStringList ScriptedPrompter::texts() const {
    QStringList out;
    for (const Shown& s : m_shown)
        out << s.text;
    return out;
}

bool ScriptedPrompter::allAnswersUsed() const {
    return m_answers.isEmpty() && m_files.isEmpty() && m_choices.isEmpty() && m_inputs.isEmpty();
}

void ScriptedPrompter::clear() {
    m_shown.clear();
    m_answers.clear();
    m_files.clear();
    m_fileTypes.clear();
    m_choices.clear();
    m_inputs.clear();
}

void ScriptedPrompter::message(const QString& text, const QString& caption, PromptIcon icon) {
    m_shown.append({Kind::Message, text, caption, icon});
}

Answer ScriptedPrompter::ask(const QString& text, QuestionButtons buttons, Answer defaultButton,
                             const QString& caption) {
    m_shown.append({Kind::Question, text, caption, PromptIcon::Question, buttons, defaultButton});
    if (m_answers.isEmpty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return Answer::Cancel;
    }
    return m_answers.dequeue();
}

QString ScriptedPrompter::openFileName(const QString& caption, const QString& folder,
                                       const QString& filter) {
    int type = -1;
    return openTypedFileName(caption, folder, filter, &type);
}

QString ScriptedPrompter::openTypedFileName(const QString& caption, const QString&, const QString&,
                                            int* chosenType) {
    m_shown.append({Kind::OpenFile, caption, caption});
    *chosenType = -1;
    if (m_files.isEmpty()) {
        ADD_FAILURE() << "unexpected open-file dialog: " << caption.toStdString();
        return {};
    }
    // A file scripted with file() comes without a type, as from a dialog that cannot tell.
    *chosenType = m_fileTypes.dequeue();
    return m_files.dequeue();
}

QString ScriptedPrompter::saveFileName(const QString& caption, const QString&, const QString&) {
    m_shown.append({Kind::SaveFile, caption, caption});
    if (m_files.isEmpty()) {
        ADD_FAILURE() << "unexpected save-file dialog: " << caption.toStdString();
        return {};
    }
    m_fileTypes.dequeue();
    return m_files.dequeue();
}

int ScriptedPrompter::choose(const QString& caption, const QStringList& items, int) {
    m_shown.append({Kind::Choice, items.join(u'\n'), caption});
    if (m_choices.isEmpty()) {
        ADD_FAILURE() << "unexpected choice: " << caption.toStdString();
        return -1;
    }
    return m_choices.dequeue();
}

bool ScriptedPrompter::inputText(const QString& caption, const QString& label, QString& text) {
    m_shown.append({Kind::Input, label, caption});
    if (m_inputs.isEmpty()) {
        ADD_FAILURE() << "unexpected text input: " << label.toStdString();
        return false;
    }
    const auto entered = m_inputs.dequeue();
    if (!entered)
        return false;
    text = *entered;
    return true;
}
