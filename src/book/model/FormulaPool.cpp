#include "Formula.h"

#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

// Fixed-size blocks carved from large chunks; freed blocks are reused, chunks are kept
// for the life of the process.
class FormulaPool {
public:
    void* allocate() {
        std::lock_guard lock(m_mutex);
        if (m_free) {
            Slot* s = m_free;
            m_free = s->next;
            return s;
        }
        if (m_bump == m_bumpEnd) {
            constexpr size_t kChunk = 4096;
            m_chunks.push_back(std::make_unique<Slot[]>(kChunk));
            m_bump = m_chunks.back().get();
            m_bumpEnd = m_bump + kChunk;
        }
        return m_bump++;
    }
    void release(void* p) {
        std::lock_guard lock(m_mutex);
        auto* s = static_cast<Slot*>(p);
        s->next = m_free;
        m_free = s;
    }

private:
    union Slot {
        Slot* next;
        alignas(Formula) unsigned char storage[sizeof(Formula)];
    };
    std::mutex m_mutex;
    Slot* m_free = nullptr;
    Slot* m_bump = nullptr;
    Slot* m_bumpEnd = nullptr;
    std::vector<std::unique_ptr<Slot[]>> m_chunks;
};

FormulaPool& pool() {
    static FormulaPool* p = new FormulaPool; // outlives every static workbook
    return *p;
}

} // namespace

void* Formula::operator new(size_t size) {
    if (size != sizeof(Formula))
        return ::operator new(size);
    return pool().allocate();
}

void Formula::operator delete(void* p) noexcept {
    if (p)
        pool().release(p);
}
