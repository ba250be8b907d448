#pragma once

#include "Prompter.h"

#include <cstdio>

// The benchmarks' prompter: every message goes to stderr (a benchmark that meets one has
// gone wrong), every question gets the one answer given, file dialogs return `file`.
class BenchPrompter : public Prompter {
public:
    explicit BenchPrompter(Answer answer, QString chosenFile = {})
        : m_answer(answer), file(std::move(chosenFile)) {}

    void message(const QString& text, const QString&, PromptIcon) override {
        ++shown;
        std::fprintf(stderr, "message: %s\n", text.toLocal8Bit().constData());
    }
    Answer ask(const QString&, QuestionButtons, Answer, const QString&) override {
        return m_answer;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return file; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return file; }
    int choose(const QString&, const QStringList&, int) override { return -1; }
    bool inputText(const QString&, const QString&, QString&) override { return false; }

private:
    Answer m_answer;

public:
    QString file;
    int shown = 0;
};
