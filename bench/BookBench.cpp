#include "BenchSupport.h"

#include "formula/Recalculator.h"
#include "io/NativeFormat.h"
#include "model/Workbook.h"

#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 10000;
constexpr int kGroupWidth = 12; // ten inputs, a SUM, a chain link

double input(int group, int row, int k) {
    return double((group * 31 + row * 7 + k * 13) % 97);
}

// `groups` blocks of 10 000 rows: A..J numbers, K = SUM(A:J) of the row, L = L above * 0.5 + K.
// Two formulas per row and group.
std::unique_ptr<Workbook> buildRecalcBook(int groups) {
    auto book = std::make_unique<Workbook>();
    book->setAutoRecalc(false);
    for (int g = 0; g < groups; ++g) {
        const int c0 = g * kGroupWidth + 1;
        for (int r = 1; r <= kRows; ++r) {
            for (int k = 0; k < 10; ++k)
                book->setNumber(1, r, c0 + k, input(g, r, k));
            const QString a = cellName(r, c0), j = cellName(r, c0 + 9), kk = cellName(r, c0 + 10);
            book->setFormula(1, r, c0 + 10, "=SUM(" + a + ":" + j + ")");
            book->setFormula(1, r, c0 + 11,
                             r == 1 ? "=" + kk : "=" + cellName(r - 1, c0 + 11) + "*0.5+" + kk);
        }
    }
    return book;
}

// The same numbers from a dense array in a plain loop.
double plainLoop(const std::vector<double>& inputs, int groups, std::vector<double>& out) {
    double last = 0;
    for (int g = 0; g < groups; ++g) {
        double chain = 0;
        for (int r = 0; r < kRows; ++r) {
            const double* in = &inputs[(size_t(g) * kRows + size_t(r)) * 10];
            double sum = 0;
            for (int k = 0; k < 10; ++k)
                sum += in[k];
            chain = r == 0 ? sum : chain * 0.5 + sum;
            out[(size_t(g) * kRows + size_t(r)) * 2] = sum;
            out[(size_t(g) * kRows + size_t(r)) * 2 + 1] = chain;
            last = chain;
        }
    }
    return last;
}

struct RecalcCase {
    int groups;
    std::unique_ptr<Workbook> book;
    std::vector<double> inputs;
    std::vector<double> out;
    double firstMs = 0;
    double engineMs = 1e300;
    double plainMs = 1e300;
    double expected = 0;
};

void prepare(RecalcCase& c) {
    c.book = buildRecalcBook(c.groups);
    const auto t0 = std::chrono::steady_clock::now();
    c.book->recalcAll(); // orders the formulas once
    c.firstMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    c.inputs.resize(size_t(c.groups) * kRows * 10);
    for (int g = 0; g < c.groups; ++g)
        for (int r = 0; r < kRows; ++r)
            for (int k = 0; k < 10; ++k)
                c.inputs[(size_t(g) * kRows + size_t(r)) * 10 + size_t(k)] = input(g, r + 1, k);
    c.out.resize(size_t(c.groups) * kRows * 2);
}

// One round of both measurements; cases are measured in turns so that the load of a
// shared machine falls on all of them alike.
void measure(RecalcCase& c) {
    c.engineMs = std::min(c.engineMs, bestMs(1, [&] { c.book->recalcAll(); }));
    c.plainMs =
        std::min(c.plainMs, bestMs(20, [&] { c.expected = plainLoop(c.inputs, c.groups, c.out); }));
}

void check(const RecalcCase& c) {
    const double got = c.book->sheet(1).number(kRows, (c.groups - 1) * kGroupWidth + 12);
    if (std::fabs(got - c.expected) > 1e-6 * std::fabs(c.expected)) {
        std::fprintf(stderr, "full recalculation gives %g, the plain loop %g\n", got, c.expected);
        std::exit(1);
    }
    std::printf("# %d formulas: first recalculation with ordering %.2f ms, again %.2f ms, "
                "plain loop %.3f ms\n",
                c.groups * kRows * 2, c.firstMs, c.engineMs, c.plainMs);
}

double oneEdit(int groups) {
    auto book = buildRecalcBook(groups);
    book->setAutoRecalc(true);
    book->recalcAll();
    // An input near the end of the first group: its SUM and the chain below it change.
    const int row = kRows - 100;
    const uint64_t before = book->recalculator().evaluationCount();
    double value = 1000;
    const double ms = bestMs(15, [&] { book->setNumber(1, row, 1, value += 1); });
    std::printf("# edit in %d formulas: %.3f ms, %llu evaluations per edit\n", groups * kRows * 2,
                ms, (unsigned long long)((book->recalculator().evaluationCount() - before) / 15));
    return ms;
}

void chain(int n) {
    Workbook book;
    book.setAutoRecalc(false);
    book.setNumber(1, 1, 1, 1);
    for (int i = 2; i <= n; ++i) {
        const int row = (i - 1) % 16000 + 1, col = (i - 1) / 16000 + 1;
        const int prow = (i - 2) % 16000 + 1, pcol = (i - 2) / 16000 + 1;
        book.setFormula(1, row, col, "=" + cellName(prow, pcol) + "+1");
    }
    // The first pass orders the chain (no recursion, so no stack to overflow); later
    // passes reuse the order.
    const double firstMs = bestMs(1, [&] { book.recalcAll(); });
    const double ms = bestMs(5, [&] { book.recalcAll(); });
    const int lastRow = (n - 1) % 16000 + 1, lastCol = (n - 1) / 16000 + 1;
    if (book.sheet(1).number(lastRow, lastCol) != n) {
        std::fprintf(stderr, "chain gives %g\n", book.sheet(1).number(lastRow, lastCol));
        std::exit(1);
    }
    std::vector<double> v(static_cast<size_t>(n));
    const double plain = bestMs(20, [&] {
        v[0] = 1;
        for (int i = 1; i < n; ++i)
            v[size_t(i)] = v[size_t(i - 1)] + 1;
    });
    std::printf("# chain of %d: first recalculation with ordering %.2f ms\n", n, firstMs);
    report("chain_200k_recalc", ms, "ms", 40 * plain);
}

double numberAt(int sheet, int r, int c) {
    return double((sheet * 7919 + r * 131 + c * 17) % 100000) / 100;
}

void saveLoad() {
    const int sheets = 10, rows = 10000, cols = 10;
    const double cells = double(sheets) * rows * cols;
    QTemporaryDir dir;
    const QString vts = dir.filePath("bench.vts");
    const std::string csv = dir.filePath("bench.csv").toStdString();
    double nativeMs = 0;
    {
        Workbook book(sheets);
        for (int s = 1; s <= sheets; ++s)
            for (int r = 1; r <= rows; ++r)
                for (int c = 1; c <= cols; ++c)
                    book.setNumber(s, r, c, numberAt(s, r, c));
        nativeMs = bestMs(3, [&] {
            Workbook loaded;
            if (!NativeFormat::saveFile(book, vts) || !NativeFormat::loadFile(loaded, vts) ||
                loaded.sheet(10).number(rows, cols) != numberAt(10, rows, cols)) {
                std::fprintf(stderr, "native round trip failed\n");
                std::exit(1);
            }
        });
    }
    const double csvMs = bestMs(3, [&] {
        FILE* f = std::fopen(csv.c_str(), "w");
        for (int s = 1; s <= sheets; ++s)
            for (int r = 1; r <= rows; ++r)
                for (int c = 1; c <= cols; ++c)
                    std::fprintf(f, c == cols ? "%.15g\n" : "%.15g;", numberAt(s, r, c));
        std::fclose(f);
        f = std::fopen(csv.c_str(), "r");
        std::vector<double> values;
        values.reserve(size_t(cells));
        char line[4096];
        while (std::fgets(line, sizeof line, f)) {
            char* p = line;
            while (*p && *p != '\n') {
                char* end;
                values.push_back(std::strtod(p, &end));
                p = *end == ';' ? end + 1 : end;
            }
        }
        std::fclose(f);
        if (values.size() != size_t(cells))
            std::exit(1);
    });
    report("native_save_load_1M", nativeMs, "ms", 2 * csvMs);

    // Peak memory of loading: file bytes, unpacked body and the workbook together.
    releaseFreeMemory();
    const long before = residentBytes();
    if (resetPeak()) {
        Workbook loaded;
        NativeFormat::loadFile(loaded, vts);
        const long peak = peakResidentBytes();
        report("native_load_peak_bytes_per_cell", double(peak - before) / cells, "bytes", 48);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "profile") {
        // A long run of full recalculations alone, for a profiler.
        const int groups = argc > 2 ? std::atoi(argv[2]) : 5;
        auto book = buildRecalcBook(groups);
        for (int i = 0; i < 1200 / groups; ++i)
            book->recalcAll();
        return 0;
    }
    {
        RecalcCase small{5, {}, {}, {}};
        RecalcCase large{20, {}, {}, {}};
        prepare(small);
        prepare(large);
        for (int i = 0; i < 15; ++i) {
            measure(small);
            measure(large);
        }
        check(small);
        check(large);
        report("full_recalc_100k", small.engineMs, "ms", 40 * small.plainMs);
        report("full_recalc_400k_vs_100k", large.engineMs / small.engineMs, "x", 4.6);
    }
    const double e40 = oneEdit(2);
    const double e400 = oneEdit(20);
    report("incremental_edit_400k_vs_40k", e400 / e40, "x", 1.5);
    chain(200000);
    saveLoad();
    return 0;
}
