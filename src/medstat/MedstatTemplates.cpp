#include "MedstatTemplates.h"

#include "CodePages.h"
#include "DbfError.h"
#include "DbfField.h"
#include "DbfTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace MedstatTemplates {

QStringList reportFields() {
    QStringList f{QStringLiteral("A1;C;2;0"), QStringLiteral("A2;C;10;0"),
                  QStringLiteral("A4;C;7;0"), QStringLiteral("A5;C;6;0"),
                  QStringLiteral("A6;C;6;0")};
    for (int n = 1; n <= 50; ++n)
        f.append(QStringLiteral("A8%1;N;12;2").arg(n));
    return f;
}

namespace {

bool missing(const QString& folder, const QString& name) {
    return QDir(folder)
        .entryList(QStringList{name}, QDir::Files, QDir::Name | QDir::IgnoreCase)
        .isEmpty();
}

void fill(const QString& path, const QStringList& fields, const QStringList& records,
          DbfText text) {
    DbfTable t = DbfTable::create(path, ParseFieldList(fields));
    for (const QString& r : records) {
        const QStringList parts = r.split(u'|');
        t.append();
        for (int i = 0; i < parts.size() && i < t.fieldCount(); ++i) {
            if (text == DbfText::Raw)
                t.writeRaw(i, EncodeText(CodePage::Win1251, parts[i])); // read untranslated
            else
                t.setText(i, parts[i]);
        }
    }
    t.save();
}

} // namespace

void create(const QString& folder, const QStringList& conditions, const QStringList& kinds) {
    QDir().mkpath(folder);
    const QDir dir(folder);
    if (missing(folder, QStringLiteral("MEDCTAT.DBF")))
        fill(dir.filePath(QStringLiteral("MEDCTAT.DBF")), reportFields(), {}, DbfText::Translated);
    if (missing(folder, QStringLiteral("POKAZ.DBF")))
        fill(dir.filePath(QStringLiteral("POKAZ.DBF")),
             {QStringLiteral("A1;C;8;0"), QStringLiteral("A2;C;250;0")}, conditions,
             DbfText::Translated);
    if (missing(folder, QStringLiteral("USLOV.DBF")))
        fill(dir.filePath(QStringLiteral("USLOV.DBF")),
             {QStringLiteral("NF;C;3;0"), QStringLiteral("VR;C;25;0"), QStringLiteral("US1;C;8;0"),
              QStringLiteral("US2;C;8;0")},
             kinds, DbfText::Raw);
}

void createOnFirstStart(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        return;
    try {
        create(folder, demoConditions(), demoKinds());
    } catch (const DbfError&) {
        // Only the report needs them; the program works without.
    }
}

QStringList demoConditions() {
    // Form 30 "Кадры и посещения", table 1002 "Посещения по месяцам" written as one
    // record: column 1 is all visits, columns 2 … 4 its parts.
    return {QStringLiteral("01000001|  030,1002,1,1>=030,1002,1,2+030,1002,1,3+030,1002,1,4*"),
            QStringLiteral("01000002|  030,1002,1,2X'100'/030,1002,1,1;0;100*"),
            QStringLiteral("02000001|  030,1002,1,1:4>='0'*")};
}

QStringList demoKinds() {
    return {QStringLiteral("030|Внутритабличный|01000001|01999999"),
            QStringLiteral("030|Неотрицательность|02000001|02999999")};
}

} // namespace MedstatTemplates
