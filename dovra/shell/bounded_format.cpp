// Bounded formatting of one line.
#include "dovra/shell/bounded_format.h"

#include <cstdio>

namespace dovra {

int format_bounded(char *buffer, const char *format, va_list args) {
    buffer[0] = '\0';
    if (!format) {
        return 0;
    }
    const int wanted = std::vsnprintf(buffer, FORMAT_BUFFER_SIZE, format, args);
    if (wanted < 0) {
        buffer[0] = '\0'; // an encoding error leaves nothing usable
        return 0;
    }
    return wanted < FORMAT_BUFFER_SIZE ? wanted : FORMAT_BUFFER_SIZE - 1;
}

} // namespace dovra
