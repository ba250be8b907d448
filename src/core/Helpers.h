#pragma once

#include <QList>
#include <QString>

class Prompter;

// Small text, number and path helpers shared by every window.
// Positions are 1-based where the callers count so; texts are Unicode.

bool IsBlank(const QString& text);
QString LeftPart(const QString& text, int n);
QString RightPart(const QString& text, int n);
QString PadRight(const QString& text, int width);
QString PadLeft(const QString& text, int width);
QString Spaces(int n);
QString RepeatChar(QChar c, int n);

// Truncates toward zero; a value outside the 32-bit range (or not a number)
// is refused with "Слишком большое вещественное число" and gives 0.
int TruncToInt(double x);
int TruncToInt(double x, Prompter& prompter);

// Both separators are accepted: stored paths may come from Windows workstations.
QString FileNamePart(const QString& path);
QString FolderPart(const QString& path);

template <typename T, typename V> int IndexInArray(const QList<T>& array, const V& value) {
    for (qsizetype i = 0; i < array.size(); ++i)
        if (array[i] == value)
            return int(i);
    return -1;
}
