#include "restore/saved_positions.h"

#include <gtest/gtest.h>

#include <functional>

#include "sim_desktop.h"
#include "win/window_ops.h"

namespace {

using restore::SavedPosition;

const std::string LOCAL = "C:\\Users\\user\\AppData\\Local";
const std::string PATH = LOCAL + "\\quilt\\untile.txt";

TEST(ParsePositions, TakesOnlyLinesOfSevenWellFormedNumbers) {
    const std::string text =
        "655 912 1 100 50 900 650\n"
        "1 2 3 4 5 6\n"                                                  // six fields
        "1 2 3 4 5 6 7 8\n"                                              // eight fields
        "1 2 3 abc 5 6 7\n"                                              // not a number
        "1 -2 3 4 5 6 7\n"                                               // negative pid
        "1 2 -3 4 5 6 7\n"                                               // negative show state
        "\n"                                                             // empty
        "1 4294967296 1 0 0 1 1\n"                                       // pid out of range
        "1 2 1 2147483648 0 1 1\n"                                       // coordinate out of range
        "1 2 1 1x 0 1 1\n"                                               // trailing junk
        "1 2 1 - 0 1 1\n"                                                // sign without digits
        "-7 +8 3 -1920 -0 +0 1024\r\n"                                   // signs where allowed, CR LF
        "\t9223372036854775807  \xc2\xa0 1   2 3 4 5 6  \n"              // tabs, no-break space, runs of blanks
        "2 3 1 0 0 10 10 \xff\n"                                         // not UTF-8
        "3 4 1 0 0 10 \xe2\x82\n"                                        // cut off inside a character
        "4 5 1 0 0 10 10\n"                                              // the line after a bad one
        "5 6 1 -2147483648 0 2147483647 10\n"                            // wider than any desktop
        "5 6 1 10 10 10 20\n"                                            // right not beyond left
        "5 6 1 10 20 30 -20\n"                                           // bottom above top
        "5 6 1 -32769 0 10 10\n"                                         // outside the virtual screen
        "-9223372036854775808 4294967295 0 -32768 -32768 +32767 32767";  // limits, no final LF
    const std::vector<SavedPosition> expected = {
        {655, 912, 1, {100, 50, 900, 650}},
        {-7, 8, 3, {-1920, 0, 0, 1024}},
        {9223372036854775807, 1, 2, {3, 4, 5, 6}},
        {4, 5, 1, {0, 0, 10, 10}},
        {INT64_MIN, 4294967295u, 0, {-32768, -32768, 32767, 32767}},
    };
    EXPECT_EQ(restore::parse_positions(text), expected);
}

TEST(ParsePositions, CrLfFileReadsLikeLf) {
    const std::string lf = "1 2 1 0 0 10 10\n3 4 3 -5 -5 5 5\n";
    std::string crlf = "1 2 1 0 0 10 10\r\n3 4 3 -5 -5 5 5\r\n";
    EXPECT_EQ(restore::parse_positions(crlf), restore::parse_positions(lf));
    EXPECT_EQ(restore::parse_positions(lf).size(), 2u);
}

TEST(FormatPositions, SevenFieldsOneLineEachWithLf) {
    EXPECT_EQ(restore::format_positions({{655, 912, 1, 100, 50, 900, 650}, {-3, 0, 3, -1928, -8, 0, 1040}}),
              "655 912 1 100 50 900 650\n-3 0 3 -1928 -8 0 1040\n");
    EXPECT_EQ(restore::format_positions({}), "");
}

class Positions : public ::testing::Test {
  protected:
    void SetUp() override {
        d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
        d.env["LOCALAPPDATA"] = LOCAL;
    }
    win::Hwnd add(win::Rect rect, std::uint32_t pid = 100) {
        sim::Window w;
        w.rect = rect;
        w.pid = pid;
        return d.add_window(w);
    }
    static std::string line(win::Hwnd h, std::uint32_t pid, int show, int l, int t, int r, int b) {
        return std::to_string(h.value) + " " + std::to_string(pid) + " " + std::to_string(show) + " " +
               std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(r) + " " + std::to_string(b) + "\n";
    }
    sim::Desktop d;
};

TEST_F(Positions, PathIsUnderLocalAppDataElseTheTemporaryFolder) {
    EXPECT_EQ(restore::untile_path(d), PATH);
    d.env.erase("LOCALAPPDATA");
    EXPECT_EQ(restore::untile_path(d), "C:\\Users\\user\\AppData\\Local\\Temp\\quilt\\untile.txt");
    const auto h = add({10, 20, 300, 200});
    ASSERT_TRUE(restore::save_positions(d, {h}).ok());
    EXPECT_EQ(d.files.at("C:\\Users\\user\\AppData\\Local\\Temp\\quilt\\untile.txt"),
              line(h, 100, 1, 10, 20, 310, 220));
}

TEST_F(Positions, SecondSaveKeepsTheFirstPositionAndAppendsNewWindows) {
    const auto a = add({10, 20, 300, 200});
    const auto b = add({500, 500, 400, 300}, 222);
    ASSERT_TRUE(restore::save_positions(d, {a}).ok());
    EXPECT_EQ(d.directories.count(LOCAL + "\\quilt"), 1u);
    ASSERT_TRUE(d.set_window_pos(a, 0, 0, 50, 50, 0).ok());
    d.show_window(b, win::SHOW_MAXIMIZED);
    ASSERT_TRUE(restore::save_positions(d, {b, a}).ok());
    EXPECT_EQ(d.files.at(PATH), line(a, 100, 1, 10, 20, 310, 220) + line(b, 222, 3, 500, 500, 900, 800));

    // Nothing new to record: the file is not written again.
    d.calls.clear();
    ASSERT_TRUE(restore::save_positions(d, {a, b}).ok());
    EXPECT_EQ(d.calls, std::vector<std::string>{});
}

// Handle values are reused, and a line can outlive its window after an
// unclean end: a line whose handle is now another process's window is not
// that window's place. It is replaced, so the window can be put back.
TEST_F(Positions, ALineOfAReusedHandleIsReplacedByTheNewWindowsPlace) {
    const auto a = add({10, 20, 300, 200});
    d.directories.insert(LOCAL);
    d.directories.insert(LOCAL + "\\quilt");
    d.files[PATH] = "1 2 1 0 0 10 10\n" + line(a, 999, 1, 5, 5, 15, 15);
    ASSERT_TRUE(restore::save_positions(d, {a}).ok());
    EXPECT_EQ(d.files.at(PATH), "1 2 1 0 0 10 10\n" + line(a, 100, 1, 10, 20, 310, 220));
    ASSERT_TRUE(d.set_window_pos(a, 0, 0, 50, 50, 0).ok());
    const auto restored = restore::restore_positions(d);
    ASSERT_TRUE(restored.ok());
    EXPECT_EQ(restored.value(), (restore::RestoreCounts{1, 1, 0}));
    EXPECT_EQ(d.window(a).rect, (win::Rect{10, 20, 300, 200}));
}

// A damaged line costs only itself: a later save keeps every good line.
TEST_F(Positions, SaveKeepsTheGoodLinesOfADamagedFileAndSkipsUnreadablePlacements) {
    const auto a = add({10, 20, 300, 200});
    const auto b = add({40, 40, 300, 200});
    d.window(b).placement_error = 5;
    d.directories.insert(LOCAL);
    d.directories.insert(LOCAL + "\\quilt");
    d.files[PATH] = "1 2 1 0 0 10 10\n\xff\xfe not utf-8\n3 4 3 -5 -5 5 5\n";
    ASSERT_TRUE(restore::save_positions(d, {a, b}).ok());
    EXPECT_EQ(d.files.at(PATH), "1 2 1 0 0 10 10\n3 4 3 -5 -5 5 5\n" + line(a, 100, 1, 10, 20, 310, 220));
    EXPECT_EQ(d.err, "");
}

TEST_F(Positions, AHungWindowIsRecordedOnlyOnceItAnswersAgain) {
    const auto a = add({10, 20, 300, 200});
    const auto stuck = add({40, 40, 300, 200});
    d.window(stuck).hung = true;
    d.window(stuck).placement_error = 1460;  // what waiting on it would end in
    ASSERT_TRUE(restore::save_positions(d, {stuck, a}).ok());
    EXPECT_EQ(d.files.at(PATH), line(a, 100, 1, 10, 20, 310, 220));
    d.window(stuck).hung = false;
    d.window(stuck).placement_error.reset();
    ASSERT_TRUE(restore::save_positions(d, {stuck, a}).ok());
    EXPECT_EQ(d.files.at(PATH), line(a, 100, 1, 10, 20, 310, 220) + line(stuck, 100, 1, 40, 40, 340, 240));
}

TEST_F(Positions, SaveFailuresComeBackAndLeaveTheOldFileAlone) {
    using restore::FileStep;
    struct Case {
        const char* what;
        std::function<void(sim::Desktop&)> setup;
        FileStep step;
        std::uint32_t code;
    } cases[] = {
        {"folder is read-only", [](sim::Desktop& s) { s.read_only_folders.insert(LOCAL + "\\quilt"); }, FileStep::Write,
         5},
        {"file in use", [](sim::Desktop& s) { s.in_use_files.insert(PATH); }, FileStep::Write, 32},
        {"file cannot be read", [](sim::Desktop& s) { s.locked_files.insert(PATH); }, FileStep::Read, 32},
        {"a folder in its place", [](sim::Desktop& s) { s.directories.insert(PATH); }, FileStep::Read, 5},
    };
    for (const auto& c : cases) {
        sim::Desktop s;
        s.env["LOCALAPPDATA"] = LOCAL;
        s.directories.insert(LOCAL + "\\quilt");
        s.files[PATH] = "1 2 1 0 0 10 10\n";
        c.setup(s);
        const auto h = s.add_window({});
        auto r = restore::save_positions(s, {h});
        ASSERT_FALSE(r.ok()) << c.what;
        EXPECT_EQ(r.error().step, c.step) << c.what;
        EXPECT_EQ(r.error().cause.code, c.code) << c.what;
        EXPECT_EQ(s.files.at(PATH), "1 2 1 0 0 10 10\n") << c.what;
    }
}

TEST_F(Positions, RestoreCountsRestoredGoneAndReusedHandlesAndDeletesTheFile) {
    const auto moved = add({0, 0, 100, 100});
    const auto was_max = add({0, 0, 100, 100});
    const auto reused = add({5, 5, 100, 100}, 999);
    // It keeps a width of its own: back as far as it goes, not a failure.
    const auto wide = add({0, 0, 500, 100});
    d.window(wide).min_width = 400;
    d.directories.insert(LOCAL + "\\quilt");
    d.files[PATH] = line(moved, 100, 1, 10, 20, 310, 220) + line(was_max, 100, 3, 200, 100, 1000, 700) +
                    line(win::Hwnd{0x77770}, 100, 1, 0, 0, 50, 50) + line(reused, 100, 1, 0, 0, 50, 50) +
                    line(wide, 100, 1, 30, 40, 330, 140);
    auto r = restore::restore_positions(d);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value(), (restore::RestoreCounts{3, 2, 0}));
    EXPECT_EQ(d.window(wide).rect, (win::Rect{30, 40, 400, 100}));
    EXPECT_EQ(d.window(moved).rect, (win::Rect{10, 20, 300, 200}));
    EXPECT_TRUE(d.window(was_max).maximized);
    EXPECT_EQ(d.window(was_max).normal_rect, (win::Rect{200, 100, 800, 600}));
    EXPECT_EQ(d.window(reused).rect, (win::Rect{5, 5, 100, 100}));
    EXPECT_EQ(d.placements_set, (std::vector<win::Hwnd>{moved, was_max, wide}));
    EXPECT_EQ(d.files.count(PATH), 0u);
    EXPECT_EQ(d.err, "");
}

TEST_F(Positions, RestoreFailuresAreReportedCountedAndKeepTheFile) {
    const auto refuses = add({0, 0, 100, 100});
    const auto hung = add({0, 0, 100, 100});
    const auto fine = add({0, 0, 100, 100});
    d.window(refuses).placement_error = 5;
    d.window(hung).hung = true;
    const std::string file =
        line(refuses, 100, 1, 1, 1, 50, 50) + line(hung, 100, 1, 2, 2, 50, 50) + line(fine, 100, 1, 3, 3, 50, 50);
    d.directories.insert(LOCAL + "\\quilt");
    d.files[PATH] = file;
    auto r = restore::restore_positions(d);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value(), (restore::RestoreCounts{1, 0, 2}));
    EXPECT_EQ(d.err, "Could not restore window " + win::format_hwnd(refuses) + ": Access is denied.\n" +
                         "Could not restore window " + win::format_hwnd(hung) + ": the window is not responding\n");
    EXPECT_EQ(d.files.at(PATH), file);
    EXPECT_EQ(d.placements_set, std::vector<win::Hwnd>{fine});
}

// Wine's SetWindowPlacement fails without a reason for other processes' windows.
TEST_F(Positions, SilentPlacementRefusalIsDoneByHand) {
    const auto moved = add({0, 0, 100, 100});
    const auto was_max = add({0, 0, 100, 100});
    const auto stuck = add({0, 0, 100, 100});
    for (auto h : {moved, was_max, stuck}) d.window(h).placement_refused = true;
    d.window(stuck).move_error = 5;
    d.directories.insert(LOCAL + "\\quilt");
    d.files[PATH] = line(moved, 100, 1, 10, 20, 310, 220) + line(was_max, 100, 3, 200, 100, 1000, 700) +
                    line(stuck, 100, 1, 3, 3, 50, 50);
    auto r = restore::restore_positions(d);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value(), (restore::RestoreCounts{2, 0, 1}));
    EXPECT_EQ(d.window(moved).rect, (win::Rect{10, 20, 300, 200}));
    EXPECT_FALSE(d.window(moved).maximized);
    EXPECT_TRUE(d.window(was_max).maximized);
    EXPECT_EQ(d.window(was_max).normal_rect, (win::Rect{200, 100, 800, 600}));
    EXPECT_EQ(d.err, "Could not restore window " + win::format_hwnd(stuck) + ": Access is denied.\n");
}

TEST_F(Positions, RestoreWithoutAFileIsAllZeroAndAFileTroubleIsAnError) {
    auto r = restore::restore_positions(d);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value(), (restore::RestoreCounts{0, 0, 0}));

    d.directories.insert(LOCAL + "\\quilt");
    d.files[PATH] = "";
    d.in_use_files.insert(PATH);
    r = restore::restore_positions(d);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().step, restore::FileStep::Delete);
    EXPECT_EQ(r.error().cause.code, 32u);

    // A file that cannot be read is not taken for an empty one, which would be deleted.
    const auto h = add({0, 0, 100, 100});
    d.files[PATH] = line(h, 100, 1, 10, 20, 310, 220);
    d.locked_files.insert(PATH);
    r = restore::restore_positions(d);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().step, restore::FileStep::Read);
    EXPECT_TRUE(d.placements_set.empty());
    EXPECT_EQ(d.files.count(PATH), 1u);
}

// Windows whose threads read no messages are asked without waiting on them,
// get one bounded wait between them, and count as failed; once they answer,
// the requests land and the kept file lets a later restore finish the job.
TEST_F(Positions, RestoreNeverWaitsOnAWindowThatDoesNotAnswer) {
    const auto asleep = add({0, 0, 100, 100});
    const auto asleep_minimized = add({0, 0, 100, 100});
    const auto awake = add({0, 0, 100, 100});
    d.show_window(asleep_minimized, win::SHOW_MINIMIZED);
    d.window(asleep).asleep = true;
    d.window(asleep_minimized).asleep = true;
    d.directories.insert(LOCAL + "\\quilt");
    const std::string file = line(asleep, 100, 1, 10, 20, 310, 220) + line(asleep_minimized, 100, 1, 30, 30, 330, 230) +
                             line(awake, 100, 3, 50, 50, 350, 250);
    d.files[PATH] = file;
    auto r = restore::restore_positions(d);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value(), (restore::RestoreCounts{1, 0, 2}));
    EXPECT_EQ(d.waited_on, std::vector<std::string>{});
    EXPECT_GE(d.slept_ms, win::ANSWER_WAIT_MS);
    EXPECT_LT(d.slept_ms, win::ANSWER_WAIT_MS + 2 * win::ANSWER_POLL_MS);
    EXPECT_EQ(d.err, "Could not restore window " + win::format_hwnd(asleep) + ": the window is not responding\n" +
                         "Could not restore window " + win::format_hwnd(asleep_minimized) +
                         ": the window is not responding\n");
    EXPECT_EQ(d.files.at(PATH), file);
    EXPECT_TRUE(d.window(awake).maximized);

    d.wake(asleep);
    d.wake(asleep_minimized);
    EXPECT_EQ(d.window(asleep).rect, (win::Rect{10, 20, 300, 200}));
    EXPECT_EQ(d.window(asleep_minimized).rect, (win::Rect{30, 30, 300, 200}));
    r = restore::restore_positions(d);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value(), (restore::RestoreCounts{3, 0, 0}));
    EXPECT_EQ(d.files.count(PATH), 0u);
}

}  // namespace
