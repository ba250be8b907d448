#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>

// Numbers compare as spreadsheet users expect: at 15 significant digits, so that
// 0.1+0.2 equals 0.3 and a total equals the sum of its decimal parts.
inline double roundTo15Digits(double x) {
    if (x == 0 || !std::isfinite(x))
        return x;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", x);
    return std::strtod(buf, nullptr);
}

inline int compareNumbers(double a, double b) {
    if (a == b)
        return 0;
    // Far apart: the plain order; only near neighbours need the rounding.
    const double scale = std::fmax(std::fabs(a), std::fabs(b));
    if (std::fabs(a - b) > scale * 1e-13 || !std::isfinite(scale))
        return a < b ? -1 : 1;
    const double ra = roundTo15Digits(a);
    const double rb = roundTo15Digits(b);
    return ra < rb ? -1 : (ra > rb ? 1 : 0);
}
