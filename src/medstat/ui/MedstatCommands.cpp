#include "MedstatCommands.h"

#include "AppContext.h"
#include "DbError.h"
#include "DbfError.h"
#include "DbfTable.h"
#include "MedstatGenerator.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "TfmForMedSt.h"
#include "TfmProtocol.h"
#include "TfmViewCtrl.h"
#include "TfmViewMedSt.h"

#include <QDateTime>

namespace MedstatCommands {

void sbFileMZClick(QWidget* parent, TdmMSSQL& dm, Prompter& prompter, int collection) {
    MedstatGenerator gen(dm, prompter, AppContext::medstatFolder());
    TfmForMedSt& dialog = fmForMedSt(dm, prompter, parent);
    const bool done =
        gen.run(collection, CollectionIdentifier(dm, collection), MedstatParams::current(),
                [&](MedstatParams& p) { return dialog.execute(p); });
    if (gen.protocol().isEmpty())
        return;
    ProtocolText text;
    text.start(
        QStringLiteral("Файл для Минздрава"),
        QStringLiteral("Значения, не записанные в файл MEDCTAT.DBF (%1):\r\n").arg(ProtocolDate()));
    for (const QString& line : gen.protocol())
        text.addLine(line);
    TfmProtocol window(prompter, parent);
    window.setProtocol(text);
    window.exec();
    (void)done;
}

void sbViewMZClick(QWidget* parent, Prompter& prompter) {
    const QString path =
        FindMedstatFile(AppContext::medstatFolder(), QStringLiteral("MEDCTAT.DBF"));
    if (path.isEmpty()) {
        prompter.plain(QStringLiteral("Файл \"MEDCTAT.DBF\" не найден!"));
        return;
    }
    try {
        DbfTable table = DbfTable::open(path);
        {
            TfmViewMedSt window(table, prompter, parent);
            window.exec();
        }
        if (table.dirty())
            table.save();
    } catch (const DbfError& e) {
        prompter.error(e.message());
    }
}

void sbCtrlMZClick(QWidget* parent, Prompter& prompter) {
    TfmViewCtrl window(AppContext::medstatFolder(), prompter, parent);
    if (window.load())
        window.exec();
}

} // namespace MedstatCommands
