// Measures the event loop as the cone builder runs it (the whole scene
// repainted before every wait): playback throughput of a script of 100,000
// events (and, on Linux, the peak resident memory after it), and the
// processor time the loop takes while it waits with the animation running
// and with it stopped. A plain program, so that the same
// measurement runs natively (headless backend, virtual clock) and, built
// for Windows, under Wine against real Win32 with a real clock.
#include "app/main_loop.h"
#include "dovra/dovra.h"
#include "dovra/events/script.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#define make_dir(path) _mkdir(path)
#define change_dir(path) _chdir(path)
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#define make_dir(path) mkdir(path, 0700)
#define change_dir(path) chdir(path)
#endif

using namespace dovra;
using namespace cone;

namespace {

double process_cpu_seconds() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME &t) {
        return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
#else
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
#endif
}

double wall_seconds() {
    using clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

// 100,000 events: runs of ticks, clicks on the scoops and the buttons, and
// characters, as a session of play would record them.
int write_script(const char *path) {
    std::FILE *file = std::fopen(path, "w");
    if (!file) {
        return 0;
    }
    int events = 0;
    for (int i = 0; events < 100000; i++) {
        const int run = 1 + i % 9;
        std::fprintf(file, "DOVRA_PERIODIC(%d);\n", run);
        events += run;
        switch (i % 4) {
        case 0:
            std::fprintf(file, "DOVRA_MOUSE(%d, %d);\n", -30 + i % 60, 40 + i % 50);
            break;
        case 1:
            std::fprintf(file, "DOVRA_MOUSE(-240, %d);\n", 230 - 25 * (i % 6));
            break;
        default:
            std::fprintf(file, "DOVRA_KBD(%d);\n", 'a' + i % 26);
            break;
        }
        events++;
    }
    std::fclose(file);
    return events;
}

// Playback of the whole script through the main loop's passes; the median
// of three runs in events per second.
void playback_throughput(ConeState &state) {
    const int events = write_script("DOVRA.SCR");
    std::vector<double> rates;
    for (int run = 0; run < 3; run++) {
        cone_state_init(state);
        start_playback();
        const double start = wall_seconds();
        int delivered = 0;
        while (delivered < events) {
            cone_builder_pass(state);
            delivered++;
        }
        rates.push_back(delivered / (wall_seconds() - start));
        stop_playback();
    }
    std::sort(rates.begin(), rates.end());
    std::printf("playback_100000_events      %10.0f events/s (median of 3; scene repainted each "
                "event)\n",
                rates[1]);
#ifndef _WIN32
    // The process's peak resident memory so far: start-up and the playbacks.
    struct rusage usage;
    if (getrusage(RUSAGE_SELF, &usage) == 0) {
        std::printf("peak_memory_after_playback  %10.1f MB (ru_maxrss)\n",
                    usage.ru_maxrss / 1024.0);
    }
#endif
}

void CALLBACK end_measurement(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostQuitMessage(0);
}

// Runs the loop for two seconds of the backend's clock with the animation
// in `mode`, and reports the processor time it took per second of that
// clock, and the frames it drew.
void waiting_cost(ConeState &state, int mode, const char *name) {
    cone_state_init(state);
    DOVRA_set_animation(mode);
    const DWORD start_ticks = GetTickCount();
    const double start_cpu = process_cpu_seconds();
    const double start_wall = wall_seconds();
    SetTimer(nullptr, 0, 2000, end_measurement);
    while (cone_builder_pass(state) != DOVRA_EXIT) {
    }
    const double clock_seconds = (GetTickCount() - start_ticks) / 1000.0;
    const double cpu = process_cpu_seconds() - start_cpu;
    const double wall = wall_seconds() - start_wall;
    std::printf("%-27s %10.2f ms CPU per second of the clock (%.2f%% of a core); %d frames in "
                "%.2f s of the clock, %.2f s wall\n",
                name, 1000.0 * cpu / clock_seconds, 100.0 * cpu / clock_seconds, state.frame_count,
                clock_seconds, wall);
}

} // namespace

int main() {
    // The script lives in a directory of its own, not where the program runs.
    std::string dir = "dovra-event-loop-timing";
    make_dir(dir.c_str());
    if (change_dir(dir.c_str()) != 0) {
        std::fprintf(stderr, "cannot enter %s\n", dir.c_str());
        return 1;
    }
    ConeState state;
    cone_builder_start(state, GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
    playback_throughput(state);
    waiting_cost(state, ANIM_MODE_RUN, "waiting_animation_running");
    waiting_cost(state, ANIM_MODE_STOP, "waiting_animation_stopped");
    cone_builder_end();
    std::remove("DOVRA.SCR");
    return 0;
}
