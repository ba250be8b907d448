#pragma once

#include <QString>
#include <QStringList>

// The files of the MEDCTAT folder as the system is supplied with them: the empty report
// file and the two control files.
namespace MedstatTemplates {
QStringList reportFields(); // A1, A2, A4, A5, A6, A81 … A850
// Creates in the folder each of MEDCTAT.DBF, POKAZ.DBF and USLOV.DBF that is missing
// (throws DbfError). `conditions` are POKAZ records "id|text", `kinds` USLOV records
// "NF|VR|US1|US2".
void create(const QString& folder, const QStringList& conditions, const QStringList& kinds);
// At start-up: the files of a MEDCTAT folder that lacks them, with the demo control
// conditions; a folder that cannot be written is left alone.
void createOnFirstStart(const QString& folder);
// The demo control conditions over the demo collection.
QStringList demoConditions();
QStringList demoKinds();
} // namespace MedstatTemplates
