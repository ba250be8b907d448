#pragma once

#include <QString>

#include <cstdint>

struct Formula;

enum class CellKind : uint8_t { Empty, Number, Text, Formula };

// One slot of the sparse storage: 16 bytes, content owned by the slot. An empty slot may
// still carry a format.
struct Cell {
    union {
        double number = 0;
        QString* text;
        Formula* formula;
    };
    uint32_t format = 0;
    CellKind kind = CellKind::Empty;

    bool hasContent() const { return kind != CellKind::Empty; }
};

// Frees what the slot owns and leaves it empty (the format stays).
void releaseCellContent(Cell& cell);
// A deep copy of the slot's content and format.
Cell cloneCell(const Cell& cell);
