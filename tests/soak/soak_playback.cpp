// A soak: plays a script of periodic events (one million unless told
// otherwise) through the cone builder's own passes on the headless backend,
// the whole scene repainted for every event, and samples the resident
// memory as it goes. Fails when memory grows between the first tenth and
// the end, or when the live GDI objects or memory blocks do.
// Usage: soak_playback [EVENTS]
#include "app/main_loop.h"
#include "dovra/events/script.h"
#include "platform/core/accounting.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace dovra;
using namespace portable_win32;
using namespace cone;

namespace {

long resident_kb() {
    long pages = 0, resident = 0;
    std::FILE *statm = std::fopen("/proc/self/statm", "r");
    if (statm) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

int main(int argc, char **argv) {
    const long events = argc > 1 ? std::atol(argv[1]) : 1000000;
    char pattern[] = "/tmp/dovra-soak-XXXXXX";
    if (events < 10 || !mkdtemp(pattern) || chdir(pattern) != 0) {
        std::fprintf(stderr, "usage: soak_playback [EVENTS >= 10]\n");
        return 2;
    }
    // Runs of ticks of every length up to 1000, as long recordings hold them.
    std::FILE *script = std::fopen(SCRIPT_FILE_NAME, "w");
    long written = 0;
    for (long run = 1; written < events; run = run % 1000 + 1) {
        const long n = run < events - written ? run : events - written;
        std::fprintf(script, "DOVRA_PERIODIC(%ld);\n", n);
        written += n;
    }
    std::fclose(script);

    ConeState state;
    cone_builder_start(state, nullptr, nullptr, nullptr, SW_SHOWNORMAL);
    start_playback();
    const auto start = std::chrono::steady_clock::now();
    long tenth_kb = 0;
    int tenth_objects = 0, tenth_blocks = 0;
    std::printf("%10s %12s %10s %8s %8s\n", "events", "resident kB", "seconds", "objects",
                "blocks");
    for (long i = 1; i <= events; i++) {
        if (cone_builder_pass(state) != DOVRA_PERIODIC) {
            std::fprintf(stderr, "soak: event %ld was not periodic\n", i);
            return 1;
        }
        if (i % (events / 10) == 0) {
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("%10ld %12ld %10.1f %8d %8d\n", i, resident_kb(), seconds,
                        platform_live_gdi_objects(), platform_live_memory_blocks());
            std::fflush(stdout);
            if (i == events / 10) {
                tenth_kb = resident_kb();
                tenth_objects = platform_live_gdi_objects();
                tenth_blocks = platform_live_memory_blocks();
            }
        }
    }
    const long growth = resident_kb() - tenth_kb;
    std::printf("frames %d; resident memory grew by %ld kB after the first tenth\n",
                state.frame_count, growth);
    // Judged before shutdown, which gives back the window's context. A few
    // pages of slack for the allocator; a leak per event is far more.
    const bool flat = growth <= 1024 && platform_live_gdi_objects() == tenth_objects &&
                      platform_live_memory_blocks() == tenth_blocks;
    stop_playback();
    cone_builder_end();
    std::remove(SCRIPT_FILE_NAME);
    rmdir(pattern);
    if (!flat) {
        std::printf("soak: memory or objects grew\n");
    }
    return flat ? 0 : 1;
}
