#include "TfmKisPok0.h"
#include "DirectoryWindowParts.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "OpenFolderElements.h"
#include "Prompter.h"
#include "TMyDBGrid.h"
#include "TdmMSSQL.h"
#include "TfmProtocol.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QProgressBar>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

TfmKisPok0::TfmKisPok0(TdmMSSQL& dm, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_dm(dm), m_prompter(prompter), m_state(ProcessOutlineState()),
      m_rows(dm.query(QStringLiteral("quPOK"))),
      m_elements(dm, IndicatorsController::Descriptor(dm.dbMain.userName()), m_rows, prompter,
                 m_state) {
    setObjectName(QStringLiteral("fmKisPok0"));
    SetHelpContext(this, HelpContexts::Indicators);
    m_catalogueBefore = m_state.currentCatalogue;
    m_state.currentCatalogue = 2;
    resize(760, 520);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_toolPanel = new QWidget(this);
    m_toolPanel->setObjectName(QStringLiteral("paTop"));
    auto* panel = new QHBoxLayout(m_toolPanel);
    panel->setContentsMargins(2, 2, 2, 2);
    sbAdd = toolButton(QStringLiteral("Добавить раздел"), QStyle::SP_FileDialogNewFolder);
    sbDelete = toolButton(QStringLiteral("Удалить раздел"), QStyle::SP_TrashIcon);
    sbUp = toolButton(QStringLiteral("Сместить вверх"), QStyle::SP_ArrowUp);
    sbDown = toolButton(QStringLiteral("Сместить вниз"), QStyle::SP_ArrowDown);
    sbLeft = toolButton(QStringLiteral("На один уровень вверх"), QStyle::SP_ArrowLeft);
    sbRight = toolButton(QStringLiteral("На один уровень вниз"), QStyle::SP_ArrowRight);
    sbAdds = toolButton(QStringLiteral("Добавить показатель"), QStyle::SP_FileIcon);
    sbDeletes = toolButton(QStringLiteral("Удалить показатель"), QStyle::SP_DialogDiscardButton);
    panel->addStretch(1);
    buildMenu(layout);
    layout->addWidget(m_toolPanel);

    auto* splitter = new QSplitter(this);
    splitter->setObjectName(QStringLiteral("splSprav"));
    trvMaster = new OutlineTreeWidget(splitter);
    trvMaster->setObjectName(QStringLiteral("trvMaster"));
    trvMaster->setHeaderHidden(true);
    dgSlave = new TMyDBGrid(splitter);
    dgSlave->setObjectName(QStringLiteral("dgSlave"));
    dgSlave->setEnabled(false);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);
    pbImport = new QProgressBar(this);
    pbImport->setObjectName(QStringLiteral("pbImport"));
    pbImport->hide();
    layout->addWidget(pbImport);

    m_treeCommands = {{sbAdd, m_add},   {sbDelete, m_delete}, {sbUp, m_up},
                      {sbDown, m_down}, {sbLeft, m_left},     {sbRight, m_right}};
    m_elementCommands = {{sbAdds, m_add}, {sbDeletes, m_delete}};
    m_tree = std::make_unique<OutlineTreeController<int>>(
        dm, OutlineDescriptor::Rubrics(), *trvMaster, m_treeCommands, prompter, m_state);
    m_controller =
        std::make_unique<IndicatorsController>(dm, prompter, m_tree->engine(), m_elements);
    m_controller->attachGridEditing();
    m_controller->setProtocolShower(
        [this](const QString& caption, const QString& text) { showProtocol(caption, text); });
    m_controller->setProgress([this](int done, int total) {
        pbImport->setVisible(total > 0);
        pbImport->setMaximum(qMax(total, 1));
        pbImport->setValue(done);
    });

    connect(sbAdd, &QToolButton::clicked, this, [this] { m_controller->addRubric(); });
    connect(sbDelete, &QToolButton::clicked, this, [this] { m_controller->deleteRubric(); });
    connect(sbUp, &QToolButton::clicked, this, [this] {
        if (m_tree->engine().BeginCommand())
            m_tree->engine().MoveNodeUp();
    });
    connect(sbDown, &QToolButton::clicked, this, [this] {
        if (m_tree->engine().BeginCommand())
            m_tree->engine().MoveNodeDown();
    });
    connect(sbLeft, &QToolButton::clicked, this, [this] {
        if (m_tree->engine().BeginCommand())
            m_tree->engine().PromoteNode();
    });
    connect(sbRight, &QToolButton::clicked, this, [this] {
        if (m_tree->engine().BeginCommand())
            m_tree->engine().DemoteNode();
    });
    connect(sbAdds, &QToolButton::clicked, this, [this] { addByMode(); });
    connect(sbDeletes, &QToolButton::clicked, this, [this] { deleteByMode(); });
    connect(trvMaster, &QTreeWidget::itemDoubleClicked, this, [this] { openRubric(); });
    connect(dgSlave, &TMyDBGrid::rowDropped, this, [this](int source, int target) {
        if (source == target)
            return;
        if (m_elements.CheckChange() != 0)
            m_prompter.info(
                QStringLiteral("Справочник изменен другим пользователем. Повторите..."));
        else
            m_elements.MoveElementByDrag(source, target);
    });
    trvMaster->installEventFilter(this);
    dgSlave->installEventFilter(this);

    try {
        m_tree->engine().BuildOutline();
    } catch (const std::exception& e) {
        m_prompter.error(QString::fromUtf8(e.what()));
    }
    enterTree();
    trvMaster->setFocus();
}

TfmKisPok0::~TfmKisPok0() {
    m_rows.cancel();
    m_rows.close();
    m_tree->engine().closeDataset();
    m_state.currentCatalogue = m_catalogueBefore;
}

void TfmKisPok0::run(TdmMSSQL& dm, Prompter& prompter, QWidget* parent) {
    TfmKisPok0 window(dm, prompter, parent);
    window.exec();
}

QToolButton* TfmKisPok0::toolButton(const QString& hint, QStyle::StandardPixmap pixmap) {
    return DirectoryWindowParts::addToolButton(m_toolPanel, hint, pixmap);
}

void TfmKisPok0::buildMenu(QVBoxLayout* layout) {
    m_ops = DirectoryWindowParts::operationsMenu(this, layout);
    auto item = [this](const QString& caption, const QKeySequence& key = {}) {
        return DirectoryWindowParts::addItem(m_ops, caption, key);
    };
    m_add = item(QStringLiteral("Добавить"), QKeySequence(Qt::CTRL | Qt::Key_A));
    m_delete = item(QStringLiteral("Удалить"), QKeySequence(Qt::CTRL | Qt::Key_D));
    m_copy = item(QStringLiteral("Копировать"), QKeySequence(Qt::CTRL | Qt::Key_C));
    m_paste = item(QStringLiteral("Вставить"), QKeySequence(Qt::CTRL | Qt::Key_V));
    m_ops->addSeparator();
    m_up = item(QStringLiteral("Сместить вверх"));
    m_down = item(QStringLiteral("Сместить вниз"));
    m_left = item(QStringLiteral("На один уровень вверх"));
    m_right = item(QStringLiteral("На один уровень вниз"));
    m_ops->addSeparator();
    m_export = item(QStringLiteral("Экспорт"));
    m_import = item(QStringLiteral("Импорт"));
    m_ops->addSeparator();
    QAction* toolbar = item(QStringLiteral("Панель инструментов"));
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    QAction* exit = item(QStringLiteral("Выход"));
    m_copy->setEnabled(false);
    m_paste->setEnabled(false);
    connect(m_add, &QAction::triggered, this, [this] { addByMode(); });
    connect(m_delete, &QAction::triggered, this, [this] { deleteByMode(); });
    connect(m_up, &QAction::triggered, this, [this] { sbUp->click(); });
    connect(m_down, &QAction::triggered, this, [this] { sbDown->click(); });
    connect(m_left, &QAction::triggered, this, [this] { sbLeft->click(); });
    connect(m_right, &QAction::triggered, this, [this] { sbRight->click(); });
    connect(m_copy, &QAction::triggered, this, [this] {
        if (m_controller->copyIndicator())
            m_paste->setEnabled(true);
    });
    connect(m_paste, &QAction::triggered, this, [this] { m_controller->pasteIndicator(); });
    connect(m_export, &QAction::triggered, this, [this] { m_controller->exportRubric(); });
    connect(m_import, &QAction::triggered, this, [this] {
        m_controller->importRubric();
        trvMaster->setFocus();
    });
    connect(toolbar, &QAction::toggled, m_toolPanel, &QWidget::setVisible);
    connect(exit, &QAction::triggered, this, &QDialog::reject);
    connect(m_ops, &QMenu::aboutToShow, this, [this] { menuAboutToShow(); });
}

QAction* TfmKisPok0::action(const QString& caption) const {
    for (QAction* a : m_ops->actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

void TfmKisPok0::menuAboutToShow() {
    const bool indicators = m_controller->mode() == IndicatorsController::Mode::Indicators;
    m_export->setEnabled(!indicators);
    m_import->setEnabled(!indicators);
    m_copy->setEnabled(indicators && !m_rows.isEmpty() && m_rows.currentRow() >= 0);
    m_paste->setEnabled(indicators && m_controller->holding());
}

void TfmKisPok0::enterTree() {
    m_controller->enterTree();
    setWindowTitle(m_controller->caption());
    dgSlave->setEnabled(false);
    ShowTreeButtons(m_treeCommands, m_elementCommands);
    m_tree->engine().holdCommands(CommandHold::None);
}

void TfmKisPok0::openRubric() {
    if (!m_controller->openRubric())
        return;
    try {
        OpenFolderElements(m_tree->engine(), m_elements, *dgSlave, m_treeCommands,
                           m_elementCommands);
    } catch (const std::exception& e) {
        m_prompter.error(QString::fromUtf8(e.what()));
        enterTree();
        return;
    }
    m_add->setEnabled(true);
    setWindowTitle(m_controller->caption());
}

void TfmKisPok0::addByMode() {
    if (m_controller->mode() == IndicatorsController::Mode::Rubrics) {
        m_controller->addRubric();
        return;
    }
    if (m_controller->addIndicator()) {
        dgSlave->setEnabled(true);
        m_elementCommands.remove.setEnabled(true);
        dgSlave->setFocus();
    } else if (m_controller->mode() == IndicatorsController::Mode::Rubrics) {
        enterTree();
    }
}

void TfmKisPok0::deleteByMode() {
    if (m_controller->mode() == IndicatorsController::Mode::Rubrics) {
        m_controller->deleteRubric();
        return;
    }
    m_controller->deleteIndicator();
    const bool any = !m_rows.isEmpty();
    dgSlave->setEnabled(any);
    m_elementCommands.remove.setEnabled(any);
    m_paste->setEnabled(m_controller->holding());
}

void TfmKisPok0::showProtocol(const QString& caption, const QString& text) {
    TfmProtocol protocol(m_prompter, this);
    ProtocolText p;
    p.start(caption, text);
    protocol.setProtocol(p);
    protocol.exec();
}

bool TfmKisPok0::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched == trvMaster &&
        m_controller->mode() == IndicatorsController::Mode::Indicators) {
        enterTree();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == trvMaster && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        OutlineNode* node = m_tree->tree().current();
        if (node && node->hasChildren()) {
            QTreeWidgetItem* it = trvMaster->currentItem();
            if (it)
                it->setExpanded(!it->isExpanded());
        } else {
            openRubric();
        }
        return true;
    }
    if (watched == trvMaster && key->key() == Qt::Key_Down &&
        m_tree->tree().current() == m_tree->tree().lastVisibleNode()) {
        m_controller->addRubric();
        return true;
    }
    if (watched == dgSlave && !dgSlave->cellEditing()) {
        if (key->key() == Qt::Key_Tab) {
            enterTree();
            trvMaster->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Down && (m_rows.isEmpty() || m_rows.isLast())) {
            addByMode();
            return true;
        }
        // Insert: a new indicator before the current one, that is after the previous one.
        if (key->key() == Qt::Key_Insert) {
            if (m_rows.currentRow() > 0) {
                m_rows.prior();
                addByMode();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
