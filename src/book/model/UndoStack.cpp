#include "UndoStack.h"

#include "UndoChanges.h"
#include "Workbook.h"

namespace {
// Steps kept; the oldest are dropped beyond this.
constexpr size_t kMaxSteps = 1000;

// Moves the last step of one stack to the other, replaying it on the workbook with
// recording off.
template <class Apply>
bool replayStep(std::vector<std::unique_ptr<UndoCommand>>& from,
                std::vector<std::unique_ptr<UndoCommand>>& to, Workbook& book, int& replaying,
                Apply apply) {
    if (from.empty())
        return false;
    auto cmd = std::move(from.back());
    from.pop_back();
    ++replaying;
    book.beginUpdate();
    apply(*cmd, book);
    book.endUpdate();
    --replaying;
    to.push_back(std::move(cmd));
    return true;
}
} // namespace

UndoCommand::UndoCommand(const QString& text) : m_text(text) {}

UndoCommand::~UndoCommand() = default;

void UndoCommand::undo(Workbook& book) {
    for (auto it = m_changes.rbegin(); it != m_changes.rend(); ++it)
        (*it)->undo(book);
}

void UndoCommand::redo(Workbook& book) {
    for (auto& c : m_changes)
        c->redo(book);
}

size_t UndoCommand::bytes() const {
    size_t n = sizeof(*this) + m_changes.capacity() * sizeof(void*);
    for (const auto& c : m_changes)
        n += c->bytes();
    return n;
}

UndoStack::UndoStack(Workbook& book) : m_book(book) {}

UndoStack::~UndoStack() = default;

void UndoStack::setEnabled(bool on) {
    if (!on)
        clear();
    m_enabled = on;
}

void UndoStack::begin(const QString& text) {
    if (m_depth++ == 0) {
        seal();
        m_open = std::make_unique<UndoCommand>(text);
    }
}

void UndoStack::end() {
    if (m_depth > 0 && --m_depth == 0)
        seal();
}

UndoCommand& UndoStack::current() {
    if (!m_open)
        m_open = std::make_unique<UndoCommand>(QString());
    return *m_open;
}

void UndoStack::closeCells() {
    if (!m_open)
        return;
    for (auto& c : m_open->m_changes)
        c->finish(m_book);
    m_cells = nullptr;
}

void UndoStack::seal() {
    if (!m_open)
        return;
    for (auto& c : m_open->m_changes)
        c->finish(m_book);
    m_cells = nullptr;
    auto cmd = std::move(m_open);
    if (cmd->isEmpty())
        return;
    m_undone.clear();
    m_done.push_back(std::move(cmd));
    if (m_done.size() > kMaxSteps)
        m_done.erase(m_done.begin());
}

void UndoStack::noteCell(const Sheet& sheet, int row, int col) {
    if (!recording())
        return;
    UndoCommand& cmd = current();
    if (cmd.m_snapshotOpen)
        return;
    if (!m_cells) {
        auto change = std::make_unique<CellsChange>();
        m_cells = change.get();
        cmd.m_changes.push_back(std::move(change));
    }
    m_cells->add(sheet, row, col);
}

void UndoStack::noteSheet(const Sheet& sheet) {
    if (!recording())
        return;
    UndoCommand& cmd = current();
    if (cmd.m_snapshotOpen)
        return;
    // Only the changes since the last structural edit are still open.
    for (auto it = cmd.m_changes.rbegin(); it != cmd.m_changes.rend(); ++it) {
        if (auto* sc = dynamic_cast<SheetChange*>(it->get())) {
            if (sc->sheetId() == sheet.id())
                return;
        } else if (!dynamic_cast<CellsChange*>(it->get())) {
            break;
        }
    }
    cmd.m_changes.push_back(std::make_unique<SheetChange>(sheet));
}

void UndoStack::noteLines(const Sheet& sheet, bool rows, int at, int count, bool insert) {
    if (!recording())
        return;
    if (!insert) {
        noteSnapshot();
        return;
    }
    UndoCommand& cmd = current();
    if (cmd.m_snapshotOpen)
        return;
    closeCells();
    const CellRange band = rows ? CellRange(at, 1, at + count - 1, kMaxCols)
                                : CellRange(1, at, kMaxRows, at + count - 1);
    cmd.m_changes.push_back(std::make_unique<InsertChange>(sheet.id(), rows, band, true));
}

void UndoStack::noteBand(const Sheet& sheet, const CellRange& range, bool shiftDown) {
    if (!recording())
        return;
    UndoCommand& cmd = current();
    if (cmd.m_snapshotOpen)
        return;
    closeCells();
    cmd.m_changes.push_back(std::make_unique<InsertChange>(sheet.id(), shiftDown, range, false));
}

void UndoStack::noteSnapshot() {
    if (!recording())
        return;
    UndoCommand& cmd = current();
    if (cmd.m_snapshotOpen)
        return;
    closeCells();
    cmd.m_changes.push_back(std::make_unique<SnapshotChange>(m_book));
    cmd.m_snapshotOpen = true;
}

void UndoStack::editReported() {
    if (m_depth == 0 && m_replaying == 0)
        seal();
}

bool UndoStack::canUndo() const {
    return !m_done.empty() || (m_open && !m_open->isEmpty() && m_depth == 0);
}

bool UndoStack::canRedo() const {
    return !m_undone.empty() && !(m_open && !m_open->isEmpty());
}

QString UndoStack::undoText() const {
    if (m_open && !m_open->isEmpty() && m_depth == 0)
        return m_open->text();
    return m_done.empty() ? QString() : m_done.back()->text();
}

QString UndoStack::redoText() const {
    return m_undone.empty() ? QString() : m_undone.back()->text();
}

bool UndoStack::undo() {
    if (m_depth > 0)
        return false;
    seal();
    return replayStep(m_done, m_undone, m_book, m_replaying,
                      [](UndoCommand& cmd, Workbook& book) { cmd.undo(book); });
}

bool UndoStack::redo() {
    if (m_depth > 0)
        return false;
    seal();
    return replayStep(m_undone, m_done, m_book, m_replaying,
                      [](UndoCommand& cmd, Workbook& book) { cmd.redo(book); });
}

void UndoStack::clear() {
    m_open.reset();
    m_cells = nullptr;
    m_done.clear();
    m_undone.clear();
}

int UndoStack::count() const {
    return int(m_done.size());
}

size_t UndoStack::bytes() const {
    size_t n = 0;
    for (const auto& c : m_done)
        n += c->bytes();
    for (const auto& c : m_undone)
        n += c->bytes();
    return n;
}

UndoSuspend::UndoSuspend(UndoStack& stack) : m_stack(stack), m_was(stack.isEnabled()) {
    m_stack.m_enabled = false;
}

UndoSuspend::~UndoSuspend() {
    m_stack.m_enabled = m_was;
}
