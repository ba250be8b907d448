#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

// Best of `runs` wall-clock timings, in milliseconds.
double bestMs(int runs, const std::function<void()>& work);
// The same, with `prepare` run untimed before each timed `work`.
double bestMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work);

void report(const std::string& name, double value, const char* unit, double ceiling);

// Resident set size and its peak, in bytes (Linux); the peak can be reset.
long residentBytes();
long peakResidentBytes();
bool resetPeak();
void releaseFreeMemory();
