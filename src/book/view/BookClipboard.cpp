#include "BookClipboard.h"

#include "TBook.h"

#include "io/DelimitedText.h"
#include "model/Workbook.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QUuid>

namespace {
const QString kMime = QStringLiteral("application/x-zemrak-book-range");

QString quoted(const QString& field) {
    if (!field.contains(QLatin1Char('\t')) && !field.contains(QLatin1Char('\n')) &&
        !field.contains(QLatin1Char('"')))
        return field;
    QString q = field;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}
} // namespace

BookClipboard::BookClipboard(TBook* book) : m_view(book) {}

BookClipboard::Copy& BookClipboard::shared() {
    static Copy copy;
    return copy;
}
BookClipboard::~BookClipboard() = default;

QString BookClipboard::tabText(const Workbook& book, int sheet, const CellRange& range) {
    const Sheet& s = book.sheet(sheet);
    const int lastRow = std::min(range.row2, std::max(range.row1, s.lastRow()));
    const int lastCol = std::min(range.col2, std::max(range.col1, s.lastCol()));
    QString out;
    for (int r = range.row1; r <= lastRow; ++r) {
        for (int c = range.col1; c <= lastCol; ++c) {
            if (c > range.col1)
                out += QLatin1Char('\t');
            out += quoted(s.formattedText(r, c));
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

void BookClipboard::copy(const CellRange& range, bool cut) {
    Workbook& book = m_view->workbook();
    const int sheet = book.activeSheetIndex();
    // Whole rows or columns are cut down to the used part, so the copy stays small.
    CellRange r = range;
    r.row2 = std::min(r.row2, std::max(r.row1, book.sheet(sheet).lastRow()));
    r.col2 = std::min(r.col2, std::max(r.col1, book.sheet(sheet).lastCol()));
    shared().scratch = std::make_unique<Workbook>(1);
    // The copy stays at the same address, so relative references keep their targets.
    shared().scratch->copyRange(book, sheet, r, 1, r.row1, r.col1);
    shared().range = r;
    shared().sourceSheet = sheet;
    shared().source = &book;
    shared().cut = cut;
    shared().token = QUuid::createUuid().toByteArray();
    auto* mime = new QMimeData;
    mime->setText(tabText(book, sheet, r));
    mime->setData(kMime, shared().token);
    QApplication::clipboard()->setMimeData(mime);
}

bool BookClipboard::ownsClipboard() const {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    return shared().scratch && mime && mime->hasFormat(kMime) &&
           mime->data(kMime) == shared().token;
}

bool BookClipboard::paste(int row, int col) {
    if (ownsClipboard())
        return pasteCells(row, col);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime || !mime->hasText() || mime->text().isEmpty())
        return false;
    return pasteText(mime->text(), row, col);
}

bool BookClipboard::pasteCells(int row, int col) {
    Workbook& book = m_view->workbook();
    const CellRange target(row, col, row + shared().range.rowCount() - 1,
                           col + shared().range.colCount() - 1);
    if (m_view->refuseProtected(target))
        return false;
    const bool sameBook = shared().source == &book && book.hasSheet(shared().sourceSheet);
    book.beginUpdate();
    if (shared().cut && sameBook && shared().sourceSheet == book.activeSheetIndex()) {
        // A cut moves the cells, and references to them follow.
        book.moveRange(shared().sourceSheet, shared().range, row - shared().range.row1,
                       col - shared().range.col1);
    } else {
        for (int s : book.editGroup())
            book.copyRange(*shared().scratch, 1, shared().range, s, row, col);
        if (shared().cut && sameBook)
            book.clearRange(shared().sourceSheet, shared().range, ClearWhat::All);
    }
    book.endUpdate();
    if (shared().cut) {
        // A cut pastes once.
        shared().cut = false;
        shared().scratch.reset();
        QApplication::clipboard()->clear();
    }
    m_view->setSelection(row, col, target.row2, target.col2);
    return true;
}

bool BookClipboard::pasteText(const QString& text, int row, int col) {
    Workbook& book = m_view->workbook();
    const QStringList lines = QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    int rows = int(lines.size());
    while (rows > 0 && lines[rows - 1].isEmpty())
        --rows;
    int cols = 1;
    for (int i = 0; i < rows; ++i)
        cols = std::max(cols, int(lines[i].count(QLatin1Char('\t'))) + 1);
    if (rows == 0)
        return false;
    const CellRange target(row, col, row + rows - 1, col + cols - 1);
    if (m_view->refuseProtected(target))
        return false;
    DelimitedText::ReadOptions options;
    options.startRow = row;
    options.startCol = col;
    book.beginUpdate();
    for (int s : book.editGroup())
        DelimitedText::read(book, s, text, options);
    book.endUpdate();
    m_view->setSelection(row, col, target.row2, target.col2);
    return true;
}
