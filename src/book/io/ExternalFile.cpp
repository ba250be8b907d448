#include "ExternalFile.h"

#include "ImportLimits.h"
#include "OrcusBookFactory.h"
#include "TextSplitter.h"
#include "format/DateSerial.h"
#include "format/EntryParser.h"
#include "formula/Recalculator.h"
#include "model/CellAddress.h"
#include "model/CellStore.h"
#include "model/Workbook.h"

#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>

#include <freexl.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <exception>

namespace ExternalFile {

namespace {

QString fileName(const QString& path) {
    return QFileInfo(path).fileName();
}

QString damaged(const QString& path, const QString& what) {
    return QStringLiteral("Файл \"%1\" повреждён или не является %2").arg(fileName(path), what);
}

bool readOrcus(Workbook& book, const QString& path, Kind kind, QString* error) {
    OrcusBookFactory factory(book);
    const QString what = kind == Kind::Xlsx ? QStringLiteral("книгой Excel (.xlsx)")
                                            : QStringLiteral("таблицей OpenDocument (.ods)");
    book.beginUpdate();
    try {
        const std::string file = QFile::encodeName(path).toStdString();
        if (kind == Kind::Xlsx) {
            orcus::orcus_xlsx filter(&factory);
            filter.read_file(file);
        } else {
            orcus::orcus_ods filter(&factory);
            filter.read_file(file);
        }
    } catch (const std::exception& e) {
        book.endUpdate();
        *error = damaged(path, what) + QStringLiteral(": ") + QString::fromUtf8(e.what());
        return false;
    }
    book.endUpdate();
    if (!factory.problem().isEmpty()) {
        *error = factory.problem();
        return false;
    }
    if (factory.sheetsRead() == 0) {
        *error = damaged(path, what) + QStringLiteral(": в файле нет ни одного листа");
        return false;
    }
    return true;
}

// freexl reports dates as "YYYY-MM-DD[ HH:MM:SS]" or "HH:MM:SS" texts.
double xlsDate(const char* text) {
    const QString s = QString::fromLatin1(text);
    if (s.size() == 8 && s[2] == ':') {
        const QTime t = QTime::fromString(s, QStringLiteral("HH:mm:ss"));
        return t.isValid() ? t.msecsSinceStartOfDay() / 86400000.0 : 0;
    }
    const QDate d = QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
    double serial = d.isValid() ? DateSerial::fromDate(d) : 0;
    if (s.size() >= 19) {
        const QTime t = QTime::fromString(s.mid(11, 8), QStringLiteral("HH:mm:ss"));
        if (t.isValid())
            serial += t.msecsSinceStartOfDay() / 86400000.0;
    }
    return serial;
}

bool readXlsSheet(Workbook& book, const void* handle, int index, QString* error) {
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &cols) != FREEXL_OK)
        return false;
    const QString sheetName = book.sheet(index).name();
    if (rows > unsigned(kMaxRows) || cols > unsigned(kMaxCols)) {
        *error = ImportLimits::tooLargeSheet(sheetName);
        return false;
    }
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK)
                return false;
            const int row = int(r) + 1;
            const int col = int(c) + 1;
            switch (v.type) {
            case FREEXL_CELL_INT:
                book.setNumber(index, row, col, v.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                book.setNumber(index, row, col, v.value.double_value);
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                book.setNumber(index, row, col, xlsDate(v.value.text_value));
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT: {
                const QString text = QString::fromUtf8(v.value.text_value);
                if (text.size() > ImportLimits::kMaxCellText) {
                    *error = ImportLimits::tooLongText(sheetName, row, col, text.size());
                    return false;
                }
                if (!text.isEmpty())
                    book.setText(index, row, col, text);
                break;
            }
            default:
                break;
            }
        }
    }
    return true;
}

bool readXls(Workbook& book, const QString& path, QString* error) {
    const QString what = QStringLiteral("книгой Excel 97–2003 (.xls)");
    const void* handle = nullptr;
    if (freexl_open(QFile::encodeName(path).constData(), &handle) != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        *error = damaged(path, what);
        return false;
    }
    unsigned int count = 0;
    bool ok = freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count) == FREEXL_OK && count > 0;
    book.beginUpdate();
    for (unsigned int i = 0; ok && i < count; ++i) {
        const char* name = nullptr;
        ok = freexl_select_active_worksheet(handle, (unsigned short)i) == FREEXL_OK &&
             freexl_get_worksheet_name(handle, (unsigned short)i, &name) == FREEXL_OK;
        if (!ok)
            break;
        int index = 1;
        if (i == 0)
            book.renameSheet(1, QString::fromUtf8(name));
        else
            index = book.insertSheet(book.sheetCount() + 1, QString::fromUtf8(name)).index();
        QString problem;
        ok = readXlsSheet(book, handle, index, &problem);
        if (!problem.isEmpty()) {
            book.endUpdate();
            freexl_close(handle);
            *error = problem;
            return false;
        }
    }
    book.endUpdate();
    freexl_close(handle);
    if (!ok)
        *error = damaged(path, what);
    return ok;
}

// What a field is, for the common cases the full entry parser need not see: texts that
// start with a letter, plain decimals ("-12,5", "3.25"). Anything else (dates, percents,
// "1 234") goes through the parser as typed input does.
enum class FieldKind { Text, Number, Entry };

FieldKind classify(QStringView f, double* number) {
    const QChar first = f.front();
    if (first.isLetter() || first == '=') // nothing read becomes a formula
        return FieldKind::Text;
    // At most 15 digits: the digits as a whole number and a power of ten are exact, so
    // their quotient is the correctly rounded value, as a string conversion gives it.
    static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    qint64 whole = 0;
    int digits = 0;
    int decimals = -1;
    bool negative = false;
    for (qsizetype i = 0; i < f.size(); ++i) {
        const char16_t ch = f[i].unicode();
        if (ch >= '0' && ch <= '9') {
            if (++digits > 15)
                return FieldKind::Entry;
            whole = whole * 10 + (ch - '0');
            if (decimals >= 0)
                ++decimals;
        } else if ((ch == '.' || ch == ',') && decimals < 0) {
            decimals = 0;
        } else if (ch == '-' && i == 0) {
            negative = true;
        } else {
            return FieldKind::Entry;
        }
    }
    if (digits == 0)
        return FieldKind::Entry;
    const double v = double(whole) / kTens[std::max(decimals, 0)];
    *number = negative ? -v : v;
    return FieldKind::Number;
}

void enterField(Workbook& book, int row, int col, const QString& f) {
    double number = 0;
    switch (classify(f, &number)) {
    case FieldKind::Text:
        book.setText(1, row, col, f);
        break;
    case FieldKind::Number:
        book.setNumber(1, row, col, number);
        break;
    case FieldKind::Entry:
        book.setEntry(1, row, col, f);
        break;
    }
}

// An empty sheet is filled straight into its cell store, as a loader fills it: no
// formulas can depend on cells that did not exist. Fields that need the entry parser
// still go through the workbook, once the store is filled.
class EmptySheetFill {
public:
    EmptySheetFill(Workbook& book, bool linesOnly)
        : m_book(book), m_store(book.sheet(1).cells()), m_linesOnly(linesOnly) {}

    template <typename Fields> void line(int r, const Fields& fields) {
        int last = int(fields.size());
        while (last > 0 && fields[last - 1].isEmpty())
            --last;
        if (last == 0)
            return;
        m_store.reserveRow(r + 1, 1, last);
        CellRow* cells = m_store.rowAt(r + 1);
        for (int k = 0; k < last; ++k) {
            const QStringView f = fields[k];
            if (f.isEmpty())
                continue;
            Cell* cell = cells->at(k + 1);
            double number = 0;
            const FieldKind kind = m_linesOnly ? FieldKind::Text : classify(f, &number);
            if (kind == FieldKind::Number) {
                cell->kind = CellKind::Number;
                cell->number = number;
            } else if (kind == FieldKind::Text) {
                cell->text = new QString(f.toString());
                cell->kind = CellKind::Text;
            } else {
                m_later.push_back({r + 1, k + 1, f.toString()});
            }
        }
    }
    void finish() {
        m_book.recalculator().loadedClean();
        m_book.beginUpdate();
        for (const Later& l : m_later)
            m_book.setEntry(1, l.row, l.col, l.text);
        m_book.endUpdate();
    }
    // A check failed half way: the sheet is left empty, as it was.
    void abandon() { m_store.clear(); }

private:
    struct Later {
        int row;
        int col;
        QString text;
    };
    Workbook& m_book;
    CellStore& m_store;
    bool m_linesOnly;
    std::vector<Later> m_later;
};

// Delimited text into an empty sheet, checked line by line as it is split, so that no
// string is made for a field that becomes a number.
bool fillDelimited(Workbook& book, const QString& text, const TextOptions& options,
                   const QString& name, QString* error) {
    EmptySheetFill fill(book, false);
    QString problem;
    TextSplitter::visitDelimited(text, options.separator, options.qualifier,
                                 [&](int r, const std::vector<QStringView>& fields) {
                                     if (r >= kMaxRows || int(fields.size()) > kMaxCols) {
                                         problem = ImportLimits::tooLargeSheet(name);
                                         return false;
                                     }
                                     for (size_t c = 0; c < fields.size(); ++c)
                                         if (fields[c].size() > ImportLimits::kMaxCellText) {
                                             problem = ImportLimits::tooLongText(
                                                 name, r + 1, int(c) + 1, fields[c].size());
                                             return false;
                                         }
                                     fill.line(r, fields);
                                     return true;
                                 });
    if (!problem.isEmpty()) {
        fill.abandon();
        *error = problem;
        return false;
    }
    fill.finish();
    return true;
}

} // namespace

Kind kindOf(const QString& path) {
    const QString ext = QFileInfo(path).suffix().trimmed().toLower();
    if (ext == QLatin1String("xlsx"))
        return Kind::Xlsx;
    if (ext == QLatin1String("ods"))
        return Kind::Ods;
    if (ext == QLatin1String("xls"))
        return Kind::Xls;
    if (ext == QLatin1String("csv"))
        return Kind::Csv;
    if (ext == QLatin1String("txt") || ext == QLatin1String("prn"))
        return Kind::Text;
    return Kind::Unknown;
}

bool readText(Workbook& book, const QString& text, const TextOptions& options, QString* error,
              const QString& sheetName) {
    const QString name = sheetName.isEmpty() ? book.sheet(1).name() : sheetName;
    const bool empty = book.sheet(1).cells().lastRow() == 0;
    if (empty && !options.linesOnly && !options.fixedWidth)
        return fillDelimited(book, text, options, name, error);
    const TextSplitter::Rows rows =
        options.linesOnly ? TextSplitter::splitLines(text)
        : options.fixedWidth
            ? TextSplitter::splitFixed(text, options.widths)
            : TextSplitter::splitDelimited(text, options.separator, options.qualifier);
    if (rows.size() > kMaxRows) {
        *error = ImportLimits::tooLargeSheet(name);
        return false;
    }
    for (int r = 0; r < rows.size(); ++r) {
        if (rows[r].size() > kMaxCols) {
            *error = ImportLimits::tooLargeSheet(name);
            return false;
        }
        for (int c = 0; c < rows[r].size(); ++c)
            if (rows[r][c].size() > ImportLimits::kMaxCellText) {
                *error = ImportLimits::tooLongText(name, r + 1, c + 1, rows[r][c].size());
                return false;
            }
    }
    if (empty) {
        EmptySheetFill fill(book, options.linesOnly);
        for (int r = 0; r < rows.size(); ++r)
            fill.line(r, rows[r]);
        fill.finish();
        return true;
    }
    book.beginUpdate();
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList& fields = rows[r];
        for (int c = 0; c < fields.size(); ++c) {
            const QString& f = fields[c];
            if (f.isEmpty())
                continue;
            if (options.linesOnly)
                book.setText(1, r + 1, c + 1, f);
            else
                enterField(book, r + 1, c + 1, f);
        }
    }
    book.endUpdate();
    return true;
}

bool read(Workbook& book, const QString& path, QString* error, const TextOptions& text,
          Result* result) {
    QString problem;
    QString& message = error ? *error : problem;
    const Kind kind = kindOf(path);
    if (kind == Kind::Unknown) {
        message = QStringLiteral("Файлы \"%1\" не читаются: ожидается .xlsx, .ods, .xls, .csv, "
                                 ".txt или .prn")
                      .arg(fileName(path));
        return false;
    }
    if (!QFileInfo(path).isFile()) {
        message = QStringLiteral("Файл \"%1\" не найден").arg(path);
        return false;
    }
    Workbook fresh;
    bool ok = false;
    if (kind == Kind::Xlsx || kind == Kind::Ods) {
        ok = readOrcus(fresh, path, kind, &message);
    } else if (kind == Kind::Xls) {
        ok = readXls(fresh, path, &message);
    } else {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            message = QStringLiteral("Невозможно открыть файл \"%1\"").arg(path);
            return false;
        }
        const QByteArray bytes = f.readAll();
        if (TextEncoding::looksBinary(bytes)) {
            message = QStringLiteral("Файл \"%1\" не является текстовым").arg(fileName(path));
            return false;
        }
        TextEncoding::Encoding used = TextEncoding::Encoding::Auto;
        const QString decoded = TextEncoding::decode(bytes, text.encoding, &used);
        ok = readText(fresh, decoded, text, &message);
        if (result)
            result->encoding = used;
    }
    if (!ok)
        return false;
    fresh.setActiveSheet(1);
    fresh.setModified(false);
    if (result)
        result->rows = fresh.sheet(1).lastRow();
    book.swapContents(fresh);
    return true;
}

} // namespace ExternalFile
