#include <gtest/gtest.h>

#include "cli/commands.h"
#include "sim_desktop.h"

namespace {

const std::u16string EXE = u"C:\\tools\\quilt.exe";

struct Outcome {
    int code;
    std::string out;
    std::string err;
    int daemon_runs;
};

// The daemon stands in as a runner that counts its calls and exits with 42.
Outcome run(const char16_t* line, std::uint32_t console_processes = 2) {
    sim::Desktop d;
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    d.console_processes = console_processes;
    int runs = 0;
    const int code = cli::run_program(d, line, EXE, [&] {
        ++runs;
        return 42;
    });
    return {code, d.out, d.err, runs};
}

const cli::DaemonRunner NO_DAEMON = [] {
    ADD_FAILURE() << "the daemon must not start";
    return 99;
};

TEST(Usage, IsTheTwelveLinesWithTheFixedTexts) {
    const std::string text = cli::usage_text();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1) {
        lines.push_back(text.substr(start, nl - start));
    }
    lines.push_back(text.substr(start));
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0].rfind("quilt - ", 0), 0u);
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Usage:");
    EXPECT_EQ(lines[3], "  quilt run       Keep windows tiled until stopped, then put them back.");
    EXPECT_EQ(lines[6], "  quilt tile      Tile the windows once, then exit");
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11], "`list` and `plan` are read-only. See SPEC.md for the roadmap.");
}

TEST(Dispatch, UnknownOrMissingWordsPrintUsageWithCodeTwo) {
    for (const char16_t* line : {u"quilt.exe", u"quilt.exe Tile", u"quilt.exe LIST", u"quilt.exe \"\"",
                                 u"quilt.exe bogus list", u"quilt.exe --help", u"quilt.exe  tile2"}) {
        const Outcome r = run(line);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, cli::usage_text() + "\n");
        EXPECT_EQ(r.err, "");
    }
}

TEST(Dispatch, ExtraWordsAreIgnoredAndQuotesRemoved) {
    const Outcome plain = run(u"quilt.exe list");
    EXPECT_EQ(plain.code, 0);
    EXPECT_NE(plain.out.find("visible top-level windows"), std::string::npos);
    EXPECT_EQ(run(u"quilt.exe list extra words").out, plain.out);
    EXPECT_EQ(run(u"\"C:\\my tools\\quilt.exe\" \"list\"").out, plain.out);
}

TEST(Dispatch, RunOrAloneOnItsConsoleWithoutAWordStartsTheDaemon) {
    for (auto [line, processes] : {std::pair{u"quilt.exe", 1u},
                                   {u"", 1u},
                                   {u"quilt.exe run", 2u},
                                   {u"quilt.exe run extra", 0u},
                                   {u"q \"run\"", 3u}}) {
        const Outcome o = run(line, processes);
        EXPECT_EQ(o.code, 42);
        EXPECT_EQ(o.daemon_runs, 1);
        EXPECT_EQ(o.out, "");
    }
    // Sharing the console with a shell (or having none): usage, no daemon.
    for (auto processes : {0u, 2u, 3u}) {
        const Outcome o = run(u"quilt.exe", processes);
        EXPECT_EQ(o.code, 2);
        EXPECT_EQ(o.daemon_runs, 0);
    }
    EXPECT_EQ(run(u"", 2).code, 2);
}

TEST(Dispatch, DpiAwarenessComesFirstAndItsFailureIsIgnored) {
    sim::Desktop d;
    d.dpi_awareness_fails = true;
    d.add_window({});
    EXPECT_EQ(cli::run_program(d, u"quilt.exe list", EXE, NO_DAEMON), 0);
    ASSERT_FALSE(d.calls.empty());
    EXPECT_EQ(d.calls.front(), "set_dpi_awareness");
    EXPECT_EQ(d.err, "");
}

TEST(Dispatch, ListChangesNothing) {
    sim::Desktop d;
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    d.add_window({});
    sim::Window max;
    max.maximized = true;
    d.add_window(max);
    EXPECT_EQ(cli::run_program(d, u"q list", EXE, NO_DAEMON), 0);
    EXPECT_EQ(d.calls, std::vector<std::string>{"set_dpi_awareness"});
    EXPECT_TRUE(d.files.empty());
}

}  // namespace
