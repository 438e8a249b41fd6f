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
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
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
    EXPECT_EQ(list[1].monitor, win::Hmonitor{});  // only a window that tiles is laid out on one

    EXPECT_EQ(list[2].hwnd, h_bottom);
    EXPECT_EQ(list[2].title, "Bottom \xc3\xa9");
    EXPECT_EQ(list[2].exe, "app.exe");
    EXPECT_EQ(list[2].monitor, second);
    EXPECT_EQ(list[2].window_rect, (win::Rect{2000, 10, 800, 600}));
    EXPECT_EQ(list[2].frame_rect, (win::Rect{2007, 10, 786, 593}));
    EXPECT_EQ(list[2].decision, (Decision{Verdict::Tile, Reason::None}));
    // A report asks no monitor and is otherwise the same.
    win::WindowFactCache once;
    const auto report = win::enumerate_windows(d, once, nullptr);
    ASSERT_EQ(report.size(), 3u);
    EXPECT_EQ(report[2].monitor, win::Hmonitor{});
    EXPECT_EQ(report[2].frame_rect, list[2].frame_rect);
}

// The enumeration works a window's monitor out from its rectangle and asks
// the system only where the rectangle does not settle it; either way the
// answer must be the system's.
TEST(EnumerateWindows, AWindowsMonitorIsTheSystemsAnswer) {
    struct Case {
        const char* name;
        win::Rect rect;
        bool asked;
    };
    const Case cases[] = {
        {"inside the left monitor", {100, 100, 800, 600}, false},
        {"mostly on the right one", {1700, 100, 800, 600}, false},
        {"on both alike", {1520, 100, 800, 600}, true},
        {"on neither", {-3000, 100, 800, 600}, true},
        {"no size", {100, 100, 0, 0}, true},
        {"taller than the left one", {0, -50, 1920, 1180}, false},
    };
    for (const auto& c : cases) {
        sim::Desktop d;
        d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
        d.add_monitor({1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}, false);
        sim::Window w;
        w.rect = c.rect;
        const auto h = d.add_window(w);
        const auto got = win::enumerate_windows(d);
        EXPECT_EQ(d.monitor_asks, c.asked ? 1u : 0u) << c.name;
        ASSERT_EQ(got.size(), 1u) << c.name;
        EXPECT_EQ(got[0].monitor, d.monitor_from_window(h, win::MonitorDefault::ToNearest)) << c.name;
    }
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

// The lasting facts kept between enumerations must never outlive their window.
TEST(WindowFactCache, AReusedHandleOrAClosedWindowIsNotTakenFromTheCache) {
    sim::Desktop d;
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    d.add_process(100, u"C:\\Apps\\app.exe");
    d.add_process(200, u"C:\\windows\\system32\\NOTEPAD.EXE");
    sim::Window first;
    first.class_name = u"First";
    const auto h = d.add_window(first);
    const auto other = d.add_window(sim::Window{});
    win::WindowFactCache cache;
    ASSERT_EQ(win::enumerate_windows(d, cache)[1].exe, "app.exe");

    // The handle comes back for a window of another program.
    d.close_window(h);
    sim::Window reused;
    reused.hwnd = h;
    reused.pid = 200;
    reused.class_name = u"Second";
    d.add_window(reused);
    const auto list = win::enumerate_windows(d, cache);
    ASSERT_EQ(list[0].hwnd, h);
    EXPECT_EQ(list[0].exe, "NOTEPAD.EXE");
    EXPECT_EQ(list[0].class_name, "Second");
    EXPECT_EQ(list[0].decision, (Decision{Verdict::Ignore, Reason::IgnoredApp}));

    // Closed, or no longer visible: forgotten at the next enumeration.
    d.close_window(h);
    d.window(other).visible = false;
    EXPECT_TRUE(win::enumerate_windows(d, cache).empty());
    EXPECT_TRUE(cache.windows.empty());
}

TEST(WindowFactCache, AnExecutableIsAskedOncePerProcessAndThenKept) {
    sim::Desktop d;
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    d.add_process(100, u"C:\\Apps\\app.exe");
    d.add_process(200, u"C:\\Apps\\other.exe");
    for (int i = 0; i < 50; ++i) {
        sim::Window w;
        w.pid = i % 2 ? 100 : 200;
        d.add_window(w);
    }
    sim::Window unreadable;
    unreadable.pid = 300;  // a process that cannot be opened is asked again next time
    d.add_window(unreadable);

    EXPECT_EQ(win::enumerate_windows(d).size(), 51u);
    EXPECT_EQ(d.process_queries, 3u);

    win::WindowFactCache cache;
    const auto first = win::enumerate_windows(d, cache);
    const auto again = win::enumerate_windows(d, cache);
    EXPECT_EQ(d.process_queries, 7u);
    ASSERT_EQ(again.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(again[i].exe, first[i].exe);
        EXPECT_EQ(again[i].class_name, first[i].class_name);
    }
    EXPECT_EQ(again[0].exe, "");
    EXPECT_EQ(again[1].exe, "app.exe");
    EXPECT_EQ(again[2].exe, "other.exe");
}

}  // namespace
