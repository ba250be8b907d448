#pragma once

#include "CodePages.h"
#include "DbfHeader.h"
#include "DbfMemo.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QVariant>

#include <array>

// How text fields are exchanged: through the file's code page (866, or 1251 when
// the file's language driver says so), or byte for byte as Windows-1251 text.
enum class DbfText { Translated, Raw };

// A dBase table held in memory: the records are read whole when it is opened and
// written back whole by save(), through a temporary file renamed over the old
// one, so a failed write leaves the file as it was. Navigation runs over live
// records in physical order; deleted records are skipped and not counted.
class DbfTable {
public:
    // Throws DbfError for a missing, unreadable or damaged file.
    static DbfTable open(const QString& path, DbfText text = DbfText::Translated);
    // A new empty dBase IV table; nothing is on disk before save().
    static DbfTable create(const QString& path, const QList<DbfField>& fields);

    const QString& path() const { return m_path; }
    const DbfHeader& header() const { return m_h; }
    CodePage codePage() const { return m_page; }

    int fieldCount() const { return int(m_h.fields.size()); }
    const DbfField& field(int i) const { return m_h.fields[i]; }
    int fieldIndex(const QString& name) const;  // without regard to case; -1 when absent
    int fieldByName(const QString& name) const; // throws DbfError when absent
    QStringList fieldNames() const;

    qint64 recordCount() const { return m_live; }
    qint64 physicalCount() const { return m_h.recordCount; }
    bool isEmpty() const { return m_live == 0; }
    bool first();
    bool next();
    bool eof() const { return m_pos >= m_h.recordCount && !m_appending; }
    bool bof() const { return m_bof; }
    // The physical record the cursor is on (0-based); false for a deleted one.
    bool goToPhysical(qint64 record);
    qint64 physicalRecord() const { return m_pos; }
    bool isDeleted(qint64 record) const;

    // Fields of the current record (the edited values while a record is edited).
    QByteArray raw(int field) const;
    QString text(int field) const;  // right blanks removed
    double number(int field) const; // blank or not a number: 0
    qint64 integer(int field) const;
    QVariant value(int field) const;
    QVariant value(const QString& name) const { return value(fieldByName(name)); }

    // A new blank record at the end; a record being edited is posted first.
    void append();
    // Text longer than its field is cut to it and counted in cutTexts().
    void setText(int field, const QString& text);
    int cutTexts() const { return m_cutTexts; }
    void setNumber(int field, double number); // throws DbfError when it does not fit
    void setValue(int field, const QVariant& value);
    void setValue(const QString& name, const QVariant& v) { setValue(fieldByName(name), v); }
    // The bytes as given, cut or blank-padded to the field's width.
    void writeRaw(int field, const QByteArray& bytes);
    void post();
    void cancel();
    bool modified() const { return m_editing; }
    // Sets the deletion flag of the current record and moves to the next live one.
    void deleteCurrent();
    void deleteAll();
    void setTableFlags(unsigned char flags);

    bool dirty() const { return m_dirty; }
    // Posts and writes the table; throws DbfError (the file then is as it was).
    void save();

private:
    DbfTable() = default;
    const char* record() const;
    char* editRecord();
    qint64 nextLive(qint64 from) const;
    void countLive();
    QString decode(QByteArrayView bytes) const;

    QString m_path;
    DbfHeader m_h;
    QByteArray m_headerBytes;
    QByteArray m_data; // physical records
    CodePage m_page = CodePage::Cp866;
    const std::array<char16_t, 256>* m_decode = nullptr;
    DbfMemo m_memo;
    qint64 m_live = 0;
    int m_cutTexts = 0;
    qint64 m_pos = 0;
    bool m_bof = true;
    bool m_editing = false;
    bool m_appending = false;
    QByteArray m_edit;
    bool m_dirty = false;
};

// The connection string of the ODBC dBase driver for a folder, as it was written.
QString DbfConnectionString(const QString& folder);
