#include "apps/catalogue.h"

#include <algorithm>
#include <numeric>

#include "apps/webapps_file.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace apps {
namespace {

// A name with an unpaired surrogate is not a name the launcher could show
// or start: the item is skipped rather than shown with a replacement mark.
std::optional<std::string> strict_utf8(const std::optional<std::u16string>& text) {
    if (!text) return std::nullopt;
    const std::u16string& s = *text;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] >= 0xD800 && s[i] <= 0xDBFF) {
            if (i + 1 >= s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF) return std::nullopt;
            ++i;
        } else if (s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
            return std::nullopt;
        }
    }
    return text::utf16_to_utf8(s);
}

std::string_view last_component(std::string_view id) {
    const auto cut = id.find_last_of("\\/");
    return cut == std::string_view::npos ? id : id.substr(cut + 1);
}

// Classic installers put their uninstallers into the Start menu too.
bool is_uninstaller(const std::string& name, const std::string& id) {
    return text::to_lower(name).find("uninstall") != std::string::npos ||
           text::to_lower(last_component(id)).starts_with("unins");
}

}  // namespace

std::vector<LauncherItem> installed_apps(const std::vector<win::ShellItemNames>& folder) {
    std::vector<LauncherItem> found;
    for (const auto& entry : folder) {
        auto name = strict_utf8(entry.display_name);
        auto id = strict_utf8(entry.parsing_name);
        if (!name || !id || is_uninstaller(*name, *id)) continue;
        found.push_back(LauncherItem{ItemKind::App, std::move(*id), std::move(*name)});
    }

    std::vector<std::string> keys;
    keys.reserve(found.size());
    for (const auto& item : found) keys.push_back(text::to_lower(item.name));
    std::vector<std::size_t> order(found.size());
    std::iota(order.begin(), order.end(), 0);
    // std::string compares as unsigned bytes (char_traits<char>::compare), the
    // shorter first when one is a prefix of the other.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });

    std::vector<LauncherItem> apps;
    for (std::size_t i : order) {
        if (!apps.empty() && text::equal_ascii_nocase(apps.back().name, found[i].name)) continue;
        apps.push_back(std::move(found[i]));
    }
    return apps;
}

std::vector<LauncherItem> read_installed_apps(win::Platform& platform) {
    auto folder = platform.enum_apps_folder();
    if (!folder) return {};
    return installed_apps(folder.value());
}

std::vector<LauncherItem> catalogue_of(std::vector<LauncherItem> web_apps, const std::vector<LauncherItem>& installed) {
    web_apps.insert(web_apps.end(), installed.begin(), installed.end());
    web_apps.push_back(LauncherItem{ItemKind::EditWebApps, std::nullopt, EDIT_WEB_APPS_NAME});
    return web_apps;
}

std::vector<LauncherItem> build_catalogue(win::Platform& platform) {
    return catalogue_of(load_web_apps(platform), read_installed_apps(platform));
}

}  // namespace apps
