#pragma once

#include "SheetLayout.h"
#include "model/Workbook.h"

#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QPointer>

#include <memory>

class BookClipboard;
class DropDownLayer;
class EditBar;
class Prompter;
class SheetTabBar;

// The spreadsheet control: shows a Workbook and lets the user edit it. Only the visible
// area is painted. Properties carry the names the table editor knows them by; the events
// are signals of the same names. Everything the control changes goes through the
// Workbook, so other observers (and an undo stack) see every edit.
class TBook : public QAbstractScrollArea, public WorkbookObserver {
    Q_OBJECT
    Q_PROPERTY(int NumSheets READ numSheets WRITE setNumSheets)
    Q_PROPERTY(int Sheet READ sheet WRITE setSheet)
    Q_PROPERTY(int MaxCol READ maxCol WRITE setMaxCol)
    Q_PROPERTY(int MaxRow READ maxRow WRITE setMaxRow)
    Q_PROPERTY(int LastRow READ lastRow)
    Q_PROPERTY(int LastCol READ lastCol)
    Q_PROPERTY(int TopRow READ topRow WRITE setTopRow)
    Q_PROPERTY(int LeftCol READ leftCol WRITE setLeftCol)
    Q_PROPERTY(int FixedRows READ fixedRows WRITE setFixedRows)
    Q_PROPERTY(int FixedCols READ fixedCols WRITE setFixedCols)
    Q_PROPERTY(int SelStartRow READ selStartRow)
    Q_PROPERTY(int SelStartCol READ selStartCol)
    Q_PROPERTY(int SelEndRow READ selEndRow)
    Q_PROPERTY(int SelEndCol READ selEndCol)
    Q_PROPERTY(QString Selection READ selectionText WRITE setSelectionText)
    Q_PROPERTY(QString NumberFormat READ numberFormat WRITE setNumberFormat)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(int VAlign READ vAlign WRITE setVAlign)
    Q_PROPERTY(int FontCharSet READ fontCharSet WRITE setFontCharSet)
    Q_PROPERTY(bool ShowTabs READ showTabs WRITE setShowTabs)
    Q_PROPERTY(bool ShowEditBar READ showEditBar WRITE setShowEditBar)
    Q_PROPERTY(bool ShowRowHeading READ showRowHeading WRITE setShowRowHeading)
    Q_PROPERTY(bool ShowColHeading READ showColHeading WRITE setShowColHeading)
    Q_PROPERTY(bool ShowZeroValues READ showZeroValues WRITE setShowZeroValues)
    Q_PROPERTY(bool ShowFormulas READ showFormulas WRITE setShowFormulas)
    Q_PROPERTY(int ViewScale READ viewScale WRITE setViewScale)
    Q_PROPERTY(bool EnableProtection READ enableProtection WRITE setEnableProtection)
    Q_PROPERTY(bool AutoRecalc READ autoRecalc WRITE setAutoRecalc)
    Q_PROPERTY(bool Repaint READ repaint WRITE setRepaint)
    Q_PROPERTY(bool DoSelChange READ doSelChange WRITE setDoSelChange)
    Q_PROPERTY(QString FormattedText READ formattedText)
    Q_PROPERTY(int Mode READ mode WRITE setMode)
    Q_PROPERTY(bool PrintLandscape READ printLandscape WRITE setPrintLandscape)
    Q_PROPERTY(bool PrintNoColor READ printNoColor WRITE setPrintNoColor)
    Q_PROPERTY(int PrintScale READ printScale WRITE setPrintScale)
    Q_PROPERTY(double PrintLeftMargin READ printLeftMargin WRITE setPrintLeftMargin)
    Q_PROPERTY(double PrintRightMargin READ printRightMargin WRITE setPrintRightMargin)
    Q_PROPERTY(double PrintTopMargin READ printTopMargin WRITE setPrintTopMargin)
    Q_PROPERTY(double PrintBottomMargin READ printBottomMargin WRITE setPrintBottomMargin)
    Q_PROPERTY(double PrintHeaderMargin READ printHeaderMargin WRITE setPrintHeaderMargin)
    Q_PROPERTY(double PrintFooterMargin READ printFooterMargin WRITE setPrintFooterMargin)
    Q_PROPERTY(bool PrintHCenter READ printHCenter WRITE setPrintHCenter)
    Q_PROPERTY(bool PrintVCenter READ printVCenter WRITE setPrintVCenter)
    Q_PROPERTY(QString PrintHeader READ printHeader WRITE setPrintHeader)
    Q_PROPERTY(QString PrintFooter READ printFooter WRITE setPrintFooter)
    Q_PROPERTY(bool PrintGridLines READ printGridLines WRITE setPrintGridLines)
    Q_PROPERTY(bool PrintColHeading READ printColHeading WRITE setPrintColHeading)
    Q_PROPERTY(bool PrintRowHeading READ printRowHeading WRITE setPrintRowHeading)

public:
    // What OnValidationFailed may answer in its `action`.
    enum ValidationAction {
        ValidationRefuse = 0, // the cell keeps its content and the editor closes
        ValidationRetry = 1,  // the editor stays open with the refused text (the default)
        ValidationAccept = 2  // the entry is written after all
    };

    explicit TBook(QWidget* parent = nullptr);
    ~TBook() override;

    Workbook& workbook() { return *m_book; }
    const Workbook& workbook() const { return *m_book; }
    // Shows another workbook (owned by the caller, kept alive while shown); nullptr goes
    // back to the control's own one.
    void setWorkbook(Workbook* book);
    void setPrompter(Prompter* prompter) { m_prompter = prompter; }
    Prompter& prompter() const;

    int numSheets() const { return m_book->sheetCount(); }
    void setNumSheets(int count);
    int sheet() const { return m_book->activeSheetIndex(); }
    void setSheet(int index);
    int maxCol() const;
    int maxRow() const;
    void setMaxCol(int cols);
    void setMaxRow(int rows);
    int lastRow() const { return m_book->lastRow(); }
    int lastCol() const { return m_book->lastCol(); }
    int topRow() const;
    int leftCol() const;
    void setTopRow(int row);
    void setLeftCol(int col);
    int fixedRows() const;
    int fixedCols() const;
    void setFixedRows(int rows);
    void setFixedCols(int cols);

    int activeRow() const { return m_curRow; }
    int activeCol() const { return m_curCol; }
    void setActiveCell(int row, int col);
    CellRange selection() const;
    int selStartRow() const { return selection().row1; }
    int selStartCol() const { return selection().col1; }
    int selEndRow() const { return selection().row2; }
    int selEndCol() const { return selection().col2; }
    // The selection with the active cell at (row1, col1).
    void setSelection(int row1, int col1, int row2, int col2);
    QString selectionText() const;
    void setSelectionText(const QString& text);

    // Formats of the active cell, applied to the selection on write.
    QString numberFormat() const;
    void setNumberFormat(const QString& format);
    bool wordWrap() const;
    void setWordWrap(bool on);
    int vAlign() const; // 1 top, 2 centre, 3 bottom
    void setVAlign(int code);
    int fontCharSet() const;
    void setFontCharSet(int charset);
    void setSelectionFormat(const std::function<void(CellFormat&)>& change);

    bool showTabs() const { return m_showTabs; }
    void setShowTabs(bool on);
    bool showEditBar() const { return m_showEditBar; }
    void setShowEditBar(bool on);
    bool showRowHeading() const;
    bool showColHeading() const;
    bool showZeroValues() const;
    bool showFormulas() const;
    void setShowRowHeading(bool on);
    void setShowColHeading(bool on);
    void setShowZeroValues(bool on);
    void setShowFormulas(bool on);
    int viewScale() const;
    void setViewScale(int percent);
    bool enableProtection() const;
    void setEnableProtection(bool on);
    bool autoRecalc() const { return m_book->autoRecalc(); }
    void setAutoRecalc(bool on) { m_book->setAutoRecalc(on); }
    bool repaint() const { return m_repaint; }
    void setRepaint(bool on);
    bool doSelChange() const { return m_doSelChange; }
    void setDoSelChange(bool on) { m_doSelChange = on; }
    QString formattedText() const { return m_book->formattedText(m_curRow, m_curCol); }
    int mode() const { return m_mode; }
    // Mode 5 draws a chart of the selection: the next drag over the cells gives its frame.
    void setMode(int mode);
    static constexpr int ChartMode = 5;

    // Charts (TBookChart.cpp). beginChart enters the chart mode for a data range whose
    // names the caller has found; placeChart ends it with the frame a drag would give
    // (a single cell grows to a default size). The new chart is selected; a click on a
    // chart selects it, Delete removes the selected one.
    void beginChart(const ChartObject& source);
    int placeChart(CellRange frame);
    int selectedChart() const { return m_selectedChart; }
    bool deleteSelectedChart();

    // Print settings of the active sheet (TBookPrint.cpp); margins in inches.
#define ZEMRAK_PRINT_SETTING(type, getter, setter)                                                 \
    type getter() const;                                                                           \
    void setter(type value);
    ZEMRAK_PRINT_SETTING(bool, printLandscape, setPrintLandscape)
    ZEMRAK_PRINT_SETTING(bool, printNoColor, setPrintNoColor)
    ZEMRAK_PRINT_SETTING(int, printScale, setPrintScale)
    ZEMRAK_PRINT_SETTING(double, printLeftMargin, setPrintLeftMargin)
    ZEMRAK_PRINT_SETTING(double, printRightMargin, setPrintRightMargin)
    ZEMRAK_PRINT_SETTING(double, printTopMargin, setPrintTopMargin)
    ZEMRAK_PRINT_SETTING(double, printBottomMargin, setPrintBottomMargin)
    ZEMRAK_PRINT_SETTING(double, printHeaderMargin, setPrintHeaderMargin)
    ZEMRAK_PRINT_SETTING(double, printFooterMargin, setPrintFooterMargin)
    ZEMRAK_PRINT_SETTING(bool, printHCenter, setPrintHCenter)
    ZEMRAK_PRINT_SETTING(bool, printVCenter, setPrintVCenter)
    ZEMRAK_PRINT_SETTING(QString, printHeader, setPrintHeader)
    ZEMRAK_PRINT_SETTING(QString, printFooter, setPrintFooter)
    ZEMRAK_PRINT_SETTING(bool, printGridLines, setPrintGridLines)
    ZEMRAK_PRINT_SETTING(bool, printColHeading, setPrintColHeading)
    ZEMRAK_PRINT_SETTING(bool, printRowHeading, setPrintRowHeading)
#undef ZEMRAK_PRINT_SETTING

    // Editing commands on the selection (of every sheet in the edit group).
    void editCut();
    void editCopy();
    void editPaste();
    void editClear(ClearWhat what = ClearWhat::Values);
    void editFindDlg();
    void editReplaceDlg();
    // Finds `what` after the active cell and moves there; false when not found.
    bool findNext(const QString& what, bool matchCase = false, bool wholeCell = false);

    // In-place editing.
    bool isEditing() const {
        return m_editor != nullptr;
    }
    QLineEdit* editor() const {
        return m_editor;
    }
    void startEdit(const QString& initial, bool keepContent);
    // Ends the edit as Enter would; false when it was refused and the editor stays open.
    bool endEdit();
    void cancelEdit();
    // Writes `text` into the active cell as a finished edit would (events, validation).
    bool commitEntry(const QString& text);

    // True when the cell may not be changed now (protection on and the cell locked).
    bool isCellProtected(int row, int col) const;
    bool isRangeProtected(const CellRange& range) const;

    // Geometry of the current viewport (for tests and overlays).
    const SheetLayout& layout() const;
    QRect cellRect(int row, int col) const {
        return layout().cellRect(row, col);
    }
    int rowHeadingWidth() const;
    int colHeadingHeight() const;
    // The widget's font at the sheet's zoom, for headings.
    QFont headingFont() const;

    void workbookChanged(const WorkbookChange& change) override;
    void workbookDestroyed() override;

signals:
    void OnClick(int row, int col);
    void OnRClick(int row, int col);
    void OnSelChange();
    // The edited text; setting *cancel keeps the cell as it was and closes the editor.
    void OnEndEdit(const QString& editString, bool* cancel);
    // Setting *key to 0 stops the control from handling the key.
    void OnKeyDown(int* key, Qt::KeyboardModifiers shift);
    void OnKeyUp(int key, Qt::KeyboardModifiers shift);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnObjValueChanged(const QString& objectName, int objectId);
    void OnModified();
    // An entry broke the cell's validation rule. *showMessage (true on entry) lets the
    // control show `message`; *action is a ValidationAction (ValidationRetry on entry).
    void OnValidationFailed(const QString& message, bool* showMessage, int* action);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    friend class BookClipboard;
    enum class Hit { None, Corner, RowHeading, ColHeading, Cell };
    enum class Drag { None, Cells, Rows, Cols, RowSize, ColSize, Chart };

    Sheet& activeSheet() {
        return m_book->activeSheet();
    }
    const Sheet& activeSheet() const {
        return m_book->activeSheet();
    }
    void attach(Workbook* book);
    void loadViewState();
    void storeViewState();
    void changeOptions(const std::function<void(SheetOptions&)>& change);
    void updateScrollBars();
    void updateChrome();
    void updateEditBar();
    void refresh();
    void userModified();

    // Painting (TBookPaint.cpp).
    void paintCells(QPainter& p, const SheetLayout& l, const QRect& area);
    void paintMerged(QPainter& p, const SheetLayout& l, class CellPainter& cp);
    void paintRunIn(QPainter& p, const SheetLayout& l, CellPainter& cp,
                    const QList<CellRange>& merged);
    void paintSelection(QPainter& p, const SheetLayout& l);
    void paintHeadings(QPainter& p, const SheetLayout& l);
    void paintCharts(QPainter& p, const SheetLayout& l);
    void leaveSheetCharts();
    bool chartKey(QKeyEvent* event);

    // Cursor and selection (TBookInput.cpp).
    Hit hitTest(QPoint pos, int& row, int& col) const;
    int resizeHandle(QPoint pos, bool& rows) const;
    void fitColumn(int col);
    void moveCursor(int row, int col, bool extend);
    void moveBy(int dRow, int dCol, bool extend);
    void ensureVisible(int row, int col);
    int stepRow(int row, int delta) const;
    int stepCol(int col, int delta) const;
    QPoint dataEdge(int row, int col, int dRow, int dCol) const;
    void selectionChanged();
    bool handleNavigationKey(QKeyEvent* event);

    // Editing (TBookEditing.cpp).
    bool editorKey(QKeyEvent* event);
    void placeEditor();
    void closeEditor();
    bool refuseProtected(const CellRange& range);

    Workbook* m_book = nullptr;
    std::unique_ptr<Workbook> m_ownBook;
    Prompter* m_prompter = nullptr;
    mutable SheetLayout m_layout;
    mutable bool m_layoutDirty = true;
    mutable int m_rowHeadWidth = -1; // measured again when rows or headings change

    int m_curRow = 1, m_curCol = 1; // the active cell, also the selection's anchor
    int m_extRow = 1, m_extCol = 1; // the other corner of the selection
    int m_topRow = 1, m_leftCol = 1;
    uint32_t m_viewSheetId = 0; // the sheet the cursor fields belong to
    bool m_showTabs = true;
    bool m_showEditBar = false;
    bool m_repaint = true;
    bool m_doSelChange = true;
    int m_mode = 0;
    ChartObject m_chartSource;
    CellRange m_chartDrag; // the frame being drawn in the chart mode
    int m_selectedChart = 0;
    bool m_syncingScroll = false;

    Drag m_drag = Drag::None;
    int m_dragLine = 0;
    int m_dragStart = 0;
    int m_dragStartSize = 0;

    QPointer<QLineEdit> m_editor;
    QString m_editOriginal;
    bool m_editKeepsArrows = false; // started by F2 / double click: arrows move in the text
    bool m_committing = false;
    bool m_editRefused = false; // the last ended edit was cancelled or refused

    SheetTabBar* m_tabs = nullptr;
    EditBar* m_editBar = nullptr;
    DropDownLayer* m_dropDowns = nullptr;
    std::unique_ptr<BookClipboard> m_clipboard;
};
