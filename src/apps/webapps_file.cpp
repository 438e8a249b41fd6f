#include "apps/webapps_file.h"

#include <optional>

#include "text/unicode.h"
#include "text/utf8.h"

namespace apps {
namespace {

std::string join(std::string base, std::string_view name) {
    if (!base.empty() && base.back() != '\\' && base.back() != '/') base.push_back('\\');
    base.append(name);
    return base;
}

std::string parent_of(const std::string& path) {
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// Lines split at "\n", each without one trailing "\r"; a final line break
// does not start another line. A byte-order mark, which some editors put
// at the start, is not text of the first line.
std::vector<std::string_view> split_lines(std::string_view text) {
    if (text.starts_with(BYTE_ORDER_MARK)) text.remove_prefix(BYTE_ORDER_MARK.size());
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
    }
    return lines;
}

std::optional<LauncherItem> parse_line(std::string_view line) {
    line = text::trim(line);
    if (line.empty() || line.front() == '#') return std::nullopt;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view name = text::trim(line.substr(0, eq));
    const std::string_view address = text::trim(line.substr(eq + 1));
    if (name.empty() || !has_web_scheme(address)) return std::nullopt;
    return LauncherItem{ItemKind::Web, std::string(address), std::string(name)};
}

// The file as UTF-8 text; nothing when it does not exist. A file in some
// other encoding is an error, so that no edit rewrites (and loses) it.
win::Result<std::optional<std::string>> read_text(win::Platform& platform, const std::string& path) {
    auto data = platform.read_file(path);
    if (!data) return data.error();
    if (data.value() && !text::is_valid_utf8(*data.value())) {
        return win::Error{win::ERR_INVALID_DATA, path + " is not UTF-8 text; it was left unchanged"};
    }
    return data;
}

}  // namespace

const std::string_view WEBAPPS_HEADER =
    "# Quilt web apps. One per line:  Name = https://address\n"
    "# They appear in the launcher (Win+Space) and open as frameless windows.\n"
    "# Lines starting with # are ignored.\n"
    "#\n"
    "# Mail = https://mail.google.com\n"
    "# Calendar = https://calendar.google.com\n";

std::string webapps_path(win::Platform& platform) {
    const auto appdata = platform.get_env("APPDATA");
    return join(join(appdata ? *appdata : platform.temp_dir(), "quilt"), "webapps.txt");
}

std::vector<LauncherItem> read_web_apps(std::string_view text) {
    std::vector<LauncherItem> items;
    for (std::string_view line : split_lines(text)) {
        if (auto item = parse_line(line)) items.push_back(std::move(*item));
    }
    return items;
}

std::vector<LauncherItem> load_web_apps(win::Platform& platform) {
    const std::string path = webapps_path(platform);
    auto data = platform.read_file(path);
    if (!data) return {};
    if (!data.value()) {
        // When the creation fails (somebody made the file just now, a
        // read-only folder), the catalogue simply has no web apps this time.
        (void)platform.create_directories(parent_of(path));
        (void)platform.create_new_file(path, WEBAPPS_HEADER);
        return {};
    }
    if (!text::is_valid_utf8(*data.value())) return {};
    return read_web_apps(*data.value());
}

win::Status append_web_app(win::Platform& platform, const WebApp& app) {
    const std::string path = webapps_path(platform);
    if (auto made = platform.create_directories(parent_of(path)); !made) return made.error();
    auto existing = read_text(platform, path);
    if (!existing) return existing.error();
    std::string text = existing.value() ? std::move(*existing.value()) : std::string(WEBAPPS_HEADER);
    if (!text.empty() && text.back() != '\n') text.push_back('\n');
    text += app.name + " = " + app.address + "\n";
    return platform.replace_file(path, text);
}

win::Status remove_web_app(win::Platform& platform, const LauncherItem& item) {
    const std::string path = webapps_path(platform);
    auto existing = read_text(platform, path);
    if (!existing) return existing.error();
    if (!existing.value()) return win::Error{win::ERR_FILE_NOT_FOUND, platform.error_text(win::ERR_FILE_NOT_FOUND)};
    // The file's mark stays the file's. A line that starts with the same
    // character (two marked files joined) and becomes the first one needs a
    // mark in front too, or the next read would take its first character.
    std::string text;
    const bool marked = existing.value()->starts_with(BYTE_ORDER_MARK);
    bool removed = false;
    for (std::string_view line : split_lines(*existing.value())) {
        if (!removed) {
            const auto entry = parse_line(line);
            if (entry && entry->name == item.name && entry->target == item.target) {
                removed = true;
                continue;
            }
        }
        text.append(line);
        text.push_back('\n');
    }
    if (marked || text.starts_with(BYTE_ORDER_MARK)) text.insert(0, BYTE_ORDER_MARK);
    return platform.replace_file(path, text);
}

}  // namespace apps
