#include "BatchPrompter.h"

#include "ExchangeQuestions.h"

#include <cstdio>

void BatchPrompter::message(const QString& text, const QString& caption, PromptIcon icon) {
    if (icon == PromptIcon::Error || icon == PromptIcon::Warning)
        m_error = true;
    QString line = caption.isEmpty() ? text : caption + QStringLiteral(": ") + text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

Answer BatchPrompter::ask(const QString& text, QuestionButtons, Answer, const QString&) {
    Answer a = Answer::No;
    if (text == ExchangeQuestions::fillAllSheets() || text == ExchangeQuestions::storeAllSheets())
        a = m_allSheets ? Answer::Yes : Answer::No;
    else if (text == ExchangeQuestions::storeEmptyCells())
        a = m_emptyCells ? Answer::Yes : Answer::No;
    std::fprintf(stderr, "%s %s\n", text.toLocal8Bit().constData(),
                 a == Answer::Yes ? "Yes" : "No");
    return a;
}
