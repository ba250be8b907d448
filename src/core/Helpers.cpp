#include "Helpers.h"

#include "Prompter.h"

#include <cmath>

bool IsBlank(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 32)
            return false;
    return true;
}

QString LeftPart(const QString& text, int n) {
    return n <= 0 ? QString() : text.left(n);
}

QString RightPart(const QString& text, int n) {
    return n <= 0 ? QString() : text.right(n);
}

QString PadRight(const QString& text, int width) {
    return text.size() >= width ? text : text + Spaces(width - int(text.size()));
}

QString PadLeft(const QString& text, int width) {
    return text.size() >= width ? text : Spaces(width - int(text.size())) + text;
}

QString Spaces(int n) {
    return RepeatChar(u' ', n);
}

QString RepeatChar(QChar c, int n) {
    return n <= 0 ? QString() : QString(n, c);
}

int TruncToInt(double x) {
    return TruncToInt(x, AppPrompter());
}

int TruncToInt(double x, Prompter& prompter) {
    if (std::isnan(x) || std::fabs(x) >= 2147483648.0) {
        prompter.error(QStringLiteral("Слишком большое вещественное число"));
        return 0;
    }
    return static_cast<int>(std::trunc(x));
}

static qsizetype lastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
}

QString FileNamePart(const QString& path) {
    return path.mid(lastSeparator(path) + 1);
}

QString FolderPart(const QString& path) {
    const qsizetype at = lastSeparator(path);
    return at < 0 ? QString() : path.left(at);
}
