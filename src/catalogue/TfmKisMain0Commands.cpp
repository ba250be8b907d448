// What the collections window does on its commands and keys (key events of an
// in-place editor go to the editor, not here): the mode switches
// and the hand-over to the controller.
#include "TfmKisMain0.h"

#include "AppContext.h"
#include "OpenFolderElements.h"
#include "Prompter.h"
#include "TMyDBGrid.h"
#include "TableEditorLauncher.h"
#include "TdmMSSQL.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

void TfmKisMain0::afterTreeBuilt() {
    const bool any = !m_tree->tree().isEmpty();
    m_copy->setEnabled(false); // copying comes with its own part
    m_paste->setEnabled(false);
    m_protectSbr->setEnabled(any);
    if (any)
        edKod->setMaxLength(20);
    const bool admin = m_controller->isAdministrator();
    m_viewSbrPassword->setEnabled(admin);
    m_viewCatPassword->setEnabled(admin);
    m_rights->setEnabled(false); // the rights window comes with its own part
    applyConnectionState();
    enterTree();
    trvMaster->setFocus();
}

void TfmKisMain0::enterTree() {
    paMedstat->hide();
    setWindowTitle(mainCaption());
    if (m_controller->mode() == CollectionsController::Mode::Tables) {
        if (m_rows.editing())
            m_rows.cancel();
        dgSlave->setReadOnly(true);
        dgSlave->setEnabled(false);
        m_controller->enterTree();
        edKod->setEnabled(true);
    }
    const bool any = !m_tree->tree().isEmpty();
    m_protectSbr->setEnabled(any);
    m_protectCat->setEnabled(false);
    ShowTreeButtons(m_treeCommands, m_elementCommands);
    m_tree->engine().UpdateMoveButtons(m_tree->tree().current());
    m_treeCommands.add.setEnabled(true);
    m_treeCommands.remove.setEnabled(any);
}

void TfmKisMain0::openCollection() {
    if (!m_controller->openCollection())
        return;
    edKod->setEnabled(false);
    try {
        OpenFolderElements(m_tree->engine(), m_elements, *dgSlave, m_treeCommands,
                           m_elementCommands, m_protectCat);
    } catch (const std::exception& e) {
        m_prompter.error(QString::fromUtf8(e.what()));
        m_controller->enterTree();
        return;
    }
    m_add->setEnabled(true);
    setWindowTitle(m_controller->tablesCaption());
    const QString medstat = AppContext::medstatFolder() + QStringLiteral("/MEDCTAT.dbf");
    paMedstat->setVisible(QFile::exists(medstat));
    dgSlave->setEnabled(true);
    dgSlave->setFocus();
}

void TfmKisMain0::afterTablesChanged() {
    const bool any = !m_rows.isEmpty();
    m_protectCat->setEnabled(any);
    m_elementCommands.remove.setEnabled(any);
    dgSlave->setEnabled(true);
}

void TfmKisMain0::openTable() {
    if (m_controller->mode() != CollectionsController::Mode::Tables || m_rows.editing())
        return;
    m_controller->openTable([this](int key) { OpenTable(m_dm, m_prompter, key, this); });
    dgSlave->viewport()->update();
}

void TfmKisMain0::addByMode() {
    if (m_controller->mode() == CollectionsController::Mode::Collections) {
        if (m_controller->addCollection())
            m_protectSbr->setEnabled(true);
        return;
    }
    m_controller->addTable();
    afterTablesChanged();
}

void TfmKisMain0::deleteByMode() {
    if (m_controller->mode() == CollectionsController::Mode::Collections) {
        m_controller->deleteCollection();
        const bool any = !m_tree->tree().isEmpty();
        m_protectSbr->setEnabled(any);
        m_treeCommands.remove.setEnabled(any);
        return;
    }
    m_controller->deleteTable();
    afterTablesChanged();
}

void TfmKisMain0::toggleKod(bool on) {
    lbKod->setVisible(on);
    edKod->setVisible(on);
    edKod->setEnabled(on && m_controller->mode() == CollectionsController::Mode::Collections);
}

void TfmKisMain0::storeIdentifier() {
    OutlineNode* node = m_kodNode;
    m_kodNode = nullptr;
    if (!node || !edKod->isModified())
        return;
    edKod->setModified(false);
    m_tree->engine().setIdentifier(node, edKod->text().trimmed());
    m_tree->engine().RenameNode(node, node->text());
    m_tree->engine().UpdateMoveButtons(m_tree->tree().current());
}

bool TfmKisMain0::treeKey(QKeyEvent* key) {
    OutlineNode* node = m_tree->tree().current();
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (node && node->hasChildren())
            m_controller->toggleFolder(node);
        else
            openCollection();
        return true;
    // Otherwise the view moves to the parent or the first sub-collection.
    case Qt::Key_Left:
        return m_controller->collapseFolder(node);
    case Qt::Key_Right:
        return m_controller->expandFolder(node);
    case Qt::Key_F2:
        if (QTreeWidgetItem* it = node ? m_tree->binding().itemOf(node) : nullptr)
            trvMaster->editItem(it);
        return true;
    case Qt::Key_Down:
        if (node && node == m_tree->tree().lastVisibleNode()) {
            m_controller->addCollection();
            return true;
        }
        return false;
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Tab:
        return true;
    default:
        return false;
    }
}

bool TfmKisMain0::gridKey(QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_rows.editing()) {
            m_rows.post();
            return true;
        }
        openTable();
        return true;
    case Qt::Key_F12:
        m_controller->releaseTable();
        return true;
    case Qt::Key_Insert:
    case Qt::Key_Down:
        if (key->key() == Qt::Key_Down && !m_rows.isLast() && !m_rows.isEmpty())
            return false;
        if (key->key() == Qt::Key_Insert && m_rows.currentRow() <= 0)
            return true;
        if (key->key() == Qt::Key_Insert)
            m_rows.prior();
        addByMode();
        return true;
    case Qt::Key_Tab:
        trvMaster->setFocus();
        return true;
    case Qt::Key_Escape:
        if (m_rows.editing())
            m_rows.cancel();
        else
            close();
        return true;
    default:
        return false;
    }
}

bool TfmKisMain0::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched == trvMaster)
        enterTree();
    if (event->type() == QEvent::FocusIn && watched == edKod) {
        m_kodNode = m_tree->tree().current();
        for (QAction* a : {m_add, m_delete, m_up, m_down, m_left, m_right})
            a->setEnabled(false);
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == trvMaster)
            return treeKey(key);
        if (watched == dgSlave)
            return gridKey(key);
        if (watched == edKod && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                                 key->key() == Qt::Key_Tab)) {
            trvMaster->setFocus();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
