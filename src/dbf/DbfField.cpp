#include "DbfField.h"

#include "DbfError.h"

#include <QSet>

namespace {

[[noreturn]] void badList(const QString& why) {
    throw DbfError(QStringLiteral("Неверный список полей файла dBase: ") + why);
}

} // namespace

QList<DbfField> CheckFields(QList<DbfField> fields) {
    if (fields.isEmpty())
        badList(QStringLiteral("список пуст"));
    QSet<QString> names;
    int offset = 1;
    for (DbfField& f : fields) {
        const QString upper = f.name.toUpper();
        if (f.name.isEmpty() || f.name.size() > 10 || f.name.toLatin1().size() != f.name.size())
            badList(QStringLiteral("недопустимое имя поля \"%1\"").arg(f.name));
        if (names.contains(upper))
            badList(QStringLiteral("поле \"%1\" повторяется").arg(f.name));
        names.insert(upper);
        f.type = char(QChar(QLatin1Char(f.type)).toUpper().toLatin1());
        bool ok = false;
        switch (f.type) {
        case 'C':
            ok = f.length >= 1 && f.length <= 254 && f.decimals == 0;
            break;
        case 'N':
        case 'F':
            ok = f.length >= 1 && f.length <= 20 && f.decimals >= 0 &&
                 (f.decimals == 0 || f.decimals <= f.length - 2);
            break;
        case 'L':
            f.length = 1;
            ok = f.decimals == 0;
            break;
        case 'D':
            f.length = 8;
            ok = f.decimals == 0;
            break;
        default:
            ok = false;
        }
        if (!ok)
            badList(QStringLiteral("недопустимый тип или размер поля \"%1\"").arg(f.name));
        f.offset = offset;
        offset += f.length;
    }
    return fields;
}

QList<DbfField> ParseFieldList(const QStringList& list) {
    QList<DbfField> fields;
    for (const QString& entry : list) {
        const QStringList parts = entry.split(QLatin1Char(';'));
        bool okLength = false, okDecimals = false;
        if (parts.size() != 4 || parts[1].trimmed().size() != 1)
            badList(QStringLiteral("\"%1\"").arg(entry));
        DbfField f;
        f.name = parts[0].trimmed();
        f.type = parts[1].trimmed().at(0).toLatin1();
        f.length = parts[2].trimmed().toInt(&okLength);
        f.decimals = parts[3].trimmed().toInt(&okDecimals);
        if (!okLength || !okDecimals)
            badList(QStringLiteral("\"%1\"").arg(entry));
        fields << f;
    }
    return CheckFields(fields);
}

bool SameFieldNames(const QList<DbfField>& fields, const QStringList& expected) {
    if (fields.size() != expected.size())
        return false;
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(expected[i], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}
