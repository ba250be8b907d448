#pragma once

#include "IdentContext.h"
#include "IdentSheetTools.h"
#include "TableLayout.h"

#include <optional>

// The " Видимые параметры " boxes of "Опции идентификации".
struct VisibleParams {
    bool indicators = true; // ChPok
    bool objects = true;    // ChObj
    bool periods = true;    // ChPer
    bool operator==(const VisibleParams&) const = default;
};

// The logic behind "Опции идентификации" and "Внутренние коды идентификации": which
// slots of the current identification sheet are shown. The boxes act on the sheet at
// once; cancelling the dialog puts the slots back as they were when it opened.
class IdentOptionsController {
public:
    explicit IdentOptionsController(IdentContext& ctx);

    // On activation: the boxes as the current sheet shows the slots (all ticked on an
    // instance sheet). Remembers the slots' shown state for `cancel`.
    VisibleParams activate();

    // Toggling a box.
    void setIndicatorsShown(bool shown);
    void setObjectsShown(bool shown);
    void setPeriodsShown(bool shown);

    // "Применить": the options become the program's, the cursor goes to the first shown slot.
    void apply(const IdentOptions& options);
    // "Отменить": the slots as they were on activation; the options stay.
    void cancel();

    // imKodInternal: every slot of the current identification sheet shown.
    void showInternalCodes();

private:
    enum class SheetKind { Instance, RowIdent, ColIdent };
    SheetKind currentSheet() const;
    int activeSheet() const;
    // Shows or hides slots first … last on the current identification sheet.
    void setSlotsShown(Slot first, Slot last, bool shown);
    bool slotShown(Slot s) const;
    void placeCursor();

    IdentContext& m_ctx;
    VisibleParams m_boxes;
    std::optional<IdentSheetTools::SlotStates> m_shownOnActivate;
};
