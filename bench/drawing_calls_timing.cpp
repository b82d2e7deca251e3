// Times the package's calls on a started package (bench/package_cases.h):
// each drawing call, the clear, the start and full scenes, the surface copy,
// one event-loop pass, and a memset of the surface's bytes in the same run.
// A plain program (no benchmark library) so that the same measurement runs
// natively and, built for Windows, under Wine. Prints, per case, the median
// of 15 batches and its ratio to the memset. The script of ticks that the
// event-loop pass plays is written to the current directory.
#include "bench/package_cases.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

double median_ns(void (*call)(), int per_batch) {
    call(); // warms the caches: glyphs, faces, pages
    std::vector<double> batches;
    for (int b = 0; b < 15; b++) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < per_batch; i++) {
            call();
        }
        const auto end = std::chrono::steady_clock::now();
        batches.push_back(std::chrono::duration<double, std::nano>(end - start).count() /
                          per_batch);
    }
    std::sort(batches.begin(), batches.end());
    return batches[batches.size() / 2];
}

} // namespace

int main() {
    if (!package_cases::start()) {
        std::fprintf(stderr, "cannot write the script DOVRA.SCR here\n");
        return 1;
    }
    std::printf("%-20s %12s %10s\n", "case", "median ns", "/ memset");
    double memset_ns = 0;
    for (const package_cases::Case &c : package_cases::cases()) {
        const double ns = median_ns(c.run, c.per_batch);
        if (memset_ns == 0) {
            memset_ns = ns; // the first case is the memset
        }
        std::printf("%-20s %12.0f %10.2f\n", c.name, ns, ns / memset_ns);
    }
    package_cases::end();
    return 0;
}
