#pragma once

#include <QString>

#include <functional>

struct IdentContext;

// Typing into the title identification block of an instance sheet. Every value goes to
// that sheet alone: each instance sheet has its own title identification.
class TitleSlotEntry {
public:
    TitleSlotEntry(IdentContext& context, std::function<void()> objectTaken);

    // False: refused and told; the cell keeps its previous content.
    bool endEdit(int sheet, int row, int col, const QString& typed);

private:
    bool indicatorByDisplayedCode(int sheet, int row, const QString& typed);
    bool indicatorByInternalCode(int sheet, int row, const QString& typed);
    bool objectCode(int sheet, int row, const QString& typed);
    bool objectType(int sheet, int row, const QString& typed);
    bool codeIsInDirectory(int code, int type);
    void transferName(int sheet, const QString& name);

    IdentContext& m_ctx;
    std::function<void()> m_objectTaken;
};
