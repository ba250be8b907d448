#pragma once

class Sheet;

// Fitting rows and columns to what their cells show. Merged cells and hidden lines do not
// count; a row with nothing to show goes back to the sheet's default height, a column
// with nothing keeps its width.
class LineFit {
public:
    static void rows(Sheet& sheet, int from, int to);
    static void columns(Sheet& sheet, int from, int to);
};
