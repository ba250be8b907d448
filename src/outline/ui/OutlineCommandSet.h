#pragma once

struct ElementCommandState;
struct OutlineCommandState;
class QAbstractButton;
class QAction;

// One command as the window offers it: a toolbar button and a menu item that
// are always enabled and shown together.
struct CommandPair {
    QAbstractButton* button = nullptr;
    QAction* action = nullptr;
    void setEnabled(bool enabled) const;
    void setVisible(bool visible) const;
};

// The tree commands of a catalogue window.
struct OutlineCommandSet {
    CommandPair add, remove, moveUp, moveDown, levelUp, levelDown;
    // Without add and delete while they serve the element grid.
    void apply(const OutlineCommandState& state, bool withAddRemove = true) const;
};

// The element commands beside the grid.
struct ElementCommandSet {
    CommandPair add, remove;
    void apply(const ElementCommandState& state) const;
};

// Toolbar buttons of one side shown, the other's hidden; menu items stay.
void ShowTreeButtons(const OutlineCommandSet& tree, const ElementCommandSet& elements);
void ShowElementButtons(const OutlineCommandSet& tree, const ElementCommandSet& elements);
