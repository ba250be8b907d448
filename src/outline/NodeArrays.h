#pragma once

#include <QString>

#include <algorithm>
#include <vector>

// The three arrays kept beside a tree view, indexed by pre-order position:
// folder keys, NPP positions and (collections only) identifiers. Keys are
// integers for collections and rubrics, doubles for aggregation nodes.
template <class Key> class NodeArrays {
public:
    int size() const { return int(keys.size()); }
    bool isEmpty() const { return keys.empty(); }
    void clear() {
        keys.clear();
        positions.clear();
        identifiers.clear();
    }

    void append(Key key, int npp, const QString& id = {}) {
        keys.push_back(key);
        positions.push_back(npp);
        identifiers.push_back(id);
    }
    // Entries from `at` on shift one place up.
    void insert(int at, Key key, int npp, const QString& id = {}) {
        keys.insert(keys.begin() + at, key);
        positions.insert(positions.begin() + at, npp);
        identifiers.insert(identifiers.begin() + at, id);
    }
    // Removes entries first..last; later entries move down.
    void remove(int first, int last) {
        keys.erase(keys.begin() + first, keys.begin() + last + 1);
        positions.erase(positions.begin() + first, positions.begin() + last + 1);
        identifiers.erase(identifiers.begin() + first, identifiers.begin() + last + 1);
    }
    // Moves entries first..last so that they stand just before entry `before`
    // (an index of the arrays as they are now, outside the block; size() = the end).
    void moveBlock(int first, int last, int before) {
        moveIn(keys, first, last, before);
        moveIn(positions, first, last, before);
        moveIn(identifiers, first, last, before);
    }
    // What a renumbering procedure does on the server: k-th row gets k * interval.
    void renumber(int interval) {
        for (size_t i = 0; i < positions.size(); ++i)
            positions[i] = int(i + 1) * interval;
    }
    int find(Key key) const {
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key)
                return int(i);
        return -1;
    }
    bool ascending() const {
        for (size_t i = 1; i < positions.size(); ++i)
            if (positions[i] <= positions[i - 1])
                return false;
        return true;
    }

    std::vector<Key> keys;
    std::vector<int> positions;
    std::vector<QString> identifiers;

private:
    template <class T> static void moveIn(std::vector<T>& v, int first, int last, int before) {
        if (before < first)
            std::rotate(v.begin() + before, v.begin() + first, v.begin() + last + 1);
        else if (before > last + 1)
            std::rotate(v.begin() + first, v.begin() + last + 1, v.begin() + before);
    }
};
