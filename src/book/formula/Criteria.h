#pragma once

#include <QRegularExpression>
#include <QString>

// A COUNTIF/SUMIF condition: ">5", "<>x", "=abc", "a*", or a plain value.
class Criteria {
public:
    // `isNumber` tells whether the condition came as a number rather than a text.
    Criteria(const QString& text, double number, bool isNumber);

    bool matchesNumber(double x) const;
    bool matchesText(const QString& s) const;
    bool matchesEmpty() const;

private:
    enum class Cmp { Eq, Ne, Lt, Le, Gt, Ge };
    Cmp m_cmp = Cmp::Eq;
    bool m_numeric = false;
    double m_number = 0;
    QString m_text;
    bool m_wildcard = false;
    QRegularExpression m_pattern;
};
