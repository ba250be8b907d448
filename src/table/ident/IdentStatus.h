#pragma once

#include <QString>

struct IdentContext;

// What the status bar says after each selection change, and the cursor the
// identification commands remember.
class IdentStatus {
public:
    explicit IdentStatus(IdentContext& ctx) : m_ctx(ctx) {}

    // Panel 1 on an instance sheet: which region of the table the cell is in.
    QString regionText(int row, int col) const;
    // Whether the body cell carries a control condition of its row or column.
    bool carriesControl(int row, int col) const;

    // Called on every selection change of the control.
    void selectionChanged();

private:
    IdentContext& m_ctx;
};
