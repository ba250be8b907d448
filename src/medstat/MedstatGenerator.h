#pragma once

#include "MedstatParams.h"
#include "MedstatWriter.h"

#include <QStringList>

#include <functional>

class Prompter;
class TdmMSSQL;

// A file of the folder by its name, letters of any case; empty when absent.
QString FindMedstatFile(const QString& folder, const QString& name);

// The identifier (SBR.NAMEID) of a collection, blanks removed; empty when it has none.
QString CollectionIdentifier(TdmMSSQL& dm, int collection);

// Writes the report file for one object and year from the tables of a collection.
class MedstatGenerator {
public:
    MedstatGenerator(TdmMSSQL& dm, Prompter& prompter, const QString& folder);

    // The dialog, shown after the file header was prepared; true for OK.
    using Dialog = std::function<bool(MedstatParams&)>;
    // False when the run stopped early or wrote nothing (after its messages).
    bool run(int collection, const QString& collectionId, MedstatParams& params,
             const Dialog& dialog);

    // Lines about values left out, for the protocol window.
    const QStringList& protocol() const { return m_protocol; }
    int records() const { return m_records; }

private:
    QList<MedstatTable> readTables(int collection);
    bool prepareHeader(const QString& path);
    // The table's workbook; false (after a message) when it is empty or unreadable.
    bool loadWorkbook(const MedstatTable& table, class Workbook& book);

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    QString m_folder;
    QStringList m_protocol;
    int m_records = 0;
};
