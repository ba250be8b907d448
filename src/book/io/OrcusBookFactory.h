#pragma once

#include <orcus/spreadsheet/import_interface.hpp>

#include <QString>

#include <memory>
#include <vector>

class Workbook;

// Receives what liborcus parses from an .xlsx or .ods file and writes it straight into a
// workbook: values only (a formula brings the result the file keeps for it). Cells the
// workbook cannot hold, and texts longer than a cell may carry, are remembered as the
// first problem, which the reader then reports instead of a half-read book.
class OrcusBookFactory : public orcus::spreadsheet::iface::import_factory {
public:
    explicit OrcusBookFactory(Workbook& book);
    ~OrcusBookFactory() override;

    orcus::spreadsheet::iface::import_shared_strings* get_shared_strings() override;
    orcus::spreadsheet::iface::import_reference_resolver*
        get_reference_resolver(orcus::spreadsheet::formula_ref_context_t) override;
    orcus::spreadsheet::iface::import_sheet* append_sheet(orcus::spreadsheet::sheet_t index,
                                                          std::string_view name) override;
    orcus::spreadsheet::iface::import_sheet* get_sheet(std::string_view name) override;
    orcus::spreadsheet::iface::import_sheet* get_sheet(orcus::spreadsheet::sheet_t index) override;
    void finalize() override;

    QString problem() const { return m_problem; }
    int sheetsRead() const { return int(m_sheets.size()); }

    // What the cell classes below report back.
    void noteProblem(const QString& text);
    const QString& sharedString(size_t index) const;

    class Strings;
    class SheetSink;
    class Resolver;

private:
    Workbook& m_book;
    std::unique_ptr<Strings> m_strings;
    std::unique_ptr<Resolver> m_resolver;
    std::vector<std::unique_ptr<SheetSink>> m_sheets;
    QString m_problem;
};
