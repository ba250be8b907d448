#pragma once

#include "MedstatParams.h"

#include <QStringList>

class DbfTable;
class Workbook;

// A table of the collection as the report needs it.
struct MedstatTable {
    int kodElmt = 0;
    QString name;
    QString kodAlt;
};

// Appends the records of one table's workbook to the open report file: the values of
// the object's instance sheet by field position, one record per row or one for the
// table. What cannot be written is left out with a protocol line; the file never gets a
// value in a field it was not meant for.
class MedstatWriter {
public:
    MedstatWriter(DbfTable& file, const MedstatParams& params);

    // False when the workbook has no instance sheet of the object (nothing appended).
    bool write(Workbook& book, const MedstatTable& table);

    const QStringList& protocol() const { return m_protocol; }
    // Header cells whose number is too big for a column number ("таблица …, ячейка …").
    const QStringList& bigNumbers() const { return m_big; }
    int records() const { return m_records; }

private:
    void setValue(const MedstatTable& table, int row, int col, int position, double value);
    void startRecord(const MedstatTable& table, const QString& rowCode);

    DbfTable& m_file;
    MedstatParams m_params;
    int m_a[5] = {}; // A1, A2, A4, A5, A6
    QStringList m_protocol;
    QStringList m_big;
    int m_records = 0;
};
