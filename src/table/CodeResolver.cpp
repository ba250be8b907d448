#include "CodeResolver.h"

#include "DbStatement.h"
#include "Helpers.h"
#include "Prompter.h"
#include "TableLayout.h"
#include "TdmMSSQL.h"

#include <QStringList>

#include <cmath>
#include <vector>

namespace {

const QString kNotFound = QStringLiteral("Код не найден в справочнике");

bool isCleared(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() || t == QLatin1String("0");
}

} // namespace

CodeResolver::CodeResolver(TdmMSSQL& dm, Prompter& prompter) : m_dm(dm), m_prompter(prompter) {}

IndicatorEntry CodeResolver::ResolveIndicatorEntry(const QString& typed) {
    IndicatorEntry result;
    if (isCleared(typed)) {
        result.ok = true;
        return result;
    }
    const QString text = typed.trimmed();
    if (text.startsWith(u'-')) {
        bool ok = false;
        const qlonglong n = text.mid(1).trimmed().toLongLong(&ok);
        if (!ok || n <= 0 || n > 2147483647LL) {
            m_prompter.plain(QStringLiteral("Введено не число или слишком большое число"));
            return result;
        }
        DbStatement& q = m_dm.query(QStringLiteral("quFindPok"));
        q.setParam(QStringLiteral("KODELMT"), int(n));
        q.open();
        const bool found = !q.isEmpty();
        if (found) {
            result.name = q.value(QStringLiteral("NAMEFOLDER")).toString();
            result.kodAlt = q.value(QStringLiteral("KODALT")).toString();
        }
        q.close();
        if (!found) {
            m_prompter.plain(kNotFound);
            return result;
        }
        result.code = int(n);
        result.ok = true;
        return result;
    }
    DbStatement& q = m_dm.query(QStringLiteral("quFindPokAlt"));
    q.setParam(QStringLiteral("KODALT"), typed.left(20));
    q.open();
    const bool found = !q.isEmpty();
    if (found) {
        result.code = q.value(QStringLiteral("KODELMT")).toInt();
        result.name = q.value(QStringLiteral("NAMEFOLDER")).toString();
        result.kodAlt = typed.left(20);
    }
    q.close();
    if (!found) {
        m_prompter.plain(kNotFound);
        return result;
    }
    result.ok = true;
    return result;
}

QString CodeResolver::displayedCode(int internalCode) {
    DbStatement& q = m_dm.query(QStringLiteral("quFindPok"));
    q.setParam(QStringLiteral("KODELMT"), internalCode);
    q.open();
    QString shown;
    if (!q.isEmpty()) {
        const QString alt = q.value(QStringLiteral("KODALT")).toString();
        shown = IsBlank(alt) ? QString::number(-qlonglong(internalCode)) : alt;
    }
    q.close();
    return shown;
}

ObjectEntry CodeResolver::ResolveObjectEntry(const QString& typed) {
    ObjectEntry result;
    if (isCleared(typed)) {
        result.ok = true;
        return result;
    }
    bool ok = false;
    const double number = std::fabs(typed.trimmed().replace(u',', u'.').toDouble(&ok));
    if (!ok) {
        m_prompter.plain(QStringLiteral("Код объекта должен быть числовым"));
        return result;
    }
    // Directory keys are whole numbers: a fraction or a huge number names no entry.
    if (number != std::trunc(number) || number >= 2147483648.0) {
        m_prompter.plain(kNotFound);
        return result;
    }
    const int code = int(number);

    struct Found {
        int numAgr;
        QString name;
    };
    std::vector<Found> aggregations;
    DbStatement& agr = m_dm.query(QStringLiteral("quFindAgr"));
    agr.setParam(QStringLiteral("KODFOLDER"), double(code));
    agr.open();
    for (agr.first(); !agr.eof(); agr.next())
        aggregations.push_back({agr.value(QStringLiteral("NUMAGR")).toInt(),
                                agr.value(QStringLiteral("NAMEFOLDER")).toString()});
    agr.close();

    DbStatement& elm = m_dm.query(QStringLiteral("quFindElm"));
    elm.setParam(QStringLiteral("KODFOLDER"), code);
    elm.open();
    const bool inObjects = !elm.isEmpty();
    const QString objectName =
        inObjects ? elm.value(QStringLiteral("NAMEFOLDER")).toString() : QString();
    elm.close();

    if (aggregations.empty() && !inObjects) {
        m_prompter.plain(kNotFound);
        return result;
    }
    result.code = code;
    if (aggregations.size() == 1 && !inObjects) {
        result.type = aggregations.front().numAgr;
        result.name = aggregations.front().name;
    } else if (aggregations.empty()) {
        result.type = kObjectsDirectoryType;
        result.name = objectName;
    } else {
        QStringList items;
        for (const Found& f : aggregations)
            items << aggregationName(f.numAgr);
        if (inObjects)
            items << objectsDirectoryName();
        int chosen = -1;
        // The choice cannot be dismissed: the code is ambiguous until a directory is named.
        for (int attempt = 0; chosen < 0 && attempt < kChoiceAttempts; ++attempt) {
            chosen = m_prompter.choose({}, items, 0);
            if (chosen >= items.size())
                chosen = -1;
        }
        if (chosen < 0)
            return result;
        if (inObjects && chosen == items.size() - 1) {
            result.type = kObjectsDirectoryType;
            result.name = objectName;
        } else {
            result.type = aggregations[size_t(chosen)].numAgr;
            result.name = aggregations[size_t(chosen)].name;
        }
    }
    result.ok = true;
    return result;
}

QString CodeResolver::aggregationName(int numAgr) {
    DbStatement& q = m_dm.query(QStringLiteral("quSpisAgr"));
    q.open();
    QString name;
    if (q.locate(QStringLiteral("NUMAGR"), numAgr))
        name = q.value(QStringLiteral("NAMEAGR")).toString().trimmed();
    q.close();
    return name;
}

QString CodeResolver::objectsDirectoryName() {
    DbStatement& q = m_dm.query(QStringLiteral("quNast"));
    q.open();
    QString name = q.isEmpty() ? QString() : q.value(QStringLiteral("NAMEELM")).toString();
    q.close();
    return IsBlank(name) ? QStringLiteral("Подчиненные объекты") : name.trimmed();
}
