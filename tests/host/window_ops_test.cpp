#include <gtest/gtest.h>

#include "sim_desktop.h"
#include "win/window_ops.h"

namespace {

class AskMove : public ::testing::Test {
  protected:
    void SetUp() override { d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true); }
    sim::Desktop d;
};

TEST_F(AskMove, AddsInvisibleBordersBackSoTheFrameLandsOnTarget) {
    sim::Window w;
    w.rect = {300, 300, 640, 480};
    w.frame_insets = sim::WIN10_INSETS;
    const auto h = d.add_window(w);
    auto r = win::ask_move(d, h, {100, 50, 800, 600});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value(), win::MoveAsked::Moving);
    ASSERT_EQ(d.moves.size(), 1u);
    EXPECT_EQ(d.moves[0], (sim::Move{h, 93, 50, 814, 607, win::POS_NOZORDER | win::POS_NOACTIVATE | win::POS_ASYNC}));
    EXPECT_EQ(d.frame_of(h), (win::Rect{100, 50, 800, 600}));
    EXPECT_EQ(d.foreground, win::Hwnd{});  // never activated
}

TEST_F(AskMove, WithoutAFrameTheRawRectangleIsUsed) {
    sim::Window no_frame;
    no_frame.frame_insets.reset();
    sim::Window flush;
    flush.frame_insets = sim::Insets{};
    for (const auto& w : {no_frame, flush}) {
        const auto h = d.add_window(w);
        ASSERT_TRUE(win::ask_move(d, h, {8, 8, 948, 1024}).ok());
        EXPECT_EQ(d.moves.back(), (sim::Move{h, 8, 8, 948, 1024, 0x4014}));
    }
}

// Its borders in the normal size are known only once it has restored itself.
TEST_F(AskMove, MaximizedWindowIsFirstOnlyAskedToRestoreWithoutActivation) {
    sim::Window w;
    w.rect = {200, 100, 1000, 700};
    w.frame_insets = sim::WIN10_INSETS;
    const auto h = d.add_window(w);
    d.show_window(h, win::SHOW_MAXIMIZED);
    d.shows.clear();
    d.calls.clear();
    auto r = win::ask_move(d, h, {8, 8, 948, 1024});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value(), win::MoveAsked::Restoring);
    EXPECT_EQ(d.calls, std::vector<std::string>{"show_window_async " + win::format_hwnd(h) + " 4"});
    EXPECT_FALSE(d.window(h).maximized);
    r = win::ask_move(d, h, {8, 8, 948, 1024});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value(), win::MoveAsked::Moving);
    EXPECT_EQ(d.frame_of(h), (win::Rect{8, 8, 948, 1024}));
}

TEST_F(AskMove, FailuresCarryTheSystemMessage) {
    sim::Window w;
    w.move_error = 5;
    const auto h = d.add_window(w);
    auto r = win::ask_move(d, h, {0, 0, 10, 10});
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().message, "Access is denied.");

    auto gone = win::ask_move(d, win::Hwnd{0xdead}, {0, 0, 10, 10});
    ASSERT_FALSE(gone.ok());
    EXPECT_EQ(gone.error().message, "Invalid window handle.");
}

TEST_F(AskMove, HungWindowIsNotTouched) {
    sim::Window w;
    w.hung = true;
    w.maximized = true;
    const auto h = d.add_window(w);
    auto r = win::ask_move(d, h, {0, 0, 10, 10});
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().kind, win::ErrorKind::NotResponding);
    EXPECT_EQ(r.error().message, win::NOT_RESPONDING);
    EXPECT_TRUE(d.calls.empty());
}

TEST(WindowOps, ExeNameIsTheLastPathComponent) {
    sim::Desktop d;
    d.add_process(1, u"C:\\windows\\system32\\notepad.exe");
    d.add_process(2, u"Z:/usr/bin/prog.exe");
    d.add_process(3, u"bare.exe");
    EXPECT_EQ(win::process_exe_name(d, 1), "notepad.exe");
    EXPECT_EQ(win::process_exe_name(d, 2), "prog.exe");
    EXPECT_EQ(win::process_exe_name(d, 3), "bare.exe");
    EXPECT_EQ(win::process_exe_name(d, 4), "");
    EXPECT_EQ(win::process_exe_name(d, 0), "");
}

TEST(WindowOps, FocusPressesTheDummyKeyFirst) {
    sim::Desktop d;
    const auto h = d.add_window({});
    EXPECT_TRUE(win::focus_window(d, h));
    ASSERT_EQ(d.input_batches.size(), 1u);
    const std::vector<win::KeyInput> expected = {{0xE8, 0}, {0xE8, win::KEY_UP}};
    EXPECT_EQ(d.input_batches[0], expected);
    EXPECT_EQ(d.calls, (std::vector<std::string>{"send_input", "set_foreground_window " + win::format_hwnd(h)}));
}

TEST(WindowOps, WinKeyIsEitherWindowsKey) {
    sim::Desktop d;
    EXPECT_FALSE(win::win_key_is_down(d));
    d.keys_down = {win::KEY_RWIN};
    EXPECT_TRUE(win::win_key_is_down(d));
    d.keys_down = {win::KEY_LWIN};
    EXPECT_TRUE(win::win_key_is_down(d));
}

TEST(WindowOps, WorkAreaOfWindowFallsBackToThePrimaryMonitor) {
    sim::Desktop d;
    d.add_monitor({-1280, 0, 1280, 1024}, {-1280, 0, 1280, 984});
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    sim::Window far_away;
    far_away.rect = {-30000, -30000, 100, 100};
    const auto h = d.add_window(far_away);
    EXPECT_EQ(win::work_area_of_window(d, h), (win::Rect{0, 0, 1920, 1040}));
}

}  // namespace
