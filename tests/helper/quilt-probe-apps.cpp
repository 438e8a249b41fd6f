// Runs the launcher's catalogue, launching and web-app file code against the
// real shell under Wine. Reads one command a line (tab-separated, UTF-8) from
// standard input and answers each with lines on standard output:
//   catalogue                  -> "item\t{kind}\t{target or -}\t{name}" ..., "end"
//   launch\t{kind}\t{target}\t{name}   -> "launched true|false"
//   browser                    -> "browser {path}" or "browser none"
//   path                       -> "path {webapps path}"
//   append\t{name}\t{address}  -> "ok" or "error {code} {message}"
//   remove\t{name}\t{address}  -> "ok" or "error {code} {message}"
#include <windows.h>

#include <string>
#include <vector>

#include "apps/catalogue.h"
#include "apps/launch.h"
#include "apps/webapps_file.h"
#include "probe_commands.h"
#include "win/platform_win32.h"

namespace {

std::string status_line(const win::Status& s) {
    return s ? "ok\n" : "error " + std::to_string(s.error().code) + " " + s.error().message + "\n";
}

apps::ItemKind kind_of(const std::string& word) {
    if (word == "web") return apps::ItemKind::Web;
    if (word == "edit") return apps::ItemKind::EditWebApps;
    return apps::ItemKind::App;
}

void run(win::Win32Platform& platform, const std::string& line) {
    const auto args = split_tabs(line);
    const std::string& command = args[0];
    if (command == "catalogue") {
        const char* kinds[] = {"app", "web", "edit"};
        for (const auto& item : apps::build_catalogue(platform)) {
            platform.write_out(std::string("item\t") + kinds[static_cast<int>(item.kind)] + "\t" +
                               item.target.value_or("-") + "\t" + item.name + "\n");
        }
        platform.write_out("end\n");
    } else if (command == "launch" && args.size() == 4) {
        const apps::LauncherItem item{kind_of(args[1]), args[2], args[3]};
        platform.write_out(std::string("launched ") + (apps::launch_item(platform, item) ? "true" : "false") + "\n");
    } else if (command == "browser") {
        platform.write_out("browser " + apps::default_browser_path(platform).value_or("none") + "\n");
    } else if (command == "path") {
        platform.write_out("path " + apps::webapps_path(platform) + "\n");
    } else if (command == "append" && args.size() == 3) {
        platform.write_out(status_line(apps::append_web_app(platform, {args[1], args[2]})));
    } else if (command == "remove" && args.size() == 3) {
        platform.write_out(status_line(apps::remove_web_app(platform, {apps::ItemKind::Web, args[2], args[1]})));
    } else {
        platform.write_out("unknown " + line + "\n");
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    win::Win32Platform platform;
    // As the daemon's main thread does: the shell runs in this apartment.
    platform.com_initialize_apartment();
    for_each_command([&](const std::string& line) { run(platform, line); });
    return 0;
}
