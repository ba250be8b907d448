#include "ObjectResolver.h"

#include "DbError.h"
#include "MedstatParams.h"
#include "Prompter.h"
#include "TdmMSSQL.h"

#include <QStringList>

#include <cmath>
#include <optional>

namespace {
// A choice the user keeps escaping is shown again; a prompter that can never choose
// (no screen) must not keep the run forever.
constexpr int kMaxChoiceRounds = 100;
} // namespace

bool ObjectResolver::resolve(const QString& text, MedstatParams& params) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QLatin1String("0")) {
        params.objectType = 0;
        return true;
    }
    bool ok = false;
    const double code = std::fabs(t.toDouble(&ok));
    if (!ok) {
        m_prompter.error(QStringLiteral("Код объекта должен быть числовым"));
        return false;
    }
    struct Found {
        int type;
        QString name;
    };
    QList<Found> agr;
    std::optional<QString> elm;
    DbStatement& qa = m_dm.dbMain.statement(QStringLiteral("quFindAgr"));
    DbStatement& qe = m_dm.dbMain.statement(QStringLiteral("quFindElm"));
    try {
        qa.setSql(QStringList{QStringLiteral("SELECT KodFolder, NUMAGR, NameFolder FROM AGR"),
                              QStringLiteral("WHERE KodFOLDER = :KODFOLDER")});
        qa.setParam(QStringLiteral("KODFOLDER"), code);
        qa.open();
        for (qa.first(); !qa.eof(); qa.next())
            agr.append({qa.value(QStringLiteral("NUMAGR")).toInt(),
                        qa.value(QStringLiteral("NAMEFOLDER")).toString()});
        qa.close();
        qe.setSql(QStringList{QStringLiteral("SELECT KodFolder, NameFolder FROM ELM"),
                              QStringLiteral("WHERE KodFOLDER = :KODFOLDER")});
        qe.setParam(QStringLiteral("KODFOLDER"), code);
        qe.open();
        if (!qe.isEmpty())
            elm = qe.value(QStringLiteral("NAMEFOLDER")).toString();
        qe.close();
    } catch (const DbError& e) {
        qa.close();
        qe.close();
        m_prompter.error(QStringLiteral("Ошибка при поиске объекта в справочниках\r\n") +
                         e.message());
        return false;
    }
    if (agr.isEmpty() && !elm) {
        m_prompter.error(QStringLiteral("Код не найден в справочнике"));
        return false;
    }
    if (agr.size() == 1 && !elm) {
        params.objectType = agr[0].type;
        params.objectName = agr[0].name;
        return true;
    }
    if (agr.isEmpty()) {
        params.objectType = 99;
        params.objectName = *elm;
        return true;
    }
    QStringList items;
    for (const Found& f : agr)
        items.append(f.name);
    if (elm)
        items.append(*elm);
    for (int round = 0; round < kMaxChoiceRounds; ++round) {
        const int i = m_prompter.choose(QString(), items, 0);
        if (i < 0 || i >= items.size())
            continue;
        if (elm && i == items.size() - 1) {
            params.objectType = 99;
            params.objectName = *elm;
        } else {
            params.objectType = agr[i].type;
            params.objectName = agr[i].name;
        }
        return true;
    }
    return false;
}

MedstatFocus AcceptMedstatDialog(const MedstatDialogFields& f, MedstatParams& params,
                                 ObjectResolver& resolver, Prompter& prompter) {
    QString out, error;
    if (!MedstatCodes::form(f.kod, out, error)) {
        prompter.plain(error);
        return MedstatFocus::Kod;
    }
    params.form = out;
    if (!MedstatCodes::cut(f.raz, out, error)) {
        prompter.plain(error);
        return MedstatFocus::Raz;
    }
    params.cut = out;
    if (f.ob.isEmpty()) {
        prompter.plain(QStringLiteral("Не задан код объекта!"));
        return MedstatFocus::Ob;
    }
    params.object = f.ob;
    if (!resolver.resolve(f.ob, params))
        return MedstatFocus::Ob;
    if (!MedstatCodes::year(f.god, out, error)) {
        prompter.plain(error);
        return MedstatFocus::God;
    }
    params.year = out;
    params.fileObject = f.file;
    return MedstatFocus::None;
}
