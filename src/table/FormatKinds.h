#pragma once

#include <QString>
#include <QStringList>

class Workbook;
struct CellRange;

// The number-format kinds of the format window and the digit buttons: reading a cell's
// format into a kind and building the format back from one.
class FormatKinds {
public:
    enum Kind { General, Number, Fixed, Currency, Percent, Fraction, Date, Text };

    struct Choice {
        Kind kind = General;
        int digits = 0;
        bool redNegatives = false;
        int dateSample = -1; // index into dateSamples(), -1 = none
    };

    static QStringList kindNames();
    static QStringList description(Kind kind);
    static QStringList dateSamples();
    static QStringList datePatterns();

    // The kind a format belongs to. Decimals are counted after the "." of the first
    // section, so "0.00" reads as a number with two digits.
    static Choice read(const QString& format);
    // The format a choice stands for.
    static QString build(const Choice& choice);
    // What "Применить" writes: the original format when the choice is the one it read
    // (a format the kinds cannot spell exactly is kept as it was).
    static QString apply(const QString& original, const Choice& choice);

    // "Увеличить разрядность" / "Уменьшить разрядность" from the cell's displayed text.
    static QString moreDigits(const QString& shown, const QString& current);
    static QString fewerDigits(const QString& shown, const QString& current);

    // One font-size rule for the box and its message.
    static bool fontSizeValid(const QString& text, int* size);
    static QString fontSizeMessage() { return QStringLiteral("Размер шрифта - число от 8 до 40"); }

    // The size window: a row height in millimetres or a column width in characters, read
    // into twips or 1/256 character. Refused (with the message) when not a number or
    // beyond 32767 units.
    static bool sizeUnits(const QString& text, bool height, int* units, QString* message);
    static QString sizeShown(int units, bool height);

    // A button of the border panel over a range of one sheet: "SBno", "SBout", "SBall",
    // "SBin" (the lines between the cells), "SBtop", "SBbtm", "SBlft", "SBrt".
    static void applyBorder(Workbook& book, int sheet, const CellRange& range,
                            const QString& button);
};
