// The table editor's directory pickers: the right click on an identification slot, the
// directory pop-up PopMenu, the transfer into the table and the object lists.
#include "TfmKisTabl.h"

#include "DirectoryMenu.h"
#include "HelpContexts.h"
#include "IdentModel.h"
#include "ListLaying.h"
#include "ObjectExpansion.h"
#include "ObjectLists.h"
#include "ObjectPicking.h"
#include "PickClick.h"
#include "Placement.h"
#include "SlotEntryController.h"
#include "StoragePeriods.h"
#include "TBook.h"
#include "TBookIdentView.h"
#include "TfmAgrView.h"
#include "TfmCrtSpis.h"
#include "TfmDelSpis.h"
#include "TfmElmView.h"
#include "TfmOptions.h"
#include "TfmPokView.h"
#include "TfmTime.h"

#include "DbError.h"

#include <QAction>
#include <QMenu>

void TfmKisTabl::buildListMenu(QMenu* ident) {
    QMenu* spis = ident->addMenu(QStringLiteral("Список"));
    spis->menuAction()->setObjectName(QStringLiteral("MSpis"));
    onCommand(addAction(spis, QStringLiteral("MCrSpFrTable"), QStringLiteral("Создать из таблицы"),
                        false),
              &TfmKisTabl::MCrSpFrTableClick);
    onCommand(addAction(spis, QStringLiteral("MDelSpis"), QStringLiteral("Удалить"), false),
              &TfmKisTabl::MDelSpisClick);
    // Both states follow the mode and the lists as the menu opens.
    connect(ident, &QMenu::aboutToShow, this, [this] {
        const IdentMode mode = m_identState.mode;
        action(QStringLiteral("MCrSpFrTable"))
            ->setEnabled(mode == IdentMode::Side || mode == IdentMode::Title);
        bool any = false;
        try {
            any = !objectLists().lists().isEmpty();
        } catch (const DbError&) {
        }
        action(QStringLiteral("MDelSpis"))->setEnabled(any);
    });
}

void TfmKisTabl::wirePickers() {
    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    SetHelpContext(PopMenu, HelpContexts::ObjectExpansion);
    m_dirMenu = std::make_unique<DirectoryMenu>(m_dm);
    m_slotEntry->setDirectoryEntryHook([this] { UpdateMenu(); });
    connect(Book, &TBook::OnRClick, this, [this](int row, int col) { onRightClick(row, col); });
}

ObjectLists TfmKisTabl::objectLists() {
    return ObjectLists(m_dm, m_doc.model(), m_prompter, m_doc.table().kodElmt);
}

bool TfmKisTabl::listsOffered() const {
    return m_identState.mode == IdentMode::Side || m_identState.mode == IdentMode::Title;
}

void TfmKisTabl::UpdateMenu() {
    if (!PopMenu)
        return;
    m_dirMenu->update(listsOffered());
    PopMenu->clear();
    int n = 0;
    for (const DirectoryMenuItem& item : m_dirMenu->items()) {
        if (item.kind == DirectoryMenuItem::Separator) {
            PopMenu->addSeparator()->setEnabled(false);
            continue;
        }
        QAction* a = PopMenu->addAction(item.caption);
        const int index = n++;
        a->setObjectName(QStringLiteral("PopItem%1").arg(n));
        connect(a, &QAction::triggered, this, [this, index] { popItemChosen(index); });
    }
}

void TfmKisTabl::popItemChosen(int index) {
    if (!m_popClick)
        return;
    const PickClick click = *m_popClick;
    int seen = 0;
    for (const DirectoryMenuItem& item : m_dirMenu->items()) {
        if (item.kind == DirectoryMenuItem::Separator || seen++ != index)
            continue;
        if (item.kind == DirectoryMenuItem::Aggregation)
            openNodePicker(click, item.key, item.caption);
        else if (item.kind == DirectoryMenuItem::Objects)
            openObjectsPicker(click);
        else if (item.kind == DirectoryMenuItem::ObjectList)
            layObjectList(item.key);
        return;
    }
}

void TfmKisTabl::onRightClick(int row, int col) {
    if (!finishEditing())
        return;
    IdentModel& model = m_doc.model();
    model.readGeometry();
    if (replaceSupplierAt(row))
        return;
    const PickClick click =
        PickClick::classify(model, m_identState.mode, Book->sheet(), row, col, m_prompter);
    switch (click.picker) {
    case PickClick::None:
        return;
    case PickClick::Indicators:
        openIndicatorPicker(click);
        return;
    case PickClick::Periods:
        openPeriodPicker(click);
        return;
    case PickClick::ObjectDirectories:
        UpdateMenu();
        if (m_dirMenu->opensDirectly(listsOffered())) {
            const DirectoryMenuItem& first = m_dirMenu->firstAggregation();
            openNodePicker(click, first.key, first.caption);
            return;
        }
        if (PopMenu->isEmpty()) {
            m_prompter.info(DirectoryMenu::noDirectories());
            return;
        }
        m_popClick = std::make_shared<PickClick>(click);
        PopMenu->popup(Book->mapToGlobal(
            QPoint(std::max(0, Book->width() - 250), std::max(0, Book->height() - 200))));
        return;
    }
}

TfmPokView& TfmKisTabl::fmPokView() {
    if (!m_fmPokView)
        m_fmPokView = std::make_unique<TfmPokView>(m_dm, m_prompter, this);
    return *m_fmPokView;
}

TfmAgrView& TfmKisTabl::fmAgrView() {
    if (!m_fmAgrView)
        m_fmAgrView = std::make_unique<TfmAgrView>(m_dm, m_prompter, this);
    return *m_fmAgrView;
}

TfmElmView& TfmKisTabl::fmElmView() {
    if (!m_fmElmView)
        m_fmElmView = std::make_unique<TfmElmView>(m_dm, m_prompter, this);
    return *m_fmElmView;
}

TfmTime& TfmKisTabl::fmTime() {
    if (!m_fmTime)
        m_fmTime = std::make_unique<TfmTime>(m_prompter, this);
    return *m_fmTime;
}

void TfmKisTabl::openIndicatorPicker(const PickClick& click) {
    TfmPokView& w = fmPokView();
    w.setTransfer([this, click](const QList<PickedEntry>& entries) {
        return transferPicked(click, PickKind::Indicator, entries);
    });
    w.exec();
}

void TfmKisTabl::openPeriodPicker(const PickClick& click) {
    TfmTime& w = fmTime();
    try {
        RefreshStoragePeriods(m_dm);
    } catch (const DbError& e) {
        m_prompter.error(QStringLiteral("Не удалось прочитать периоды хранения\r\n") + e.message());
        return;
    }
    w.activate(CurrentStoragePeriods());
    w.setTransfer([this, click](const QList<PickedEntry>& entries) {
        return transferPicked(click, PickKind::Period, entries);
    });
    w.exec();
}

void TfmKisTabl::openNodePicker(const PickClick& click, int numAgr, const QString& caption) {
    TfmAgrView& w = fmAgrView();
    w.activate(numAgr, caption);
    w.setTransfer([this, click](const QList<PickedEntry>& entries) {
        return transferPicked(click, PickKind::Node, entries);
    });
    w.exec();
}

void TfmKisTabl::openObjectsPicker(const PickClick& click) {
    // The user confirms the mode first, or changes it in the options dialog.
    if (!m_prompter.confirm(ObjectPicking::modeQuestion(CurrentIdentOptions().identMode),
                            Answer::Yes) &&
        TfmOptions::fmOptions().showFor(*m_ident) != QDialog::Accepted)
        return;
    if (CurrentIdentOptions().identMode == 2) {
        expandObjects(click);
        return;
    }
    TfmElmView& w = fmElmView();
    w.setTransfer([this, click](const QList<PickedEntry>& entries) {
        return transferPicked(click, PickKind::Object, entries, false);
    });
    w.exec();
}

void TfmKisTabl::expandObjects(const PickClick& click) {
    ObjectExpansion expansion(m_dm, m_doc.model(), m_prompter);
    if (!expansion.allowed(click.target.region))
        return;
    transferPicked(click, PickKind::Object, {}, false, &expansion);
    // New rows of subordinate objects follow "Подчиненные объекты".
    if (m_doc.model().setting(Setting::HideSubordinate) != 0)
        m_marks->applySubordinateRows(true);
}

void TfmKisTabl::layObjectList(int kodSpis) {
    m_identView->setSelectionEvents(false);
    ListLaying laying(m_dm, m_doc.model(), m_prompter, m_sheets, m_doc.table());
    const bool laid = laying.lay(m_identState.mode, kodSpis);
    m_identView->showSheet(m_book.activeSheetIndex());
    m_identView->setSelectionEvents(true);
    if (laid && m_identState.mode == IdentMode::Title)
        m_titleRefs.refreshAllCopies();
    afterPlacement();
}

void TfmKisTabl::afterPlacement() {
    updateSheetCommands();
    updateUndoCommands();
    m_status->selectionChanged();
    Book->viewport()->update();
}

bool TfmKisTabl::transferPicked(const PickClick& click, PickKind kind,
                                const QList<PickedEntry>& entries, bool offerOptions,
                                ObjectExpansion* expansion) {
    IdentOptions& options = CurrentIdentOptions();
    if (offerOptions && options.showEachTime &&
        TfmOptions::fmOptions().showFor(*m_ident) != QDialog::Accepted)
        return false;
    PlacementRequest q = click.target;
    q.kind = kind;
    q.mode = options.identMode;
    q.transferNames = options.transferNames;
    q.entries = entries;
    const CellRange sel = Book->selection();
    if (q.region == IdentMode::Side)
        for (int r = sel.row1; r <= sel.row2; ++r)
            q.selected << r;
    else if (q.region == IdentMode::Header)
        for (int c = sel.col1; c <= sel.col2; ++c)
            q.selected << c;
    if (!q.selected.contains(q.line))
        q.selected = {q.line};
    if (expansion)
        expansion->prepare(q);

    m_identView->setSelectionEvents(false);
    Placement placement(m_doc.model(), m_prompter, m_sheets);
    const PlacementResult result = placement.place(q);
    const int sheet = m_book.activeSheetIndex();
    m_identView->showSheet(sheet);
    if (result.placed)
        m_identView->setCursor(result.row, result.col);
    m_identView->setSelectionEvents(true);
    if (q.region == IdentMode::Title)
        m_titleRefs.refreshAllCopies();
    afterPlacement();
    return result.placed;
}

void TfmKisTabl::MCrSpFrTableClick() {
    ObjectLists lists = objectLists();
    if (!lists.checkObjectsOnly(m_identState.mode))
        return;
    TfmCrtSpis dialog(lists, m_identState.mode, this);
    dialog.exec();
    // A new list is offered in the directory pop-up.
    UpdateMenu();
}

void TfmKisTabl::MDelSpisClick() {
    ObjectLists lists = objectLists();
    if (lists.lists().isEmpty()) {
        m_prompter.info(ObjectLists::noLists());
        return;
    }
    TfmDelSpis dialog(lists, this);
    dialog.exec();
    UpdateMenu();
}
