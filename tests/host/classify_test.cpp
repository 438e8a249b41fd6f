#include <gtest/gtest.h>

#include "sim_desktop.h"
#include "win/classify.h"

namespace {

using win::Decision;
using win::Reason;
using win::Verdict;

struct ClassifyCase {
    const char* name;
    win::WindowFacts facts;
    Decision expected;
};

win::WindowFacts normal() { return {"app.exe", "Title", "AppWindow", win::STYLE_THICKFRAME, 0, false, false}; }

win::WindowFacts with(auto change) {
    auto f = normal();
    change(f);
    return f;
}

TEST(Classify, ReasonsTakePrecedenceInTheirFixedOrder) {
    using F = win::WindowFacts;
    const ClassifyCase cases[] = {
        {"resizable app", normal(), {Verdict::Tile, Reason::None}},
        {"fixed-size dialog", with([](F& f) { f.style = 0; }), {Verdict::Float, Reason::NotResizable}},
        {"owned message box", with([](F& f) { f.has_owner = true; }), {Verdict::Ignore, Reason::Owned}},
        {"owned tool window",
         with([](F& f) {
             f.has_owner = true;
             f.ex_style = win::EXSTYLE_TOOLWINDOW;
         }),
         {Verdict::Ignore, Reason::Owned}},
        {"tool and no-activate",
         with([](F& f) { f.ex_style = win::EXSTYLE_TOOLWINDOW | win::EXSTYLE_NOACTIVATE; }),
         {Verdict::Ignore, Reason::ToolWindow}},
        {"no-activate",
         with([](F& f) { f.ex_style = win::EXSTYLE_NOACTIVATE; }),
         {Verdict::Ignore, Reason::NoActivate}},
        {"child", with([](F& f) { f.style |= win::STYLE_CHILD; }), {Verdict::Ignore, Reason::Child}},
        {"untitled", with([](F& f) { f.title.clear(); }), {Verdict::Ignore, Reason::NoTitle}},
        {"shell with title",
         with([](F& f) { f.class_name = "Shell_TrayWnd"; }),
         {Verdict::Ignore, Reason::ShellSurface}},
        {"shell without title",
         with([](F& f) {
             f.class_name = "Progman";
             f.title.clear();
         }),
         {Verdict::Ignore, Reason::NoTitle}},
        {"shell class in other case", with([](F& f) { f.class_name = "progman"; }), {Verdict::Tile, Reason::None}},
        {"minimized", with([](F& f) { f.minimized = true; }), {Verdict::Ignore, Reason::Minimized}},
        {"minimized untitled",
         with([](F& f) {
             f.minimized = true;
             f.title.clear();
         }),
         {Verdict::Ignore, Reason::NoTitle}},
        {"minimized fixed-size",
         with([](F& f) {
             f.minimized = true;
             f.style = 0;
         }),
         {Verdict::Ignore, Reason::Minimized}},
        {"notepad any case",
         with([](F& f) {
             f.exe = "NotePad.EXE";
             f.has_owner = true;
         }),
         {Verdict::Ignore, Reason::IgnoredApp}},
        {"notepad lookalike", with([](F& f) { f.exe = "notepad.exe.bak"; }), {Verdict::Tile, Reason::None}},
        {"process not readable", with([](F& f) { f.exe.clear(); }), {Verdict::Tile, Reason::None}},
    };
    for (const auto& c : cases) EXPECT_EQ(win::classify(c.facts), c.expected) << c.name;
}

TEST(EffectiveDecision, CloakingIgnoresEverythingButIgnoredApps) {
    win::WindowInfo info;
    info.decision = {Verdict::Tile, Reason::None};
    EXPECT_EQ(win::effective_decision(info), info.decision);
    info.cloaked = true;
    EXPECT_EQ(win::effective_decision(info), (Decision{Verdict::Ignore, Reason::Cloaked}));
    info.decision = {Verdict::Float, Reason::NotResizable};
    EXPECT_EQ(win::effective_decision(info), (Decision{Verdict::Ignore, Reason::Cloaked}));
    info.decision = {Verdict::Ignore, Reason::Owned};
    EXPECT_EQ(win::effective_decision(info), (Decision{Verdict::Ignore, Reason::Cloaked}));
    info.decision = {Verdict::Ignore, Reason::IgnoredApp};
    EXPECT_EQ(win::effective_decision(info), info.decision);
}

TEST(EnumerateWindows, GathersFactsInZOrderAndSkipsInvisibleWindows) {
    sim::Desktop d;
    const auto primary = d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    const auto second = d.add_monitor({1920, 0, 1280, 1024}, {1920, 0, 1280, 1024});
    d.add_process(100, u"C:\\Program Files\\App\\app.exe");
    d.add_process(200, u"C:\\windows\\system32\\NOTEPAD.EXE");

    sim::Window bottom;
    bottom.title = u"Bottom \u00e9";
    bottom.rect = {2000, 10, 800, 600};  // mostly on the second monitor
    bottom.frame_insets = sim::WIN10_INSETS;
    const auto h_bottom = d.add_window(bottom);

    sim::Window hidden;
    hidden.visible = false;
    d.add_window(hidden);

    sim::Window pad;
    pad.pid = 200;
    pad.cloaked = true;
    pad.frame_insets.reset();  // as under Wine: no frame from the compositor
    const auto h_pad = d.add_window(pad);

    sim::Window unknown;
    unknown.pid = 999;  // a process that cannot be opened
    unknown.owner = h_bottom;
    const auto h_unknown = d.add_window(unknown);

    const auto list = win::enumerate_windows(d);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].hwnd, h_unknown);
    EXPECT_EQ(list[0].exe, "");
    EXPECT_EQ(list[0].decision, (Decision{Verdict::Ignore, Reason::Owned}));

    EXPECT_EQ(list[1].hwnd, h_pad);
    EXPECT_EQ(list[1].exe, "NOTEPAD.EXE");
    EXPECT_TRUE(list[1].cloaked);
    EXPECT_EQ(list[1].frame_rect, list[1].window_rect);
    EXPECT_EQ(win::effective_decision(list[1]), (Decision{Verdict::Ignore, Reason::IgnoredApp}));
    EXPECT_EQ(list[1].monitor, primary);

    EXPECT_EQ(list[2].hwnd, h_bottom);
    EXPECT_EQ(list[2].title, "Bottom \xc3\xa9");
    EXPECT_EQ(list[2].exe, "app.exe");
    EXPECT_EQ(list[2].monitor, second);
    EXPECT_EQ(list[2].window_rect, (win::Rect{2000, 10, 800, 600}));
    EXPECT_EQ(list[2].frame_rect, (win::Rect{2007, 10, 786, 593}));
    EXPECT_EQ(list[2].decision, (Decision{Verdict::Tile, Reason::None}));
}

TEST(EnumerateWindows, MinimizedWindowTilesAgainOnceRestored) {
    sim::Desktop d;
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    sim::Window w;
    w.minimized = true;
    const auto h = d.add_window(w);
    EXPECT_EQ(win::enumerate_windows(d)[0].decision, (Decision{Verdict::Ignore, Reason::Minimized}));
    d.window(h).minimized = false;
    EXPECT_EQ(win::enumerate_windows(d)[0].decision, (Decision{Verdict::Tile, Reason::None}));
}

}  // namespace
