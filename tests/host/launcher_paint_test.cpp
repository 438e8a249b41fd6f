#include <gtest/gtest.h>

#include <memory>
#include <unordered_set>
#include <utility>

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

TEST(LauncherPaint, TileAndAddTileSpansForNoneOneAndFiveWebApps) {
    struct Span {
        std::string caption;
        std::int32_t left, right;  // of the caption, 4 design units inside the tile
    };
    struct SpanCase {
        std::uint32_t dpi;
        std::size_t web_apps;
        std::vector<Span> captions;
        std::int32_t plus_box_left;
    };
    for (const auto& c : std::initializer_list<SpanCase>{
             {96, 0, {{"Add web app", 24, 184}}, 88},
             {96, 1, {{"App0", 24, 96}, {"Add", 464, 536}}, 484},
             {96,
              6,
              {{"App0", 24, 96},
               {"App1", 112, 184},
               {"App2", 200, 272},
               {"App3", 288, 360},
               {"App4", 376, 448},
               {"Add", 464, 536}},
              484},
             {144, 0, {{"Add web app", 36, 276}}, 132},
             {144,
              5,
              {{"App0", 36, 144},
               {"App1", 168, 276},
               {"App2", 300, 408},
               {"App3", 432, 540},
               {"App4", 564, 672},
               {"Add", 696, 804}},
              726},
         }) {
        Painter p = painter_at(c.dpi);
        LauncherState s = state_with(web_apps(c.web_apps));
        paint_launcher(p, s);
        std::vector<Span> captions;
        const std::int32_t caption_top = scale(312, c.dpi) + scale(50, c.dpi);
        for (const auto& run : ops_of<TextRun>(p.list)) {
            if (run.rect.top == caption_top) captions.push_back({run.text, run.rect.left, run.rect.right});
        }
        ASSERT_EQ(captions.size(), c.captions.size()) << c.web_apps << " at " << c.dpi;
        for (std::size_t i = 0; i < captions.size(); ++i) {
            EXPECT_EQ(captions[i].caption, c.captions[i].caption);
            EXPECT_EQ(captions[i].left, c.captions[i].left) << captions[i].caption << " at " << c.dpi;
            EXPECT_EQ(captions[i].right, c.captions[i].right) << captions[i].caption << " at " << c.dpi;
        }
        // The Add tile's plus box: 32 units, centred in its tile, radius dpi * 32 / 384.
        const float box_top = static_cast<float>(scale(324, c.dpi)) + 0.5f;
        const auto outlines = ops_of<RoundedOutline>(p.list);
        const auto plus_box =
            std::find_if(outlines.begin(), outlines.end(), [&](const RoundedOutline& o) { return o.box.y == box_top; });
        ASSERT_NE(plus_box, outlines.end());
        EXPECT_EQ(plus_box->box, rounded_box({c.plus_box_left, scale(324, c.dpi), c.plus_box_left + scale(32, c.dpi),
                                              scale(356, c.dpi)},
                                             static_cast<std::int32_t>(c.dpi) * 32 / 384));
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
        // (78 + 88, 316, 96 + 88, 334) at 144 DPI, radius half its width.
        const RoundedBox circle = rounded_box({249, 474, 276, 501}, 13);
        const auto fills = ops_of<RoundedFill>(p.list);
        EXPECT_NE(
            std::find(fills.begin(), fills.end(), RoundedFill{circle, on_circle ? PALETTE.danger : PALETTE.background}),
            fills.end());
        const auto outlines = ops_of<RoundedOutline>(p.list);
        EXPECT_NE(std::find(outlines.begin(), outlines.end(),
                            RoundedOutline{circle, on_circle ? PALETTE.danger : PALETTE.line}),
                  outlines.end());
        const auto marks = ops_of<RectFill>(p.list);
        EXPECT_NE(std::find(marks.begin(), marks.end(), RectFill{{256, 486, 268, 489}, PALETTE.text}), marks.end());
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
    EXPECT_EQ(lines, (std::vector<std::pair<std::string, std::int32_t>>{
                         {"That does not look like a web address.", 76},
                         {"Type the address of a site and press Enter to add it as a web app.", 112},
                         {"To choose its name, type it first:  Mail = mail.google.com", 148},
                         {"Esc goes back.", 184}}));

    Painter confirm = painter_at(144);
    LauncherState c = state_with(web_apps(1));
    ask_removal(c, 0);
    paint_launcher(confirm, c);
    const auto runs = ops_of<TextRun>(confirm.list);
    for (const char* text : {"Remove App0 from your web apps?", "Enter removes it. Esc keeps it.", "Remove", "Keep"}) {
        ASSERT_TRUE(find_text(runs, text)) << text;
    }
    EXPECT_EQ(find_text(runs, "Enter removes it. Esc keeps it.")->rect, (PixelRect{51, 168, 810, 222}));
    EXPECT_EQ(find_text(runs, "Remove")->rect, (PixelRect{51, 226, 195, 271}));
    EXPECT_EQ(find_text(runs, "Keep")->rect, (PixelRect{210, 226, 354, 271}));
    EXPECT_EQ(ops_of<RoundedFill>(confirm.list),
              (std::vector<RoundedFill>{{rounded_box({51, 226, 195, 271}, 9), PALETTE.danger}}));
}

}  // namespace
