#pragma once

#include "ConditionTree.h"

#include <stdexcept>

class ReportTree;

// The value of an operand or expression: columns, each with its report column number
// and its numbers.
struct ValueColumn {
    int number = 1;
    std::vector<double> values;
};
using ConditionValue = std::vector<ValueColumn>;

// An operand that has no values or cannot be read: "Ошибка в условии " + operand.
class OperandFailure : public std::runtime_error {
public:
    explicit OperandFailure(const QString& text);
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// Evaluates compiled conditions over the report of one object and one control year.
class ConditionEvaluator {
public:
    ConditionEvaluator(const ReportTree& report, int object, int year)
        : m_report(report), m_object(object), m_year(year) {}

    // The failure lines of the condition, empty when it holds. Throws OperandFailure.
    QString failures(const Condition& condition) const;
    ConditionValue value(const ConditionNode& node) const;

private:
    ConditionValue operand(const OperandRef& ref) const;

    const ReportTree& m_report;
    int m_object;
    int m_year;
};

// How failure lines write a node and a check.
QString WrittenForm(const ConditionNode& node);
QString WrittenForm(const ConditionCheck& check);
// Rounded to two decimals, shortest form, the program's decimal separator.
QString ControlNumber(double x);
