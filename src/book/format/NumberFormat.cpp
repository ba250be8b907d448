#include "NumberFormat.h"

#include "BookLocale.h"
#include "DateSerial.h"

#include <cmath>

namespace {

const char* const kMonthShort[] = {"янв", "фев", "мар", "апр", "май", "июн",
                                   "июл", "авг", "сен", "окт", "ноя", "дек"};
const char* const kMonthLong[] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                  "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
const char* const kDayShort[] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};
const char* const kDayLong[] = {"понедельник", "вторник", "среда",      "четверг",
                                "пятница",     "суббота", "воскресенье"};

bool isDateLetter(QChar c) {
    const QChar l = c.toLower();
    return l == 'd' || l == 'm' || l == 'y' || l == 'h' || l == 's';
}

NumberFormat::Section parseSection(const QString& src) {
    NumberFormat::Section s;
    using K = NumberFormat::TokenKind;
    if (src.trimmed().compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 ||
        src.trimmed().isEmpty()) {
        s.general = true;
        return s;
    }
    bool afterPoint = false;
    bool seenDigit = false;
    bool afterSlash = false;
    // Blanks between integer placeholders ("# ##0"): grouping, unless the section turns
    // out to be a fraction ("# ??/??"), where the blank is the space before the numerator.
    std::vector<size_t> blankGroups;
    auto isPlaceholder = [](QChar c) { return c == '0' || c == '#' || c == '?'; };
    const qsizetype n = src.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = src[i];
        if (c == '"') {
            const qsizetype end = src.indexOf('"', i + 1);
            const qsizetype stop = end < 0 ? n : end;
            s.tokens.push_back({K::Literal, src.mid(i + 1, stop - i - 1)});
            i = stop;
        } else if (c == '\\' && i + 1 < n) {
            s.tokens.push_back({K::Literal, QString(src[++i])});
        } else if (c == '_' && i + 1 < n) {
            ++i;
            s.tokens.push_back({K::Literal, QStringLiteral(" ")});
        } else if (c == '*' && i + 1 < n) {
            ++i;
        } else if (c == '[') {
            const qsizetype end = src.indexOf(']', i);
            i = end < 0 ? n : end;
        } else if (c == '0' || c == '#' || c == '?') {
            seenDigit = true;
            s.tokens.push_back({K::Digit, QString(c)});
            if (afterSlash)
                ++s.fracDenDigits;
            else if (afterPoint)
                ++s.decimals;
            else if (c == '0')
                ++s.intZeros;
        } else if (c == '.' && !s.date) {
            afterPoint = true;
            s.tokens.push_back({K::Point, QString(c)});
        } else if (c == ',') {
            if (seenDigit && !afterPoint)
                s.thousands = true;
        } else if ((c == ' ' || c == QChar(0xA0)) && seenDigit && !afterPoint && i + 1 < n &&
                   isPlaceholder(src[i + 1])) {
            blankGroups.push_back(s.tokens.size());
            s.tokens.push_back({K::Literal, QString(c)});
        } else if (c == '%') {
            ++s.percent;
            s.tokens.push_back({K::Percent, QString(c)});
        } else if (c == '@') {
            s.text = true;
            s.tokens.push_back({K::Text, QString(c)});
        } else if (c == '/' && seenDigit && !s.date) {
            s.fraction = true;
            afterSlash = true;
            s.tokens.push_back({K::Fraction, QString(c)});
        } else if ((c == 'E' || c == 'e') && seenDigit && i + 1 < n &&
                   (src[i + 1] == '+' || src[i + 1] == '-')) {
            s.exponent = true;
            s.tokens.push_back({K::Exponent, src.mid(i, 2)});
            ++i;
            while (i + 1 < n && src[i + 1] == '0')
                ++i;
        } else if (isDateLetter(c)) {
            qsizetype j = i;
            while (j < n && src[j].toLower() == c.toLower())
                ++j;
            s.tokens.push_back({K::Date, src.mid(i, j - i).toLower()});
            s.date = true;
            i = j - 1;
        } else if ((c == 'A' || c == 'a') &&
                   src.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            s.tokens.push_back({K::Date, QStringLiteral("am/pm")});
            s.date = true;
            i += 4;
        } else {
            s.tokens.push_back({K::Literal, QString(c)});
        }
    }
    if (!blankGroups.empty() && !s.fraction && !s.date) {
        s.groupSeparator = s.tokens[blankGroups.front()].text.front();
        for (auto it = blankGroups.rbegin(); it != blankGroups.rend(); ++it)
            s.tokens.erase(s.tokens.begin() + qsizetype(*it));
        s.thousands = true;
    }
    if (s.fraction) {
        // The digits before the slash that follow the integer part belong to the numerator.
        int count = 0;
        bool inNum = false;
        for (auto it = s.tokens.rbegin(); it != s.tokens.rend(); ++it) {
            if (it->kind == K::Fraction) {
                inNum = true;
                continue;
            }
            if (!inNum)
                continue;
            if (it->kind == K::Digit)
                ++count;
            else
                break;
        }
        s.fracNumDigits = count;
    }
    // "m" right after an hour code or before a seconds code means minutes.
    for (size_t i = 0; i < s.tokens.size(); ++i) {
        auto& t = s.tokens[i];
        if (t.kind != K::Date || (t.text != "m" && t.text != "mm"))
            continue;
        bool minutes = false;
        for (size_t j = i; j-- > 0;)
            if (s.tokens[j].kind == K::Date) {
                minutes = s.tokens[j].text.startsWith('h');
                break;
            }
        for (size_t j = i + 1; j < s.tokens.size() && !minutes; ++j)
            if (s.tokens[j].kind == K::Date) {
                minutes = s.tokens[j].text.startsWith('s');
                break;
            }
        if (minutes)
            t.text = t.text == "m" ? QStringLiteral("n") : QStringLiteral("nn");
    }
    return s;
}

QString groupThousands(const QString& digits, QChar sep) {
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += sep;
        out += digits[i];
    }
    return out;
}

} // namespace

NumberFormat::NumberFormat(const QString& pattern) : m_pattern(pattern) {
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == '"')
            quoted = !quoted;
        if (c == '\\' && i + 1 < pattern.size() && !quoted) {
            current += c;
            current += pattern[++i];
            continue;
        }
        if (c == ';' && !quoted) {
            m_sections.push_back(parseSection(current));
            current.clear();
            continue;
        }
        current += c;
    }
    m_sections.push_back(parseSection(current));
    if (m_sections.size() > 4)
        m_sections.resize(4);
}

bool NumberFormat::isGeneral() const {
    return m_sections.front().general;
}
bool NumberFormat::isDate() const {
    return m_sections.front().date;
}
bool NumberFormat::isText() const {
    return m_sections.front().text && !m_sections.front().date;
}

int NumberFormat::decimals() const {
    return m_sections.front().decimals;
}

QString NumberFormat::general(double value, int digits) {
    QString s = plain(value, digits);
    if (BookLocale::decimalSeparator() != '.')
        s.replace('.', BookLocale::decimalSeparator());
    return s;
}

QString NumberFormat::plain(double value, int digits) {
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    if (value == 0)
        return QStringLiteral("0");
    QString s;
    const double a = std::fabs(value);
    if (a >= 1e-5 && a < 1e15) {
        s = QString::number(value, 'f', std::max(0, digits - 1 - int(std::floor(std::log10(a)))));
        if (s.contains('.')) {
            while (s.endsWith('0'))
                s.chop(1);
            if (s.endsWith('.'))
                s.chop(1);
        }
        if (s == "-0")
            s = "0";
    } else {
        s = scientificPlain(value, digits);
    }
    return s;
}

QString NumberFormat::scientific(double value, int digits) {
    QString s = scientificPlain(value, digits);
    if (BookLocale::decimalSeparator() != '.')
        s.replace('.', BookLocale::decimalSeparator());
    return s;
}

QString NumberFormat::scientificPlain(double value, int digits) {
    QString s = QString::number(value, 'E', std::max(0, digits - 1));
    const qsizetype e = s.indexOf('E');
    QString mant = s.left(e);
    const QString exp = s.mid(e + 1);
    if (mant.contains('.')) {
        while (mant.endsWith('0'))
            mant.chop(1);
        if (mant.endsWith('.'))
            mant.chop(1);
    }
    const int ev = exp.toInt();
    return mant + 'E' + (ev < 0 ? '-' : '+') + QString::number(std::abs(ev)).rightJustified(2, '0');
}

QString NumberFormat::generalToFit(double value, const std::function<bool(const QString&)>& fits) {
    const QString full = general(value);
    if (!std::isfinite(value) || fits(full))
        return full;
    // As spreadsheet programs do: fewer decimals first, then the exponent form.
    const double a = std::fabs(value);
    if (a >= 1e-5 && a < 1e15) {
        const int intDigits = a < 1 ? 1 : int(std::floor(std::log10(a))) + 1;
        for (int digits = 14; digits >= intDigits; --digits) {
            const QString s = general(value, digits);
            if (s != full && fits(s))
                return s;
        }
    }
    for (int digits = 15; digits >= 1; --digits) {
        const QString s = scientific(value, digits);
        if (fits(s))
            return s;
    }
    return {};
}

QString NumberFormat::formatNumber(double value) const {
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    const Section* s = &m_sections[0];
    bool addMinus = value < 0;
    if (value < 0 && m_sections.size() >= 2 && !m_sections[1].text) {
        s = &m_sections[1];
        addMinus = false;
        value = -value;
    } else if (value == 0 && m_sections.size() >= 3 && !m_sections[2].text) {
        s = &m_sections[2];
    }
    if (s->general) {
        QString g = general(std::fabs(value));
        return addMinus ? '-' + g : g;
    }
    if (s->text) {
        // A number under a text format shows as typed, in General notation.
        QString g = general(std::fabs(value));
        if (addMinus)
            g.prepend('-');
        QString out;
        for (const Token& t : s->tokens)
            out += t.kind == TokenKind::Text      ? g
                   : t.kind == TokenKind::Literal ? t.text
                                                  : QString();
        return out;
    }
    if (s->date)
        return formatDate(*s, value);
    if (s->fraction)
        return formatFraction(*s, value, addMinus);
    return formatWith(*s, value, addMinus);
}

QString NumberFormat::formatText(const QString& text) const {
    const Section* s = nullptr;
    if (m_sections.size() == 4)
        s = &m_sections[3];
    else if (m_sections[0].text)
        s = &m_sections[0];
    if (!s)
        return text;
    QString out;
    for (const Token& t : s->tokens) {
        if (t.kind == TokenKind::Text)
            out += text;
        else if (t.kind == TokenKind::Literal)
            out += t.text;
    }
    return out;
}

QString NumberFormat::formatWith(const Section& s, double value, bool addMinus) const {
    double v = std::fabs(value);
    for (int i = 0; i < s.percent; ++i)
        v *= 100;
    int exponent = 0;
    if (s.exponent && v != 0) {
        exponent = int(std::floor(std::log10(v)));
        v /= std::pow(10.0, exponent);
    }
    // Halves round away from zero as written in decimal (2.675 → 2.68), although the
    // binary value lies just below.
    if (s.decimals <= 15 && v * std::pow(10.0, s.decimals) < 1e15) {
        const double p = std::pow(10.0, s.decimals);
        const double scaled = v * p;
        double whole = std::floor(scaled);
        if (scaled - whole >= 0.5 - 1e-9 * std::max(1.0, scaled))
            whole += 1;
        v = whole / p;
    }
    QString fixed = QString::number(v, 'f', s.decimals);
    if (s.exponent && fixed.startsWith(QLatin1String("10"))) {
        v /= 10;
        ++exponent;
        fixed = QString::number(v, 'f', s.decimals);
    }
    const qsizetype point = fixed.indexOf('.');
    QString intPart = point < 0 ? fixed : fixed.left(point);
    const QString fracPart = point < 0 ? QString() : fixed.mid(point + 1);
    if (intPart == "0")
        intPart.clear();
    if (intPart.size() < s.intZeros)
        intPart = QString(s.intZeros - intPart.size(), '0') + intPart;
    if (s.thousands)
        intPart =
            groupThousands(intPart, s.groupSeparator.isNull() ? BookLocale::thousandsSeparator()
                                                              : s.groupSeparator);
    // A value that rounds to zero shows no minus sign.
    bool allZero = true;
    for (QChar c : fixed)
        if (c.isDigit() && c != '0')
            allZero = false;
    QString out;
    if (addMinus && !allZero)
        out += '-';
    bool intDone = false;
    bool afterPoint = false;
    int fracIndex = 0;
    for (const Token& t : s.tokens) {
        switch (t.kind) {
        case TokenKind::Literal:
            out += t.text;
            break;
        case TokenKind::Digit:
            if (!afterPoint) {
                if (!intDone) {
                    out += intPart;
                    intDone = true;
                }
            } else if (fracIndex < fracPart.size()) {
                const QChar d = fracPart[fracIndex];
                bool trailingZero = true;
                for (qsizetype k = fracIndex; k < fracPart.size(); ++k)
                    if (fracPart[k] != '0')
                        trailingZero = false;
                if (trailingZero && t.text == "#")
                    ;
                else if (trailingZero && t.text == "?")
                    out += ' ';
                else
                    out += d;
                ++fracIndex;
            }
            break;
        case TokenKind::Point:
            if (!intDone) {
                out += intPart;
                intDone = true;
            }
            afterPoint = true;
            out += BookLocale::decimalSeparator();
            break;
        case TokenKind::Percent:
            out += '%';
            break;
        case TokenKind::Exponent:
            out += 'E';
            out += exponent < 0 ? QStringLiteral("-")
                                : (t.text.endsWith('+') ? QStringLiteral("+") : QString());
            out += QString::number(std::abs(exponent)).rightJustified(2, '0');
            break;
        default:
            break;
        }
    }
    return out;
}

QString NumberFormat::formatFraction(const Section& s, double value, bool addMinus) const {
    double v = std::fabs(value);
    const int maxDen = int(std::pow(10.0, std::max(1, s.fracDenDigits))) - 1;
    // Whether the section has an integer part: digits before the numerator's digits.
    int digitCount = 0;
    for (const Token& t : s.tokens) {
        if (t.kind == TokenKind::Fraction)
            break;
        if (t.kind == TokenKind::Digit)
            ++digitCount;
    }
    const bool hasInt = digitCount > s.fracNumDigits;
    double whole = hasInt ? std::floor(v) : 0;
    double frac = v - whole;
    long bestNum = 0, bestDen = 1;
    double bestErr = frac;
    for (long den = 1; den <= maxDen; ++den) {
        const long num = std::lround(frac * double(den));
        const double err = std::fabs(frac - double(num) / double(den));
        if (err < bestErr - 1e-12) {
            bestErr = err;
            bestNum = num;
            bestDen = den;
        }
    }
    if (bestNum == bestDen) {
        whole += 1;
        bestNum = 0;
    }
    QString out;
    if (addMinus && (whole != 0 || bestNum != 0))
        out += '-';
    const int numWidth = std::max(1, s.fracNumDigits);
    const int denWidth = std::max(1, s.fracDenDigits);
    if (hasInt && (whole != 0 || bestNum == 0))
        out += QString::number(whole, 'f', 0);
    if (bestNum == 0) {
        if (!hasInt)
            out += '0';
        out += QString(numWidth + denWidth + 2, ' ');
        return out;
    }
    if (hasInt)
        out += ' ';
    out += QString::number(bestNum).rightJustified(numWidth, ' ');
    out += '/';
    out += QString::number(bestDen).leftJustified(denWidth, ' ');
    return out;
}

QString NumberFormat::formatDate(const Section& s, double value) const {
    // A time of day alone has no date part: day 0 of the system.
    const QDate d = (value >= 0 && value < 1) ? QDate(1900, 1, 1) : DateSerial::toDate(value);
    if (!d.isValid())
        return QString(8, '#');
    int h, mi, sec;
    DateSerial::timeOfDay(value, h, mi, sec);
    bool ampm = false;
    for (const Token& t : s.tokens)
        if (t.kind == TokenKind::Date && t.text == "am/pm")
            ampm = true;
    QString out;
    for (const Token& t : s.tokens) {
        if (t.kind == TokenKind::Literal) {
            out += t.text;
            continue;
        }
        if (t.kind != TokenKind::Date)
            continue;
        const QString& c = t.text;
        if (c == "d")
            out += QString::number(d.day());
        else if (c == "dd")
            out += QString::number(d.day()).rightJustified(2, '0');
        else if (c == "ddd")
            out += QString::fromUtf8(kDayShort[d.dayOfWeek() - 1]);
        else if (c.startsWith(QLatin1String("dddd")))
            out += QString::fromUtf8(kDayLong[d.dayOfWeek() - 1]);
        else if (c == "m")
            out += QString::number(d.month());
        else if (c == "mm")
            out += QString::number(d.month()).rightJustified(2, '0');
        else if (c == "mmm")
            out += QString::fromUtf8(kMonthShort[d.month() - 1]);
        else if (c == "mmmmm")
            out += QString::fromUtf8(kMonthLong[d.month() - 1]).left(1);
        else if (c.startsWith(QLatin1String("mmmm")))
            out += QString::fromUtf8(kMonthLong[d.month() - 1]);
        else if (c == "yy" || c == "y")
            out += QString::number(d.year() % 100).rightJustified(2, '0');
        else if (c.startsWith('y'))
            out += QString::number(d.year());
        else if (c.startsWith('h')) {
            int hh = ampm ? (h % 12 == 0 ? 12 : h % 12) : h;
            out += c.size() >= 2 ? QString::number(hh).rightJustified(2, '0') : QString::number(hh);
        } else if (c == "n")
            out += QString::number(mi);
        else if (c == "nn")
            out += QString::number(mi).rightJustified(2, '0');
        else if (c.startsWith('s'))
            out +=
                c.size() >= 2 ? QString::number(sec).rightJustified(2, '0') : QString::number(sec);
        else if (c == "am/pm")
            out += h < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
    }
    return out;
}
