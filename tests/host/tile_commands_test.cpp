#include <gtest/gtest.h>

#include <functional>

#include "cli/commands.h"
#include "cli/plan.h"
#include "sim_desktop.h"
#include "win/window_ops.h"

namespace {

const std::string LOCAL = "C:\\Users\\user\\AppData\\Local";
const std::string PATH = LOCAL + "\\quilt\\untile.txt";
const std::string LONG_EXE = "a-very-long-executable-name.exe";  // 31 characters
const std::string LONG_TITLE = "Forty-one characters, one more than room!";

// Monitor 1 (primary) holds nothing; monitor 2, right of it, holds four
// tileable windows, of which the layout has room for three, and a fixed one.
class OneShot : public ::testing::Test {
  protected:
    void SetUp() override {
        d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
        d.add_monitor({1920, 0, 1280, 1024}, {1920, 0, 1280, 1024});
        d.env["LOCALAPPDATA"] = LOCAL;
        d.add_process(101, u"C:\\apps\\editor.exe");
        d.add_process(102, u"C:\\apps\\term.exe");
        d.add_process(103, u"C:\\apps\\" + std::u16string(LONG_EXE.begin(), LONG_EXE.end()));
        // Added bottom first, so that the enumeration (topmost first) gives editor, term, long, extra.
        extra = add(104, u"Extra", {2200, 300, 600, 500});
        fixed = add(104, u"Fixed", {2000, 50, 300, 300});
        d.window(fixed).style = 0;
        longer = add(103, std::u16string(LONG_TITLE.begin(), LONG_TITLE.end()), {1950, -20, 700, 500});
        term = add(102, u"Caf\u00e9 \u00fcber", {2100, 200, 500, 400});
        editor = add(101, u"Editor", {2000, 100, 816, 607});
        d.window(editor).frame_insets = sim::WIN10_INSETS;
    }

    win::Hwnd add(std::uint32_t pid, std::u16string title, win::Rect rect) {
        sim::Window w;
        w.pid = pid;
        w.title = std::move(title);
        w.rect = rect;
        return d.add_window(w);
    }

    int run(const char16_t* word) {
        return cli::run_program(d, std::u16string(u"quilt.exe ") + word, u"C:\\quilt.exe", [] { return 99; });
    }

    sim::Desktop d;
    win::Hwnd editor, term, longer, extra, fixed;
};

const std::string HEADER_1 = "Monitor 1 (primary): work area 1920x1040 at (0, 0), 0 tiled, 0 left alone (no room)\n";
const std::string HEADER_2 = "Monitor 2: work area 1280x1024 at (1920, 0), 3 tiled, 1 left alone (no room)\n";

TEST_F(OneShot, PlanPrintsEveryMonitorAndWhereEachWindowWouldGo) {
    EXPECT_EQ(run(u"plan"), 0);
    EXPECT_EQ(d.out, HEADER_1 + HEADER_2 +
                         "  editor.exe               802x600   at ( 2007,   100)  ->    628x1008  at ( 1928,     8)  "
                         "Editor\n"
                         "  term.exe                 500x400   at ( 2100,   200)  ->    628x500   at ( 2564,     8)  "
                         "Caf\u00e9 \u00fcber\n"
                         "  a-very-long-executa...   700x500   at ( 1950,   -20)  ->    628x500   at ( 2564,   516)  "
                         "Forty-one characters, one more than r...\n");
    EXPECT_EQ(d.moves.size(), 0u);
    EXPECT_TRUE(d.files.empty());
    EXPECT_EQ(d.err, "");
}

TEST_F(OneShot, BuildPlanRefersToTheSnapshotAndCountsWindowsWithoutRoom) {
    const auto windows = win::enumerate_windows(d);
    const auto plans = cli::build_plan(win::enumerate_monitors(d), windows);
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_EQ(plans[0].label, "Monitor 1 (primary)");
    EXPECT_TRUE(plans[0].moves.empty());
    EXPECT_EQ(plans[1].label, "Monitor 2");
    EXPECT_EQ(plans[1].work_area, (win::Rect{1920, 0, 1280, 1024}));
    EXPECT_EQ(plans[1].left_alone, 1u);
    ASSERT_EQ(plans[1].moves.size(), 3u);
    EXPECT_EQ(plans[1].moves[0].window, &windows[0]);
    EXPECT_EQ(plans[1].moves[2].window->hwnd, longer);
    EXPECT_EQ(cli::format_plan({}), "");
}

TEST_F(OneShot, TileSavesFirstThenMovesAndReportsEveryWindow) {
    d.window(longer).min_width = 700;  // cannot shrink into its tile
    d.window(term).hung = true;
    EXPECT_EQ(run(u"tile"), 0);
    EXPECT_EQ(d.out, HEADER_1 + HEADER_2 + "  editor.exe             Editor                                   ok\n" +
                         "  term.exe               Caf\u00e9 \u00fcber" + std::string(31, ' ') +
                         " "
                         "FAILED: the window is not responding\n" +
                         "  a-very-long-executa... Forty-one characters, one more than r... "
                         "DIFFERS: wanted 628x500 at (2564, 516), got 700x500 at (2564, 516)\n" +
                         "\nRun `quilt untile` to put every window back.\n" +
                         "2 window(s) did not end up where asked; see above.\n");
    EXPECT_EQ(d.frame_of(editor), (win::Rect{1928, 8, 628, 1008}));
    EXPECT_EQ(d.window(extra).rect, (win::Rect{2200, 300, 600, 500}));
    EXPECT_EQ(d.slept_ms, 0u);  // every window answered at once
    // The file was written before the first move, in plan order.
    const auto& calls = d.calls;
    const auto write = std::find(calls.begin(), calls.end(), "replace_file " + PATH);
    const auto first_move = std::find_if(calls.begin(), calls.end(),
                                         [](const std::string& c) { return c.rfind("set_window_pos", 0) == 0; });
    ASSERT_NE(write, calls.end());
    EXPECT_LT(write, first_move);
    auto line = [](win::Hwnd h, int pid, const char* rest) {
        return std::to_string(h.value) + " " + std::to_string(pid) + " " + rest + "\n";
    };
    // The hung window is not asked for its placement (that could wait on it) and is not moved.
    EXPECT_EQ(d.files.at(PATH), line(editor, 101, "1 2000 100 2816 707") + line(longer, 103, "1 1950 -20 2650 480"));
}

TEST_F(OneShot, TileWithEveryWindowInPlacePrintsNoCountLine) {
    d.window(term).move_error = 5;
    EXPECT_EQ(run(u"tile"), 0);
    EXPECT_NE(d.out.find(" FAILED: Access is denied.\n"), std::string::npos);
    EXPECT_NE(d.out.find("\n1 window(s) did not end up where asked; see above.\n"), std::string::npos);

    sim::Desktop clean;
    clean.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    clean.env["LOCALAPPDATA"] = LOCAL;
    clean.add_window(sim::Window{});
    EXPECT_EQ(cli::run_program(clean, u"quilt.exe tile", u"", [] { return 99; }), 0);
    EXPECT_TRUE(clean.out.ends_with(" ok\n\nRun `quilt untile` to put every window back.\n")) << clean.out;
}

// Windows whose threads read no messages, one of them maximised, hold up
// neither `tile` nor each other: one bounded wait, then they are reported.
TEST_F(OneShot, TileAsksWithoutWaitingAndReportsWindowsThatDoNotAnswer) {
    d.show_window(longer, win::SHOW_MAXIMIZED);
    d.show_window(editor, win::SHOW_MAXIMIZED);
    d.window(term).asleep = true;
    d.window(longer).asleep = true;
    EXPECT_EQ(run(u"tile"), 0);
    EXPECT_EQ(d.waited_on, std::vector<std::string>{});
    EXPECT_GE(d.slept_ms, win::ANSWER_WAIT_MS);
    EXPECT_LT(d.slept_ms, win::ANSWER_WAIT_MS + 2 * win::ANSWER_POLL_MS);
    EXPECT_NE(d.out.find("Editor                                   ok\n"), std::string::npos) << d.out;
    EXPECT_NE(d.out.find("\u00fcber" + std::string(31, ' ') + " FAILED: the window is not responding\n"),
              std::string::npos)
        << d.out;
    EXPECT_NE(d.out.find("r... FAILED: the window is not responding\n"), std::string::npos) << d.out;
    EXPECT_EQ(d.frame_of(editor), (win::Rect{1928, 8, 628, 1008}));
    // What was asked of them is done once they answer.
    d.wake(term);
    d.wake(longer);
    EXPECT_EQ(d.window(term).rect, (win::Rect{2564, 8, 628, 500}));
    EXPECT_FALSE(d.window(longer).maximized);
}

TEST_F(OneShot, TileStopsBeforeAnyMoveWhenThePositionsCannotBeSaved) {
    struct Case {
        std::function<void(sim::Desktop&)> setup;
        std::string err;
    } cases[] = {
        {[](sim::Desktop& s) { s.read_only_folders.insert(LOCAL); },
         "Could not save window positions to " + PATH + ": Access is denied. (os error 5)\n"},
        {[](sim::Desktop& s) { s.directories.insert(PATH); },
         "Could not read the saved window positions in " + PATH + ": Access is denied. (os error 5)\n"},
    };
    for (const auto& c : cases) {
        d.err.clear();
        d.read_only_folders.clear();
        d.directories.clear();
        c.setup(d);
        EXPECT_EQ(run(u"tile"), 1);
        EXPECT_EQ(d.err, c.err + "Nothing was moved.\n");
        EXPECT_EQ(d.out, "");
        EXPECT_TRUE(d.moves.empty());
    }
}

TEST_F(OneShot, TileWithNothingTileablePrintsSoAndWritesNothing) {
    for (auto h : {editor, term, longer, extra}) d.close_window(h);
    EXPECT_EQ(run(u"tile"), 0);
    EXPECT_EQ(d.out, "No windows to tile.\n");
    EXPECT_TRUE(d.calls.size() == 1 && d.calls[0] == "set_dpi_awareness");
}

TEST_F(OneShot, UntileOutcomes) {
    EXPECT_EQ(run(u"untile"), 0);
    EXPECT_EQ(d.out, "Nothing to restore.\n");

    d.out.clear();
    ASSERT_EQ(run(u"tile"), 0);
    d.close_window(term);
    d.out.clear();
    EXPECT_EQ(run(u"untile"), 0);
    EXPECT_EQ(d.out, "Restored 2 window(s); 1 no longer exist; 0 failed.\n");
    EXPECT_EQ(d.window(editor).rect, (win::Rect{2000, 100, 816, 607}));
    EXPECT_EQ(d.window(longer).rect, (win::Rect{1950, -20, 700, 500}));
    EXPECT_EQ(d.files.count(PATH), 0u);

    d.out.clear();
    ASSERT_EQ(run(u"tile"), 0);
    d.window(editor).placement_error = 1400;
    d.out.clear();
    EXPECT_EQ(run(u"untile"), 1);
    EXPECT_EQ(d.out, "Restored 2 window(s); 0 no longer exist; 1 failed.\n");
    EXPECT_EQ(d.err, "Could not restore window " + win::format_hwnd(editor) + ": Invalid window handle.\n");
    EXPECT_EQ(d.files.count(PATH), 1u);

    // A file that cannot be deleted after the restore, or not read at all (then nothing is restored).
    d.window(editor).placement_error.reset();
    for (auto [files, verb] : {std::pair{&d.in_use_files, "remove "}, {&d.locked_files, "read "}}) {
        files->insert(PATH);
        d.out.clear();
        d.err.clear();
        EXPECT_EQ(run(u"untile"), 1);
        EXPECT_EQ(d.out, "");
        EXPECT_EQ(d.err, "Could not " + std::string(verb) + PATH +
                             ": The process cannot access the file because it is being used by another process. "
                             "(os error 32)\n");
        EXPECT_EQ(d.files.count(PATH), 1u);
        files->clear();
    }
}

}  // namespace
