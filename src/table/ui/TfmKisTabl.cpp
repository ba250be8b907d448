#include "TfmKisTabl.h"

#include "EditingCommands.h"

#include "CollectController.h"
#include "DbConnection.h"
#include "FillController.h"
#include "IdentOptionsController.h"
#include "MaskedTablePassword.h"
#include "OutsideFileSaver.h"
#include "PageSetupController.h"
#include "Prompter.h"
#include "SlotEntryController.h"
#include "StoreController.h"
#include "TBook.h"
#include "TBookIdentView.h"
#include "TablExchangeView.h"
#include "TableLayout.h"
#include "TdmMSSQL.h"
#include "TfmOptions.h"
#include "TfmPPrev.h"
#include "TfmProtocol.h"
#include "TfmSetParam.h"
#include "TfmSheets.h"
#include "TfmSpecial.h"
#include "ToolIcons.h"

#include "DirectoryMenu.h"
#include "TfmAgrView.h"
#include "TfmElmView.h"
#include "TfmPokView.h"
#include "TfmTime.h"
#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>

#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <utility>

using namespace TableLayout;

TfmKisTabl::TfmKisTabl(TdmMSSQL& dm, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_dm(dm), m_prompter(prompter), m_book(3), m_doc(dm, m_book, prompter),
      m_sheets(dm, m_doc.model(), prompter, m_doc.table()), m_titleRefs(m_doc.model()) {
    setObjectName(QStringLiteral("fmKisTabl"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(960, 680);

    m_password = std::make_unique<MaskedTablePassword>(m_prompter, this);
    m_doc.setPasswordDialog(m_password.get());

    Book = new TBook(this);
    Book->setObjectName(QStringLiteral("Book"));
    Book->setPrompter(&m_prompter);
    Book->setWorkbook(&m_book);

    buildMenus();
    buildToolBars();
    buildStatusBar();

    m_identView = std::make_unique<TBookIdentView>(
        Book, std::array<QLabel*, 3>{m_statusCell, m_statusMode, m_statusControl},
        [this](IdentMode mode) {
            m_sheets.setTitleModeActive(mode == IdentMode::Title);
            updateSheetCommands();
            UpdateMenu();
        });
    m_ident = std::make_unique<IdentContext>(IdentContext{
        m_doc.model(), m_dm, m_prompter, *m_identView, m_identState, CurrentIdentOptions()});
    m_slotEntry = std::make_unique<SlotEntryController>(*m_ident);
    m_editing = std::make_unique<EditingCommands>(m_doc.model(), m_prompter);
    wireIdentCommands();
    wirePickers();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(MainTB);
    layout->addWidget(FrmTB);
    layout->addWidget(Book, 1);
    layout->addWidget(StBar);

    connect(Book, &TBook::OnModified, this, &TfmKisTabl::onModified);
    connect(Book, &TBook::OnEndEdit, this, &TfmKisTabl::onEndEdit);
    connect(Book, &TBook::OnValidationFailed, this, &TfmKisTabl::onValidationFailed);
    connect(Book, &TBook::OnSelChange, this, [this] {
        m_slotEntry->selectionChanged();
        m_status->selectionChanged();
        updateSheetCommands();
        refreshFormatBar();
    });
}

TfmKisTabl::~TfmKisTabl() = default;

QAction* TfmKisTabl::addAction(QMenu* menu, const QString& name, const QString& caption,
                               bool enabled) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    a->setEnabled(enabled);
    menu->addAction(a);
    return a;
}

QAction* TfmKisTabl::action(const QString& name) const {
    return findChild<QAction*>(name);
}

void TfmKisTabl::buildMenus() {
    m_menuBar = new QMenuBar(this);

    QMenu* file = m_menuBar->addMenu(QStringLiteral("&Файл"));
    onCommand(addAction(file, QStringLiteral("Mopen"), QStringLiteral("Открыть внешний файл")),
              &TfmKisTabl::MopenClick);
    QAction* save = addAction(file, QStringLiteral("imSave"), QStringLiteral("Сохранить "));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    onCommand(save, &TfmKisTabl::cmSave);
    onCommand(addAction(file, QStringLiteral("Msave"), QStringLiteral("Сохранить как ..")),
              &TfmKisTabl::cmSaveAs);
    file->addSeparator();
    buildPrintCommands(file, nullptr);
    file->addSeparator();
    connect(addAction(file, QStringLiteral("imClose"), QStringLiteral("Закрыть")),
            &QAction::triggered, this, &QDialog::close);

    QMenu* edit = m_menuBar->addMenu(QStringLiteral("&Правка"));
    onCommand(addAction(edit, QStringLiteral("sbCut"), QStringLiteral("Вырезать")),
              [this] { Book->editCut(); });
    onCommand(addAction(edit, QStringLiteral("sbCopy"), QStringLiteral("Копировать")),
              [this] { Book->editCopy(); });
    onCommand(addAction(edit, QStringLiteral("sbPaste"), QStringLiteral("Поместить")),
              [this] { Book->editPaste(); });
    QMenu* clear = edit->addMenu(QStringLiteral("Очистить"));
    clear->menuAction()->setObjectName(QStringLiteral("Mclear"));
    addAction(clear, QStringLiteral("MclearAll"), QStringLiteral("Все"), false);
    addAction(clear, QStringLiteral("MclearFormats"), QStringLiteral("Формат"), false);
    addAction(clear, QStringLiteral("MclearValue"), QStringLiteral("Значения   Del"), false);
    addAction(edit, QStringLiteral("Mins"), QStringLiteral("Вставить"), false);
    addAction(edit, QStringLiteral("Mdel"), QStringLiteral("Удалить"), false);
    edit->addSeparator();
    onCommand(addAction(edit, QStringLiteral("Mfind"), QStringLiteral("Найти")),
              [this] { Book->editFindDlg(); });
    onCommand(addAction(edit, QStringLiteral("Mreplace"), QStringLiteral("Заменить")),
              [this] { Book->editReplaceDlg(); });

    buildEditMenu(edit);

    QMenu* sheets = m_menuBar->addMenu(QStringLiteral("&Листы"));
    onCommand(addAction(sheets, QStringLiteral("MinsSheet"), QStringLiteral("Вставить лист")),
              &TfmKisTabl::cmInsertSheet);
    onCommand(addAction(sheets, QStringLiteral("MdelSheet"), QStringLiteral("Удалить лист")),
              &TfmKisTabl::cmDeleteSheet);
    onCommand(addAction(sheets, QStringLiteral("SBsheet"), QStringLiteral("Список листов")),
              &TfmKisTabl::cmSheetList);
    onCommand(addAction(sheets, QStringLiteral("sbSeetsSel"), QStringLiteral("Выделить все листы")),
              &TfmKisTabl::cmSelectSheets);
    sheets->addSeparator();
    QAction* text =
        addAction(sheets, QStringLiteral("ShowSText"), QStringLiteral("Сопроводительный текст"));
    text->setCheckable(true);
    onCommand(text, [this, text] { cmShowText(text->isChecked()); });
    // The tick follows the text lines however they were shown or hidden (deleting the
    // last line, undo).
    for (QMenu* m : {edit, sheets})
        connect(m, &QMenu::aboutToShow, this,
                [this, text] { text->setChecked(m_sheets.accompanyingTextShown()); });
    QAction* lock = addAction(sheets, QStringLiteral("MlockSh"), QStringLiteral("Защита листа"));
    lock->setCheckable(true);
    onCommand(lock, &TfmKisTabl::cmLockSheet);
    // Hidden, reached by its shortcut only.
    QAction* maxCol = new QAction(QStringLiteral("Число колонок"), this);
    maxCol->setObjectName(QStringLiteral("miMaxCol"));
    maxCol->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    QDialog::addAction(maxCol);
    onCommand(maxCol, &TfmKisTabl::cmMaxCol);

    QMenu* ident = m_menuBar->addMenu(QStringLiteral("&Идентификация"));
    buildIdentMenu(ident);
    buildListMenu(ident);
    addAction(ident, QStringLiteral("Msved"), QStringLiteral("&Специальная идентификация"), false);
    addAction(ident, QStringLiteral("MhiddenS"), QStringLiteral("Отметка скрытых строк"), false);
    addAction(ident, QStringLiteral("MhiddenC"), QStringLiteral("Отметка скрытых колонок"), false);
    addAction(ident, QStringLiteral("imKodInternal"),
              QStringLiteral("Внутренние коды идентификации"), false);
    QAction* test = addAction(ident, QStringLiteral("imTestIdent"), QStringLiteral("Тестирование"));
    test->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    onCommand(test, &TfmKisTabl::imTestIdentClick);
    addAction(ident, QStringLiteral("Moption"), QStringLiteral("&Опции идентификации"), false);
    // Options and special identification serve normal work; the modes decide the rest.
    onCommand(action(QStringLiteral("Moption")), &TfmKisTabl::MoptionClick);
    action(QStringLiteral("Moption"))->setEnabled(true);
    QAction* internalCodes = action(QStringLiteral("imKodInternal"));
    internalCodes->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F7));
    onCommand(internalCodes, &TfmKisTabl::imKodInternalClick);
    onCommand(action(QStringLiteral("Msved")), &TfmKisTabl::MsvedClick);
    action(QStringLiteral("Msved"))->setEnabled(true);

    QMenu* data = m_menuBar->addMenu(QStringLiteral("&Данные"));
    QAction* fill =
        addAction(data, QStringLiteral("imLoadTabl"), QStringLiteral("Заполнить данными из БД"));
    fill->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9));
    onCommand(fill, &TfmKisTabl::SBunloadClick);
    QAction* store =
        addAction(data, QStringLiteral("imUnLoadTabl"), QStringLiteral("Загрузить данные в БД"));
    store->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
    onCommand(store, &TfmKisTabl::SBloadClick);
    onCommand(addAction(data, QStringLiteral("imCalcAgr"), QStringLiteral("Собрать с подчиненных")),
              &TfmKisTabl::sbCalcAgrClick);

    QMenu* calc = m_menuBar->addMenu(QStringLiteral("В&ычисления"));
    buildCalcMenu(calc);
    buildControlMenu(calc);

    buildFormatMenu();

    QMenu* view = m_menuBar->addMenu(QStringLiteral("&Вид"));
    for (const auto& [name, caption] : {std::pair{"Mtoolspanel", "Панель инструментов"},
                                        std::pair{"Mformpanel", "Панель форматирования"},
                                        std::pair{"Meditpanel", "Строка редактирования"}}) {
        QAction* a = addAction(view, QString::fromLatin1(name), QString::fromUtf8(caption));
        a->setCheckable(true);
        a->setChecked(true);
    }
    connect(action(QStringLiteral("Mtoolspanel")), &QAction::toggled, this,
            [this](bool on) { MainTB->setVisible(on); });
    connect(action(QStringLiteral("Mformpanel")), &QAction::toggled, this,
            [this](bool on) { FrmTB->setVisible(on); });
    connect(action(QStringLiteral("Meditpanel")), &QAction::toggled, this, [this](bool on) {
        Book->setShowEditBar(on);
        m_doc.setEditBarShown(on);
    });
    view->addSeparator();
    for (const auto& [name, caption] :
         {std::pair{"imZero", "Показать нули"}, std::pair{"imZeroStr", "Показать пустые строки"},
          std::pair{"imZeroCol", "Показать пустые колонки"},
          std::pair{"imHideElm", "Подчиненные объекты"},
          std::pair{"imHideStr", "Прятать отмеченные строки"},
          std::pair{"imHideCol", "Прятать отмеченные колонки"}}) {
        QAction* a = addAction(view, QString::fromLatin1(name), QString::fromUtf8(caption), false);
        a->setCheckable(true);
    }
    buildPrintCommands(nullptr, view);
    buildViewEditing(view);
    buildChartCommands(view);

    m_tenderMenu = m_menuBar->addMenu(QStringLiteral("Тендер"));
    m_tenderMenu->menuAction()->setObjectName(QStringLiteral("MTender"));
    buildTenderMenu(m_tenderMenu);
}

void TfmKisTabl::buildToolBars() {
    MainTB = new QToolBar(this);
    MainTB->setObjectName(QStringLiteral("MainTB"));
    auto* sbSave = MainTB->addAction(QStringLiteral("Сохранить"));
    sbSave->setObjectName(QStringLiteral("SBsave"));
    onCommand(sbSave, &TfmKisTabl::cmSave);
    auto* sbPrt = MainTB->addAction(QStringLiteral("Печать"));
    sbPrt->setObjectName(QStringLiteral("SBprt"));
    sbPrt->setToolTip(QStringLiteral("Печать "));
    onCommand(sbPrt, [this] { cmPrint(true); });
    auto* sbPreview = MainTB->addAction(QStringLiteral("Просмотр"));
    sbPreview->setObjectName(QStringLiteral("SBpreview"));
    sbPreview->setToolTip(QStringLiteral("Предварительный просмотр"));
    onCommand(sbPreview, &TfmKisTabl::cmPreview);
    MainTB->addSeparator();
    MainTB->addAction(action(QStringLiteral("sbCut")));
    MainTB->addAction(action(QStringLiteral("sbCopy")));
    MainTB->addAction(action(QStringLiteral("sbPaste")));
    MainTB->addSeparator();
    MainTB->addAction(action(QStringLiteral("SBsheet")));
    auto* sbUnload = MainTB->addAction(QStringLiteral("Заполнить"));
    sbUnload->setObjectName(QStringLiteral("SBunload"));
    sbUnload->setToolTip(QStringLiteral("Заполнить таблицу данными из БД"));
    onCommand(sbUnload, &TfmKisTabl::SBunloadClick);
    auto* sbLoad = MainTB->addAction(QStringLiteral("Загрузить"));
    sbLoad->setObjectName(QStringLiteral("SBload"));
    sbLoad->setToolTip(QStringLiteral("Загрузить в базу данных"));
    onCommand(sbLoad, &TfmKisTabl::SBloadClick);
    MainTB->addAction(action(QStringLiteral("sbSeetsSel")));
    auto* sbControl = MainTB->addAction(QStringLiteral("Контроль"));
    sbControl->setObjectName(QStringLiteral("sbControl"));
    sbControl->setToolTip(QStringLiteral("Контроль данных   Alt+K"));
    onCommand(sbControl, &TfmKisTabl::MControlClick);
    auto* sbMaxCol = MainTB->addAction(QStringLiteral("256"));
    sbMaxCol->setObjectName(QStringLiteral("sbMaxCol"));
    sbMaxCol->setVisible(false);
    onCommand(sbMaxCol, &TfmKisTabl::cmMaxCol);
    MainTB->addSeparator();
    for (const char* name : {"SBidbok", "SBidshap", "SBidzag"}) {
        auto* a = MainTB->addAction(QString::fromLatin1(name));
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
    }
    action(QStringLiteral("SBidbok"))->setText(QStringLiteral("Боковик"));
    action(QStringLiteral("SBidshap"))->setText(QStringLiteral("Шапка"));
    action(QStringLiteral("SBidzag"))->setText(QStringLiteral("Заголовок"));
    for (IdentMode m : {IdentMode::Side, IdentMode::Header, IdentMode::Title})
        action(IdentCommands::switchesOf(m).last())->setToolTip(IdentCommands::hintOf(m));
    MainTB->addSeparator();
    for (const char* name : {"SBhidrow", "SBhidcol", "sbCalcAgr", "SBSortUp", "SBSortDn"}) {
        auto* a = MainTB->addAction(QString::fromLatin1(name));
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(false);
    }
    action(QStringLiteral("SBhidrow"))->setText(QStringLiteral("Прятать строки"));
    action(QStringLiteral("SBhidcol"))->setText(QStringLiteral("Прятать колонки"));
    action(QStringLiteral("sbCalcAgr"))->setText(QStringLiteral("Собрать с подчиненных"));
    onCommand(action(QStringLiteral("sbCalcAgr")), &TfmKisTabl::sbCalcAgrClick);
    action(QStringLiteral("SBSortUp"))->setText(QStringLiteral("Сортировка по возрастанию"));
    action(QStringLiteral("SBSortDn"))->setText(QStringLiteral("Сортировка по убыванию"));
    auto* sbMerge = MainTB->addAction(QStringLiteral("Объединить ячейки"));
    sbMerge->setObjectName(QStringLiteral("sbMerge"));
    sbMerge->setCheckable(true);
    onCommand(sbMerge, [this, sbMerge] { cmMerge(sbMerge->isChecked()); });
    MainTB->addAction(action(QStringLiteral("sbChart")));

    buildZoomBox();

    buildFormatBar();
    ToolIcons::apply(MainTB);
    ToolIcons::apply(FrmTB);
}

void TfmKisTabl::buildStatusBar() {
    StBar = new QStatusBar(this);
    StBar->setObjectName(QStringLiteral("StBar"));
    StBar->setSizeGripEnabled(false);
    m_statusMode = new QLabel(StBar);
    m_statusCell = new QLabel(StBar);
    m_statusControl = new QLabel(StBar);
    m_statusCell->setObjectName(QStringLiteral("StPanel0"));
    m_statusMode->setObjectName(QStringLiteral("StPanel1"));
    m_statusControl->setObjectName(QStringLiteral("StPanel2"));
    pbLoad = new QProgressBar(StBar);
    pbLoad->setObjectName(QStringLiteral("pbLoad"));
    pbLoad->setMaximumWidth(200);
    pbLoad->setVisible(false);
    StBar->addWidget(m_statusMode, 1);
    StBar->addWidget(m_statusCell);
    StBar->addWidget(m_statusControl);
    StBar->addPermanentWidget(pbLoad);
}

void TfmKisTabl::openTable(const TableRef& table) {
    setWindowTitle(table.name);
    m_doc.open(table);
    Book->setWorkbook(&m_book);
    m_commands->forget();
    m_modes->reset();
    applyDocumentState();
    UpdateMenu();
    // What opening did is no edit of the user's.
    m_book.undoStack().setEnabled(true);
    m_book.undoStack().clear();
    updateUndoCommands();
}

int TfmKisTabl::editTable(const TableRef& table) {
    openTable(table);
    m_closing = false;
    return exec();
}

void TfmKisTabl::applyDocumentState() {
    const TableSettings& s = m_doc.settings();
    Book->setSheet(1);
    Book->setMaxCol(kColumnCount);
    Book->setShowTabs(true);
    Book->setShowEditBar(s.editBar);
    action(QStringLiteral("Meditpanel"))->setChecked(s.editBar);
    const SheetOptions o = m_book.sheet(1).options(); // a copy: the control writes back
    // The cursor first: placing it scrolls a viewport that is not laid out yet.
    Book->setActiveCell(o.activeRow, o.activeCol);
    Book->setTopRow(o.topRow);
    Book->setLeftCol(o.leftCol);

    m_sheets.keepOnlyActiveInGroup();

    action(QStringLiteral("imZero"))->setChecked(s.showZeros);
    action(QStringLiteral("imHideElm"))->setChecked(s.hideSubordinate);
    action(QStringLiteral("imZeroStr"))->setChecked(s.showEmptyRows);
    action(QStringLiteral("imZeroCol"))->setChecked(s.showEmptyCols);
    action(QStringLiteral("imHideStr"))->setChecked(s.hideMarkedRows);
    action(QStringLiteral("imHideCol"))->setChecked(s.hideMarkedCols);
    action(QStringLiteral("SBhidrow"))->setChecked(s.hideMarkedRows);
    action(QStringLiteral("SBhidcol"))->setChecked(s.hideMarkedCols);
    static const char* rowItems[] = {"ItogUp", "ItogDown", "ItogNoRow"};
    static const char* colItems[] = {"ItogRight", "ItogLeft", "ItogNoCol"};
    if (s.rowTotals >= 1 && s.rowTotals <= 3)
        action(QString::fromLatin1(rowItems[s.rowTotals - 1]))->setChecked(true);
    if (s.colTotals >= 1 && s.colTotals <= 3)
        action(QString::fromLatin1(colItems[s.colTotals - 1]))->setChecked(true);
    // Collecting sums objects of the objects directory: nothing to sum while it is off.
    action(QStringLiteral("imCalcAgr"))->setEnabled(m_doc.objectsDirectoryEnabled());
    action(QStringLiteral("sbCalcAgr"))->setEnabled(m_doc.objectsDirectoryEnabled());
    m_tenderMenu->menuAction()->setVisible(m_doc.table().tenderVisible());
    action(QStringLiteral("ShowSText"))->setChecked(m_doc.accompanyingTextShown());
    action(QStringLiteral("MlockSh"))->setChecked(m_sheets.protectionOn());
    updateSheetCommands();
    // The panels tell the starting cell at once, not only after the first move.
    m_status->selectionChanged();
    if (m_doc.storedUnreadable())
        m_statusMode->setText(QStringLiteral("Сохраненная таблица не прочитана"));
}

void TfmKisTabl::updateSheetCommands() {
    CommandFacts facts;
    facts.objectListAttached = m_doc.table().kodSpis != 0;
    facts.instanceSheets = m_doc.model().instanceCount();
    facts.instanceSheetActive = m_doc.model().isInstanceSheet(m_book.activeSheetIndex());
    m_commands->apply(m_identState.mode, facts);
    // Conditions belong to the instance sheets.
    if (m_identState.mode == IdentMode::Normal)
        for (const char* name : {"ConRow", "ConCol", "MControl", "sbControl", "MViewControl"})
            action(QString::fromLatin1(name))->setEnabled(facts.instanceSheetActive);
}

void TfmKisTabl::cmSave() {
    // The formula views change how the identification sheets look; the table is stored as
    // it looks outside them, and the view comes back.
    const IdentMode mode = m_identState.mode;
    const bool formulaView = mode == IdentMode::RowFormulas || mode == IdentMode::ColFormulas;
    if (formulaView)
        m_modes->leave();
    m_doc.save();
    if (formulaView) {
        m_modes->enter(mode);
        updateSheetCommands();
    }
}

void TfmKisTabl::cmSaveAs() {
    OutsideFileSaver saver(m_book, m_prompter);
    saver.setHtmlWriter([this](const QString& path) { return writeHtmlAs(path); });
    saver.saveAs();
}

void TfmKisTabl::cmInsertSheet() {
    if (m_sheets.insertSheet()) {
        Book->setSheet(m_book.activeSheetIndex());
        const SheetOptions o = m_book.activeSheet().options();
        Book->setActiveCell(o.activeRow, o.activeCol);
    }
    updateSheetCommands();
}

void TfmKisTabl::cmDeleteSheet() {
    if (m_sheets.deleteSelected())
        Book->setSheet(m_book.activeSheetIndex());
    updateSheetCommands();
}

void TfmKisTabl::cmSheetList() {
    m_modes->leave();
    TfmSheets list(m_doc.model(), m_prompter, this);
    if (list.exec() == QDialog::Accepted && list.chosenSheet() > 0)
        Book->setSheet(list.chosenSheet());
    updateSheetCommands();
    m_status->selectionChanged();
}

void TfmKisTabl::cmSelectSheets() {
    m_sheets.selectAll();
}

void TfmKisTabl::cmShowText(bool shown) {
    m_sheets.setAccompanyingTextShown(shown);
    action(QStringLiteral("ShowSText"))->setChecked(m_sheets.accompanyingTextShown());
}

void TfmKisTabl::cmLockSheet() {
    m_sheets.toggleProtection();
    Book->setEnableProtection(m_sheets.protectionOn());
    action(QStringLiteral("MlockSh"))->setChecked(m_sheets.protectionOn());
}

void TfmKisTabl::cmMaxCol() {
    m_sheets.setColumnCount255();
    Book->setMaxCol(kColumnCount - 1);
}

void TfmKisTabl::MoptionClick() {
    TfmOptions::fmOptions().showFor(*m_ident);
}

void TfmKisTabl::imKodInternalClick() {
    IdentOptionsController(*m_ident).showInternalCodes();
}

void TfmKisTabl::MsvedClick() {
    SpecialIdentification special(*m_ident, m_sheets);
    const std::optional<SpecialLine> line = special.begin();
    if (!line)
        return;
    TfmSpecial dialog(special, *line, this);
    dialog.exec();
}

void TfmKisTabl::onModified() {
    m_sheets.keepOnlyActiveInGroup();
    updateUndoCommands();
}

void TfmKisTabl::onEndEdit(const QString& text, bool* cancel) {
    const int row = Book->activeRow();
    const int col = Book->activeCol();
    // A locked cell takes nothing, so nothing may be written beside it either.
    if (Book->isCellProtected(row, col))
        return;
    if (!m_slotEntry->endEdit(Book->sheet(), row, col, text)) {
        *cancel = true;
        return;
    }
    // The entry is in the cell only once the control has finished the edit; a command
    // that finished it runs this at once (runAfterEntry), before its own work.
    m_afterEntry.append([this, row, col] {
        if (row >= kFirstTextRow && row <= kLastTextRow)
            m_titleRefs.lineFinished(row, col);
        else if (m_identState.mode == IdentMode::Title)
            m_titleRefs.refreshAllCopies(); // the block and the name in the last title line
        else if (row >= kFirstTitleRow && row <= kFirstHeaderRow)
            m_titleRefs.refreshTitleCopies();
    });
    QTimer::singleShot(0, this, &TfmKisTabl::runAfterEntry);
}

void TfmKisTabl::runAfterEntry() {
    const QList<std::function<void()>> pending = std::exchange(m_afterEntry, {});
    for (const auto& work : pending)
        work();
}

void TfmKisTabl::onCommand(QAction* a, std::function<void()> run) {
    connect(a, &QAction::triggered, this, [this, a, run = std::move(run)] {
        // The one way into every command: an entry still being typed is part of what the
        // command works on (Ctrl+S saves it); one the control will not take stops it.
        if (!finishEditing()) {
            if (a->isCheckable())
                a->setChecked(!a->isChecked()); // the tick goes back
            updateSheetCommands();
            return;
        }
        run();
    });
}

void TfmKisTabl::onCommand(QAction* a, void (TfmKisTabl::*command)()) {
    onCommand(a, [this, command] { (this->*command)(); });
}

void TfmKisTabl::closeEvent(QCloseEvent* event) {
    // The entry being typed is part of what the question is about; in a mode it is taken
    // as the mode takes it. One the control will not take keeps the window open.
    if (!m_closing && !finishEditing()) {
        event->ignore();
        return;
    }
    if (m_closing || m_doc.close()) {
        m_closing = true;
        event->accept();
        QDialog::done(QDialog::Accepted);
        return;
    }
    event->ignore();
}

void TfmKisTabl::reject() {
    escapePressed();
}

std::optional<ExchangeContext> TfmKisTabl::exchangeContext(ExchangeView& view) {
    // The storage-period lists are brought up to date by the command itself.
    try {
        return ExchangeContext{m_doc.model(),
                               m_dm,
                               m_prompter,
                               view,
                               CurrentStoragePeriods(),
                               AggregationDirectoryCount(m_dm.dbMain),
                               m_dm.dbMain.userName()};
    } catch (const std::exception& e) {
        m_prompter.error(
            QStringLiteral("Не удалось прочитать список справочников агрегации\r\n\r\n") +
            ErrorText(e));
        return std::nullopt;
    }
}

void TfmKisTabl::SBunloadClick() {
    TablExchangeView view(Book, pbLoad, m_statusMode);
    auto ctx = exchangeContext(view);
    if (!ctx)
        return;
    {
        UndoSuspend suspend(m_book.undoStack());
        FillController fill(*ctx);
        fill.setTenderMode(m_tender);
        const bool filled = fill.SBunloadClick();
        // Totals and formulas over rows and columns follow the new values, as cell
        // formulas do; they belong to the fill, which is not undone.
        if (filled && action(QStringLiteral("AutoCalc"))->isChecked())
            cmRecalc(fill.filledSheets().size() > 1);
    }
    forgetUndo(QStringLiteral("Заполнение из БД"));
    Book->viewport()->update();
}

void TfmKisTabl::sbCalcAgrClick() {
    TablExchangeView view(Book, pbLoad, m_statusMode);
    auto ctx = exchangeContext(view);
    if (!ctx)
        return;
    {
        UndoSuspend suspend(m_book.undoStack());
        const bool collected = CollectController(*ctx).sbCalcAgrClick();
        if (collected && action(QStringLiteral("AutoCalc"))->isChecked())
            cmRecalc(m_doc.model().instanceCount() > 1);
    }
    forgetUndo(QStringLiteral("Сбор с подчиненных"));
    Book->viewport()->update();
}

void TfmKisTabl::SBloadClick() {
    TablExchangeView view(Book, pbLoad, m_statusMode);
    auto ctx = exchangeContext(view);
    if (!ctx)
        return;
    {
        UndoSuspend suspend(m_book.undoStack());
        StoreController(*ctx).SBloadClick();
    }
    forgetUndo(QStringLiteral("Загрузка в БД"));
    Book->viewport()->update();
}
