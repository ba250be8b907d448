#pragma once

#include "OutlineCommandSet.h"
#include "OutlineEngine.h"
#include "OutlineTreeBinding.h"
#include "OutlineTreeWidget.h"

// Everything a catalogue window needs to show and edit its folder tree: the
// engine, the view following it, and the commands following the selection.
// The window still calls BeginCommand and the engine's commands from its own
// buttons; drops and caption edits are wired here.
template <class Key> class OutlineTreeController {
public:
    OutlineTreeController(TdmMSSQL& dm, OutlineDescriptor descriptor, OutlineTreeWidget& view,
                          OutlineCommandSet commands, Prompter& prompter,
                          OutlineState& state = ProcessOutlineState(), QList<QIcon> icons = {})
        : m_engine(dm, std::move(descriptor), m_tree, prompter, state),
          m_binding(view, m_tree, std::move(icons)), m_commands(commands) {
        m_binding.onSelect = [this](OutlineNode* node) { m_engine.selectNode(node); };
        m_binding.onExpandedChanged = [this](OutlineNode* node) {
            m_engine.RefreshFolderIcons(node);
        };
        m_binding.onEdited = [this](OutlineNode* node, const QString& text) {
            m_engine.RenameNode(node, text);
        };
        m_binding.onDrop = [this, &view](OutlineNode* target, DropZone zone) {
            if (zone != DropZone::Elsewhere && m_engine.BeginCommand())
                m_engine.DropOutlineNode(target, zone);
            view.setFocus();
        };
        m_engine.setCommandsListener([this] { applyCommands(); });
        applyCommands();
    }

    OutlineEngine<Key>& engine() { return m_engine; }
    OutlineTree& tree() { return m_tree; }
    OutlineTreeBinding& binding() { return m_binding; }
    const OutlineCommandSet& commands() const { return m_commands; }

private:
    void applyCommands() {
        m_commands.apply(m_engine.commands(),
                         m_engine.commandHold() != CommandHold::MovesAndLevels);
    }

    OutlineTree m_tree;
    OutlineEngine<Key> m_engine;
    OutlineTreeBinding m_binding;
    OutlineCommandSet m_commands;
};
