#include "cli/commands.h"

#include <vector>

#include "cli/cmdline.h"
#include "cli/report.h"
#include "win/classify.h"
#include "win/text.h"

namespace cli {
namespace {

int not_available(win::Platform& p, std::string_view word) {
    p.write_err("quilt " + std::string(word) + ": not available yet\n");
    return 1;
}

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

int run_program(win::Platform& p, std::u16string_view command_line, std::u16string_view module_path) {
    std::vector<std::u16string> args = split_command_line(command_line);
    if (args.empty()) args.emplace_back(module_path);

    // Before anything reads a coordinate, so that every rectangle is in physical pixels.
    // A failure usually means the manifest already did it.
    (void)p.set_dpi_awareness();

    if (args.size() < 2) {
        // Alone on its console means a double-click made this console for us.
        if (p.console_process_count() == 1) return not_available(p, "run");
        return print_usage(p);
    }
    const std::string word = win::utf16_to_utf8(args[1]);
    if (word == "run") return not_available(p, word);
    if (word == "tile") return not_available(p, word);
    if (word == "untile") return not_available(p, word);
    if (word == "list") return command_list(p);
    if (word == "plan") return not_available(p, word);
    return print_usage(p);
}

}  // namespace cli
