#pragma once

#include "IdentMode.h"
#include "Placement.h"

class IdentModel;
class Prompter;

// Which picker a right click in an identification mode opens, and where its entries go.
struct PickClick {
    enum Picker { None, Indicators, Periods, ObjectDirectories };
    Picker picker = None;
    // The placement's region, slot, line and title row; mode, names and entries are
    // filled when the entries are known.
    PlacementRequest target;

    // (sheet, row, col) is the clicked cell of the active sheet. A title attribute
    // without its indicator is refused with an error box (picker None).
    static PickClick classify(const IdentModel& model, IdentMode mode, int sheet, int row, int col,
                              Prompter& prompter);

    static QString noIndicator() {
        return QStringLiteral("Не определен показатель! Задание признака невозможно.");
    }
};
