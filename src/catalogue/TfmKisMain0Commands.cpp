// What the collections window does on its commands and keys: the mode switches
// and the hand-over to the controller.
#include "TfmKisMain0.h"

#include "AppContext.h"
#include "MedstatGenerator.h"
#include "OpenFolderElements.h"
#include "Prompter.h"
#include "TMyDBGrid.h"
#include "TableEditorLauncher.h"
#include "TdmMSSQL.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <utility>

void TfmKisMain0::afterTreeBuilt() {
    const bool any = !m_tree->tree().isEmpty();
    m_copyPaste->clear();
    m_protectSbr->setEnabled(any);
    edKod->setMaxLength(m_controller->identifierWidth());
    const bool admin = m_controller->isAdministrator();
    m_viewSbrPassword->setEnabled(admin);
    m_viewCatPassword->setEnabled(admin);
    applyConnectionState();
    enterTree();
    trvMaster->setFocus();
}

void TfmKisMain0::enterTree() {
    paMedstat->hide();
    setWindowTitle(mainCaption());
    // The grid is writable only while it shows the tables of a collection.
    if (!dgSlave->readOnly()) {
        if (m_rows.editing())
            m_rows.cancel();
        dgSlave->setReadOnly(true);
        dgSlave->setEnabled(false);
        edKod->setEnabled(true);
    }
    m_controller->enterTree();
    m_protectSbr->setEnabled(!m_tree->tree().isEmpty());
    m_protectCat->setEnabled(false);
    ShowTreeButtons(m_treeCommands, m_elementCommands);
    updateCopyPaste();
    if (!m_kodTyping)
        m_tree->engine().holdCommands(CommandHold::None);
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
    // Files written by DOS programs may be named in any case.
    paMedstat->setVisible(
        !FindMedstatFile(AppContext::medstatFolder(), QStringLiteral("MEDCTAT.DBF")).isEmpty());
    dgSlave->setEnabled(true);
    updateCopyPaste();
    dgSlave->setFocus();
}

void TfmKisMain0::afterTablesChanged() {
    const bool any = !m_rows.isEmpty();
    m_protectCat->setEnabled(any);
    m_elementCommands.remove.setEnabled(any);
    dgSlave->setEnabled(true);
    updateCopyPaste();
}

void TfmKisMain0::updateCopyPaste() {
    const bool tables = m_controller->mode() == CollectionsController::Mode::Tables;
    m_copy->setEnabled(tables ? m_rows.isOpen() && !m_rows.isEmpty() : !m_tree->tree().isEmpty());
    m_paste->setEnabled(m_copyPaste->mayPaste());
}

void TfmKisMain0::copyByMode() {
    m_copyPaste->copy();
    updateCopyPaste();
}

void TfmKisMain0::pasteByMode() {
    if (m_controller->mode() == CollectionsController::Mode::Tables) {
        m_copyPaste->paste();
        afterTablesChanged();
        return;
    }
    m_copyPaste->paste();
    m_protectSbr->setEnabled(!m_tree->tree().isEmpty());
    updateCopyPaste();
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
        updateCopyPaste();
        return;
    }
    m_controller->addTable();
    if (m_controller->mode() == CollectionsController::Mode::Collections) {
        // The collection was deleted by another user; the tree shows what is left.
        enterTree();
        trvMaster->setFocus();
        return;
    }
    afterTablesChanged();
}

void TfmKisMain0::deleteByMode() {
    if (m_controller->mode() == CollectionsController::Mode::Collections) {
        if (m_controller->deleteCollection())
            m_copyPaste->afterCollectionsDeleted();
        m_protectSbr->setEnabled(!m_tree->tree().isEmpty());
        updateCopyPaste();
        return;
    }
    const int key = m_rows.isEmpty() ? 0 : m_rows.value(QStringLiteral("KODELMT")).toInt();
    const int npp = m_rows.isEmpty() ? 0 : m_rows.value(QStringLiteral("NPP")).toInt();
    if (m_controller->deleteTable())
        m_copyPaste->afterTableDeleted(key, npp);
    afterTablesChanged();
}

void TfmKisMain0::toggleKod(bool on) {
    lbKod->setVisible(on);
    edKod->setVisible(on);
    edKod->setEnabled(on && m_controller->mode() == CollectionsController::Mode::Collections);
}

void TfmKisMain0::showIdentifier() {
    if (m_kodTyping)
        return;
    const OutlineNode* node = m_tree->tree().current();
    const int p = node ? m_tree->tree().position(node) : -1;
    const std::vector<QString>& ids = m_tree->engine().arrays().identifiers;
    edKod->setText(p >= 0 && p < int(ids.size()) ? ids[size_t(p)] : QString());
    edKod->setModified(false);
}

void TfmKisMain0::startIdentifier() {
    if (m_kodTyping)
        return;
    m_kodTyping = true;
    m_kodKey.reset();
    if (const OutlineNode* node = m_tree->tree().current())
        m_kodKey = m_tree->engine().keyOf(node);
    m_tree->engine().holdCommands(CommandHold::All);
}

void TfmKisMain0::storeIdentifier() {
    if (!m_kodTyping)
        return;
    m_kodTyping = false;
    const std::optional<int> key = std::exchange(m_kodKey, std::nullopt);
    if (key && edKod->isModified())
        m_controller->storeIdentifier(*key, edKod->text().trimmed());
    m_tree->engine().holdCommands(CommandHold::None);
    showIdentifier();
}

bool TfmKisMain0::treeKey(QKeyEvent* key) {
    // Enter in the caption editor stores the name; it does not open the collection.
    if (trvMaster->captionEditing())
        return false;
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
    // Enter in a cell editor finishes the cell; it does not open the table.
    if (dgSlave->cellEditing())
        return false;
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
    // A menu opened over the box leaves the typing where it is.
    if (watched == edKod &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        if (event->type() == QEvent::FocusIn)
            startIdentifier();
        else
            storeIdentifier();
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == trvMaster)
            return treeKey(key);
        if (watched == dgSlave)
            return gridKey(key);
        if (watched == edKod && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                                 key->key() == Qt::Key_Tab)) {
            storeIdentifier();
            trvMaster->setFocus();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
