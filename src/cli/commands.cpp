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
    win::WindowFactCache once;
    p.write_out(format_window_table(win::enumerate_windows(p, once, nullptr)));
    return 0;
}

int command_plan(win::Platform& p) {
    const std::vector<win::WorkArea> monitors = win::enumerate_monitors(p);
    win::WindowFactCache once;
    const std::vector<win::WindowInfo> windows = win::enumerate_windows(p, once, &monitors);
    p.write_out(format_plan(build_plan(monitors, windows)));
    return 0;
}

namespace {

// Every window waited for together; the frame of each that got there is read back.
TileOutcome carry_out_moves(win::Platform& p, const std::vector<win::MoveOrder>& moves) {
    TileOutcome outcome;
    for (const win::MoveResult& r : win::carry_out_moves(p, moves, win::MoveWait::Bounded)) {
        if (r.failure) {
            outcome.failures[r.hwnd] = r.failure->message;
        } else {
            outcome.frames[r.hwnd] = win::visible_frame(p, r.hwnd);
        }
    }
    return outcome;
}

}  // namespace

int command_tile(win::Platform& p) {
    const std::vector<win::WorkArea> monitors = win::enumerate_monitors(p);
    win::WindowFactCache once;
    const std::vector<win::WindowInfo> windows = win::enumerate_windows(p, once, &monitors);
    const std::vector<MonitorPlan> plans = build_plan(monitors, windows);
    std::vector<win::MoveOrder> moves;
    for (const auto& plan : plans) {
        for (const auto& m : plan.moves) moves.push_back({m.window->hwnd, m.target_frame, win::sighting(*m.window)});
    }
    if (moves.empty()) {
        p.write_out("No windows to tile.\n");
        return 0;
    }

    // Positions go to disk before the first move, so a crash can still be undone.
    std::vector<win::Hwnd> handles;
    for (const win::MoveOrder& m : moves) handles.push_back(m.hwnd);
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
