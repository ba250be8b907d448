#include "BenchSupport.h"

#include <fstream>
#include <malloc.h>
#include <sstream>

double bestMs(int runs, const std::function<void()>& work) {
    return bestMs(
        runs, [] {}, work);
}

double bestMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const auto t0 = std::chrono::steady_clock::now();
        work();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    return best;
}

void report(const std::string& name, double value, const char* unit, double ceiling) {
    std::printf("BENCH %s value=%.4g %s ceiling=%.4g ratio=%.3f\n", name.c_str(), value, unit,
                ceiling, ceiling > 0 ? value / ceiling : 0.0);
    std::fflush(stdout);
}

static long statusField(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) {
            std::istringstream s(line.substr(std::string(key).size()));
            long kb = 0;
            s >> kb;
            return kb * 1024;
        }
    return -1;
}

long residentBytes() {
    return statusField("VmRSS:");
}
long peakResidentBytes() {
    return statusField("VmHWM:");
}

bool resetPeak() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    return bool(out);
}

void releaseFreeMemory() {
    malloc_trim(0);
}
