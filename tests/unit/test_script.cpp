// The script file: the lines the recorder writes, what the reader makes of
// good, odd and hostile files, and the file faults, each in a fresh
// temporary directory.
#include "dovra/dovra.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"
#include "tests/support/event_support.h"
#include "tests/support/package_fixture.h"
#include "tests/support/scratch_directory.h"

#include <climits>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace dovra;

namespace fs = std::filesystem;
using package_fixture::log_lines;
using package_fixture::reset_log;

namespace {

typedef std::vector<std::string> Lines;

class Script : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_log();
        reset_events_and_scripts();
    }
    void TearDown() override { reset_events_and_scripts(); }
    // Reads steps as playback does until the reader says stop (or `limit`
    // steps), each as "M x y", "K code" or "P".
    static Lines play(int limit = 1000) {
        Lines steps;
        playing_back = 1;
        while (limit-- > 0) {
            event_state = EventState{NO_EVENT, 0, 0, 0};
            if (!read_script_step()) {
                break;
            }
            const EventState &e = event_state;
            if (e.event_kind == DOVRA_MOUSE) {
                steps.push_back("M " + std::to_string(e.event_x) + " " + std::to_string(e.event_y));
            } else if (e.event_kind == DOVRA_KBD) {
                steps.push_back("K " + std::to_string(static_cast<unsigned char>(e.event_key)));
            } else {
                steps.push_back(e.event_kind == DOVRA_PERIODIC ? "P" : "?");
            }
        }
        return steps;
    }
    static Lines repeat(const std::string &step, int times) {
        return Lines(static_cast<std::size_t>(times), step);
    }
    static Lines join(std::initializer_list<Lines> parts) {
        Lines all;
        for (const Lines &p : parts) {
            all.insert(all.end(), p.begin(), p.end());
        }
        return all;
    }

    ScratchDirectory scratch;
};

const char *const END = "EOF encountered in script file DOVRA.SCR\n";

TEST_F(Script, LinesAsWritten) {
    write_script_line(DOVRA_MOUSE, -250, 230, 0);
    write_script_line(DOVRA_KBD, 0, 0, static_cast<char>(233));
    periodic_run = 12;
    write_script_line(DOVRA_PERIODIC, 5, 6, 'x');
    write_script_line(DOVRA_EXIT, 1, 2, 'y');
    // Each line is in the file as soon as it is written.
    EXPECT_EQ(read_script_file(),
              "DOVRA_MOUSE(-250, 230);\nDOVRA_KBD(-23);\nDOVRA_PERIODIC(12);\n");
    EXPECT_TRUE(log_lines().empty());
}

TEST_F(Script, NothingToWriteLeavesAnOldScriptAlone) {
    write_script_file("DOVRA_KBD(65);\n");
    write_script_line(DOVRA_EXIT, 0, 0, 0);
    write_script_line(NO_EVENT, 0, 0, 0);
    start_recording();
    stop_recording();
    EXPECT_EQ(read_script_file(), "DOVRA_KBD(65);\n");
    EXPECT_EQ(script_stream, nullptr);
}

TEST_F(Script, StopWritesThePendingRunAndRestartsTheCount) {
    start_recording();
    periodic_run = 7;
    stop_recording();
    EXPECT_EQ(recording, 0);
    EXPECT_EQ(periodic_run, 0);
    EXPECT_EQ(script_stream, nullptr);
    EXPECT_EQ(read_script_file(), "DOVRA_PERIODIC(7);\n");
}

TEST_F(Script, WhatTheReaderMakesOfEachFile) {
    const std::string long_tail(100000, 'x');
    const std::string long_number(100000, '7');
    struct Case {
        const char *what;
        std::string file;
        Lines steps;
        bool ends_with_eof; // else playback stops on an unreadable line, silently
    } cases[] = {
        {"the example script",
         "DOVRA_PERIODIC(25);\nDOVRA_MOUSE(-250, 230);\nDOVRA_PERIODIC(4);\nDOVRA_KBD(113);\n"
         "DOVRA_PERIODIC(12);\n",
         join({repeat("P", 25), {"M -250 230"}, repeat("P", 4), {"K 113"}, repeat("P", 12)}), true},
        {"the same written on Windows",
         "DOVRA_PERIODIC(25);\r\nDOVRA_MOUSE(-250, 230);\r\nDOVRA_PERIODIC(4);\r\n"
         "DOVRA_KBD(113);\r\nDOVRA_PERIODIC(12);\r\n",
         join({repeat("P", 25), {"M -250 230"}, repeat("P", 4), {"K 113"}, repeat("P", 12)}), true},
        {"characters above 127", "DOVRA_KBD(-23);\nDOVRA_KBD(-1);\n", {"K 233", "K 255"}, true},
        {"both signs, the second searched after the first",
         "DOVRA_MOUSE(-5, -7);\nDOVRA_MOUSE(1-2, 3);\n",
         {"M -5 -7", "M 1 3"},
         true},
        {"empty lines, also CR alone", "\n\n\r\nDOVRA_KBD(5);\n\n", {"K 5"}, true},
        {"only the letter in column 6 counts",
         "xxxxxxK...(66)\nABCDEFPERIOD 2\n",
         {"K 66", "P", "P"},
         true},
        {"a count of 0 plays once", "DOVRA_PERIODIC(0);\nDOVRA_KBD(1);\n", {"P", "K 1"}, true},
        {"a periodic count has no sign", "DOVRA_PERIODIC(-2);\n", {"P", "P"}, true},
        {"a last line without its newline",
         "DOVRA_KBD(65);\nDOVRA_MOUSE(3, 4);",
         {"K 65", "M 3 4"},
         true},
        {"an empty file", "", {}, true},
        {"numbers of eleven characters saturate",
         "DOVRA_MOUSE(99999999999, -9999999999);\n",
         {"M 2147483647 -2147483648"},
         true},
        {"low 8 bits of a character", "DOVRA_KBD(321);\n", {"K 65"}, true},
        {"a line of spaces", "DOVRA_KBD(1);\n          \nDOVRA_KBD(2);\n", {"K 1"}, false},
        {"a line too short for column 6", "DOVRA\nDOVRA_KBD(2);\n", {}, false},
        {"an unknown letter", "DOVRA_QUIT(1);\n", {}, false},
        {"a click with one number", "DOVRA_MOUSE(5);\n", {}, false},
        {"a character with no number", "DOVRA_KBD();\n", {}, false},
        {"a count with no digits", "DOVRA_PERIODIC(-);\n", {}, false},
        {"a number of twelve characters", "DOVRA_MOUSE(123456789012, 1);\n", {}, false},
        {"a number of 100,000 digits", "DOVRA_KBD(" + long_number + ");\n", {}, false},
        {"a line of 100,000 characters is read in pieces",
         "DOVRA_MOUSE(1, 2);" + long_tail + "\nDOVRA_KBD(3);\n",
         {"M 1 2"},
         false},
        {"NUL bytes end a line early", std::string("DOVRA_K\0BD(65);\n", 16), {}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        reset_log();
        write_script_file(c.file);
        EXPECT_EQ(play(), c.steps);
        EXPECT_EQ(playing_back, 0);
        EXPECT_EQ(play_one, 0);
        EXPECT_EQ(log_lines(), c.ends_with_eof ? Lines{END} : Lines{});
        close_script();
    }
}

TEST_F(Script, BinaryGarbageEndsPlaybackWithoutHarm) {
    // Every byte value, in a scrambled order, many times over.
    std::string bytes;
    uint32_t seed = 12345;
    for (int i = 0; i < 200000; i++) {
        seed = seed * 1103515245u + 12345u;
        bytes.push_back(static_cast<char>(seed >> 24));
    }
    write_script_file(bytes);
    // Played through to its end: each unreadable line stops playback, which
    // goes on after it; a huge count is cut short.
    int playbacks = 0;
    do {
        play(100);
        EXPECT_GE(periodic_run, 0);
        periodic_run = 0;
    } while (script_stream && ++playbacks < 200000);
    EXPECT_EQ(script_stream, nullptr);
    EXPECT_EQ(log_lines().back(), END);
}

TEST_F(Script, EndOfScriptClosesSoTheNextPlaybackStartsAgain) {
    write_script_file("DOVRA_KBD(1);\nDOVRA_KBD(2);\n");
    EXPECT_EQ(play(), (Lines{"K 1", "K 2"}));
    EXPECT_EQ(script_stream, nullptr);
    EXPECT_EQ(play(), (Lines{"K 1", "K 2"}));
    EXPECT_EQ(log_lines(), (Lines{END, END}));
}

TEST_F(Script, AnUnreadableLineStopsButTheNextPlaybackGoesOnAfterIt) {
    write_script_file("DOVRA_KBD(1);\nbad\nDOVRA_KBD(2);\n");
    EXPECT_EQ(play(), (Lines{"K 1"}));
    EXPECT_NE(script_stream, nullptr);
    EXPECT_EQ(play(), (Lines{"K 2"}));
}

TEST_F(Script, StoppingPlaybackDiscardsTheRestOfARun) {
    write_script_file("DOVRA_PERIODIC(5);\nDOVRA_KBD(9);\n");
    EXPECT_EQ(play(2), (Lines{"P", "P"}));
    EXPECT_EQ(periodic_run, 3);
    stop_playback();
    EXPECT_EQ(periodic_run, 0);
    EXPECT_EQ(script_stream, nullptr);
    EXPECT_EQ(play(1), (Lines{"P"})); // from the first line again
}

TEST_F(Script, RecordingAndPlaybackExcludeEachOther) {
    write_script_file("DOVRA_PERIODIC(5);\n");
    play(1);
    play_one = 1;
    // Starting to record ends the playback, the owed run and the step due.
    start_recording();
    EXPECT_EQ(recording, 1);
    EXPECT_EQ(playing_back, 0);
    EXPECT_EQ(play_one, 0);
    EXPECT_EQ(periodic_run, 0);
    EXPECT_EQ(script_stream, nullptr);
    write_script_line(DOVRA_KBD, 0, 0, 'a');
    periodic_run = 2;
    // Starting playback ends the recording first, with its pending run.
    start_playback();
    EXPECT_EQ(recording, 0);
    EXPECT_EQ(playing_back, 1);
    EXPECT_EQ(read_script_file(), "DOVRA_KBD(97);\nDOVRA_PERIODIC(2);\n");
    EXPECT_EQ(play(), (Lines{"K 97", "P", "P"}));
    // So does a play-one step.
    start_recording();
    write_script_line(DOVRA_KBD, 0, 0, 'b');
    play_one_step();
    EXPECT_EQ(recording, 0);
    EXPECT_EQ(play_one, 1);
    EXPECT_EQ(play(), (Lines{"K 98"}));
}

TEST_F(Script, ShutdownWritesThePendingRun) {
    start_recording();
    write_script_line(DOVRA_KBD, 0, 0, 'q');
    periodic_run = 4;
    finish_script();
    EXPECT_EQ(script_stream, nullptr);
    EXPECT_EQ(read_script_file(), "DOVRA_KBD(113);\nDOVRA_PERIODIC(4);\n");
}

TEST_F(Script, FilesThatCannotBeUsed) {
    const char *const cannot_read = "Cannot open script file DOVRA.SCR for reading\n";
    const char *const cannot_write = "Cannot open script file DOVRA.SCR for writing\n";
    // Missing: reported, and tried again by the next playback.
    EXPECT_EQ(play(), Lines{});
    EXPECT_EQ(play(), Lines{});
    EXPECT_EQ(log_lines(), (Lines{cannot_read, cannot_read}));
    fs::create_directory(SCRIPT_FILE_NAME);
    reset_log();
    EXPECT_EQ(play(), Lines{});
    start_recording();
    write_script_line(DOVRA_KBD, 0, 0, 'a');
    write_script_line(DOVRA_KBD, 0, 0, 'b');
    EXPECT_EQ(recording, 1); // stays on; each event tries again
    EXPECT_EQ(log_lines(), (Lines{cannot_read, cannot_write, cannot_write}));
    EXPECT_EQ(script_stream, nullptr);
}

TEST_F(Script, UnreadableFile) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    write_script_file("DOVRA_KBD(1);\n");
    fs::permissions(SCRIPT_FILE_NAME, fs::perms::none);
    EXPECT_EQ(play(), Lines{});
    EXPECT_EQ(log_lines(), Lines{"Cannot open script file DOVRA.SCR for reading\n"});
}

TEST_F(Script, FullDiskIsReportedOncePerRecording) {
    fs::create_symlink("/dev/full", SCRIPT_FILE_NAME);
    start_recording();
    for (int i = 0; i < 3; i++) {
        write_script_line(DOVRA_MOUSE, i, i, 0);
    }
    stop_recording();
    EXPECT_EQ(log_lines(), Lines{"Cannot write script file DOVRA.SCR\n"});
}

} // namespace
