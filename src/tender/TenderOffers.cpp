#include "TenderOffers.h"

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
