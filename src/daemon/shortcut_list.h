// The list of shortcuts that the overlay shows and the daemon prints at start,
// read from the shortcut table: one line per keys and description, in the
// table's order, under the heading of its section.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quilt_daemon {

struct ShortcutRow {
    std::vector<std::string_view> keys;  // one cap each
    std::string_view description;
};

struct ShortcutSection {
    std::string_view heading;
    std::vector<ShortcutRow> rows;
};

const std::vector<ShortcutSection>& shortcut_sections();

// One line per row: two spaces, the keys joined with " + " in 22 characters, the description.
std::string format_shortcut_list();

}  // namespace quilt_daemon
