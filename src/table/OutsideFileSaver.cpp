#include "OutsideFileSaver.h"

#include "CodePages.h"
#include "Prompter.h"
#include "TableLayout.h"
#include "io/DelimitedText.h"
#include "io/NativeFormat.h"
#include "model/Workbook.h"

#ifdef ZEMRAK_HAS_XLSX
#include "io/XlsxWriter.h"
#endif

namespace {

const QString kDialogCaption = QStringLiteral("Сохранить как внешний файл");

bool writeExcel([[maybe_unused]] const Workbook& book, [[maybe_unused]] const QString& path) {
#ifdef ZEMRAK_HAS_XLSX
    return XlsxWriter::writeFile(book, path);
#else
    return false;
#endif
}

} // namespace

OutsideFileSaver::OutsideFileSaver(Workbook& book, Prompter& prompter)
    : m_book(book), m_prompter(prompter) {}

bool OutsideFileSaver::excelAvailable() {
#ifdef ZEMRAK_HAS_XLSX
    return true;
#else
    return false;
#endif
}

QList<OutsideFileSaver::Format> OutsideFileSaver::offered() {
    QList<Format> formats{Format::Native, Format::Text, Format::TextPlain, Format::SheetNative};
    if (excelAvailable()) {
        formats.insert(1, Format::Excel);
        formats.insert(4, Format::SheetExcel);
    }
    return formats;
}

QString OutsideFileSaver::caption(Format format) {
    switch (format) {
    case Format::Native:
        return QStringLiteral("Земрак 3.0 (*.VTS)");
    case Format::Excel:
        return QStringLiteral("Excel (*.XLSX)");
    case Format::Text:
        return QStringLiteral("Текст с разделителями (*.TXT)");
    case Format::TextPlain:
        return QStringLiteral("Текст с разделителями (без форматирования)");
    case Format::Html:
        return QStringLiteral("HTML");
    case Format::SheetExcel:
        return QStringLiteral("Лист Excel (*.XLSX)");
    case Format::SheetNative:
        return QStringLiteral("Лист Земрак 3.0 (*.VTS)");
    }
    return {};
}

QString OutsideFileSaver::filter(Format format) {
    switch (format) {
    case Format::Native:
    case Format::SheetNative:
        return caption(format) + QStringLiteral("|*.VTS");
    case Format::Excel:
    case Format::SheetExcel:
        return caption(format) + QStringLiteral("|*.XLSX");
    case Format::Text:
    case Format::TextPlain:
        return caption(format) + QStringLiteral("|*.TXT");
    case Format::Html:
        return caption(format) + QStringLiteral("|*.HTM");
    }
    return {};
}

bool OutsideFileSaver::saveAs() {
    QList<Format> formats = offered();
    if (m_htmlWriter)
        formats.insert(formats.indexOf(Format::TextPlain) + 1, Format::Html);
    QStringList captions;
    for (const Format f : formats)
        captions << caption(f);
    const int chosen = m_prompter.choose(kDialogCaption, captions, 0);
    if (chosen < 0 || chosen >= formats.size())
        return false;
    const Format format = formats[chosen];
    const QString path = m_prompter.saveFileName(kDialogCaption, {}, filter(format));
    if (path.isEmpty())
        return false;
    return write(format, path);
}

bool OutsideFileSaver::chooseTextEncoding(bool formatted) {
    m_textEncoder = [](const QString& text) { return EncodeText(CodePage::Win1251, text); };
    const Sheet& s = m_book.sheet(1);
    for (int r = 1; r <= s.lastRow(); ++r)
        for (int c = 1; c <= s.lastCol(); ++c) {
            if (CanEncode(CodePage::Win1251, DelimitedText::field(s, r, c, formatted)))
                continue;
            if (!m_prompter.confirm(QStringLiteral("Текст ячейки %1 нельзя записать в кодировке "
                                                   "Windows-1251.\r\nЗаписать файл в "
                                                   "кодировке UTF-8 ?")
                                        .arg(cellName(r, c)),
                                    Answer::No))
                return false;
            // The mark lets the programs that read the file tell UTF-8 from Windows-1251.
            m_textEncoder = [](const QString& text) {
                return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
            };
            return true;
        }
    return true;
}

bool OutsideFileSaver::write(Format format, const QString& path) {
    // Texts are exchanged in Windows-1251; a text it cannot hold is never written lossily.
    if ((format == Format::Text || format == Format::TextPlain) &&
        !chooseTextEncoding(format == Format::Text))
        return false;
    bool ok = false;
    if (format == Format::SheetExcel || format == Format::SheetNative) {
        Workbook scratch(1);
        copyActiveSheet(m_book, scratch);
        ok = format == Format::SheetNative ? NativeFormat::saveFile(scratch, path)
                                           : writeExcel(scratch, path);
    } else {
        ok = writeWhole(format, path);
    }
    if (!ok)
        m_prompter.error(QStringLiteral("Невозможно создать файл"));
    return ok;
}

bool OutsideFileSaver::writeWhole(Format format, const QString& path) {
    const int active = m_book.activeSheetIndex();
    m_book.setActiveSheet(1);
    bool ok = false;
    switch (format) {
    case Format::Native:
        ok = NativeFormat::saveFile(m_book, path);
        break;
    case Format::Excel:
        ok = writeExcel(m_book, path);
        break;
    case Format::Text:
        ok = DelimitedText::writeFile(m_book, 1, true, path, '\t', nullptr, m_textEncoder);
        break;
    case Format::TextPlain:
        ok = DelimitedText::writeFile(m_book, 1, false, path, '\t', nullptr, m_textEncoder);
        break;
    case Format::Html:
        ok = m_htmlWriter && m_htmlWriter(path);
        break;
    default:
        break;
    }
    m_book.setActiveSheet(active);
    return ok;
}

void OutsideFileSaver::copyActiveSheet(const Workbook& from, Workbook& to) {
    const Sheet& source = from.activeSheet();
    to.reset(1);
    Sheet& target = to.sheet(1);
    target.setDefaultFont(source.defaultFont());
    target.setDefaultRowHeight(source.defaultRowHeight());
    target.setDefaultColWidth(source.defaultColWidth());
    const int lastRow = source.lastRow();
    const int lastCol = source.lastCol();
    if (lastRow >= 1 && lastCol >= 1)
        to.copyRange(from, source.index(), CellRange(1, 1, lastRow, lastCol), 1, 1, 1);
    const Sheet& first = from.sheet(1);
    to.setText(1, TableLayout::kLayoutRow, TableLayout::kLayoutCol,
               first.text(TableLayout::kLayoutRow, TableLayout::kLayoutCol));
    for (int r = 1; r <= lastRow; ++r) {
        target.setRowHeight(r, source.rowHeight(r));
        target.setRowHidden(r, source.rowHidden(r));
    }
    for (int c = 1; c <= lastCol; ++c) {
        target.setColWidth(c, source.colWidth(c));
        target.setColHidden(c, source.colHidden(c));
    }
    SheetOptions o = target.options();
    o.protection = source.options().protection;
    target.setOptions(o);
}
