#pragma once

#include "ChangeFlags.h"
#include "NodeArrays.h"
#include "OutlineDescriptor.h"
#include "OutlineState.h"
#include "OutlineTree.h"

#include <QVariant>

#include <functional>

class DbConnection;
class DbProcedure;
class DbStatement;
class Prompter;
class TdmMSSQL;

// Which tree commands may run now; a window shows each as a button and a menu item.
struct OutlineCommandState {
    bool add = true;
    bool remove = false;
    bool moveUp = false;
    bool moveDown = false;
    bool levelUp = false;   // "На один уровень вверх"
    bool levelDown = false; // "На один уровень вниз"
    bool operator==(const OutlineCommandState&) const = default;
};

// Tree commands kept off whatever the selected node allows: while the element
// grid is active the moves and levels (add and delete then act on elements),
// while a collection's identifier is being typed every tree command.
enum class CommandHold { None, MovesAndLevels, All };

// Where a dragged folder was dropped on the target node.
enum class DropZone {
    Before,    // on the icon or in the indentation: insert before the target
    LastChild, // on the caption: becomes the target's last child
    Below,     // below all nodes: appended at the target's level
    Elsewhere  // right of the caption: nothing
};

// The outline tree engine: builds a catalogue's tree from its rows and runs
// every structural change through the catalogue's procedures, one transaction
// per command, mirroring it in the tree and the node arrays without re-reading.
// Commands return false when nothing was changed (refused, or failed and reported).
template <class Key> class OutlineEngine {
public:
    OutlineEngine(TdmMSSQL& dm, OutlineDescriptor descriptor, OutlineTree& tree, Prompter& prompter,
                  OutlineState& state = ProcessOutlineState());

    const OutlineDescriptor& descriptor() const { return m_d; }
    OutlineTree& tree() { return m_tree; }
    const NodeArrays<Key>& arrays() const { return m_arrays; }
    NodeArrays<Key>& arrays() { return m_arrays; }
    OutlineState& state() { return m_state; }
    ChangeFlags& flags() { return m_flags; }
    // What may run now: the selected node's state less what is held.
    OutlineCommandState commands() const;
    // The one place that turns commands off and on again; the listener is
    // called every time, so whatever a window did to its items is undone.
    void holdCommands(CommandHold hold);
    CommandHold commandHold() const { return m_hold; }
    // Called whenever the command state changes.
    void setCommandsListener(std::function<void()> listener) { m_listener = std::move(listener); }
    DbConnection& connection();
    // The catalogue's dataset, read again when a change has closed it.
    DbStatement& dataset();
    void closeDataset();
    // Procedures run and datasets read by this engine and its flags.
    int statementCount() const { return m_statements + m_flags.statementCount(); }

    void BuildOutline();
    // The change check every changing command starts with: true when the
    // command may go on; otherwise the tree has been reloaded (and the user told).
    bool BeginCommand();

    bool AddOutlineNode();
    bool DeleteOutlineSubtree();
    bool MoveNodeUp();
    bool MoveNodeDown();
    bool PromoteNode();
    bool DemoteNode();
    // The selected node dragged onto target (null: below all nodes, the last
    // visible node is the target).
    bool DropOutlineNode(OutlineNode* target, DropZone zone);

    // The end of a caption edit: stores the trimmed text, cut to the column's
    // width, with the node's identifier, in its own transaction (no change
    // flags). A failure keeps the old caption and tells the user.
    // A node another program deleted is refused with a message; the tree is read
    // again on the next command, which the other program's change flag asks for.
    bool RenameNode(OutlineNode* node, const QString& typed);

    // Stored positions; run inside the caller's transaction.
    int AllocateNpp(int before);
    void PlaceBlockBefore(int target, int first, int last, int levelChange);
    void PlaceBlockAfter(int target, int first, int last, int levelChange);

    int SubtreeEnd(int position) const;
    void UpdateMoveButtons(OutlineNode* node);
    // After the node was expanded or collapsed.
    void RefreshFolderIcons(OutlineNode* node);
    void OpenAncestors(OutlineNode* node);
    // What the window's selection handler does (nothing while building).
    void selectNode(OutlineNode* node);
    bool selectKey(Key key);

    Key keyOf(const OutlineNode* node) const;
    int nppOf(const OutlineNode* node) const;
    QString identifierOf(const OutlineNode* node) const;
    void setIdentifier(const OutlineNode* node, const QString& id);

private:
    DbProcedure& proc(const QString& component);
    void run(DbProcedure& procedure);
    void setNpp(int position, int npp);
    void setLevel(int position, int level);
    void setNppLevel(int position, int npp, int level);
    void renumber();
    int nppAfterLast(int rowsToAppend = 1);
    Key insertRow(int npp, int level);
    // Runs the stored part of a command, flags the others and commits; on a
    // failure rolls back, reports and (unless deleting) rebuilds.
    template <class Work> bool commitChange(OutlineOp op, Work&& work);
    void reportFailure(OutlineOp op, const QString& server, bool rights, bool withServer);
    bool nodeStored(OutlineNode* node);
    void setCommands(const OutlineCommandState& commands);

    TdmMSSQL& m_dm;
    OutlineDescriptor m_d;
    OutlineTree& m_tree;
    Prompter& m_prompter;
    OutlineState& m_state;
    ChangeFlags m_flags;
    NodeArrays<Key> m_arrays;
    OutlineCommandState m_commands;
    CommandHold m_hold = CommandHold::None;
    std::function<void()> m_listener;
    int m_statements = 0;
};

extern template class OutlineEngine<int>;
extern template class OutlineEngine<double>;
