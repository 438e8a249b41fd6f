#include "apps/launch.h"

#include "apps/webapps_file.h"
#include "text/unicode.h"

namespace apps {

bool shell_open(win::Platform& platform, const std::string& file, const std::optional<std::string>& parameters,
                const std::optional<std::string>& directory) {
    return platform.shell_execute(file, parameters, directory);
}

std::optional<std::string> default_browser_path(win::Platform& platform) {
    const auto found = platform.assoc_executable("https", "open");
    if (!found || found.value().empty()) return std::nullopt;
    return text::utf16_to_utf8(found.value());
}

std::string_view file_stem(std::string_view path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
    const auto cut = path.find_last_of("\\/");
    std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
    if (name == "..") return name;
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

bool is_chromium_family(std::string_view stem) {
    for (std::string_view member : CHROMIUM_FAMILY) {
        if (text::equal_ascii_nocase(stem, member)) return true;
    }
    return false;
}

std::string web_app_parameters(std::string_view address) {
    std::string out = "--app=\"";
    for (char c : address) {
        if (c == '"') {
            out += "%22";
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
    return out;
}

bool launch_item(win::Platform& platform, const LauncherItem& item) {
    switch (item.kind) {
        case ItemKind::App:
            return shell_open(platform, "shell:AppsFolder\\" + item.target.value_or(""), std::nullopt, std::nullopt);
        case ItemKind::EditWebApps: return shell_open(platform, webapps_path(platform), std::nullopt, std::nullopt);
        case ItemKind::Web: break;
    }
    const std::string parameters = web_app_parameters(item.target.value_or(""));
    // Only the Chromium family opens "--app=" as a frameless window; any other
    // default browser would open a plain tab, so the fallback is used instead.
    if (const auto browser = default_browser_path(platform); browser && is_chromium_family(file_stem(*browser))) {
        return shell_open(platform, *browser, parameters, std::nullopt);
    }
    return shell_open(platform, std::string(FALLBACK_BROWSER), parameters, std::nullopt);
}

}  // namespace apps
