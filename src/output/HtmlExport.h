#pragma once

#include <QList>
#include <QString>

class IdentModel;
class Prompter;
class TdmMSSQL;

// The HTML commands: the collection index (collections window, "HTML") and the table's
// pages (table editor, "Сохранить как HTML-страницу"). Pages are UTF-8 XHTML with
// escaped texts and links relative to the folder they lie in; a failure is told and
// leaves the folder as it was.
namespace HtmlExport {

// The index page of a collection; the keys of its tables in `tables`. Throws DbError.
QString collectionIndex(TdmMSSQL& dm, int kodFolder, const QString& caption,
                        QList<int>* tables = nullptr);
// WriteCollectionIndex: the tables of collection `kodFolder` in NPP order.
bool writeCollectionIndex(TdmMSSQL& dm, Prompter& prompter, int kodFolder, const QString& caption,
                          const QString& path);
// WriteTablePages into the folder of `path`, the table's page named as `path` says.
bool writeTablePages(IdentModel& model, Prompter& prompter, int kodElmt, const QString& tableName,
                     const QString& path);
// The page of a table chosen through the save dialog: whatever name was chosen, the
// page is "T" + K + ".HTM" in that folder.
QString tablePagePath(const QString& chosen, int kodElmt);
// The file name with ".HTM" added when none is typed.
QString withHtmExtension(const QString& chosen);

} // namespace HtmlExport
