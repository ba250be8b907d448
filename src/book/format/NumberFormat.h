#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// A parsed number format ("General", "0.00", "#,##0", "mmm/yy", "# ??/??", sections
// separated by ";" …) that turns a cell value into its display text.
class NumberFormat {
public:
    explicit NumberFormat(const QString& pattern = QStringLiteral("General"));

    QString pattern() const { return m_pattern; }
    bool isGeneral() const;
    // True when the first section shows a date (day, month or year codes).
    bool isDate() const;
    bool isText() const;

    QString formatNumber(double value) const;
    QString formatText(const QString& text) const;

    // General notation with up to `digits` significant digits.
    static QString general(double value, int digits = 15);
    // General notation shortened until `fits` accepts it: fewer decimals, then the
    // exponent form; empty when nothing fits.
    static QString generalToFit(double value, const std::function<bool(const QString&)>& fits);
    static QString scientific(double value, int digits);
    // General notation with "." whatever the display uses: the form files keep.
    static QString plain(double value, int digits = 15);
    // Number of characters after the "." of the first section (0 without a ".").
    int decimals() const;

    enum class TokenKind {
        Literal,
        Digit,
        Point,
        Percent,
        Thousands,
        Date,
        Text,
        Fraction,
        Exponent
    };
    struct Token {
        TokenKind kind;
        QString text; // literal text, date code, or the placeholder character
    };
    struct Section {
        std::vector<Token> tokens;
        bool general = false;
        bool date = false;
        bool text = false;
        bool fraction = false;
        bool thousands = false;
        QChar groupSeparator; // written in the format ("# ##0"); null: the locale's
        bool exponent = false;
        int percent = 0;
        int intZeros = 0; // '0' placeholders before the point
        int decimals = 0; // placeholders after the point
        int fracNumDigits = 0;
        int fracDenDigits = 0;
    };

private:
    QString formatWith(const Section& s, double value, bool addMinus) const;
    QString formatDate(const Section& s, double value) const;
    QString formatFraction(const Section& s, double value, bool addMinus) const;
    static QString scientificPlain(double value, int digits);

    QString m_pattern;
    std::vector<Section> m_sections;
};
