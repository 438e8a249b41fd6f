#include "daemon/shortcut_list.h"

#include "text/format.h"

namespace quilt_daemon {

const std::vector<ShortcutSection>& shortcut_sections() {
    static const std::vector<ShortcutSection> sections = {
        {"WINDOWS",
         {
             {{"Win", "Arrows"}, "Focus the tile in that direction"},
             {{"Win", "Shift", "Arrows"}, "Swap the focused window that way"},
             {{"Win", "-", "="}, "Adjust window width"},
             {{"Win", "Shift", "-", "="}, "Adjust window height"},
             {{"Win", "F"}, "Fullscreen the focused window, or back"},
             {{"Drag onto a tile"}, "Move the window there"},
             {{"Win", "W"}, "Close the focused window"},
         }},
        {"DESKTOPS",
         {
             {{"Win", "1 - 9"}, "Go to that desktop"},
             {{"Win", "Shift", "1 - 9"}, "Take the focused window there"},
         }},
        {"LAUNCH",
         {
             {{"Win", "Space"}, "Search apps and web apps"},
             {{"Win", "Enter"}, "Open a terminal"},
             {{"Win", "Shift", "B"}, "Open a browser window"},
         }},
        {"QUILT",
         {
             {{"Hold Win"}, "Show this list"},
             {{"Win", "Shift", "Esc"}, "Stop and put every window back"},
         }},
    };
    return sections;
}

std::string format_shortcut_list() {
    std::string out;
    for (const auto& section : shortcut_sections()) {
        for (const auto& row : section.rows) {
            std::string keys;
            for (const auto& k : row.keys) {
                if (!keys.empty()) keys += " + ";
                keys += k;
            }
            out += "  " + text::pad_right(keys, 22) + " " + std::string(row.description) + "\n";
        }
    }
    return out;
}

}  // namespace quilt_daemon
