#pragma once

#include "IdentContext.h"
#include "TitleSlotEntry.h"

#include <QString>

#include <functional>

struct IndicatorEntry;
struct ObjectEntry;

// What typing into an identification slot does: the typed code is resolved against the
// directories and the cells that go with it (internal code, directory type, row name) are
// written. The control writes the typed text itself once the entry is accepted.
class SlotEntryController {
public:
    explicit SlotEntryController(IdentContext& context);

    // An edit of (sheet, row, col) is being finished with `typed`. False: the entry is
    // refused (the user has been told why) and the cell keeps its previous content.
    bool endEdit(int sheet, int row, int col, const QString& typed);

    // The selection moved: a period bound edited just before shows month and year.
    void selectionChanged();

    // Run after an object or cut code was taken (the directory pop-up depends on it).
    void setDirectoryEntryHook(std::function<void()> hook);

    // Whether (sheet, row, col) holds a period bound of the identification.
    bool isPeriodBound(int sheet, int row, int col) const;

private:
    bool sideEntry(int row, int col, const QString& typed);
    bool headerEntry(int row, int col, const QString& typed);
    void transferRowName(int row, const QString& name);
    void objectTaken();

    IdentContext& m_ctx;
    TitleSlotEntry m_title;
    std::function<void()> m_directoryHook;
};
