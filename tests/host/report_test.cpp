#include <gtest/gtest.h>

#include "cli/report.h"

namespace {

using win::Decision;
using win::Reason;
using win::Verdict;

win::WindowInfo info(std::uint64_t hwnd, Decision d, std::string exe, std::string cls, std::string title) {
    win::WindowInfo w;
    w.hwnd = win::Hwnd{hwnd};
    w.decision = d;
    w.exe = std::move(exe);
    w.class_name = std::move(cls);
    w.title = std::move(title);
    w.window_rect = {93, 50, 814, 607};
    w.frame_rect = {100, 50, 800, 600};
    return w;
}

const std::string HEADER =
    "HWND       DECISION REASON           INSET    EXE                      CLASS                        TITLE\n";

TEST(WindowTable, PrintsFixedColumnsAndTheSummary) {
    std::vector<win::WindowInfo> list = {
        info(0x10a3c, {Verdict::Tile, Reason::None}, "app.exe", "AppWindow", "Report.docx - App"),
        info(0x20b, {Verdict::Float, Reason::NotResizable}, "winemine.exe", "WineMine", "WineMine"),
        info(0x30c, {Verdict::Ignore, Reason::Owned}, "", "#32770", "Save?"),
    };
    list[1].window_rect = list[1].frame_rect;
    list.push_back(info(0x40d, {Verdict::Tile, Reason::None}, "app.exe", "AppWindow", "Elsewhere"));
    list.back().cloaked = true;

    const std::string expected =
        HEADER +
        "0x10a3c    tile                      7/7/7    app.exe                  AppWindow                    "
        "Report.docx - App\n"
        "0x20b      float    not resizable    0/0/0    winemine.exe             WineMine                     WineMine\n"
        "0x30c      ignore   owned            7/7/7                             #32770                       Save?\n"
        "0x40d      ignore   cloaked          7/7/7    app.exe                  AppWindow                    "
        "Elsewhere\n"
        "\n4 visible top-level windows: 1 tile, 1 float, 2 ignored\n";
    EXPECT_EQ(cli::format_window_table(list), expected);
}

TEST(WindowTable, NoWindowsGivesHeaderBlankLineAndZeros) {
    EXPECT_EQ(cli::format_window_table({}), HEADER + "\n0 visible top-level windows: 0 tile, 0 float, 0 ignored\n");
}

TEST(WindowTable, LongFieldsAreShortenedOrPushTheRowRight) {
    const std::string long_class(40, 'C');
    const std::string title61(61, 't');
    auto w = info(0x1234, {Verdict::Tile, Reason::None}, "a-very-long-executable-name.exe", long_class, title61);
    const std::string table = cli::format_window_table({w});
    const std::string row = table.substr(HEADER.size(), table.find('\n', HEADER.size()) - HEADER.size());
    EXPECT_EQ(row.substr(46, 25), "a-very-long-executabl... ");
    EXPECT_EQ(row.substr(71, 29), std::string(25, 'C') + "... ");
    EXPECT_EQ(row.substr(100), std::string(57, 't') + "...");  // TITLE still at column 101

    // A handle wider than its field pushes the rest of that row only.
    auto wide = info(0xffffffff80001234ull, {Verdict::Tile, Reason::None}, "x.exe", "C", "T");
    const std::string t2 = cli::format_window_table({wide});
    EXPECT_EQ(t2.substr(HEADER.size(), 24), "0xffffffff80001234 tile ");
}

TEST(WindowTable, InsetIsLeftRightBottomAndWrapsLikeThirtyTwoBitIntegers) {
    auto w = info(1, {Verdict::Tile, Reason::None}, "a", "b", "c");
    w.window_rect = {-10, 0, 120, 100};
    w.frame_rect = {-8, 5, 110, 90};  // left 2, right 8, bottom 5 (top is not shown)
    EXPECT_NE(cli::format_window_table({w}).find(" 2/8/5    a "), std::string::npos);

    w.window_rect = {INT32_MAX - 10, 0, 10, 10};
    w.frame_rect = {INT32_MIN, 0, 0, 0};  // the difference wraps instead of overflowing
    const std::string t = cli::format_window_table({w});
    EXPECT_NE(t.find(" 11/-1/10 a "), std::string::npos) << t;
}

}  // namespace
