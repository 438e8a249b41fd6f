// Runs the virtual-desktop code against the real Windows calls under Wine.
// Reads one command a line from standard input:
//   go N    -> quilt_daemon::go_to_desktop
//   send N  -> quilt_daemon::send_to_desktop
// and answers each with what the code wrote to standard error, one
// "err TEXT" line a line, then "done MS" (how long the call took).
#include <windows.h>

#include <cstdlib>
#include <string>

#include "daemon/virtual_desktops.h"
#include "probe_commands.h"
#include "win/platform_win32.h"

namespace {

// The real platform, with standard error caught so that it reaches the test
// in order with the answers.
class ProbePlatform : public win::Win32Platform {
  public:
    void write_err(std::string_view utf8) override {
        std::size_t start = 0;
        while (start < utf8.size()) {
            auto end = utf8.find('\n', start);
            if (end == std::string_view::npos) end = utf8.size();
            write_out("err " + std::string(utf8.substr(start, end - start)) + "\n");
            start = end + 1;
        }
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ProbePlatform platform;
    platform.write_out("ready\n");
    std::string line;
    while (read_line(line)) {
        const auto space = line.find(' ');
        const std::string verb = line.substr(0, space);
        const auto n = static_cast<std::uint32_t>(
            space == std::string::npos ? 0 : std::strtoul(line.c_str() + space + 1, nullptr, 10));
        const std::uint64_t start = platform.tick_ms();
        if (verb == "go") {
            quilt_daemon::go_to_desktop(platform, n);
        } else if (verb == "send") {
            quilt_daemon::send_to_desktop(platform, n);
        } else {
            platform.write_out("unknown " + line + "\n");
            continue;
        }
        platform.write_out("done " + std::to_string(platform.tick_ms() - start) + "\n");
    }
    return 0;
}
