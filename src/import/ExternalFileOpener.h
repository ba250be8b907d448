#pragma once

#include <QString>

#include <memory>

class IdentModel;
class ImportSession;
class Prompter;

// "Открыть внешний файл": the file the user picks decides what happens. A saved table
// (.vts) replaces the workbook; another program's workbook (.xlsx, .ods, .xls) becomes
// a new table; a text or dBase file opens an import session for the import window.
// The table keeps its workbook whenever the file cannot be read.
class ExternalFileOpener {
public:
    enum class Result { Nothing, Replaced, ImportWindow };

    ExternalFileOpener(IdentModel& table, Prompter& prompter);

    static QString caption() { return QStringLiteral("Открыть внешний файл-таблицу"); }
    static QString filter();

    // Asks for the file and acts on it; for ImportWindow the session is ready in session().
    Result run(const QString& folder = {});
    Result openPath(const QString& path);
    std::unique_ptr<ImportSession>& session() { return m_session; }

private:
    Result replaceByNative(const QString& path);
    Result buildFromForeign(const QString& path);
    bool askCount(const QString& label, int* value);

    IdentModel& m_table;
    Prompter& m_prompter;
    std::unique_ptr<ImportSession> m_session;
};
