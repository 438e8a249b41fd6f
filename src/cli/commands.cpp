#include "cli/commands.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/cmdline.h"
#include "cli/plan.h"
#include "cli/report.h"
#include "restore/saved_positions.h"
#include "text/utf8.h"
#include "win/classify.h"
#include "win/window_ops.h"

namespace cli {
namespace {

int print_usage(win::Platform& p) {
    p.write_out(usage_text() + "\n");
    return EXIT_USAGE;
}

}  // namespace

std::string usage_text() {
    return "quilt - a tiling window manager for Windows: every monitor's windows side by side, nothing overlapping\n"
           "\n"
           "Usage:\n"
           "  quilt run       Keep windows tiled until stopped, then put them back.\n"
           "                    Stop it from its tray icon, with Win+Shift+Esc, or with Ctrl+C.\n"
           "                    This is also what double-clicking quilt.exe does.\n"
           "  quilt tile      Tile the windows once, then exit\n"
           "  quilt untile    Put every window back where it was before Quilt moved it\n"
           "  quilt list      Show every visible top-level window and what Quilt would do with it\n"
           "  quilt plan      Show where each tiled window would be placed (moves nothing)\n"
           "\n"
           "`list` and `plan` are read-only. See SPEC.md for the roadmap.";
}

int command_list(win::Platform& p) {
    p.write_out(format_window_table(win::enumerate_windows(p)));
    return 0;
}

int command_plan(win::Platform& p) {
    const std::vector<win::WindowInfo> windows = win::enumerate_windows(p);
    p.write_out(format_plan(build_plan(p, windows)));
    return 0;
}

namespace {

// A window asked to take its tile, and where it was before the ask.
struct AskedMove {
    win::Hwnd hwnd;
    win::Rect target;
    win::Rect before;
    bool restoring = false;
    std::optional<std::string> failure;
};

// Asks every window at once, without waiting on any, and then gives them
// together a bounded time to get there, so that a window whose thread does
// not answer costs one short wait and holds up no other. A window is there
// once its frame is on the target or has changed at all (a window that
// cannot take its exact tile takes the nearest it can in one step).
TileOutcome carry_out_moves(win::Platform& p, const std::vector<std::pair<win::Hwnd, win::Rect>>& moves) {
    TileOutcome outcome;
    std::vector<AskedMove> asked;
    for (const auto& [h, target] : moves) {
        const win::Rect before = win::visible_frame(p, h);
        auto r = win::ask_move(p, h, target);
        if (!r) {
            outcome.failures[h] = r.error().message;
            continue;
        }
        asked.push_back({h, target, before, r.value() == win::MoveAsked::Restoring, std::nullopt});
    }
    const std::vector<bool> answered = win::wait_for_answers(p, asked.size(), [&](std::size_t i) {
        AskedMove& a = asked[i];
        if (!a.restoring) {
            const win::Rect now = win::visible_frame(p, a.hwnd);
            return now == a.target || now != a.before;
        }
        // Restored from maximised: now its borders can be read for the move.
        if (p.is_zoomed(a.hwnd)) return false;
        a.before = win::visible_frame(p, a.hwnd);
        auto r = win::ask_move(p, a.hwnd, a.target);
        if (!r) a.failure = r.error().message;
        a.restoring = false;
        return a.failure.has_value();
    });
    for (std::size_t i = 0; i < asked.size(); ++i) {
        const AskedMove& a = asked[i];
        if (a.failure) {
            outcome.failures[a.hwnd] = *a.failure;
        } else if (!answered[i]) {
            outcome.failures[a.hwnd] = win::NOT_RESPONDING;
        } else {
            outcome.frames[a.hwnd] = win::visible_frame(p, a.hwnd);
        }
    }
    return outcome;
}

}  // namespace

int command_tile(win::Platform& p) {
    const std::vector<win::WindowInfo> windows = win::enumerate_windows(p);
    const std::vector<MonitorPlan> plans = build_plan(p, windows);
    std::vector<std::pair<win::Hwnd, win::Rect>> moves;
    for (const auto& plan : plans) {
        for (const auto& m : plan.moves) moves.emplace_back(m.window->hwnd, m.target_frame);
    }
    if (moves.empty()) {
        p.write_out("No windows to tile.\n");
        return 0;
    }

    // Positions go to disk before the first move, so a crash can still be undone.
    std::vector<win::Hwnd> handles;
    for (const auto& [h, target] : moves) handles.push_back(h);
    if (auto saved = restore::save_positions(p, handles); !saved) {
        const restore::FileError& e = saved.error();
        p.write_err(
            win::failure_line((e.step == restore::FileStep::Read ? "Could not read the saved window positions in "
                                                                 : "Could not save window positions to ") +
                                  restore::untile_path(p),
                              win::file_error_text(e.cause)));
        p.write_err("Nothing was moved.\n");
        return 1;
    }
    p.write_out(format_tile_report(plans, carry_out_moves(p, moves)));
    return 0;
}

int command_untile(win::Platform& p) {
    const auto restored = restore::restore_positions(p);
    if (!restored) {
        const restore::FileError& e = restored.error();
        p.write_err(win::failure_line(
            (e.step == restore::FileStep::Read ? "Could not read " : "Could not remove ") + restore::untile_path(p),
            win::file_error_text(e.cause)));
        return 1;
    }
    const restore::RestoreCounts& c = restored.value();
    if (c.restored == 0 && c.gone == 0 && c.failed == 0) {
        p.write_out("Nothing to restore.\n");
        return 0;
    }
    p.write_out(restore::restored_text(c) + "\n");
    return c.failed > 0 ? 1 : 0;
}

int run_program(win::Platform& p, std::u16string_view command_line, std::u16string_view module_path,
                const DaemonRunner& run_daemon) {
    std::vector<std::u16string> args = split_command_line(command_line);
    if (args.empty()) args.emplace_back(module_path);

    // Before anything reads a coordinate, so that every rectangle is in physical pixels.
    // A failure usually means the manifest already did it.
    (void)p.set_dpi_awareness();

    if (args.size() < 2) {
        // Alone on its console means a double-click made this console for us.
        if (p.console_process_count() == 1) return run_daemon();
        return print_usage(p);
    }
    const std::string word = text::utf16_to_utf8(args[1]);
    if (word == "run") return run_daemon();
    if (word == "tile") return command_tile(p);
    if (word == "untile") return command_untile(p);
    if (word == "list") return command_list(p);
    if (word == "plan") return command_plan(p);
    return print_usage(p);
}

}  // namespace cli
