#pragma once

#include <QString>

#include <memory>

class IdentModel;
class ImportSession;
class InstanceSheets;
class Prompter;
class Workbook;

// "Открыть внешний файл": the entry of the file-type list the user picks decides what
// happens. A saved table (.vts, or a workbook another program keeps) replaces the
// workbook; another program's workbook becomes a new table; a saved sheet is merged into
// the matching instance sheet; a text or dBase file opens an import session for the
// import window. The table keeps its workbook whenever the file cannot be read.
class ExternalFileOpener {
public:
    enum class Result { Nothing, Replaced, Merged, ImportWindow };
    // In the order of the file-type list.
    enum class FileType { Table, TableBook, ForeignBook, Text, Dbf, Sheet, SheetBook };
    struct Choice {
        QString path; // empty when the dialog was cancelled
        FileType type = FileType::Table;
    };

    // `sheets` adds the instance sheet a merged sheet may need; without it a sheet whose
    // object no instance sheet carries is not merged.
    ExternalFileOpener(IdentModel& table, Prompter& prompter, InstanceSheets* sheets = nullptr);

    static QString caption() { return QStringLiteral("Открыть внешний файл-таблицу"); }
    static QString filter();
    // What a file is taken for when the dialog does not say: by its extension.
    static FileType typeOf(const QString& path);
    static bool isSheetMerge(FileType type) {
        return type == FileType::Sheet || type == FileType::SheetBook;
    }

    // Asks for the file and acts on it; for ImportWindow the session is ready in session().
    Result run(const QString& folder = {});
    Choice chooseFile(const QString& folder = {});
    Result open(const QString& path, FileType type);
    Result openPath(const QString& path) { return open(path, typeOf(path)); }
    std::unique_ptr<ImportSession>& session() { return m_session; }

    // Asked before a replacement destroys a table that holds anything.
    static QString replaceQuestion();

private:
    Result replaceTable(const QString& path);
    Result buildFromForeign(const QString& path);
    Result mergeSheet(const QString& path);
    Result importWindow(const QString& path);
    bool readFile(const QString& path, Workbook& file);
    bool askCount(const QString& label, int* value);
    bool confirmReplace();

    IdentModel& m_table;
    Prompter& m_prompter;
    InstanceSheets* m_sheets;
    std::unique_ptr<ImportSession> m_session;
};
