#pragma once

// Help contexts of the windows and modes: each number is a line of doc/help/contexts.txt
// that names a page and its section. Numbers up to 999 are the system's own; windows
// that never had one take numbers from 1001 on.
namespace HelpContexts {
inline constexpr int SideIdent = 38;
inline constexpr int HeaderIdent = 42;
inline constexpr int TitleIdent = 43;
inline constexpr int Collections = 1001;
inline constexpr int TableEditor = 1002;
inline constexpr int Periods = 1003;
inline constexpr int Passwords = 1005;
inline constexpr int IdentOptions = 1006;
inline constexpr int SpecialIdent = 1007;
inline constexpr int SheetList = 1008;
inline constexpr int HiddenMarks = 1009;
inline constexpr int Login = 1010;
inline constexpr int RecalcOrder = 1011;
inline constexpr int FormulaViews = 1012;
inline constexpr int ControlConditions = 1013;
inline constexpr int Protocol = 1014;
inline constexpr int Indicators = 1020;
inline constexpr int PageSetup = 1040;
inline constexpr int Preview = 1041;
inline constexpr int Rights = 1050;
inline constexpr int CellFormat = 28;
inline constexpr int LineSize = 29;
inline constexpr int Operations = 99;
inline constexpr int Editing = 1030;
inline constexpr int Composition = 1060;
inline constexpr int AggregationTree = 1061;
inline constexpr int Objects = 1062;
inline constexpr int IndicatorPicker = 1070;
inline constexpr int PeriodPicker = 1071;
inline constexpr int ObjectListCreate = 1072;
inline constexpr int ObjectListDelete = 1073;
inline constexpr int NodePicker = 1074;
inline constexpr int ObjectsPicker = 1075;
inline constexpr int ObjectExpansion = 1120;
inline constexpr int ObjectListLaying = 1121;
inline constexpr int HideSubordinate = 1122;
inline constexpr int Collecting = 1090;
inline constexpr int TenderOrder = 1091;
inline constexpr int TenderAnalysis = 1092;
inline constexpr int TenderAllocation = 1093;
inline constexpr int TenderReplace = 1094;
inline constexpr int MedstatDialog = 1110;
inline constexpr int MedstatViewer = 1111;
inline constexpr int MedstatCheck = 1112;
inline constexpr int Import = 60;
inline constexpr int ImportText = 61;
inline constexpr int ImportDbf = 59;
inline constexpr int Chart = 1130;
inline constexpr int FontDialog = 1131;
inline constexpr int ImportSheetMerge = 24;

// Every context the windows use, for the test that walks them.
inline constexpr int used[] = {
    SideIdent,        HeaderIdent,     TitleIdent,      Collections,    TableEditor,
    Periods,          Passwords,       IdentOptions,    SpecialIdent,   SheetList,
    HiddenMarks,      Login,           RecalcOrder,     FormulaViews,   ControlConditions,
    Protocol,         Indicators,      PageSetup,       Preview,        Rights,
    CellFormat,       LineSize,        Operations,      Editing,        Composition,
    AggregationTree,  Objects,         IndicatorPicker, PeriodPicker,   ObjectListCreate,
    ObjectListDelete, Collecting,      TenderOrder,     TenderAnalysis, TenderAllocation,
    MedstatDialog,    MedstatViewer,   MedstatCheck,    Import,         ImportText,
    ImportDbf,        NodePicker,      ObjectsPicker,   TenderReplace,  ObjectExpansion,
    ObjectListLaying, HideSubordinate, Chart,           FontDialog,     ImportSheetMerge};
} // namespace HelpContexts
