#pragma once

#include <cstdint>
#include <vector>

// A set of 64-bit cell keys with open addressing: a large edit notes every cell it
// touches once, and a node-based set would allocate once per cell.
class CellKeySet {
public:
    // False when the key was there already.
    bool insert(uint64_t key) {
        if ((m_count + 1) * 2 > m_slots.size())
            grow();
        if (!place(m_slots, key))
            return false;
        ++m_count;
        return true;
    }

private:
    static constexpr uint64_t kEmpty = ~uint64_t(0);

    static size_t slotOf(uint64_t key, size_t mask) {
        return size_t((key * 0x9E3779B97F4A7C15ull) >> 17) & mask;
    }

    static bool place(std::vector<uint64_t>& table, uint64_t key) {
        const size_t mask = table.size() - 1;
        for (size_t i = slotOf(key, mask);; i = (i + 1) & mask) {
            if (table[i] == key)
                return false;
            if (table[i] == kEmpty) {
                table[i] = key;
                return true;
            }
        }
    }

    void grow() {
        std::vector<uint64_t> bigger(m_slots.empty() ? 128 : m_slots.size() * 2, kEmpty);
        for (uint64_t k : m_slots)
            if (k != kEmpty)
                place(bigger, k);
        m_slots.swap(bigger);
    }

    std::vector<uint64_t> m_slots;
    size_t m_count = 0;
};
