// The launcher's keys, characters and mouse in any order, carried out on a
// simulated desktop as the window procedure does.
//
// Input: an item count, the items (a kind byte and a name up to a NUL), then
// one event after another, each an event byte and its arguments.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "apps/webapps_file.h"
#include "fuzz_input.h"
#include "launcher/launcher.h"
#include "launcher/search.h"
#include "sim_desktop.h"
#include "text/utf8.h"

namespace {

using apps::ItemKind;
using apps::LauncherItem;
using launcher::LauncherCommand;
using launcher::LauncherMode;
using launcher::LauncherState;
using launcher::SelectionArea;

constexpr std::array<std::uint16_t, 8> KEYS = {win::KEY_RETURN,   win::KEY_ESCAPE,      win::KEY_ARROW_LEFT,
                                               win::KEY_ARROW_UP, win::KEY_ARROW_RIGHT, win::KEY_ARROW_DOWN,
                                               win::KEY_DELETE,   win::KEY_SPACE};

bool listed(const std::vector<LauncherItem>& list, const LauncherItem& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// What holds after every event: the selection names a row or a tile that is
// there, and every list and mode agrees with the others.
void check_state(const LauncherState& s) {
    FUZZ_CHECK(s.results.size() <= launcher::MAX_RESULTS && s.tiles.size() <= launcher::MAX_TILES);
    for (const auto& r : s.results) FUZZ_CHECK(listed(s.items, r));
    for (const auto& t : s.tiles) FUZZ_CHECK(t.kind == ItemKind::Web && listed(s.items, t));
    if (s.selection.area == SelectionArea::ResultList) {
        FUZZ_CHECK(s.selection.index < s.results.size());
    } else {
        FUZZ_CHECK(s.selection.index <= s.tiles.size());  // the tile count is the Add tile
    }
    FUZZ_CHECK((s.mode == LauncherMode::ConfirmRemove) == s.pending_removal.has_value());
    if (s.pending_removal) FUZZ_CHECK(s.pending_removal->kind == ItemKind::Web && listed(s.items, *s.pending_removal));
    if (s.error_line) FUZZ_CHECK(s.mode == LauncherMode::AddWebApp);
    if (s.remove_hovered) FUZZ_CHECK(s.hovered_tile.has_value());
    FUZZ_CHECK(text::is_valid_utf8(s.query));
}

// A command may only name what the launcher showed or asked about.
void check_command(const LauncherState& s, const LauncherCommand& c) {
    switch (c.kind) {
        case LauncherCommand::Kind::Launch: FUZZ_CHECK(listed(s.results, c.item) || listed(s.tiles, c.item)); break;
        case LauncherCommand::Kind::RemoveWebApp:
            FUZZ_CHECK(s.pending_removal == c.item && listed(s.items, c.item));
            break;
        case LauncherCommand::Kind::SaveWebApp:
            FUZZ_CHECK(!c.web_app.name.empty() && apps::has_web_scheme(c.web_app.address));
            break;
        default: break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in{data, size};
    sim::Desktop d;
    d.add_monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true);
    d.env["APPDATA"] = "C:\\Users\\u\\AppData\\Roaming";
    d.https_executable = u"C:\\Program Files\\Browser\\browser.exe";
    launcher::Launcher l;
    l.window = d.add_window({});

    const std::size_t count = fuzz::take_byte(in) % 12;
    for (std::size_t i = 0; i < count; ++i) {
        const auto kind = static_cast<ItemKind>(fuzz::take_byte(in) % 3);
        std::string name = fuzz::take_text(in, 32);
        if (!text::is_valid_utf8(name)) name = "item";
        const auto target = kind == ItemKind::EditWebApps ? std::nullopt
                            : kind == ItemKind::Web
                                ? std::optional<std::string>("https://" + std::to_string(i) + ".example")
                                : std::optional<std::string>("app" + std::to_string(i));
        l.state.items.push_back({kind, target, name});
    }

    for (int events = 0; !fuzz::exhausted(in) && events < 256; ++events) {
        LauncherState& s = l.state;
        if (!s.visible) launcher::show_launcher(d, l, {0, 0, 1920, 1040});
        check_state(s);
        const std::uint8_t op = fuzz::take_byte(in);
        const auto x = static_cast<std::int32_t>(fuzz::take_byte(in)) * 3 - 50;
        LauncherCommand c;
        switch (op % 8) {
            case 0: c = launcher::key_down(s, KEYS[fuzz::take_byte(in) % KEYS.size()]); break;
            case 1: c = launcher::key_down(s, fuzz::take<std::uint16_t>(in)); break;
            case 2: c = launcher::type_char(s, fuzz::take<std::uint16_t>(in)); break;
            case 3: c = launcher::type_char(s, static_cast<std::uint16_t>(0x20 + fuzz::take_byte(in) % 0x60)); break;
            case 4: c = launcher::click(s, x, static_cast<std::int32_t>(fuzz::take_byte(in)) * 2 - 40); break;
            case 5: launcher::update_hover(s, x, static_cast<std::int32_t>(fuzz::take_byte(in)) * 2 - 40); break;
            case 6: launcher::leave_window(s); break;
            case 7: c = launcher::ask_removal(s, fuzz::take_byte(in) % 8); break;
        }
        check_state(s);
        check_command(s, c);
        // A removed web app leaves the list at once, one copy of it only.
        const bool removal = c.kind == LauncherCommand::Kind::RemoveWebApp;
        const bool leaves = c.kind == LauncherCommand::Kind::Close || c.kind == LauncherCommand::Kind::Launch ||
                            c.kind == LauncherCommand::Kind::SaveWebApp;
        const LauncherItem gone = c.item;
        const auto copies = std::count(s.items.begin(), s.items.end(), gone);
        const std::size_t items_before = s.items.size();
        launcher::execute_command(d, l, std::move(c));
        if (removal) {
            FUZZ_CHECK(s.items.size() + 1 == items_before);
            FUZZ_CHECK(std::count(s.items.begin(), s.items.end(), gone) + 1 == copies);
            FUZZ_CHECK(s.mode == LauncherMode::Search);
        }
        FUZZ_CHECK(s.visible != leaves);
        if (s.visible) check_state(s);
    }
    return 0;
}
