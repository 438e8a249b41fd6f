#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "daemon/lifecycle.h"
#include "daemon/shortcut_list.h"
#include "daemon/shortcuts.h"

namespace {

using namespace quilt_daemon;

std::string joined(const std::vector<std::string_view>& caps) {
    std::string out;
    for (const auto cap : caps) {
        EXPECT_FALSE(cap.empty());
        out += (out.empty() ? "" : " + ") + std::string(cap);
    }
    return out;
}

struct Line {
    std::string_view heading;
    std::string keys;
    std::string_view description;
};

std::vector<Line> listed_lines() {
    std::vector<Line> lines;
    for (const auto& section : shortcut_sections()) {
        for (const auto& row : section.rows) lines.push_back({section.heading, joined(row.keys), row.description});
    }
    return lines;
}

TEST(ShortcutList, EveryRowOfTheTableIsListedOnceUnderItsSectionInTableOrder) {
    const auto lines = listed_lines();
    std::set<std::string_view> headings;
    for (const auto& section : shortcut_sections()) {
        EXPECT_FALSE(section.rows.empty()) << section.heading;
        EXPECT_TRUE(headings.insert(section.heading).second) << section.heading << " twice";
    }
    std::map<Section, std::string_view> heading_of;
    std::vector<bool> used(lines.size(), false);
    std::size_t previous = 0;
    for (const Shortcut& row : SHORTCUTS) {
        SCOPED_TRACE(row.keys);
        std::vector<std::size_t> at;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].keys == row.keys && lines[i].description == row.description) at.push_back(i);
        }
        ASSERT_EQ(at.size(), 1u);
        EXPECT_GE(at[0], previous) << "listed out of the table's order";
        previous = at[0];
        used[at[0]] = true;
        // One heading per section, and a different one for each.
        const auto [known, added] = heading_of.insert({row.section, lines[at[0]].heading});
        EXPECT_EQ(known->second, lines[at[0]].heading);
    }
    EXPECT_EQ(std::count(used.begin(), used.end(), false), 0) << "a line no row of the table asks for";
    EXPECT_EQ(heading_of.size(), headings.size());
}

TEST(ShortcutList, TheStartTextIsTheRunningLineThenOneAlignedLinePerListedRow) {
    const std::string text = start_text();
    const std::string running = "Quilt is running. Stop it from its tray icon, or with Ctrl+C here.\n";
    ASSERT_EQ(text.rfind(running, 0), 0u);
    std::vector<std::string> printed;
    std::string rest = text.substr(running.size());
    for (std::size_t end; (end = rest.find('\n')) != std::string::npos; rest.erase(0, end + 1)) {
        printed.push_back(rest.substr(0, end));
    }
    EXPECT_EQ(rest, "") << "the text ends with a line break";

    const auto lines = listed_lines();
    ASSERT_EQ(printed.size(), lines.size());
    std::set<std::size_t> description_columns;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = printed[i];
        SCOPED_TRACE(line);
        const std::string keys = "  " + lines[i].keys + " ";
        EXPECT_EQ(line.rfind(keys, 0), 0u);
        ASSERT_GE(line.size(), keys.size() + lines[i].description.size());
        const std::size_t column = line.size() - lines[i].description.size();
        EXPECT_EQ(line.substr(column), lines[i].description);
        EXPECT_EQ(line.find_first_not_of(' ', keys.size()), column) << "only spaces between keys and description";
        description_columns.insert(column);
    }
    EXPECT_EQ(description_columns.size(), 1u) << "the descriptions start in one column";
}

}  // namespace
