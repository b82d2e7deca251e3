// A replay asked for in a web page (DOVRA_REPLAY, which the page sets from
// its address) is shown in the page itself, as on Windows: the package plays
// the script from start-up and ends the run at its end, and the canvas keeps
// the last picture. The headless replay's PNG files have no place in a browser.
#include "platform/backend/backend.h"
#include "platform/backend/web/web.h"

namespace portable_win32 {

const Backend &replay_backend() {
    return web_backend();
}

} // namespace portable_win32
