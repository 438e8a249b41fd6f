// webapps.txt as a user's editor, a joined copy or a legacy code page can
// leave it: read, then one entry removed and one appended, on the simulated
// file system.
//
// Input: one byte that picks the entry to remove, one byte of flags, the
// typed text of the web app to append up to a NUL, then the file's bytes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "apps/webapps_file.h"
#include "fuzz_input.h"
#include "sim_desktop.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace {

using apps::LauncherItem;

const std::string FOLDER = "C:\\Users\\u\\AppData\\Roaming\\quilt";
const std::string PATH = FOLDER + "\\webapps.txt";
constexpr std::string_view MARK = "\xEF\xBB\xBF";

std::size_t line_count(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

LauncherItem web(const std::string& name, const std::string& address) {
    return LauncherItem{apps::ItemKind::Web, address, name};
}

// What the launcher's box can hold: characters typed one by one, no controls.
bool typeable(std::string_view s) {
    if (!text::is_valid_utf8(s)) return false;
    for (std::size_t i = 0; i < s.size();) {
        const text::Decoded d = text::decode_at(s, i);
        if (d.code < 0x20 || (d.code >= 0x7F && d.code <= 0x9F) || d.code > 0xFFFF) return false;
        i += d.length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in{data, size};
    const std::uint8_t pick = fuzz::take_byte(in);
    const std::uint8_t flags = fuzz::take_byte(in);
    const std::string typed = fuzz::take_text(in);
    const std::string text(fuzz::rest(in));
    const bool utf8 = text::is_valid_utf8(text);

    const std::vector<LauncherItem> entries = apps::read_web_apps(text);
    for (const auto& e : entries) {
        FUZZ_CHECK(e.kind == apps::ItemKind::Web && e.target && apps::has_web_scheme(*e.target));
        FUZZ_CHECK(!e.name.empty() && e.name.front() != '#' && e.name.find('=') == std::string::npos);
        FUZZ_CHECK(text::trim(e.name) == e.name && text::trim(*e.target) == *e.target);
    }

    sim::Desktop d;
    d.env["APPDATA"] = "C:\\Users\\u\\AppData\\Roaming";
    FUZZ_CHECK(d.create_directories(FOLDER).ok());

    // Removing one entry keeps every other one as it read before, and the
    // file's mark with them. A name with "=" never reads from a line, so
    // removing it only rewrites, which again keeps every line and entry.
    const LauncherItem none = web("no = such", "https://none.example");
    const LauncherItem gone = entries.empty() || pick == 0xFF ? none : entries[pick % entries.size()];
    d.files[PATH] = text;
    const bool removed = apps::remove_web_app(d, gone).ok();
    FUZZ_CHECK(removed == utf8);
    if (!utf8) {
        FUZZ_CHECK(d.files.at(PATH) == text);
    } else {
        std::vector<LauncherItem> expected = entries;
        if (const auto it = std::find(expected.begin(), expected.end(), gone); it != expected.end()) expected.erase(it);
        const std::string after = d.files.at(PATH);
        FUZZ_CHECK(apps::read_web_apps(after) == expected);
        if (text.starts_with(MARK)) FUZZ_CHECK(after.starts_with(MARK));
        FUZZ_CHECK(apps::remove_web_app(d, none).ok());
        FUZZ_CHECK(apps::read_web_apps(d.files.at(PATH)) == expected);
        FUZZ_CHECK(line_count(d.files.at(PATH)) == line_count(after));
    }

    // Appending adds at most the one entry after all the others, and that
    // entry reads back as saved unless its name starts a comment, or it is the
    // first line of an empty file and starts with the character of the mark.
    const auto app = typeable(typed) ? apps::parse_web_address(typed) : std::nullopt;
    if (!app) return 0;
    const bool missing = (flags & 1) != 0;
    if (missing) {
        d.files.erase(PATH);
    } else {
        d.files[PATH] = text;
    }
    const bool appended = apps::append_web_app(d, *app).ok();
    FUZZ_CHECK(appended == (missing || utf8));
    if (!appended) {
        FUZZ_CHECK(d.files.at(PATH) == text);
        return 0;
    }
    const std::vector<LauncherItem> before = missing ? std::vector<LauncherItem>{} : entries;
    const std::vector<LauncherItem> now = apps::read_web_apps(d.files.at(PATH));
    FUZZ_CHECK(now.size() >= before.size() && now.size() <= before.size() + 1);
    FUZZ_CHECK(std::equal(before.begin(), before.end(), now.begin()));
    const bool reads_as_saved =
        app->name.front() != '#' && !(!missing && text.empty() && std::string_view(app->name).starts_with(MARK));
    if (reads_as_saved) FUZZ_CHECK(now.size() == before.size() + 1 && now.back() == web(app->name, app->address));
    return 0;
}
