#include "HtmlExport.h"

#include "DbError.h"
#include "DbStatement.h"
#include "HtmlPageSet.h"
#include "HtmlTableExport.h"
#include "Prompter.h"
#include "TdmMSSQL.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool writeSet(Prompter& prompter, const HtmlPageSet& set, const QString& folder) {
    QString error;
    if (set.write(folder, &error))
        return true;
    prompter.error(QStringLiteral("Не удалось сохранить HTML-страницы\r\n\r\n") + error);
    return false;
}

} // namespace

namespace HtmlExport {

QString withHtmExtension(const QString& chosen) {
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".HTM") : chosen;
}

QString tablePagePath(const QString& chosen, int kodElmt) {
    return QFileInfo(chosen).absoluteDir().filePath(HtmlTableExport::pageName(kodElmt));
}

QString collectionIndex(TdmMSSQL& dm, int kodFolder, const QString& caption, QList<int>* tables) {
    QString html = HtmlPageSet::head(caption);
    html += QStringLiteral("<h1 align=\"center\">%1</h1>\r\n").arg(HtmlPageSet::escape(caption));
    DbStatement& q = dm.dbTab.statement(QStringLiteral("quHtmlCAT"));
    q.setSql(QStringList{QStringLiteral("SELECT KODELMT, NAMEFOLDER FROM CAT"),
                         QStringLiteral("WHERE KODFOLDER = :KODFOLDER ORDER BY NPP")});
    q.setParam(QStringLiteral("KODFOLDER"), kodFolder);
    q.open();
    for (q.first(); !q.eof(); q.next()) {
        const int kod = q.value(0).toInt();
        if (tables)
            tables->append(kod);
        html += QStringLiteral("<h2><a href=\"%1\">%2</a></h2>\r\n")
                    .arg(HtmlTableExport::pageName(kod),
                         HtmlPageSet::escape(q.value(1).toString().trimmed()));
    }
    q.close();
    return html + HtmlPageSet::tail();
}

bool writeCollectionIndex(TdmMSSQL& dm, Prompter& prompter, int kodFolder, const QString& caption,
                          const QString& path) {
    QString html;
    try {
        html = collectionIndex(dm, kodFolder, caption);
    } catch (const DbError& e) {
        prompter.error(QStringLiteral("Не удалось прочитать список таблиц сборника\r\n\r\n") +
                       e.message());
        return false;
    }
    HtmlPageSet set;
    const QFileInfo file(path);
    set.add(file.fileName(), html);
    return writeSet(prompter, set, file.absolutePath());
}

bool writeTablePages(IdentModel& model, Prompter& prompter, int kodElmt, const QString& tableName,
                     const QString& path) {
    const QFileInfo file(path);
    const HtmlTableExport table(model, kodElmt, tableName);
    return writeSet(prompter, table.pages(file.fileName()), file.absolutePath());
}

} // namespace HtmlExport
