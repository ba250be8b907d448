#include "OutlineCommandSet.h"

#include "ElementOperations.h"
#include "OutlineEngine.h"

#include <QAbstractButton>
#include <QAction>

void CommandPair::setEnabled(bool enabled) const {
    if (button)
        button->setEnabled(enabled);
    if (action)
        action->setEnabled(enabled);
}

void CommandPair::setVisible(bool visible) const {
    if (button)
        button->setVisible(visible);
}

void OutlineCommandSet::apply(const OutlineCommandState& state, bool withAddRemove) const {
    if (withAddRemove) {
        add.setEnabled(state.add);
        remove.setEnabled(state.remove);
    }
    moveUp.setEnabled(state.moveUp);
    moveDown.setEnabled(state.moveDown);
    levelUp.setEnabled(state.levelUp);
    levelDown.setEnabled(state.levelDown);
}

void ElementCommandSet::apply(const ElementCommandState& state) const {
    remove.setEnabled(state.remove);
}

static void showSide(const OutlineCommandSet& tree, const ElementCommandSet& elements,
                     bool treeSide) {
    for (const CommandPair* c :
         {&tree.add, &tree.remove, &tree.moveUp, &tree.moveDown, &tree.levelUp, &tree.levelDown})
        c->setVisible(treeSide);
    elements.add.setVisible(!treeSide);
    elements.remove.setVisible(!treeSide);
}

void ShowTreeButtons(const OutlineCommandSet& tree, const ElementCommandSet& elements) {
    showSide(tree, elements, true);
}

void ShowElementButtons(const OutlineCommandSet& tree, const ElementCommandSet& elements) {
    showSide(tree, elements, false);
}
