#pragma once

#include <QString>

#include <vector>

class Sheet;

// One supplier's offer for an item: its price and offered volume.
struct TenderOffer {
    double price = 0;
    double volume = 0;
    QString supplier;
};

// The offers of an item, cheapest first: by price, then by offered volume, then by the
// supplier's name, compared as numbers whatever their length, sign or decimal point.
void SortOffers(std::vector<TenderOffer>& offers);

// (value - base) / base x 100; false when the base is 0 (no percentage to show).
bool PercentAbove(double value, double base, double& percent);

// A number the user typed or the funds gave; blank cells and texts give nothing.
bool numberAt(const Sheet& sh, int r, int c, double& value);
