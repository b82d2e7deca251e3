// The hostile submissions of the test class, one program each, chosen by
// HOSTILE when it is built: each misbehaves once the package has started,
// then draws what the reference draws (which only a contained run reaches).
#include "dovra/dovra.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

static void misbehave() {
#if HOSTILE == 1 // loops
    for (volatile unsigned long i = 0;; i++) {
    }
#elif HOSTILE == 2 // crashes
    int *volatile wild = reinterpret_cast<int *>(0xdead0000); // nothing is mapped there
    *wild = 1;
#elif HOSTILE == 3 // forks without end
    for (;;) {
        fork();
    }
#elif HOSTILE == 4 // writes a huge file
    std::FILE *f = std::fopen("huge.bin", "wb");
    static char block[1 << 20];
    for (int i = 0; f && i < 1024; i++) {
        std::fwrite(block, 1, sizeof block, f);
    }
#elif HOSTILE == 5 // reads another submission's folder, and the teacher's home
    const char *paths[] = {"../correct.cpp", CLASS_FOLDER "/correct.cpp", "/root/.bashrc"};
    for (const char *path : paths) {
        if (std::FILE *f = std::fopen(path, "rb")) {
            std::fclose(f);
            DOVRA_draw_circle(3, 0, 0, 200); // it could read: a green disc shows it
        }
    }
#elif HOSTILE == 6 // opens a network connection
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(80);
    to.sin_addr.s_addr = htonl(0x01010101);
    connect(s, reinterpret_cast<sockaddr *>(&to), sizeof to);
#elif HOSTILE == 7 // takes all the memory it can
    std::vector<char *> blocks;
    for (;;) {
        char *block = new char[64 << 20];
        std::memset(block, 1, 64 << 20);
        blocks.push_back(block);
    }
#endif
}

int main() {
    DOVRA_startup(nullptr, nullptr, nullptr, SW_SHOWNORMAL);
    DOVRA_clear_window();
    DOVRA_draw_circle(2, 0, 0, 50);
    misbehave();
    int x = 0, y = 0;
    while (DOVRA_next_event(&x, &y, nullptr) != DOVRA_EXIT) {
        if (x || y) {
            DOVRA_draw_circle(4, x, y, 10);
        }
    }
    DOVRA_shutdown();
    return 0;
}
