#include "daemon/shortcut_list.h"

#include "daemon/shortcuts.h"
#include "text/format.h"

namespace quilt_daemon {

namespace {

constexpr std::string_view CAP_SEPARATOR = " + ";

std::string_view heading_of(Section section) {
    switch (section) {
        case Section::Windows: return "WINDOWS";
        case Section::Desktops: return "DESKTOPS";
        case Section::Launch: return "LAUNCH";
        case Section::Quilt: return "QUILT";
    }
    return {};
}

std::vector<std::string_view> caps_of(std::string_view keys) {
    std::vector<std::string_view> caps;
    for (;;) {
        const auto at = keys.find(CAP_SEPARATOR);
        caps.push_back(keys.substr(0, at));
        if (at == std::string_view::npos) return caps;
        keys.remove_prefix(at + CAP_SEPARATOR.size());
    }
}

std::vector<ShortcutSection> sections_of_table() {
    std::vector<ShortcutSection> sections;
    const Shortcut* previous = nullptr;
    for (const Shortcut& s : SHORTCUTS) {
        const std::string_view heading = heading_of(s.section);
        if (sections.empty() || sections.back().heading != heading) sections.push_back({heading, {}});
        const bool same_line = previous != nullptr && previous->section == s.section && previous->keys == s.keys &&
                               previous->description == s.description;
        if (!same_line) sections.back().rows.push_back({caps_of(s.keys), s.description});
        previous = &s;
    }
    return sections;
}

}  // namespace

const std::vector<ShortcutSection>& shortcut_sections() {
    static const std::vector<ShortcutSection> sections = sections_of_table();
    return sections;
}

std::string format_shortcut_list() {
    std::string out;
    for (const auto& section : shortcut_sections()) {
        for (const auto& row : section.rows) {
            std::string keys;
            for (const auto& k : row.keys) {
                if (!keys.empty()) keys += CAP_SEPARATOR;
                keys += k;
            }
            out += "  " + text::pad_right(keys, 22) + " " + std::string(row.description) + "\n";
        }
    }
    return out;
}

}  // namespace quilt_daemon
