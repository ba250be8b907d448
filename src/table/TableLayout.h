#pragma once

// The fixed layout every table workbook shares: service rows and columns, the
// title and header area, and the slots of the identification sheets. Rows and
// columns count from 1.
namespace TableLayout {

constexpr int kFirstTextRow = 21; // accompanying text
constexpr int kLastTextRow = 90;
constexpr int kMaxExtraTextLines = 69;
constexpr int kFirstTitleRow = 91;
constexpr int kLastTitleRow = 99;
constexpr int kFirstHeaderRow = 100;
constexpr int kMaxTitleRows = 9;
constexpr int kSettingsCol = 1;
constexpr int kSideCol = 2;
constexpr int kFirstDataCol = 3;
constexpr int kColumnCount = 256;
constexpr int kLayoutRow = 1; // the layout cell (1, 1) of the instance sheets
constexpr int kLayoutCol = 1;
constexpr int kTextLinesRow = 3; // (3, 1) of the column identification sheet
constexpr int kSideWidthChars = 28;
constexpr int kSlotWidthChars = 12;

} // namespace TableLayout

// Identification slots. On the column identification sheet slot s of column c sits in
// row (last header row + s); on the row identification sheet slot s of row r sits in
// column s + 2.
enum class Slot {
    HideMarker = 1,
    IndicatorCode,
    IndicatorShown,
    Attr1Code,
    Attr1Shown,
    Attr2Code,
    Attr2Shown,
    Object,
    Cut1,
    Cut2,
    Cut3,
    Cut4,
    Level,
    PeriodStart,
    PeriodEnd,
    ObjectType,
    Cut1Type,
    Cut2Type,
    Cut3Type,
    Cut4Type,
    Formula,
    Control,
    Unit,
};
constexpr int kSlotCount = 23;
constexpr int kCaptionedSlots = 20;

inline int rowSlotColumn(Slot s) {
    return int(s) + 2;
}
inline Slot cutSlot(int i) {
    return Slot(int(Slot::Cut1) + i);
} // i = 0 … 3
inline Slot cutTypeSlot(int i) {
    return Slot(int(Slot::Cut1Type) + i);
} // i = 0 … 3

// Rows of the title identification block of every instance sheet (values in column 3,
// displayed codes and directory types in column 4).
enum class TitleRow {
    Hint = 2,
    Kind = 4,
    Indicator = 6,
    Attr1 = 7,
    Attr2 = 8,
    Object = 9,
    Cut1 = 10,
    Cut2 = 11,
    Cut3 = 12,
    Cut4 = 13,
    Level = 14,
    PeriodStart = 15,
    PeriodEnd = 16,
};
constexpr int kTitleValueCol = 3;
constexpr int kTitleExtraCol = 4;
inline TitleRow titleCutRow(int i) {
    return TitleRow(int(TitleRow::Cut1) + i);
}

// The settings column of the row identification sheet (column 1, these rows).
enum class Setting {
    ShowZeros = 2,
    HideSubordinate = 3,
    HideEmptyRows = 4,
    HideEmptyCols = 5,
    HideMarkedRows = 6,
    HideMarkedCols = 7,
    RecalcOrder = 8,
    RowTotals = 9,
    ColTotals = 10,
    EditBar = 11,
};

// Special identification kinds of a body column or header row.
namespace SpecialKind {
constexpr int None = 0;
constexpr int Unit = 1;
constexpr int IndicatorCode = 2;
constexpr int Attr1Code = 3;
constexpr int Attr2Code = 4;
constexpr int ObjectCode = 5;
constexpr int Cut1Code = 6; // … 9 for cut 4
constexpr int Arbitrary = 10;
constexpr int NumberingBase = 10; // 10 + step
} // namespace SpecialKind

constexpr int kObjectsDirectoryType = 99;

// Which directory a slot holding a code names, by its directory type. A code without a
// type names none: it is an error everywhere, never taken for directory 1.
enum class SlotDirectory { Untyped, Objects, Aggregation };
inline SlotDirectory slotDirectory(int type) {
    if (type == kObjectsDirectoryType)
        return SlotDirectory::Objects;
    return type > 0 ? SlotDirectory::Aggregation : SlotDirectory::Untyped;
}
