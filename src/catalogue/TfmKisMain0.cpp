#include "TfmKisMain0.h"

#include "AppContext.h"
#include "HelpContexts.h"
#include "HelpKey.h"
#include "MedstatCommands.h"
#include "Prompter.h"
#include "TMyDBGrid.h"
#include "TableGridWidths.h"
#include "TdmMSSQL.h"
#include "TfmParol.h"
#include "TfmPswdSBR.h"
#include "format/BookLocale.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>

TfmKisMain0::TfmKisMain0(TdmMSSQL& dm, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), m_dm(dm), m_prompter(prompter), m_connections(dm),
      m_state(ProcessOutlineState()), m_rows(dm.query(QStringLiteral("quCAT"))),
      m_elements(dm, ElementDescriptor::Tables(), m_rows, prompter, m_state) {
    SetHelpContext(this, HelpContexts::Collections);
    setObjectName(QStringLiteral("fmKisMain0"));
    setWindowTitle(mainCaption());
    resize(800, 600);
    AppContext::rememberSystemDateSeparator();
    BookLocale::setDateSeparator(AppContext::systemDateSeparator());
    BookLocale::adopt(QLocale());
    m_state.nppStep = 100;
    m_state.currentCatalogue = 1;

    buildWidgets();
    buildMenu();
    m_treeCommands = {{sbAdd, m_add},   {sbDelete, m_delete}, {sbUp, m_up},
                      {sbDown, m_down}, {sbLeft, m_left},     {sbRight, m_right}};
    m_elementCommands = {{sbAdds, m_add}, {sbDeletes, m_delete}};
    m_tree = std::make_unique<OutlineTreeController<int>>(
        dm, OutlineDescriptor::Collections(), *trvMaster, m_treeCommands, prompter, m_state);
    m_controller =
        std::make_unique<CollectionsController>(dm, prompter, m_tree->engine(), m_elements);
    m_copyPaste = std::make_unique<CopyPasteController>(dm, prompter, m_tree->engine(), m_elements,
                                                        *m_controller);
    m_tree->binding().onCurrentShown = [this](OutlineNode*) { showIdentifier(); };
    m_controller->attachGridEditing();
    m_controller->setPasswordReader([this](const QString& caption, const QString& label,
                                           const std::function<bool(const QString&)>& check) {
        return TfmParol::run(this, caption, label, check);
    });
    m_controller->setCollectionPasswordDialog(
        [this](const QString& current, const std::function<bool(const QString&)>& store) {
            return TfmPswdSBR::run(this, current, store);
        });
    scaleToScreen();
}

TfmKisMain0::~TfmKisMain0() {
    if (m_connected)
        m_connections.shutdown();
}

bool TfmKisMain0::connectDatabases() {
    m_connected = m_connections.connectAtCreation([this] { buildDirectoryMenu(); },
                                                  [this] { m_tree->engine().BuildOutline(); });
    if (m_connected)
        afterTreeBuilt();
    return m_connected;
}

void TfmKisMain0::scaleToScreen() {
    const QScreen* screen = QApplication::primaryScreen();
    if (!screen || screen->geometry().width() == 800)
        return;
    const QRect g = screen->geometry();
    resize(g.width() * width() / 800, g.height() * height() / 600);
}

QToolButton* TfmKisMain0::toolButton(const QString& hint, QStyle::StandardPixmap pixmap) {
    auto* b = new QToolButton(m_toolPanel);
    b->setToolTip(hint);
    b->setIcon(style()->standardIcon(pixmap));
    b->setAutoRaise(true);
    m_toolPanel->layout()->addWidget(b);
    return b;
}

void TfmKisMain0::buildWidgets() {
    m_toolBar = addToolBar(QStringLiteral("tbMain"));
    m_toolBar->setMovable(false);
    // One panel in the bar, so that its buttons can be hidden one by one.
    m_toolPanel = new QWidget(m_toolBar);
    auto* panel = new QHBoxLayout(m_toolPanel);
    panel->setContentsMargins(2, 0, 2, 0);
    panel->setSpacing(2);
    sbAdd = toolButton(QStringLiteral("Добавить новый сборник"), QStyle::SP_FileDialogNewFolder);
    sbDelete = toolButton(QStringLiteral("Удалить сборник"), QStyle::SP_TrashIcon);
    sbUp = toolButton(QStringLiteral("Сместить вверх"), QStyle::SP_ArrowUp);
    sbDown = toolButton(QStringLiteral("Сместить вниз "), QStyle::SP_ArrowDown);
    sbLeft = toolButton(QStringLiteral("На один уровень вверх"), QStyle::SP_ArrowLeft);
    sbRight = toolButton(QStringLiteral("На один уровень вниз"), QStyle::SP_ArrowRight);
    sbAdds = toolButton(QStringLiteral("Создать новую таблицу"), QStyle::SP_FileIcon);
    sbDeletes = toolButton(QStringLiteral("Удалить таблицу"), QStyle::SP_DialogDiscardButton);
    sbAdds->hide();
    sbDeletes->hide();
    connect(sbAdd, &QToolButton::clicked, this, [this] { m_controller->addCollection(); });
    connect(sbDelete, &QToolButton::clicked, this, [this] { deleteByMode(); });
    connect(sbUp, &QToolButton::clicked, this, [this] {
        if (m_tree->engine().BeginCommand())
            m_tree->engine().MoveNodeUp();
    });
    connect(sbDown, &QToolButton::clicked, this, [this] {
        if (m_tree->engine().BeginCommand())
            m_tree->engine().MoveNodeDown();
    });
    connect(sbLeft, &QToolButton::clicked, this, [this] { m_controller->levelUp(); });
    connect(sbRight, &QToolButton::clicked, this, [this] { m_controller->levelDown(); });
    connect(sbAdds, &QToolButton::clicked, this, [this] { addByMode(); });
    connect(sbDeletes, &QToolButton::clicked, this, [this] { deleteByMode(); });

    panel->addSpacing(12);
    lbKod = new QLabel(QStringLiteral("Код"), m_toolPanel);
    edKod = new QLineEdit(m_toolPanel);
    edKod->setToolTip(QStringLiteral("Идентификатор сборника"));
    edKod->setMaximumWidth(160);
    panel->addWidget(lbKod);
    panel->addWidget(edKod);
    lbKod->hide();
    edKod->hide();
    edKod->installEventFilter(this);

    paMedstat = new QWidget(m_toolPanel);
    paMedstat->setObjectName(QStringLiteral("paMedstat"));
    auto* medLayout = new QHBoxLayout(paMedstat);
    medLayout->setContentsMargins(0, 0, 0, 0);
    medLayout->addWidget(new QLabel(QStringLiteral("   Медстатистика:"), paMedstat));
    auto medButton = [&](const char* name, const char* hint, QStyle::StandardPixmap pixmap) {
        auto* b = new QToolButton(paMedstat);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromUtf8(hint));
        b->setIcon(style()->standardIcon(pixmap));
        medLayout->addWidget(b);
        return b;
    };
    sbFileMZ = medButton("sbFileMZ", "Файл для Минздрава", QStyle::SP_FileDialogNewFolder);
    sbViewMZ = medButton("sbViewMZ", "Просмотр файла МЗ", QStyle::SP_FileDialogDetailedView);
    sbCtrlMZ = medButton("sbCtrlMZ", "Контроль файла МЗ", QStyle::SP_DialogApplyButton);
    connect(sbFileMZ, &QToolButton::clicked, this, [this] {
        MedstatCommands::sbFileMZClick(this, m_dm, m_prompter, m_controller->currentCollection());
    });
    connect(sbViewMZ, &QToolButton::clicked, this,
            [this] { MedstatCommands::sbViewMZClick(this, m_prompter); });
    connect(sbCtrlMZ, &QToolButton::clicked, this,
            [this] { MedstatCommands::sbCtrlMZClick(this, m_prompter); });
    panel->addWidget(paMedstat);
    panel->addStretch(1);
    paMedstat->hide();
    m_toolBar->addWidget(m_toolPanel);

    auto* splitter = new QSplitter(this);
    trvMaster = new OutlineTreeWidget(splitter);
    trvMaster->setObjectName(QStringLiteral("trvMaster"));
    trvMaster->setHeaderHidden(true);
    dgSlave = new TMyDBGrid(splitter);
    dgSlave->setObjectName(QStringLiteral("dgSlave"));
    dgSlave->setEnabled(false);
    dgSlave->setReadOnly(true);
    // The grid's columns follow its width only while it shows tables.
    connect(splitter, &QSplitter::splitterMoved, this, [this] {
        if (dgSlave->isEnabled())
            FitTableColumns(*dgSlave);
    });
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    setCentralWidget(splitter);
    trvMaster->installEventFilter(this);
    dgSlave->installEventFilter(this);
    connect(trvMaster, &QTreeWidget::itemDoubleClicked, this, [this] { openCollection(); });
    trvMaster->setCollapseGuard([this](QTreeWidgetItem* it) {
        return m_controller->mayCollapse(m_tree->binding().nodeOf(it));
    });
    connect(dgSlave, &QAbstractItemView::doubleClicked, this, [this] { openTable(); });
    connect(dgSlave, &TMyDBGrid::rowDropped, this, [this](int source, int target) {
        if (source == target)
            return;
        const int change = m_elements.CheckChange();
        if (change == 1)
            m_prompter.info(QStringLiteral("Выбранная таблица удалена другим пользователем"));
        else if (change == 2)
            m_prompter.info(QStringLiteral("Каталог таблиц изменен другим пользователем"));
        else
            m_elements.MoveElementByDrag(source, target);
    });
}
