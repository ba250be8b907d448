#include "TfmKisAgr0.h"
#include "DirectoryWindowParts.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "Prompter.h"
#include "TdmMSSQL.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QToolButton>
#include <QVBoxLayout>

TfmKisAgr0::TfmKisAgr0(TdmMSSQL& dm, Prompter& prompter, int numAgr, const QString& caption,
                       QWidget* parent)
    : QDialog(parent), m_state(ProcessOutlineState()) {
    setObjectName(QStringLiteral("fmKisAgr0"));
    SetHelpContext(this, HelpContexts::AggregationTree);
    setWindowTitle(caption);
    resize(520, 560);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_toolPanel = new QWidget(this);
    m_toolPanel->setObjectName(QStringLiteral("paTop"));
    auto* panel = new QHBoxLayout(m_toolPanel);
    panel->setContentsMargins(2, 2, 2, 2);
    sbAdd = toolButton(QStringLiteral("Добавить"), QStyle::SP_FileDialogNewFolder);
    sbDelete = toolButton(QStringLiteral("Удалить"), QStyle::SP_TrashIcon);
    sbUp = toolButton(QStringLiteral("Сместить вверх"), QStyle::SP_ArrowUp);
    sbDown = toolButton(QStringLiteral("Сместить вниз"), QStyle::SP_ArrowDown);
    sbLeft = toolButton(QStringLiteral("На один уровень вверх"), QStyle::SP_ArrowLeft);
    sbRight = toolButton(QStringLiteral("На один уровень вниз"), QStyle::SP_ArrowRight);
    panel->addSpacing(12);
    auto* label = new QLabel(QStringLiteral("Код"), m_toolPanel);
    panel->addWidget(label);
    edKod = new QLineEdit(m_toolPanel);
    edKod->setObjectName(QStringLiteral("edKod"));
    edKod->setMaximumWidth(140);
    label->setBuddy(edKod);
    panel->addWidget(edKod);
    panel->addStretch(1);
    buildMenu(layout);
    layout->addWidget(m_toolPanel);
    trvMaster = new OutlineTreeWidget(this);
    trvMaster->setObjectName(QStringLiteral("trvMaster"));
    trvMaster->setHeaderHidden(true);
    layout->addWidget(trvMaster, 1);
    pbImport = new QProgressBar(this);
    pbImport->setObjectName(QStringLiteral("pbImport"));
    pbImport->hide();
    layout->addWidget(pbImport);

    m_commands = {{sbAdd, m_add},   {sbDelete, m_delete}, {sbUp, m_up},
                  {sbDown, m_down}, {sbLeft, m_left},     {sbRight, m_right}};
    m_tree = std::make_unique<OutlineTreeController<double>>(
        dm, AggregationController::Descriptor(numAgr, dm.dbMain.userName()), *trvMaster, m_commands,
        prompter, m_state);
    m_controller = std::make_unique<AggregationController>(dm, prompter, m_tree->engine(), numAgr);
    m_controller->setProgress([this](int done, int total) {
        pbImport->setVisible(total > 0);
        pbImport->setMaximum(qMax(total, 1));
        pbImport->setValue(done);
    });
    m_tree->binding().onCurrentShown = [this](OutlineNode*) { showCode(); };

    OutlineEngine<double>& e = m_tree->engine();
    connect(sbAdd, &QToolButton::clicked, this, [&e] {
        if (e.BeginCommand())
            e.AddOutlineNode();
    });
    connect(sbDelete, &QToolButton::clicked, this, [this] {
        m_controller->deleteNode();
        showCode();
    });
    connect(sbUp, &QToolButton::clicked, this, [&e] {
        if (e.BeginCommand())
            e.MoveNodeUp();
    });
    connect(sbDown, &QToolButton::clicked, this, [&e] {
        if (e.BeginCommand())
            e.MoveNodeDown();
    });
    connect(sbLeft, &QToolButton::clicked, this, [&e] {
        if (e.BeginCommand())
            e.PromoteNode();
    });
    connect(sbRight, &QToolButton::clicked, this, [&e] {
        if (e.BeginCommand())
            e.DemoteNode();
    });
    trvMaster->installEventFilter(this);
    edKod->installEventFilter(this);
    try {
        e.BuildOutline();
        if (!m_tree->tree().isEmpty())
            e.selectNode(m_tree->tree().topLevel(0));
    } catch (const std::exception& ex) {
        prompter.error(QString::fromUtf8(ex.what()));
    }
    showCode();
    trvMaster->setFocus();
}

TfmKisAgr0::~TfmKisAgr0() {
    m_tree->engine().closeDataset();
}

void TfmKisAgr0::run(TdmMSSQL& dm, Prompter& prompter, int numAgr, const QString& caption,
                     QWidget* parent) {
    TfmKisAgr0 window(dm, prompter, numAgr, caption, parent);
    window.exec();
}

QToolButton* TfmKisAgr0::toolButton(const QString& hint, QStyle::StandardPixmap pixmap) {
    return DirectoryWindowParts::addToolButton(m_toolPanel, hint, pixmap);
}

void TfmKisAgr0::buildMenu(QVBoxLayout* layout) {
    m_ops = DirectoryWindowParts::operationsMenu(this, layout);
    auto item = [this](const QString& caption, const QKeySequence& key = {}) {
        return DirectoryWindowParts::addItem(m_ops, caption, key);
    };
    m_add = item(QStringLiteral("Добавить"), QKeySequence(Qt::CTRL | Qt::Key_A));
    m_delete = item(QStringLiteral("Удалить"), QKeySequence(Qt::CTRL | Qt::Key_D));
    m_ops->addSeparator();
    m_up = item(QStringLiteral("Сместить вверх"));
    m_down = item(QStringLiteral("Сместить вниз"));
    m_left = item(QStringLiteral("На один уровень вверх"));
    m_right = item(QStringLiteral("На один уровень вниз"));
    m_ops->addSeparator();
    m_export = item(QStringLiteral("Экспорт"));
    m_import = item(QStringLiteral("Импорт"));
    m_ops->addSeparator();
    QAction* exit = item(QStringLiteral("Выход"));
    connect(m_add, &QAction::triggered, this, [this] { sbAdd->click(); });
    connect(m_delete, &QAction::triggered, this, [this] { sbDelete->click(); });
    connect(m_up, &QAction::triggered, this, [this] { sbUp->click(); });
    connect(m_down, &QAction::triggered, this, [this] { sbDown->click(); });
    connect(m_left, &QAction::triggered, this, [this] { sbLeft->click(); });
    connect(m_right, &QAction::triggered, this, [this] { sbRight->click(); });
    connect(m_export, &QAction::triggered, this, [this] { m_controller->exportNodes(); });
    connect(m_import, &QAction::triggered, this, [this] {
        m_controller->importNodes();
        showCode();
        trvMaster->setFocus();
    });
    connect(exit, &QAction::triggered, this, &QDialog::reject);
}

QAction* TfmKisAgr0::action(const QString& caption) const {
    for (QAction* a : m_ops->actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

void TfmKisAgr0::showCode() {
    if (m_codeEntered)
        return;
    const bool any = !m_tree->tree().isEmpty() && m_tree->tree().current();
    edKod->setEnabled(any);
    edKod->setText(any ? m_controller->codeText() : QString());
    edKod->setModified(false);
}

void TfmKisAgr0::leaveCodeBox() {
    m_codeEntered = false;
    m_tree->engine().holdCommands(CommandHold::None);
    if (OutlineNode* node = m_tree->tree().current())
        m_tree->engine().UpdateMoveButtons(node);
    showCode();
    trvMaster->setFocus();
}

bool TfmKisAgr0::endCodeEdit() {
    if (!edKod->isModified()) {
        leaveCodeBox();
        return true;
    }
    using E = AggregationController::CodeEdit;
    if (m_controller->changeCode(edKod->text()) == E::Invalid) {
        edKod->setFocus();
        return false;
    }
    leaveCodeBox();
    return true;
}

bool TfmKisAgr0::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edKod && event->type() == QEvent::FocusIn && !m_codeEntered) {
        // While a code is typed no other command runs.
        m_codeEntered = true;
        edKod->setModified(false);
        m_tree->engine().holdCommands(CommandHold::All);
        return false;
    }
    if (watched == edKod && event->type() == QEvent::FocusOut && m_codeEntered &&
        static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
        endCodeEdit();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == edKod) {
        if (key->key() == Qt::Key_Escape) {
            edKod->setModified(false);
            leaveCodeBox();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
            key->key() == Qt::Key_Tab) {
            endCodeEdit();
            return true;
        }
        return false;
    }
    if (watched == trvMaster && !trvMaster->captionEditing()) {
        if (key->key() == Qt::Key_Tab)
            return true;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (QTreeWidgetItem* it = trvMaster->currentItem(); it && it->childCount() > 0)
                it->setExpanded(!it->isExpanded());
            return true;
        }
        if (key->key() == Qt::Key_Down &&
            (m_tree->tree().isEmpty() ||
             m_tree->tree().current() == m_tree->tree().lastVisibleNode())) {
            sbAdd->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
