#pragma once

class QFontMetrics;
class TMyDBGrid;

// The two columns of a collection's tables grid: the identifier holds twenty
// digits, the name takes what is left less 22 pixels of frame and lines.
struct TableGridWidths {
    int name = 0;
    int identifier = 0;

    // A grid narrower than the identifier still leaves a sliver of the name.
    static constexpr int kNarrowest = 16;
    static TableGridWidths forWidth(int gridWidth, int twentyDigits);
    static int twentyDigits(const QFontMetrics& metrics);
};

// Lays the two columns out again for the grid's present width.
void FitTableColumns(TMyDBGrid& grid);
