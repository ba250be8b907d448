#include "TBook.h"

#include "BookClipboard.h"
#include "DropDownLayer.h"
#include "EditBar.h"
#include "SheetTabBar.h"

#include "Prompter.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

TBook::TBook(QWidget* parent)
    : QAbstractScrollArea(parent), m_ownBook(std::make_unique<Workbook>(1)),
      m_clipboard(std::make_unique<BookClipboard>(this)) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setBackgroundRole(QPalette::Base);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_tabs = new SheetTabBar(this);
    addScrollBarWidget(m_tabs, Qt::AlignLeft);
    connect(m_tabs, &SheetTabBar::sheetClicked, this,
            [this](int index, Qt::KeyboardModifiers mods) {
                if (mods & Qt::ControlModifier) {
                    if (index != sheet())
                        m_book->setInEditGroup(index, !m_book->isInEditGroup(index));
                    return;
                }
                if (mods & Qt::ShiftModifier) {
                    const int a = std::min(index, sheet()), b = std::max(index, sheet());
                    for (int i = 1; i <= numSheets(); ++i)
                        m_book->setInEditGroup(i, i >= a && i <= b);
                    return;
                }
                for (int i = 1; i <= numSheets(); ++i)
                    if (i != index)
                        m_book->setInEditGroup(i, false);
                const int before = sheet();
                setSheet(index);
                if (sheet() != before && m_doSelChange)
                    emit OnSelChange();
            });

    m_editBar = new EditBar(this);
    m_editBar->hide();
    connect(m_editBar, &EditBar::committed, this, [this](const QString& text) {
        if (commitEntry(text))
            setFocus();
    });
    connect(m_editBar, &EditBar::cancelled, this, [this] { setFocus(); });

    m_dropDowns = new DropDownLayer(this);
    attach(m_ownBook.get());
}

TBook::~TBook() {
    if (m_book)
        m_book->removeObserver(this);
}

void TBook::setWorkbook(Workbook* book) {
    attach(book ? book : m_ownBook.get());
}

void TBook::attach(Workbook* book) {
    if (m_editor)
        closeEditor();
    if (m_book)
        m_book->removeObserver(this);
    m_book = book;
    m_book->addObserver(this);
    loadViewState();
    updateChrome();
}

Prompter& TBook::prompter() const {
    return m_prompter ? *m_prompter : AppPrompter();
}

void TBook::loadViewState() {
    m_viewSheetId = activeSheet().id();
    const SheetOptions& o = activeSheet().options();
    m_topRow = o.topRow;
    m_leftCol = o.leftCol;
    m_curRow = std::clamp(o.activeRow, 1, maxRow());
    m_curCol = std::clamp(o.activeCol, 1, maxCol());
    m_extRow = m_curRow;
    m_extCol = m_curCol;
    const CellRange s = o.selection.normalized();
    if (s.isValid() && s.contains(m_curRow, m_curCol)) {
        m_extRow = s.row1 == m_curRow ? s.row2 : s.row1;
        m_extCol = s.col1 == m_curCol ? s.col2 : s.col1;
    }
    m_layoutDirty = true;
}

void TBook::storeViewState() {
    activeSheet().setViewPosition(m_topRow, m_leftCol, m_curRow, m_curCol, selection());
}

void TBook::changeOptions(const std::function<void(SheetOptions&)>& change) {
    SheetOptions o = activeSheet().options();
    change(o);
    activeSheet().setOptions(o);
}

// Tabs, edit bar, scroll bars and drop-downs after the sheet or its settings changed.
void TBook::updateChrome() {
    m_tabs->rebuild(*m_book);
    m_tabs->setVisible(m_showTabs);
    // The tabs share the row of the horizontal scroll bar, so they take its height.
    const int barExtent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    if (m_tabs->property("extent").toInt() != barExtent) {
        m_tabs->setProperty("extent", barExtent);
        m_tabs->setStyleSheet(
            QStringLiteral("QTabBar::tab { height: %1px; padding: 0 10px; }").arg(barExtent - 2));
    }
    const int barHeight = m_showEditBar ? m_editBar->sizeHint().height() : 0;
    setViewportMargins(0, barHeight, 0, 0);
    m_editBar->setVisible(m_showEditBar);
    if (m_showEditBar)
        m_editBar->setGeometry(frameWidth(), frameWidth(), width() - 2 * frameWidth(), barHeight);
    updateEditBar();
    m_layoutDirty = true;
    updateScrollBars();
    m_dropDowns->sync();
    refresh();
}

void TBook::updateEditBar() {
    if (m_showEditBar)
        m_editBar->show(cellName(m_curRow, m_curCol), m_book->entry(m_curRow, m_curCol));
}

void TBook::refresh() {
    m_layoutDirty = true;
    if (m_repaint)
        viewport()->update();
}

void TBook::userModified() {
    emit OnModified();
}

const SheetLayout& TBook::layout() const {
    if (m_layoutDirty) {
        m_layout.build(activeSheet(), QPoint(rowHeadingWidth(), colHeadingHeight()),
                       viewport()->size(), m_topRow, m_leftCol);
        m_layoutDirty = false;
    }
    return m_layout;
}

int TBook::rowHeadingWidth() const {
    if (!showRowHeading())
        return 0;
    if (m_rowHeadWidth < 0) {
        QFontMetrics fm(headingFont());
        int widest = fm.horizontalAdvance(QStringLiteral("16384"));
        const Sheet& s = activeSheet();
        for (int r = 1; r <= s.lastRowProps(); ++r)
            if (!s.rowHeading(r).isEmpty())
                widest = std::max(widest, fm.horizontalAdvance(s.rowHeading(r)));
        m_rowHeadWidth = widest + 10;
    }
    return m_rowHeadWidth;
}

QFont TBook::headingFont() const {
    QFont f = font();
    const double zoom = viewScale() / 100.0;
    if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, int(f.pixelSize() * zoom)));
    else
        f.setPointSizeF(std::max(1.0, f.pointSizeF() * zoom));
    return f;
}

int TBook::colHeadingHeight() const {
    return showColHeading() ? QFontMetrics(headingFont()).height() * 4 / 3 : 0;
}

void TBook::updateScrollBars() {
    m_syncingScroll = true;
    const SheetLayout& l = layout();
    const int visibleRows = std::max(1, l.lastFullRow() - l.topRow());
    const int visibleCols = std::max(1, l.lastFullCol() - l.leftCol());
    verticalScrollBar()->setRange(fixedRows() + 1, std::max(fixedRows() + 1, maxRow()));
    verticalScrollBar()->setPageStep(visibleRows);
    verticalScrollBar()->setValue(m_topRow);
    horizontalScrollBar()->setRange(fixedCols() + 1, std::max(fixedCols() + 1, maxCol()));
    horizontalScrollBar()->setPageStep(visibleCols);
    horizontalScrollBar()->setValue(m_leftCol);
    m_syncingScroll = false;
}

void TBook::scrollContentsBy(int, int) {
    if (m_syncingScroll)
        return;
    m_topRow = verticalScrollBar()->value();
    m_leftCol = horizontalScrollBar()->value();
    storeViewState();
    m_layoutDirty = true;
    m_dropDowns->place();
    if (m_editor)
        placeEditor();
    refresh();
}

void TBook::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateChrome();
}

void TBook::workbookDestroyed() {
    // Our owner may be half destroyed: no signals and no focus changes now; the control
    // shows its own empty workbook from the next turn of the event loop if it lives on.
    if (m_editor) {
        QLineEdit* editor = m_editor;
        m_editor = nullptr;
        editor->removeEventFilter(this);
        editor->hide();
        editor->deleteLater();
    }
    m_book->removeObserver(this);
    m_book = m_ownBook.get();
    m_book->addObserver(this);
    loadViewState();
    QTimer::singleShot(0, this, [this] { updateChrome(); });
}

void TBook::workbookChanged(const WorkbookChange& change) {
    if (change.kind != WorkbookChange::Cells)
        m_rowHeadWidth = -1;
    switch (change.kind) {
    case WorkbookChange::Cells:
        updateEditBar();
        refresh();
        return;
    case WorkbookChange::ActiveSheet:
    case WorkbookChange::Everything:
        if (m_editor)
            closeEditor();
        if (activeSheet().id() != m_viewSheetId)
            leaveSheetCharts();
        loadViewState();
        break;
    default:
        // Sheets inserted or deleted may leave another sheet active.
        if (activeSheet().id() != m_viewSheetId) {
            if (m_editor)
                closeEditor();
            leaveSheetCharts();
            loadViewState();
        }
        break;
    }
    // With painting off (bulk work of the program) the tabs, scroll bars and boxes are
    // brought up to date once, when painting is on again.
    m_layoutDirty = true;
    if (m_repaint)
        updateChrome();
}

void TBook::setNumSheets(int count) {
    count = std::max(1, count);
    while (numSheets() < count)
        m_book->insertSheet(numSheets() + 1);
    while (numSheets() > count)
        m_book->deleteSheet(numSheets());
}

void TBook::setSheet(int index) {
    if (!m_book->hasSheet(index) || index == sheet())
        return;
    if (m_editor && !endEdit())
        return;
    storeViewState();
    m_book->setActiveSheet(index);
}

int TBook::maxCol() const {
    return activeSheet().maxCol();
}
int TBook::maxRow() const {
    return activeSheet().maxRow();
}
void TBook::setMaxCol(int cols) {
    activeSheet().setMaxCol(cols);
}
void TBook::setMaxRow(int rows) {
    activeSheet().setMaxRow(rows);
}
int TBook::topRow() const {
    return layout().topRow();
}
int TBook::leftCol() const {
    return layout().leftCol();
}

void TBook::setTopRow(int row) {
    m_topRow = std::clamp(row, fixedRows() + 1, maxRow());
    storeViewState();
    updateChrome();
}

void TBook::setLeftCol(int col) {
    m_leftCol = std::clamp(col, fixedCols() + 1, maxCol());
    storeViewState();
    updateChrome();
}

// Frozen lines leave at least one line to scroll, whatever the sheet's options say.
int TBook::fixedRows() const {
    return std::min(activeSheet().options().frozenRows, maxRow() - 1);
}
int TBook::fixedCols() const {
    return std::min(activeSheet().options().frozenCols, maxCol() - 1);
}

void TBook::setFixedRows(int rows) {
    changeOptions([rows](SheetOptions& o) { o.frozenRows = std::max(0, rows); });
    m_topRow = std::max(m_topRow, fixedRows() + 1);
    updateChrome();
}

void TBook::setFixedCols(int cols) {
    changeOptions([cols](SheetOptions& o) { o.frozenCols = std::max(0, cols); });
    m_leftCol = std::max(m_leftCol, fixedCols() + 1);
    updateChrome();
}

bool TBook::showRowHeading() const {
    return activeSheet().options().showRowHeadings;
}
bool TBook::showColHeading() const {
    return activeSheet().options().showColHeadings;
}
bool TBook::showZeroValues() const {
    return activeSheet().options().showZeros;
}
bool TBook::showFormulas() const {
    return activeSheet().options().showFormulas;
}
int TBook::viewScale() const {
    return activeSheet().options().zoom;
}
bool TBook::enableProtection() const {
    return activeSheet().options().protection;
}

void TBook::setShowRowHeading(bool on) {
    changeOptions([on](SheetOptions& o) { o.showRowHeadings = on; });
}
void TBook::setShowColHeading(bool on) {
    changeOptions([on](SheetOptions& o) { o.showColHeadings = on; });
}
void TBook::setShowZeroValues(bool on) {
    changeOptions([on](SheetOptions& o) { o.showZeros = on; });
}
void TBook::setShowFormulas(bool on) {
    changeOptions([on](SheetOptions& o) { o.showFormulas = on; });
}
void TBook::setViewScale(int percent) {
    changeOptions([percent](SheetOptions& o) { o.zoom = std::clamp(percent, 10, 400); });
}
void TBook::setEnableProtection(bool on) {
    changeOptions([on](SheetOptions& o) { o.protection = on; });
}

void TBook::setShowTabs(bool on) {
    m_showTabs = on;
    updateChrome();
}

void TBook::setShowEditBar(bool on) {
    m_showEditBar = on;
    updateChrome();
}

void TBook::setRepaint(bool on) {
    m_repaint = on;
    viewport()->setUpdatesEnabled(on);
    if (on)
        updateChrome();
}

bool TBook::isCellProtected(int row, int col) const {
    return enableProtection() && activeSheet().format(row, col).locked;
}

bool TBook::isRangeProtected(const CellRange& range) const {
    if (!enableProtection())
        return false;
    // Blank cells count too: they carry the default format, which is locked.
    const CellRange r = range.normalized();
    const bool blankLocked = m_book->formats().at(0).locked;
    const CellStore& store = activeSheet().cells();
    for (int row = r.row1; row <= r.row2; ++row) {
        const CellRow* line = store.rowAt(row);
        if (!line) {
            if (blankLocked)
                return true;
            continue;
        }
        for (int col = r.col1; col <= r.col2; ++col) {
            const Cell* c = line->at(col);
            if (m_book->formats().at(c ? c->format : 0).locked)
                return true;
        }
    }
    return false;
}
