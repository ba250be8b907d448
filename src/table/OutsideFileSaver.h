#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class Prompter;
class Workbook;

// "Сохранить как ..": the workbook, or the active sheet alone, written to a file outside
// the database. The format is chosen first, then the file.
class OutsideFileSaver {
public:
    enum class Format { Native = 1, Excel, Text, TextPlain, Html, SheetExcel, SheetNative };

    OutsideFileSaver(Workbook& book, Prompter& prompter);

    // The HTML pages of the table (given by the output part); while none is given,
    // HTML is not offered.
    void setHtmlWriter(std::function<bool(const QString&)> writer) {
        m_htmlWriter = std::move(writer);
    }
    // Asks for the format and the file; false when cancelled or failed.
    bool saveAs();
    // Writes one format; a failure says "Невозможно создать файл".
    bool write(Format format, const QString& path);

    // The formats offered without the HTML writer.
    static QList<Format> offered();
    static QString caption(Format format);
    static QString filter(Format format);
    static bool excelAvailable();

    // The used range of the active sheet as a workbook of its own; the layout cell comes
    // from sheet 1.
    static void copyActiveSheet(const Workbook& from, Workbook& to);

private:
    bool writeWhole(Format format, const QString& path);
    // Windows-1251, or UTF-8 with its mark when the user agrees because a cell's text
    // does not fit; false when refused.
    bool chooseTextEncoding(bool formatted);

    Workbook& m_book;
    Prompter& m_prompter;
    std::function<QByteArray(const QString&)> m_textEncoder;
    std::function<bool(const QString&)> m_htmlWriter;
};
