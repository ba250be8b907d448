#include "TenderOffers.h"

#include "CellValues.h"
#include "model/Sheet.h"

#include <algorithm>

void SortOffers(std::vector<TenderOffer>& offers) {
    std::stable_sort(offers.begin(), offers.end(), [](const TenderOffer& a, const TenderOffer& b) {
        if (a.price != b.price)
            return a.price < b.price;
        if (a.volume != b.volume)
            return a.volume < b.volume;
        return a.supplier < b.supplier;
    });
}

bool PercentAbove(double value, double base, double& percent) {
    if (base == 0)
        return false;
    percent = (value - base) / base * 100;
    return true;
}

bool numberAt(const Sheet& sh, int r, int c, double& value) {
    const int type = sh.type(r, c);
    if (type == 1 || type == -1) {
        value = sh.number(r, c);
        return type == 1 || CellValues::toNumber(sh.text(r, c), value);
    }
    return type == 2 && CellValues::toNumber(sh.text(r, c), value);
}
