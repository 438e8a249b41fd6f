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

std::string parent_of(const std::string& path) {
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
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

std::vector<LauncherItem> build_catalogue(win::Platform& platform) {
    platform.com_initialize_apartment();

    const std::string path = webapps_path(platform);
    if (!platform.path_exists(path)) {
        // Creating the file shows the user where web apps go; when that fails
        // the catalogue simply has none.
        (void)platform.create_directories(parent_of(path));
        (void)platform.replace_file(path, WEBAPPS_HEADER);
    }
    std::vector<LauncherItem> catalogue;
    if (auto data = platform.read_file(path); data && data.value() && text::is_valid_utf8(*data.value())) {
        catalogue = read_web_apps(*data.value());
    }

    if (auto folder = platform.enum_apps_folder()) {
        auto apps = installed_apps(folder.value());
        catalogue.insert(catalogue.end(), std::make_move_iterator(apps.begin()), std::make_move_iterator(apps.end()));
    }
    catalogue.push_back(LauncherItem{ItemKind::EditWebApps, std::nullopt, EDIT_WEB_APPS_NAME});
    return catalogue;
}

}  // namespace apps
