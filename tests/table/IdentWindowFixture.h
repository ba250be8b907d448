#pragma once

#include "TableDbFixture.h"

#include "IdentContext.h"
#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "InstanceSheets.h"
#include "TBook.h"
#include "TBookIdentView.h"
#include "TableRef.h"
#include "model/Workbook.h"

// A new table's workbook in the real spreadsheet control, with the context the
// identification commands work with.
class IdentWindowFixture : public TableDbFixture {
protected:
    void SetUp() override {
        InitialWorkbook::build(m_book);
        m_model.readGeometry();
        m_control.setWorkbook(&m_book);
        m_control.resize(800, 600);
    }
    // Instance sheets up to `count`, each inserted before sheet 1.
    void withInstances(int count) {
        while (m_model.instanceCount() < count)
            m_book.insertSheet(1);
    }
    void showSheet(int sheet) { m_control.setSheet(sheet); }

    Workbook m_book;
    IdentModel m_model{m_book, m_prompter};
    TBook m_control;
    TBookIdentView m_view{&m_control, {nullptr, nullptr, nullptr}};
    IdentEditState m_state;
    IdentOptions m_options;
    IdentContext m_ctx{m_model, dm(), m_prompter, m_view, m_state, m_options};
    TableRef m_table;
    InstanceSheets m_sheets{dm(), m_model, m_prompter, m_table};
};
