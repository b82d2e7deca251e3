// The script file when the system gets in the way: a directory that may not
// be written, a file that may not be read, a file deleted or cut short while
// it is being played, and a program killed in the middle of a recording.
// The program goes on, says what it could not do, and keeps every line it
// wrote.
#include "dovra/dovra.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"
#include "tests/support/event_support.h"
#include "tests/support/package_fixture.h"
#include "tests/support/scratch_directory.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace dovra;

namespace fs = std::filesystem;

namespace {

typedef std::vector<std::string> Lines;

class ScriptFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        package_fixture::start();
        portable::drain();
        package_fixture::reset_log();
    }
    void TearDown() override { reset_events_and_scripts(); }
    static void post_char(char c) { PostMessageA(graphics_window, WM_CHAR, c, 0); }
    ScratchDirectory scratch;
};

bool privileged() {
    return geteuid() == 0;
}

TEST_F(ScriptFaults, PermissionReadOnlyDirectoryAndUnreadableFile) {
    if (privileged()) {
        GTEST_SKIP() << "permissions do not stop root; run_unprivileged.sh runs this as nobody";
    }
    write_script_file("DOVRA_KBD(65);\n");
    fs::permissions(SCRIPT_FILE_NAME, fs::perms::none);
    start_playback();
    post_char('u');
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 'u'})) << "the user's event comes instead";
    EXPECT_EQ(playing_back, 0);

    fs::remove(SCRIPT_FILE_NAME);
    fs::permissions(".", fs::perms::owner_read | fs::perms::owner_exec);
    start_recording();
    post_char('a');
    next_event();
    post_char('b');
    next_event();
    stop_recording();
    fs::permissions(".", fs::perms::owner_all);
    EXPECT_EQ(package_fixture::log_lines(),
              (Lines{"Cannot open script file DOVRA.SCR for reading\n",
                     "Cannot open script file DOVRA.SCR for writing\n",
                     "Cannot open script file DOVRA.SCR for writing\n"}));
    EXPECT_FALSE(fs::exists(SCRIPT_FILE_NAME));
}

TEST_F(ScriptFaults, DeletedWhilePlayedPlaysToItsEnd) {
    write_script_file("DOVRA_KBD(1);\nDOVRA_KBD(2);\nDOVRA_KBD(3);\n");
    start_playback();
    EXPECT_EQ(next_event().key, 1);
    fs::remove(SCRIPT_FILE_NAME);
    EXPECT_EQ(next_event().key, 2);
    EXPECT_EQ(next_event().key, 3);
    post_char('z');
    EXPECT_EQ(next_event().key, 'z');
    EXPECT_EQ(playing_back, 0);
    EXPECT_EQ(package_fixture::log_lines(), Lines{"EOF encountered in script file DOVRA.SCR\n"});
}

TEST_F(ScriptFaults, CutShortWhilePlayed) {
    // What was already read ahead still plays; then the end of the file
    // comes, is reported, and the user's next event comes.
    std::string script;
    for (int i = 0; i < 5000; i++) {
        script += "DOVRA_KBD(" + std::to_string(1 + i % 100) + ");\n";
    }
    for (std::uintmax_t keep : {std::uintmax_t(0), std::uintmax_t(20)}) {
        SCOPED_TRACE(keep);
        package_fixture::reset_log();
        write_script_file(script);
        start_playback();
        EXPECT_EQ(next_event().key, 1);
        fs::resize_file(SCRIPT_FILE_NAME, keep);
        int steps = 1;
        while (playing_back && steps < 5000) {
            post_char('q');
            next_event();
            steps++;
        }
        EXPECT_EQ(playing_back, 0);
        EXPECT_LT(steps, 5000) << "the cut was seen";
        EXPECT_EQ(package_fixture::log_lines(),
                  Lines{"EOF encountered in script file DOVRA.SCR\n"});
        portable::drain();
        post_char('u');
        EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 'u'}));
    }
}

TEST_F(ScriptFaults, KilledDuringARecordingKeepsEveryLineWritten) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The recording program: three clicks, then a run of ticks still
        // being counted when it is killed.
        start_recording();
        for (int i = 0; i < 3; i++) {
            PostMessageA(graphics_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10 + i, 20));
            next_event();
        }
        DOVRA_set_animation(ANIM_MODE_RUN);
        for (int i = 0; i < 5; i++) {
            next_event();
        }
        const char done = 1;
        (void)!write(ready[1], &done, 1);
        for (;;) {
            pause();
        }
    }
    close(ready[1]);
    char done = 0;
    ASSERT_EQ(read(ready[0], &done, 1), 1);
    close(ready[0]);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    const int x0 = 10 - origin_x, y = origin_y - 20;
    EXPECT_EQ(read_script_file(), "DOVRA_MOUSE(" + std::to_string(x0) + ", " + std::to_string(y) +
                                      ");\nDOVRA_MOUSE(" + std::to_string(x0 + 1) + ", " +
                                      std::to_string(y) + ");\nDOVRA_MOUSE(" +
                                      std::to_string(x0 + 2) + ", " + std::to_string(y) + ");\n");
}

} // namespace
