#pragma once

#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "OutlineCommandSet.h"
#include "OutlineEngine.h"
#include "TMyDBGrid.h"

#include <QAction>

// The folder whose elements the grid shows.
struct CurrentFolder {
    bool valid = false;
    QVariant key;
    int npp = 0;
    QString identifier;
};

// Opens the selected folder's elements in the grid and switches the window's
// commands to the element side. Throws DbError when the elements cannot be read.
template <class Key>
CurrentFolder OpenFolderElements(OutlineEngine<Key>& engine, ElementOperations& elements,
                                 TMyDBGrid& grid, const OutlineCommandSet& treeCommands,
                                 const ElementCommandSet& elementCommands,
                                 QAction* protection = nullptr) {
    OutlineNode* node = engine.tree().current();
    if (!node)
        return {};
    CurrentFolder folder{true, QVariant::fromValue(engine.keyOf(node)), engine.nppOf(node),
                         engine.identifierOf(node)};
    grid.setEnabled(true);
    elements.openFolder(folder.key.toInt());
    grid.setRowSet(&elements.rows());
    grid.setReadOnly(false);
    SetupElementColumns(elements.rows(), grid, elements.descriptor().indicators);
    ShowElementButtons(treeCommands, elementCommands);
    engine.holdCommands(CommandHold::MovesAndLevels);
    const bool any = !elements.rows().isEmpty();
    grid.setEnabled(any);
    elementCommands.remove.setEnabled(any);
    if (protection)
        protection->setEnabled(any);
    grid.setFocus();
    return folder;
}
