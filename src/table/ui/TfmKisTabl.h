#pragma once

#include "ExchangeContext.h"
#include "HelpKey.h"
#include "HiddenMarkController.h"
#include "IdentCommands.h"
#include "IdentContext.h"
#include "IdentModeController.h"
#include "IdentStatus.h"
#include "InstanceSheets.h"
#include "ProtocolText.h"
#include "TableDocument.h"
#include "TitleReferences.h"

#include "model/Workbook.h"

#include <QDialog>
#include <QList>

#include <functional>
#include <memory>
#include <optional>

class Prompter;
class ExchangeView;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QStatusBar;
class QToolBar;
class SlotEntryController;
class EditingCommands;
class TBook;
class TBookIdentView;
class TdmMSSQL;
class TfmProtocol;
class PageSetupController;
class TfmPPrev;
class TfmSetParam;
class TfmAgrView;
class TfmElmView;
class TfmPokView;
class TfmTime;
class DirectoryMenu;
class ObjectLists;
class ObjectExpansion;
struct PickClick;
struct PickedEntry;
enum class PickKind;
class TenderController;
enum class ControlLine;

// The table editor: one table's workbook in the spreadsheet control `Book`, shown
// modally by the collections window. Commands live in TableDocument, InstanceSheets and
// their kin; the window wires menus and buttons to them.
class TfmKisTabl : public QDialog, public HelpContextSource {
    Q_OBJECT
public:
    TfmKisTabl(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);
    ~TfmKisTabl() override;

    // Opens the table and shows the window modally until it is closed.
    int editTable(const TableRef& table);
    // Opens the table without showing the window (the window's opening steps).
    void openTable(const TableRef& table);

    TBook* Book = nullptr;
    TableDocument& document() { return m_doc; }
    InstanceSheets& sheets() { return m_sheets; }
    QAction* action(const QString& name) const;
    IdentModeController& modes() { return *m_modes; }
    HiddenMarkController& hiddenMarks() { return *m_marks; }
    IdentEditState& identState() { return m_identState; }

    // "Заполнить таблицу данными из БД" and "Загрузить в базу данных".
    void SBunloadClick();
    void SBloadClick();
    // "Собрать с подчиненных".
    void sbCalcAgrClick();
    // Set by the tender allocation around its fill: the active sheet only, no question.
    void setTenderFill(bool on) { m_tender = on; }
    // F1 opens the page of the identification mode the editor is in.
    int helpContext() const override;

    // Control conditions and the identification test; their findings go to fmProtocol.
    void ControlEntryClick(ControlLine line);
    void MControlClick();
    void MViewControlClick();
    void imTestIdentClick();
    TfmProtocol& fmProtocol();

    // Printing, preview, page setup and HTML pages (TfmKisTablPrint.cpp).
    void cmPrint(bool fromToolBar);
    void cmPreview();
    void cmPageSetup();
    void cmPrinter();
    void cmPageParts(bool on);
    void cmSaveHtml();
    // "Сохранить как .." in HTML: the table's pages under the chosen name, told by the saver.
    bool writeHtmlAs(const QString& path);
    TfmSetParam& fmSetParam();
    TfmPPrev& fmPPrev();
    PageSetupController& pageSetup();

    // Directory pickers and object lists (TfmKisTablPick.cpp).
    TfmPokView& fmPokView();
    TfmAgrView& fmAgrView();
    TfmElmView& fmElmView();
    TfmTime& fmTime();
    QMenu* PopMenu = nullptr;
    // Rebuilds the directory pop-up: on opening, on every mode switch, after an object or
    // cut entry and after a list was made.
    void UpdateMenu();
    void onRightClick(int row, int col);
    void MCrSpFrTableClick();
    void MDelSpisClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildMenus();
    void buildToolBars();
    void buildStatusBar();
    void applyDocumentState();
    void updateSheetCommands();
    QAction* addAction(QMenu* menu, const QString& name, const QString& caption,
                       bool enabled = true);

    std::optional<ExchangeContext> exchangeContext(ExchangeView& view);
    void cmSave();
    void cmSaveAs();
    // "Открыть внешний файл" (TfmKisTablImport.cpp).
    void MopenClick();
    void cmInsertSheet();
    void cmDeleteSheet();
    void cmSheetList();
    void cmSelectSheets();
    void cmShowText(bool shown);
    void cmLockSheet();
    void cmMaxCol();
    void MoptionClick();
    void imKodInternalClick();
    void MsvedClick();
    void onModified();
    void onEndEdit(const QString& text, bool* cancel);
    // Wires a window command: every command goes through the same door, which finishes
    // an entry still being typed first.
    void onCommand(QAction* a, std::function<void()> run);
    void onCommand(QAction* a, void (TfmKisTabl::*command)());
    void runAfterEntry();
    void buildIdentMenu(QMenu* ident);
    // "Вычисления": recalculation, its order, formulas over rows and columns, totals.
    void buildCalcMenu(QMenu* calc);
    void cmRecalc(bool allPages);
    void cmPrior();
    void cmSetFormula(bool rows);
    void cmTotalsPlacement(int setting, int value);
    void wireIdentCommands();
    void identModeCommand(IdentMode mode);
    bool finishEditing();
    void onKeyDown(int* key, Qt::KeyboardModifiers shift);
    void escapePressed();
    void cmHideRows();
    void cmHideCols();
    void imHideElmClick();
    void buildControlMenu(QMenu* data);
    void showProtocol();
    void onValidationFailed(const QString& message, bool* showMessage, int* action);
    void buildPrintCommands(QMenu* file, QMenu* view);
    // Editing commands (TfmKisTablEdit.cpp).
    void buildEditMenu(QMenu* edit);
    void buildViewEditing(QMenu* view);
    void buildZoomBox();
    void cmInsertDelete(bool insert);
    void cmUndo(bool redo);
    void afterEditingCommand();
    void updateUndoCommands();
    void forgetUndo(const QString& command);
    // The menu "Тендер" (TfmKisTablTender.cpp).
    void buildTenderMenu(QMenu* tender);
    void tenderCommand(bool (TenderController::*command)());
    // A right click in the consolidated order opens "Замена поставщика".
    bool replaceSupplierAt(int row);
    // Formatting (TfmKisTablFormat.cpp).
    void buildFormatMenu();
    void buildFormatBar();
    void setSelectionFormat(const QString& text, const std::function<void(CellFormat&)>& change);
    void cmCellFormat();
    void cmLineSize(bool height);
    void cmDigits(bool more);
    void cmBorder();
    void cmFill();
    void cmFontDialog();
    void cmAutoFit(bool rows);
    void cmMerge(bool on);
    // "Диаграмма" (TfmKisTablChart.cpp).
    void buildChartCommands(QMenu* view);
    void cmChart();
    // The formatting bar and the "Формат" ticks follow the active cell.
    void refreshFormatBar();
    QString m_border; // the border panel's last choice
    void buildListMenu(QMenu* ident);
    void wirePickers();
    ObjectLists objectLists();
    bool listsOffered() const;
    void openIndicatorPicker(const PickClick& click);
    void openPeriodPicker(const PickClick& click);
    void openNodePicker(const PickClick& click, int numAgr, const QString& caption);
    void openObjectsPicker(const PickClick& click);
    void popItemChosen(int index);
    // "Развернуть" of the objects directory and laying an object list.
    void expandObjects(const PickClick& click);
    void layObjectList(int kodSpis);
    // The objects picker leaves the options dialog out.
    bool transferPicked(const PickClick& click, PickKind kind, const QList<PickedEntry>& entries,
                        bool offerOptions = true, ObjectExpansion* expansion = nullptr);
    void afterPlacement();
    std::unique_ptr<TfmPokView> m_fmPokView;
    std::unique_ptr<TfmAgrView> m_fmAgrView;
    std::unique_ptr<TfmElmView> m_fmElmView;
    // The click the directory pop-up was shown for.
    std::shared_ptr<PickClick> m_popClick;
    std::unique_ptr<TfmTime> m_fmTime;
    std::unique_ptr<DirectoryMenu> m_dirMenu;

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    Workbook m_book;
    TableDocument m_doc;
    std::unique_ptr<TablePassword> m_password;
    InstanceSheets m_sheets;
    TitleReferences m_titleRefs;
    IdentEditState m_identState;
    std::unique_ptr<TBookIdentView> m_identView;
    std::unique_ptr<IdentContext> m_ident; // the identification commands' context
    std::unique_ptr<IdentModeController> m_modes;
    std::unique_ptr<HiddenMarkController> m_marks;
    std::unique_ptr<IdentStatus> m_status;
    std::unique_ptr<CommandSet> m_commandSet;
    std::unique_ptr<IdentCommands> m_commands;
    std::unique_ptr<SlotEntryController> m_slotEntry;
    std::unique_ptr<EditingCommands> m_editing;
    QList<std::function<void()>> m_afterEntry; // work of finished entries not yet done
    bool m_closing = false;
    int m_commandHelp = 0; // the page of a command that is asking its questions, 0 for none
    bool m_tender = false;
    ProtocolText m_protocol;
    std::unique_ptr<TfmProtocol> m_fmProtocol;
    std::unique_ptr<PageSetupController> m_pageSetup;
    std::unique_ptr<TfmSetParam> m_fmSetParam;
    std::unique_ptr<TfmPPrev> m_fmPPrev;

    QMenuBar* m_menuBar = nullptr;
    QToolBar* MainTB = nullptr;
    QToolBar* FrmTB = nullptr;
    QStatusBar* StBar = nullptr;
    QLabel* m_statusMode = nullptr;
    QLabel* m_statusCell = nullptr;
    QLabel* m_statusControl = nullptr;
    QProgressBar* pbLoad = nullptr;
    QMenu* m_tenderMenu = nullptr;
};
