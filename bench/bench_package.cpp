// The package's calls under Google Benchmark, on a started package: every
// case of bench/package_cases.h (each drawing call, the clear, the start
// and full scenes, the surface copy, one event-loop pass) and a memset of
// the surface's bytes in the same run, as the yardstick. The script of
// ticks that the event-loop pass plays is written to the current directory.
#include "bench/package_cases.h"

#include <benchmark/benchmark.h>
#include <cstdio>

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (!package_cases::start()) {
        std::fprintf(stderr, "cannot write the script DOVRA.SCR here\n");
        return 1;
    }
    for (const package_cases::Case &c : package_cases::cases()) {
        void (*run)() = c.run;
        benchmark::RegisterBenchmark(c.name, [run](benchmark::State &state) {
            for (auto _ : state) {
                run();
                benchmark::ClobberMemory();
            }
        });
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    package_cases::end();
    return 0;
}
