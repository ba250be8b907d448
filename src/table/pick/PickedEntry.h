#pragma once

#include <QString>

// What a picker hands to the placement: the kind of directory and one chosen entry.
enum class PickKind {
    Indicator, // the indicators directory
    Node,      // a node of an aggregation directory
    Object,    // the objects directory
    Period,    // a storage period of the period picker
};

struct PickedEntry {
    int code = 0;      // KODELMT, KODFOLDER; unused for periods
    QString shown;     // the displayed code of an indicator (KODALT or "-" + code)
    QString unit;      // EIZ of an indicator
    int directory = 0; // NUMAGR of a node, 99 for the objects directory
    int depth = 1;     // relative depth of a node (the shallowest chosen are 1)
    QString name;      // NAMEFOLDER, or the period's name
    QString value;     // a period as typed: "m/yyyy" or the year
    bool monthly = false;

    // The displayed code of an indicator: its alternative code, else "-" + its code.
    static QString displayedCode(int kodElmt, const QString& kodAlt) {
        return kodAlt.trimmed().isEmpty() ? QStringLiteral("-") + QString::number(kodElmt)
                                          : kodAlt.trimmed();
    }
};
