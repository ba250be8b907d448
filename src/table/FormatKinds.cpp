#include "FormatKinds.h"

#include "format/BookLocale.h"
#include "model/Workbook.h"

#include <algorithm>
#include <cmath>

namespace {

const QString kCurrency = QStringLiteral("$#,##0.00_);($#,##0.00)");
const QString kFraction = QStringLiteral("# ??" "/??");

QString withRed(const QString& s, bool red) {
    return red ? s + QStringLiteral(";[Red]-") + s : s;
}

int decimalsOf(const QString& format) {
    const QString first = format.section(QLatin1Char(';'), 0, 0);
    const int dot = int(first.indexOf(QLatin1Char('.')));
    if (dot < 0)
        return 0;
    int n = 0;
    for (int i = dot + 1; i < first.size() && (first[i] == '0' || first[i] == '#'); ++i)
        ++n;
    return n;
}

} // namespace

QStringList FormatKinds::kindNames() {
    return {QStringLiteral("Общий"),         QStringLiteral("Числовой"),
            QStringLiteral("Фиксированный"), QStringLiteral("Денежный"),
            QStringLiteral("Процентный"),    QStringLiteral("Дробный"),
            QStringLiteral("Дата"),          QStringLiteral("Текст")};
}

QStringList FormatKinds::description(Kind kind) {
    switch (kind) {
    case General:
        return {QStringLiteral("Общий формат используется для отображения как текстовых,"),
                QStringLiteral("так и числовых значений произвольного типа")};
    case Number:
        return {QStringLiteral("Представление чисел")};
    case Fixed:
        return {QStringLiteral("Представление целых чисел фиксированного размера"),
                QStringLiteral("(с видимыми лидирующими нулями)")};
    case Currency:
        return {QStringLiteral("Представление чисел в денежном формате"),
                QStringLiteral("(с двумя знаками после запятой и обозначением \"р.\")")};
    case Percent:
        return {QStringLiteral("Представление чисел в виде процента:"),
                QStringLiteral("число умножается на 100 и ставится знак %")};
    case Fraction:
        return {QStringLiteral("Представление чисел в виде дроби:"),
                QStringLiteral("пример: число \"0.25\" будет иметь вид \"1/4\"")};
    case Date:
        return {QStringLiteral("Представление даты по образцу")};
    case Text:
        return {
            QStringLiteral("Представление содержимого ячейки в виде последовательности символов.")};
    }
    return {};
}

QStringList FormatKinds::dateSamples() {
    return {QStringLiteral("01.01.98"),  QStringLiteral("01.01.2001"),
            QStringLiteral("янв.98"),    QStringLiteral("янв.2001"),
            QStringLiteral("январь 98"), QStringLiteral("январь 2001"),
            QStringLiteral("12 янв.98"), QStringLiteral("12 янв.2001")};
}

QStringList FormatKinds::datePatterns() {
    return {QStringLiteral("dd/mm/yy"),  QStringLiteral("dd/mm/yyyy"), QStringLiteral("mmm/yy"),
            QStringLiteral("mmm/yyyy"),  QStringLiteral("mmmm/yy"),    QStringLiteral("mmmm/yyyy"),
            QStringLiteral("dd/mmm/yy"), QStringLiteral("dd/mmm/yyyy")};
}

FormatKinds::Choice FormatKinds::read(const QString& format) {
    Choice c;
    const QString f = format.trimmed();
    if (f.compare(QStringLiteral("General"), Qt::CaseInsensitive) == 0 || f.isEmpty())
        return c;
    if (f == QStringLiteral("@")) {
        c.kind = Text;
        return c;
    }
    if (f.contains(QLatin1String("yy"))) {
        c.kind = Date;
        c.dateSample = int(datePatterns().indexOf(f));
        return c;
    }
    if (f.contains(QLatin1Char('%'))) {
        c.kind = Percent;
        return c;
    }
    if (f == kFraction) {
        c.kind = Fraction;
        return c;
    }
    if (f == kCurrency) {
        c.kind = Currency;
        return c;
    }
    const QString first = f.section(QLatin1Char(';'), 0, 0);
    const bool onlyZeros = !first.isEmpty() && first.count(QLatin1Char('0')) == first.size();
    if (onlyZeros && first.size() > 1) {
        c.kind = Fixed;
        c.digits = int(first.size());
        return c;
    }
    c.kind = Number;
    c.digits = decimalsOf(f);
    c.redNegatives = f.contains(QLatin1String("[Red]"), Qt::CaseInsensitive);
    return c;
}

QString FormatKinds::build(const Choice& c) {
    switch (c.kind) {
    case General:
        return QStringLiteral("General");
    case Number: {
        const int n = std::clamp(c.digits, 0, 6);
        QString s = QStringLiteral("#");
        if (n > 0)
            s += QLatin1Char('.') + QString(n, QLatin1Char('0'));
        return withRed(s, c.redNegatives);
    }
    case Fixed:
        return c.digits <= 1 ? QStringLiteral("0")
                             : QString(std::min(c.digits, 30), QLatin1Char('0'));
    case Currency:
        return kCurrency;
    case Percent:
        return QStringLiteral("0%");
    case Fraction:
        return kFraction;
    case Date:
        return c.dateSample >= 0 && c.dateSample < datePatterns().size()
                   ? datePatterns().at(c.dateSample)
                   : QStringLiteral("General");
    case Text:
        return QStringLiteral("@");
    }
    return QStringLiteral("General");
}

QString FormatKinds::apply(const QString& original, const Choice& choice) {
    const Choice was = read(original);
    if (was.kind == choice.kind && was.digits == choice.digits &&
        was.redNegatives == choice.redNegatives && was.dateSample == choice.dateSample)
        return original;
    return build(choice);
}

// The position (from 1) of the decimal separator in a displayed number, 0 without one.
static int separatorPosition(const QString& shown) {
    return int(shown.indexOf(BookLocale::decimalSeparator())) + 1;
}

QString FormatKinds::moreDigits(const QString& shown, const QString& current) {
    const int p = separatorPosition(shown);
    QString s = QStringLiteral("#.0");
    if (!shown.isEmpty() && p > 0)
        s = QStringLiteral("#.") + QString(int(shown.size()) - p + 1, QLatin1Char('0'));
    return withRed(s, current.contains(QLatin1String("Red")));
}

QString FormatKinds::fewerDigits(const QString& shown, const QString& current) {
    const int p = separatorPosition(shown);
    QString s = QStringLiteral("#");
    if (!shown.isEmpty() && p > 0 && p != int(shown.size()) - 1)
        s = QStringLiteral("#.") +
            QString(std::max(0, int(shown.size()) - p - 1), QLatin1Char('0'));
    if (s == QStringLiteral("#."))
        s = QStringLiteral("#");
    return withRed(s, current.contains(QLatin1String("Red")));
}

bool FormatKinds::fontSizeValid(const QString& text, int* size) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < 8 || n > 40)
        return false;
    if (size)
        *size = n;
    return true;
}

bool FormatKinds::sizeUnits(const QString& text, bool height, int* units, QString* message) {
    bool ok = false;
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const double v = t.toDouble(&ok);
    if (!ok || v < 0) {
        *message = QStringLiteral("Ширина строки должна быть числом");
        return false;
    }
    const double u = height ? v / 25.4 * 1440 : v * 256;
    if (std::round(u) > 32767) {
        *message = height ? QStringLiteral("Высота строки не может быть больше 578 мм")
                          : QStringLiteral("Ширина колонки не может быть больше 127,99 символа");
        return false;
    }
    *units = int(std::round(u));
    return true;
}

QString FormatKinds::sizeShown(int units, bool height) {
    const double v = height ? units / 1440.0 * 25.4 : units / 256.0;
    return QString::number(std::round(v * 10) / 10, 'f', 1);
}

void FormatKinds::applyBorder(Workbook& book, int sheet, const CellRange& range,
                              const QString& button) {
    const BorderSide thin{BorderStyle::Thin, 0};
    const bool none = button == QLatin1String("SBno") || button.isEmpty();
    const bool out = button == QLatin1String("SBout") || button == QLatin1String("SBall");
    const bool inner = button == QLatin1String("SBin") || button == QLatin1String("SBall");
    book.beginUpdate();
    for (int r = range.row1; r <= range.row2; ++r)
        for (int c = range.col1; c <= range.col2; ++c) {
            const bool top = r == range.row1, bottom = r == range.row2;
            const bool left = c == range.col1, right = c == range.col2;
            book.setFormat(sheet, CellRange::cell(r, c), [&](CellFormat& f) {
                if (none) {
                    f.left = f.right = f.top = f.bottom = BorderSide();
                    return;
                }
                auto set = [&](BorderSide& side, bool edge, bool edgeButton) {
                    if ((edge && (out || edgeButton)) || (!edge && inner))
                        side = thin;
                };
                set(f.top, top, button == QLatin1String("SBtop"));
                set(f.bottom, bottom, button == QLatin1String("SBbtm"));
                set(f.left, left, button == QLatin1String("SBlft"));
                set(f.right, right, button == QLatin1String("SBrt"));
            });
        }
    book.endUpdate();
}
