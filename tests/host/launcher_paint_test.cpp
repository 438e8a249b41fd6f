#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <type_traits>
#include <unordered_set>
#include <utility>

#include "launcher/geometry.h"
#include "launcher/input.h"
#include "launcher/launcher_paint.h"
#include "launcher/search.h"

namespace {

using apps::ItemKind;
using apps::LauncherItem;
using namespace launcher;
using namespace paint;

LauncherItem web(std::string name, std::string address) { return {ItemKind::Web, std::move(address), std::move(name)}; }
const LauncherItem EDIT{ItemKind::EditWebApps, std::nullopt, "Edit web apps"};

// Every character of the query line is 10 pixels wide, of the others 6.
Painter painter_at(std::uint32_t dpi) {
    return Painter{dpi,
                   [](FontSlot font, std::string_view t) {
                       return static_cast<std::int32_t>(t.size()) * (font == FontSlot::Heading ? 10 : 6);
                   },
                   {}};
}

LauncherState state_with(std::vector<LauncherItem> items, LauncherMode mode = LauncherMode::Search) {
    LauncherState s;
    s.items = std::move(items);
    set_mode(s, mode);
    return s;
}

std::vector<LauncherItem> web_apps(std::size_t n) {
    std::vector<LauncherItem> items;
    for (std::size_t i = 0; i < n; ++i) {
        items.push_back(web("App" + std::to_string(i), "https://app" + std::to_string(i) + ".example"));
    }
    items.push_back(EDIT);
    return items;
}

template <typename Op>
std::vector<Op> ops_of(const DisplayList& list) {
    std::vector<Op> out;
    for (const auto& op : list.ops) {
        if (const auto* o = std::get_if<Op>(&op)) out.push_back(*o);
    }
    return out;
}

const TextRun* find_text(const std::vector<TextRun>& runs, std::string_view text) {
    for (const auto& r : runs) {
        if (r.text == text) return &r;
    }
    return nullptr;
}

// Where the mouse is tested for a place of geometry.h, in pixels.
PixelRect at_dpi(DesignRect r, std::uint32_t dpi) {
    return {scale(r.left, dpi), scale(r.top, dpi), scale(r.right, dpi), scale(r.bottom, dpi)};
}

bool inside(PixelRect r, PixelRect area) {
    return area.left <= r.left && r.left <= r.right && r.right <= area.right && area.top <= r.top &&
           r.top <= r.bottom && r.bottom <= area.bottom;
}

bool inside(RoundedBox b, PixelRect area) {
    return static_cast<float>(area.left) <= b.x && b.x + b.width <= static_cast<float>(area.right) &&
           static_cast<float>(area.top) <= b.y && b.y + b.height <= static_cast<float>(area.bottom);
}

// Both centres within a pixel of each other.
bool centred_in(PixelRect r, PixelRect area) {
    return std::abs((r.left + r.right) - (area.left + area.right)) <= 2 &&
           std::abs((r.top + r.bottom) - (area.top + area.bottom)) <= 2;
}

TEST(LauncherPaint, EveryModeDrawsInsideTheWindowAndEachTileCaptionInItsOwnTile) {
    for (const std::uint32_t dpi : {96u, 144u}) {
        const PixelRect client{0, 0, scale(WINDOW_WIDTH, dpi), scale(WINDOW_HEIGHT, dpi)};
        for (const std::size_t count : {0u, 1u, 5u, 6u}) {
            for (const auto mode : {LauncherMode::Search, LauncherMode::AddWebApp, LauncherMode::ConfirmRemove}) {
                SCOPED_TRACE(std::to_string(count) + " web apps at " + std::to_string(dpi) + ", mode " +
                             std::to_string(static_cast<int>(mode)));
                Painter p = painter_at(dpi);
                LauncherState s = state_with(web_apps(count));
                if (mode == LauncherMode::ConfirmRemove) {
                    if (count == 0) continue;
                    ask_removal(s, 0);
                } else {
                    set_mode(s, mode);
                }
                paint_launcher(p, s);
                for (const auto& op : p.list.ops) {
                    std::visit(
                        [&](const auto& o) {
                            using Op = std::decay_t<decltype(o)>;
                            if constexpr (std::is_same_v<Op, Logo>) {
                                EXPECT_TRUE(inside(PixelRect{o.x, o.y, o.x + o.size, o.y + o.size}, client));
                            } else if constexpr (std::is_same_v<Op, RoundedFill> ||
                                                 std::is_same_v<Op, RoundedOutline>) {
                                EXPECT_TRUE(inside(o.box, client));
                            } else {
                                EXPECT_TRUE(inside(o.rect, client));
                            }
                        },
                        op);
                }
                if (mode != LauncherMode::Search) continue;

                // The strip: at most five web apps, then the Add tile; each
                // caption centred inside the tile the mouse is tested on.
                const std::size_t shown = std::min<std::size_t>(count, 5);
                std::vector<std::pair<std::string, PixelRect>> tiles;
                for (std::size_t i = 0; i < shown; ++i) tiles.push_back({s.items[i].name, at_dpi(tile_rect(i), dpi)});
                const PixelRect add = at_dpi(add_tile_rect(shown), dpi);
                tiles.push_back({shown == 0 ? "Add web app" : "Add", add});
                const auto runs = ops_of<TextRun>(p.list);
                std::int32_t previous_right = 0;
                for (const auto& [caption, tile] : tiles) {
                    SCOPED_TRACE(caption);
                    EXPECT_GE(tile.left, previous_right) << "tiles do not overlap";
                    previous_right = tile.right;
                    const auto in_tile = std::count_if(runs.begin(), runs.end(), [&](const TextRun& r) {
                        return r.text == caption && inside(r.rect, tile) && r.format == TextFormat::Center &&
                               (r.rect.left - tile.left) == (tile.right - r.rect.right);
                    });
                    EXPECT_EQ(in_tile, 1);
                }
                // The Add tile's plus box is centred in it.
                const auto outlines = ops_of<RoundedOutline>(p.list);
                EXPECT_EQ(std::count_if(outlines.begin(), outlines.end(),
                                        [&](const RoundedOutline& o) {
                                            const RoundedBox& b = o.box;
                                            return inside(b, add) &&
                                                   std::abs(2 * b.x + b.width -
                                                            static_cast<float>(add.left + add.right)) <= 2;
                                        }),
                          1);
            }
        }
    }
}

TEST(LauncherPaint, TheCaretFollowsTheQueryAndStopsAtTheBoxEnd) {
    struct CaretCase {
        std::uint32_t dpi;
        LauncherMode mode;
        std::string query;
        PixelRect caret;
    };
    for (const auto& c : std::initializer_list<CaretCase>{
             {96, LauncherMode::Search, "", {34, 32, 36, 52}},
             {96, LauncherMode::Search, "abc", {64, 32, 66, 52}},
             {96, LauncherMode::AddWebApp, std::string(49, 'x'), {524, 32, 526, 52}},
             {96, LauncherMode::Search, std::string(60, 'x'), {526, 32, 526, 52}},
             {144, LauncherMode::Search, "abc", {81, 48, 84, 78}},
             {144, LauncherMode::Search, std::string(80, 'x'), {789, 48, 789, 78}},
             {96, LauncherMode::ConfirmRemove, "", {34, 32, 36, 52}},
         }) {
        Painter p = painter_at(c.dpi);
        LauncherState s = state_with({EDIT}, c.mode);
        s.query = c.query;
        paint_launcher(p, s);
        const auto fills = ops_of<RectFill>(p.list);
        const auto caret =
            std::find_if(fills.begin(), fills.end(), [](const RectFill& f) { return f.colour == PALETTE.accent; });
        ASSERT_NE(caret, fills.end());
        EXPECT_EQ(caret->rect, c.caret) << c.query.size() << " characters at " << c.dpi;
        // The box shows the query, else the mode's placeholder; ConfirmRemove has none.
        const auto runs = ops_of<TextRun>(p.list);
        const TextRun* line = runs.empty() ? nullptr : &runs.front();
        const std::string shown = line && line->font == FontSlot::Heading ? line->text : "";
        const std::string expected = !c.query.empty()                    ? c.query
                                     : c.mode == LauncherMode::Search    ? "Search apps and web apps"
                                     : c.mode == LauncherMode::AddWebApp ? "Web address, or Name = address"
                                                                         : "";
        EXPECT_EQ(shown, expected);
    }
}

TEST(LauncherPaint, RowsCarryIconBadgeAndNameAndTheSelectionIsHighlighted) {
    Painter p = painter_at(96);
    LauncherState s = state_with({web("\xC3\x9F"
                                      "eta",
                                      "https://beta.example"),
                                  web("(beta)", "https://b.example"),
                                  web("...", "https://dots.example"),
                                  {ItemKind::App, "Calc!App", "Calculator"},
                                  EDIT});
    s.selection = {SelectionArea::ResultList, 1};
    paint_launcher(p, s);
    const auto runs = ops_of<TextRun>(p.list);
    // Row 1 (top 112): highlighted, its name in the text colour from x 66 to 14 left of the badge.
    EXPECT_EQ(ops_of<RoundedFill>(p.list).front().box, rounded_box({20, 112, 540, 148}, 6));
    const TextRun* name = find_text(runs, "(beta)");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->colour, PALETTE.text);
    const std::int32_t badge_left = 540 - 16 - 3 * 6 - 14;  // "Web" is 18 pixels wide here
    EXPECT_EQ(name->rect, (PixelRect{66, 112, badge_left - 14, 148}));
    EXPECT_EQ(find_text(runs,
                        "\xC3\x9F"
                        "eta")
                  ->colour,
              PALETTE.text_soft);
    // Letter tiles: upper case by the full mapping, punctuation skipped, none for punctuation only.
    for (const auto& [letters, top] : {std::pair{"SS", 84}, std::pair{"B", 120}, std::pair{"C", 192}}) {
        const TextRun* run = find_text(runs, letters);
        ASSERT_TRUE(run) << letters;
        EXPECT_EQ(run->rect, (PixelRect{34, top, 54, top + 20})) << letters;
        EXPECT_EQ(run->font, FontSlot::Small);
    }
    EXPECT_EQ(ops_of<Chip>(p.list).size(), 1u + 4u + 3u);  // the box, four letter chips in rows, three in tiles
    // "Edit web apps": the logo and the badge "Quilt".
    EXPECT_EQ(ops_of<Logo>(p.list), (std::vector<Logo>{{34, 76 + 4 * 36 + 8, 20}}));
    const TextRun* quilt = find_text(runs, "Quilt");
    ASSERT_TRUE(quilt);
    EXPECT_EQ(quilt->rect, (PixelRect{540 - 16 - 30 - 14, 76 + 4 * 36 + 7, 526, 76 + 4 * 36 + 29}));
}

// A launcher whose icon thread is the test: requests stay in the queue, and
// results are put in by hand.
struct IconLauncher {
    std::shared_ptr<icons::IconQueues> queues = std::make_shared<icons::IconQueues>();
    LauncherState state;

    explicit IconLauncher(std::vector<LauncherItem> items) : state(state_with(std::move(items))) {
        state.icon_queues.emplace(queues, std::make_shared<icons::WakeToken>());
    }
    std::vector<std::string> paint_and_take_requests() {
        Painter p = painter_at(96);
        paint_launcher(p, state);
        std::vector<std::string> keys;
        for (const auto& r : std::exchange(queues->request_queue, {})) keys.push_back(r.key);
        return keys;
    }
};

// Rows: Mail, Inbox (the same site), Calculator, Local (no usable host), Edit
// web apps, Notes. Tiles: Mail, Inbox, Local, Notes, Wiki. Maps is in neither.
std::vector<LauncherItem> icon_catalogue() {
    return {web("Mail", "https://Mail.Example/inbox"),
            web("Inbox", "https://mail.example/other"),
            {ItemKind::App, "Calc!App", "Calculator"},
            web("Local", "https://intranet_host"),
            EDIT,
            web("Notes", "https://notes.example"),
            web("Wiki", "https://wiki.example"),
            web("Maps", "https://maps.example")};
}

TEST(LauncherIcons, EachPaintedEntryAsksForItsIconOnceAndOnlyWhenPainted) {
    IconLauncher l(icon_catalogue());
    struct Step {
        std::string query;
        std::vector<std::string> asked;
    };
    for (const auto& step : std::initializer_list<Step>{
             {"", {"site:mail.example", "app:Calc!App", "site:notes.example", "site:wiki.example"}},
             {"", {}},
             {"maps", {"site:maps.example"}},
             {"ma", {}},
         }) {
        l.state.query = step.query;
        refresh_results(l.state);
        EXPECT_EQ(l.paint_and_take_requests(), step.asked) << "query '" << step.query << "'";
    }
    EXPECT_EQ(l.state.icon_book.requested_icons,
              (std::unordered_set<std::string>{"site:mail.example", "app:Calc!App", "site:notes.example",
                                               "site:wiki.example", "site:maps.example"}));
    // The request carries what the loader needs.
    IconLauncher fresh({{ItemKind::App, "Calc!App", "Calculator"}, web("Mail", "https://Mail.Example/inbox")});
    Painter p = painter_at(96);
    paint_launcher(p, fresh.state);
    EXPECT_EQ(fresh.queues->request_queue,
              (std::vector<icons::IconRequest>{{icons::IconKind::App, "Calc!App", "app:Calc!App"},
                                               {icons::IconKind::Site, "mail.example", "site:mail.example"}}));
}

TEST(LauncherIcons, ArrivedImagesReplaceLetterTilesAndNotFoundIsNeverAskedAgain) {
    const win::ImageHandle mail{0x51}, wiki{0x52};
    struct Case {
        std::uint32_t dpi;
        bool icon_thread;
        std::vector<Image> images;
        std::vector<std::string> letters;  // letter tiles still drawn, rows then tiles
    };
    for (const auto& c : std::initializer_list<Case>{
             {96,
              true,
              {{mail, {34, 84, 54, 104}},
               {mail, {34, 120, 54, 140}},
               {mail, {44, 324, 76, 356}},
               {mail, {132, 324, 164, 356}},
               {wiki, {396, 324, 428, 356}}},
              {"C", "L", "N", "L", "N"}},
             {144,
              true,
              {{mail, {51, 126, 81, 156}},
               {mail, {51, 180, 81, 210}},
               {mail, {66, 486, 114, 534}},
               {mail, {198, 486, 246, 534}},
               {wiki, {594, 486, 642, 534}}},
              {"C", "L", "N", "L", "N"}},
             // Without an icon thread nothing is drawn from the book.
             {96, false, {}, {"M", "I", "C", "L", "N", "M", "I", "L", "N", "W"}},
         }) {
        IconLauncher l(icon_catalogue());
        (void)l.paint_and_take_requests();
        l.queues->result_queue = {
            {true, mail, "site:mail.example"}, {false, {}, "app:Calc!App"}, {true, wiki, "site:wiki.example"}};
        EXPECT_TRUE(icons::file_icon_results(l.state.icon_book, l.state.icon_queues->take_results()));
        if (!c.icon_thread) l.state.icon_queues.reset();

        Painter p = painter_at(c.dpi);
        paint_launcher(p, l.state);
        EXPECT_EQ(ops_of<Image>(p.list), c.images) << c.dpi;
        std::vector<std::string> letters;
        for (const auto& run : ops_of<TextRun>(p.list)) {
            if (run.text.size() == 1 && run.font == FontSlot::Small && run.colour == PALETTE.muted) {
                letters.push_back(run.text);
            }
        }
        EXPECT_EQ(letters, c.letters) << c.dpi;
        if (c.icon_thread) {
            // Calculator stays a letter tile for good; Notes is still on its way.
            EXPECT_TRUE(l.queues->request_queue.empty());
            EXPECT_EQ(l.state.icon_book.requested_icons, std::unordered_set<std::string>{"site:notes.example"});
        }
    }
}

TEST(LauncherPaint, AHoveredTileShowsItsRemoveCircle) {
    for (bool on_circle : {false, true}) {
        Painter p = painter_at(144);
        LauncherState s = state_with(web_apps(2));
        s.hovered_tile = 1;
        s.remove_hovered = on_circle;
        paint_launcher(p, s);
        // Drawn where the mouse is tested, a circle: radius half its width.
        const PixelRect place = at_dpi(remove_circle_rect(1), 144);
        const RoundedBox circle = rounded_box(place, (place.right - place.left) / 2);
        const auto fills = ops_of<RoundedFill>(p.list);
        EXPECT_NE(
            std::find(fills.begin(), fills.end(), RoundedFill{circle, on_circle ? PALETTE.danger : PALETTE.background}),
            fills.end());
        const auto outlines = ops_of<RoundedOutline>(p.list);
        EXPECT_NE(std::find(outlines.begin(), outlines.end(),
                            RoundedOutline{circle, on_circle ? PALETTE.danger : PALETTE.line}),
                  outlines.end());
        // The minus sign in the middle of the circle.
        const auto marks = ops_of<RectFill>(p.list);
        EXPECT_EQ(std::count_if(marks.begin(), marks.end(),
                                [&](const RectFill& f) {
                                    return f.colour == PALETTE.text && centred_in(f.rect, place) &&
                                           f.rect.right - f.rect.left > f.rect.bottom - f.rect.top;
                                }),
                  1);
    }
}

TEST(LauncherPaint, AddWebAppHintsAndTheRemovalQuestion) {
    Painter add = painter_at(96);
    LauncherState s = state_with(web_apps(1), LauncherMode::AddWebApp);
    s.error_line = NOT_A_WEB_ADDRESS;
    paint_launcher(add, s);
    std::vector<std::pair<std::string, std::int32_t>> lines;
    for (const auto& run : ops_of<TextRun>(add.list)) {
        if (run.font == FontSlot::Body) lines.push_back({run.text, run.rect.top});
    }
    // The error first, then the hints, one to a row of the list.
    EXPECT_EQ(lines, (std::vector<std::pair<std::string, std::int32_t>>{
                         {"That does not look like a web address.", row_rect(0).top},
                         {"Type the address of a site and press Enter to add it as a web app.", row_rect(1).top},
                         {"To choose its name, type it first:  Mail = mail.google.com", row_rect(2).top},
                         {"Esc goes back.", row_rect(3).top}}));

    Painter confirm = painter_at(144);
    LauncherState c = state_with(web_apps(1));
    ask_removal(c, 0);
    paint_launcher(confirm, c);
    const auto runs = ops_of<TextRun>(confirm.list);
    for (const char* text : {"Remove App0 from your web apps?", "Enter removes it. Esc keeps it.", "Remove", "Keep"}) {
        ASSERT_TRUE(find_text(runs, text)) << text;
    }
    const PixelRect second_row = at_dpi(row_rect(1), 144);
    const PixelRect hint = find_text(runs, "Enter removes it. Esc keeps it.")->rect;
    EXPECT_EQ(hint.top, second_row.top);
    EXPECT_EQ(hint.bottom, second_row.bottom);
    // Each button's label is centred on the button the mouse is tested on;
    // only Remove is filled, in the danger colour.
    const PixelRect remove = at_dpi(REMOVE_BUTTON, 144), keep = at_dpi(KEEP_BUTTON, 144);
    for (const auto& [label, button] : {std::pair{"Remove", remove}, std::pair{"Keep", keep}}) {
        EXPECT_EQ(find_text(runs, label)->rect, button) << label;
        EXPECT_EQ(find_text(runs, label)->format, TextFormat::Center) << label;
    }
    const auto fills = ops_of<RoundedFill>(confirm.list);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].colour, PALETTE.danger);
    EXPECT_EQ(fills[0].box, rounded_box(remove, static_cast<std::int32_t>(fills[0].box.radius)));
    EXPECT_GT(keep.left, remove.right) << "the buttons do not overlap";
}

}  // namespace
