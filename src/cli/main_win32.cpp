// The process entry: gathers the command line and hands everything else to
// the portable program logic.
#include <windows.h>

#include <string>

#include "cli/commands.h"
#include "daemon/daemon_win32.h"
#include "win/platform_win32.h"

int main() {
    const wchar_t* line = GetCommandLineW();
    std::u16string command_line(line, line + lstrlenW(line));
    wchar_t path[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::u16string module_path(path, path + (n < MAX_PATH * 2 ? n : 0));
    win::Win32Platform platform;
    const int status =
        cli::run_program(platform, command_line, module_path, [&] { return quilt_daemon::run_daemon(platform); });
    // Everything the user was told is written, and every window is back: the
    // process ends here, at once. The daemon's other threads (a download, a
    // read of the Apps folder) are stopped where they are rather than woken
    // into the static destructors and library shutdown that a return would
    // run beside them.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    return status;
}
