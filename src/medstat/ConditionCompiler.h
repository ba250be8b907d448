#pragma once

#include "ConditionTree.h"

#include <stdexcept>

// A condition text that does not compile: the message as the user sees it and the
// 1-based position in the whole text where reading stopped.
class ConditionError : public std::runtime_error {
public:
    ConditionError(const QString& message, int position);
    const QString& message() const { return m_message; }
    int position() const { return m_position; }

private:
    QString m_message;
    int m_position;
};

// Compiles a control condition of the report file: a two-character prefix, then an
// expression of operands, literals, "+", "-", "X", "/" and parentheses, compared with
// another expression (comparisons may be chained) or tested against an interval
// "; lo ; hi", ended by "*". Throws ConditionError.
Condition CompileCondition(const QString& text);

// Whether the text is in the year form (every operand starts with a year selector).
bool IsYearForm(const QString& text);

// Reads the components of an operand text (without throwing).
OperandRef ReadOperand(const QString& written, bool yearForm);

// The generic syntax error text.
QString SyntaxErrorText(int position, const QString& what);
