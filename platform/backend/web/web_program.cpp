// The backends of a program built as a web page: its windows shown in the page.
#include "platform/backend/backend.h"
#include "platform/backend/web/web.h"

namespace portable_win32 {

const Backend *const *program_display_backends() {
    static const Backend *const page[] = {&web_backend(), nullptr};
    return page;
}

} // namespace portable_win32
