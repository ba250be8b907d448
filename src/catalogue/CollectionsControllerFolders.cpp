// Expanding and collapsing collections that hold sub-collections.
#include "CollectionsController.h"

namespace {

bool IsFolder(const OutlineNode* node) {
    return node && node->hasChildren();
}

} // namespace

bool CollectionsController::collapseFolder(OutlineNode* node) {
    if (!IsFolder(node) || !node->expanded())
        return false;
    m_engine.tree().setExpanded(node, false);
    m_engine.RefreshFolderIcons(node);
    return true;
}

bool CollectionsController::expandFolder(OutlineNode* node) {
    if (!IsFolder(node) || node->expanded())
        return false;
    m_engine.tree().setExpanded(node, true);
    m_engine.RefreshFolderIcons(node);
    return true;
}

bool CollectionsController::mayCollapse(OutlineNode* node) {
    return !IsFolder(node) || !node->expanded() || askCollectionPassword(node);
}

bool CollectionsController::toggleFolder(OutlineNode* node) {
    if (!IsFolder(node))
        return false;
    if (!node->expanded())
        return expandFolder(node);
    return askCollectionPassword(node) && collapseFolder(node);
}
