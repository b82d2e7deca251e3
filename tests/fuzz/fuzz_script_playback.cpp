// Fuzz target: arbitrary bytes as DOVRA.SCR, played back through
// DOVRA_next_event on a started package (headless backend) until playback
// ends, each event applied to the cone builder's model as the program does.
// Nothing may crash, hang, leak or break the model's limits.
#include "app/main_loop.h"
#include "dovra/dovra.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace dovra;
using namespace cone;

namespace {

// A periodic line may owe two thousand million events; a run is cut off
// after this many steps, which is no fault of the script.
const int STEPS_PER_INPUT = 2000;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    char pattern[] = "/tmp/dovra-fuzz-XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0) {
        std::perror("fuzz_script_playback: scratch directory");
        std::exit(1);
    }
    DOVRA_startup(nullptr, nullptr, nullptr, SW_SHOWNORMAL);
    DOVRA_set_logging(0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::FILE *file = std::fopen(SCRIPT_FILE_NAME, "wb");
    if (!file) {
        std::abort();
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    ConeState state;
    cone_state_init(state);
    start_playback();
    // Running, so that the call which meets the end of the script returns
    // at the next tick instead of waiting for a user who never comes.
    DOVRA_set_animation(ANIM_MODE_RUN);
    for (int step = 0; step < STEPS_PER_INPUT && playing_back; step++) {
        int x = 0;
        int y = 0;
        char key = 0;
        const int kind = DOVRA_next_event(&x, &y, &key);
        apply_event(kind, x, y, state);
    }
    stop_playback();
    DOVRA_set_animation(ANIM_MODE_STOP);
    if (state.scoops < 1 || state.scoops > MAX_SCOOPS || state.topping_count < 0 ||
        state.topping_count > MAX_TOPPINGS || periodic_run != 0 || script_stream) {
        std::abort();
    }
    return 0;
}
