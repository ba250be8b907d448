#include "OrcusBookFactory.h"

#include "ImportLimits.h"
#include "format/DateSerial.h"
#include "format/EntryParser.h"
#include "model/CellAddress.h"
#include "model/Workbook.h"

#include <QHash>

namespace ss = orcus::spreadsheet;

namespace {

QString fromView(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

class OrcusBookFactory::Strings : public ss::iface::import_shared_strings {
public:
    size_t append(std::string_view s) override {
        m_list.push_back(fromView(s));
        return m_list.size() - 1;
    }
    size_t add(std::string_view s) override {
        const QString text = fromView(s);
        const auto it = m_index.constFind(text);
        if (it != m_index.constEnd())
            return *it;
        m_list.push_back(text);
        m_index.insert(text, m_list.size() - 1);
        return m_list.size() - 1;
    }
    // Rich text: the segments' characters without their fonts.
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                                ss::color_elem_t) override {}
    void append_segment(std::string_view s) override { m_segments += fromView(s); }
    size_t commit_segments() override {
        m_list.push_back(m_segments);
        m_segments.clear();
        return m_list.size() - 1;
    }

    const QString& at(size_t i) const {
        static const QString none;
        return i < m_list.size() ? m_list[i] : none;
    }

private:
    std::vector<QString> m_list;
    QHash<QString, size_t> m_index;
    QString m_segments;
};

class OrcusBookFactory::SheetSink : public ss::iface::import_sheet {
public:
    SheetSink(OrcusBookFactory& owner, Workbook& book, int index, QString name)
        : m_owner(owner), m_book(book), m_index(index), m_name(std::move(name)), m_formula(*this) {}

    const QString& name() const { return m_name; }
    int index() const { return m_index; }

    ss::iface::import_formula* get_formula() override { return &m_formula; }

    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override {
        const QString text = fromView(s);
        if (!place(row, col, text.size()))
            return;
        const ParsedEntry parsed = EntryParser::parse(text);
        if (parsed.kind == ParsedEntry::Number)
            m_book.setNumber(m_index, row + 1, col + 1, parsed.number);
        else if (!text.isEmpty())
            m_book.setText(m_index, row + 1, col + 1, text);
    }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t sindex) override {
        setText(row, col, m_owner.sharedString(sindex));
    }
    void set_value(ss::row_t row, ss::col_t col, double value) override {
        if (place(row, col, 0))
            m_book.setNumber(m_index, row + 1, col + 1, value);
    }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override {
        set_value(row, col, value ? 1 : 0);
    }
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int hour,
                       int minute, double second) override {
        const QDate date(year, month, day);
        if (!date.isValid())
            return;
        set_value(row, col,
                  DateSerial::fromDate(date) + (hour * 3600 + minute * 60 + second) / 86400.0);
    }
    void set_format(ss::row_t, ss::col_t, size_t) override {}
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t row, ss::col_t col, ss::row_t size) override {
        if (!place(row + size, col, 0))
            return;
        const Sheet& s = m_book.sheet(m_index);
        const CellValue v = s.value(row + 1, col + 1);
        for (ss::row_t r = 1; r <= size; ++r) {
            if (v.type == CellValue::Number)
                m_book.setNumber(m_index, row + 1 + r, col + 1, v.number);
            else if (v.type == CellValue::Text)
                m_book.setText(m_index, row + 1 + r, col + 1, v.text);
        }
    }
    ss::range_size_t get_sheet_size() const override {
        // Larger than the workbook holds, so that a cell beyond it is reported, not lost.
        return {1048576, 16384};
    }

    void setText(ss::row_t row, ss::col_t col, const QString& text) {
        if (place(row, col, text.size()) && !text.isEmpty())
            m_book.setText(m_index, row + 1, col + 1, text);
    }

private:
    // The result a file keeps for a formula cell.
    class Formula : public ss::iface::import_formula {
    public:
        explicit Formula(SheetSink& sheet) : m_sheet(sheet) {}
        void set_position(ss::row_t row, ss::col_t col) override {
            m_row = row;
            m_col = col;
            m_hasNumber = false;
            m_text.clear();
        }
        void set_formula(ss::formula_grammar_t, std::string_view) override {}
        void set_shared_formula_index(size_t) override {}
        void set_result_string(std::string_view value) override { m_text = fromView(value); }
        void set_result_value(double value) override {
            m_number = value;
            m_hasNumber = true;
        }
        void set_result_bool(bool value) override { set_result_value(value ? 1 : 0); }
        void set_result_empty() override {}
        void commit() override {
            if (m_hasNumber)
                m_sheet.set_value(m_row, m_col, m_number);
            else
                m_sheet.setText(m_row, m_col, m_text);
        }

    private:
        SheetSink& m_sheet;
        ss::row_t m_row = 0;
        ss::col_t m_col = 0;
        double m_number = 0;
        bool m_hasNumber = false;
        QString m_text;
    };

    bool place(ss::row_t row, ss::col_t col, qsizetype length) {
        if (row < 0 || col < 0 || row >= kMaxRows || col >= kMaxCols) {
            m_owner.noteProblem(ImportLimits::tooLargeSheet(m_name));
            return false;
        }
        if (length > ImportLimits::kMaxCellText) {
            m_owner.noteProblem(ImportLimits::tooLongText(m_name, row + 1, col + 1, length));
            return false;
        }
        return true;
    }

    OrcusBookFactory& m_owner;
    Workbook& m_book;
    int m_index;
    QString m_name;
    Formula m_formula;
};

// Cell addresses ("B7", "$B$7") of the places a file names cells by.
class OrcusBookFactory::Resolver : public ss::iface::import_reference_resolver {
public:
    ss::src_address_t resolve_address(std::string_view address) override {
        ss::src_address_t a{0, -1, -1};
        int col = 0;
        int row = 0;
        for (const char ch : address) {
            if (ch >= 'A' && ch <= 'Z')
                col = col * 26 + (ch - 'A' + 1);
            else if (ch >= 'a' && ch <= 'z')
                col = col * 26 + (ch - 'a' + 1);
            else if (ch >= '0' && ch <= '9')
                row = row * 10 + (ch - '0');
        }
        a.row = row - 1;
        a.column = col - 1;
        return a;
    }
    ss::src_range_t resolve_range(std::string_view range) override {
        const size_t colon = range.find(':');
        ss::src_range_t r;
        r.first = resolve_address(range.substr(0, colon));
        r.last =
            colon == std::string_view::npos ? r.first : resolve_address(range.substr(colon + 1));
        return r;
    }
};

OrcusBookFactory::OrcusBookFactory(Workbook& book)
    : m_book(book), m_strings(std::make_unique<Strings>()),
      m_resolver(std::make_unique<Resolver>()) {}

ss::iface::import_reference_resolver*
OrcusBookFactory::get_reference_resolver(ss::formula_ref_context_t) {
    return m_resolver.get();
}

OrcusBookFactory::~OrcusBookFactory() = default;

ss::iface::import_shared_strings* OrcusBookFactory::get_shared_strings() {
    return m_strings.get();
}

ss::iface::import_sheet* OrcusBookFactory::append_sheet(ss::sheet_t, std::string_view name) {
    const QString n = fromView(name);
    int index = 1;
    if (m_sheets.empty())
        m_book.renameSheet(1, n);
    else
        index = m_book.insertSheet(m_book.sheetCount() + 1, n).index();
    m_sheets.push_back(std::make_unique<SheetSink>(*this, m_book, index, n));
    return m_sheets.back().get();
}

ss::iface::import_sheet* OrcusBookFactory::get_sheet(std::string_view name) {
    const QString n = fromView(name);
    for (const auto& s : m_sheets)
        if (s->name() == n)
            return s.get();
    return nullptr;
}

ss::iface::import_sheet* OrcusBookFactory::get_sheet(ss::sheet_t index) {
    return index >= 0 && size_t(index) < m_sheets.size() ? m_sheets[size_t(index)].get() : nullptr;
}

void OrcusBookFactory::finalize() {}

void OrcusBookFactory::noteProblem(const QString& text) {
    if (m_problem.isEmpty())
        m_problem = text;
}

const QString& OrcusBookFactory::sharedString(size_t index) const {
    return m_strings->at(index);
}
