#pragma once

#include <QString>

#include <memory>
#include <vector>

// One item of a list of rows or columns: the numbers lo … hi with a sign.
struct SpecItem {
    int lo = 0;
    int hi = 0;
    int sign = 1;
};

// A reference to report cells as the condition writes it: [selector,]form,table,rows,cols.
// Its components are read when the condition is compiled; an unreadable one is
// reported only when the operand is evaluated.
struct OperandRef {
    QString written;
    bool readable = false;
    bool yearForm = false;
    bool currentYear = true;
    QString selector;
    QString formText;
    QString tableText;
    QString rowsText;
    QString colsText;
    int form = 0;
    int table = 0;
    std::vector<SpecItem> rows; // a row takes the sign of the first item holding it
    bool sum = false;           // the values of a column are summed
    std::vector<int> cols;      // each number once, in the order written
};

enum class NodeKind { Literal, Operand, Add, Sub, Mul, Div, Negate };
enum class CompareOp { Less, Greater, Equal, LessEqual, GreaterEqual, Interval };

struct ConditionNode {
    NodeKind kind = NodeKind::Literal;
    QString token; // as written: "0100" for '100', the operator sign, the operand text
    double literal = 0;
    OperandRef operand;
    std::shared_ptr<const ConditionNode> left;
    std::shared_ptr<const ConditionNode> right;
};
using NodePtr = std::shared_ptr<const ConditionNode>;

// One comparison of a condition: left op right, or left within [lo; hi].
struct ConditionCheck {
    CompareOp op = CompareOp::Equal;
    QString opToken; // as written
    NodePtr left;
    NodePtr right; // none for an interval
    double lo = 0;
    double hi = 0;
    QString loText;
    QString hiText;
    // How failure lines write the check and its left side, made once when compiled.
    QString written;
    QString leftWritten;
};

// A compiled condition: one check, or several for a chain "a <= b <= c", each
// comparing neighbouring expressions.
struct Condition {
    QString text;
    bool yearForm = false;
    std::vector<ConditionCheck> checks;
};
