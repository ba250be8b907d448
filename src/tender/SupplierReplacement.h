#pragma once

#include "TenderOffers.h"

#include <QString>

#include <vector>

class IdentModel;
class Workbook;

// Replacing the supplier of an item of the consolidated order ("Svod") by another of its
// offers ("Sort", the sheet behind it, cheapest first).
class SupplierReplacement {
public:
    // The figures of one offer against the current supplier.
    struct Figures {
        double price = 0;
        double cost = 0;    // offered volume x price
        double deficit = 0; // requested - offered volume
        QString percent;    // price above the current one, "12.50%"; blank at a zero base
        QString deviation;  // cost above the current one, "+3.00" / "-3.00"
    };

    // The clicked cell of `sheet` is a body row of a consolidated order with its sorted
    // offers behind it.
    static bool opensAt(const IdentModel& model, int sheet, int row);

    SupplierReplacement(IdentModel& model, int svod, int row);

    QString item() const;
    QString currentSupplier() const { return m_current; }
    double currentPrice() const { return m_price; }
    double currentCost() const { return m_cost; }
    double currentDeficit() const { return m_requested - m_volume; }
    // The item's offers in the sorted order; empty when it has a single offer (no choice).
    const std::vector<TenderOffer>& offers() const { return m_offers; }
    // The offer chosen when the window opens: the second; -1 without a choice.
    int preselected() const { return m_offers.size() > 1 ? 1 : -1; }
    Figures figures(int offer) const;

    // Writes the chosen offer into the clicked row, or with `everywhere` into every row
    // supplied by the current supplier that has more than one offer, one of them the
    // chosen supplier's. One undo step; returns the rows written.
    int apply(int offer, bool everywhere);

private:
    std::vector<TenderOffer> offersOf(int row) const;
    double requestedOf(int row) const;
    void write(int row, const TenderOffer& o);

    IdentModel& m_model;
    Workbook& m_book;
    int m_svod;
    int m_sort;
    int m_row;
    QString m_current;
    double m_volume = 0;
    double m_price = 0;
    double m_cost = 0;
    double m_requested = 0;
    std::vector<TenderOffer> m_offers;
};
