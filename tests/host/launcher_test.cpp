#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "apps/webapps_file.h"
#include "launcher/launcher.h"
#include "launcher/launcher_paint.h"
#include "sim_desktop.h"

namespace {

using launcher::LauncherMode;

const std::string PATH = "C:\\Roaming\\quilt\\webapps.txt";
const win::Rect FIRST_WORK{0, 0, 1920, 1040};
const win::Rect SECOND_WORK{1980, 0, 2500, 1400};
std::vector<std::string> names(const std::vector<apps::LauncherItem>& items) {
    std::vector<std::string> out;
    for (const auto& item : items) out.push_back(item.name);
    return out;
}

const std::string TWO_APPS = "Mail = https://mail.example\nNotes = https://notes.example\n";

// A desktop with an editor in front on the second monitor and the launcher
// window hidden. Catalogue threads read a desktop of their own, as the real
// one reads the disk beside the main thread.
class Launcher : public ::testing::Test {
  protected:
    void SetUp() override {
        for (sim::Desktop* s : {&d, &cat}) {
            s->env["APPDATA"] = "C:\\Roaming";
            s->directories = {"C:", "C:\\Roaming", "C:\\Roaming\\quilt"};
            s->files[PATH] = TWO_APPS;
            s->apps_folder_error = 0x80004001;  // no Apps folder, as under Wine
        }
        d.add_monitor({0, 0, 1920, 1080}, FIRST_WORK, true);
        // Its taskbar on the left.
        d.add_monitor({1920, 0, 2560, 1440}, SECOND_WORK, false, 144);
        sim::Window editor_window;
        editor_window.rect = {2000, 100, 800, 600};
        editor = d.add_window(editor_window);
        d.foreground = editor;
        sim::Window popup;
        popup.class_name = u"QuiltLauncher";
        popup.visible = false;
        popup.style = 0;
        l.window = d.add_window(popup);
        // Borrowed: every test waits for its threads before the desktop goes.
        l.catalogue_platform = std::shared_ptr<win::Platform>(&cat, [](win::Platform*) {});
        launcher::start_catalogue_refresh(l.state, l.catalogue_platform);
        // WM_ACTIVATE(WA_INACTIVE) comes back into the launcher from inside
        // the call that took the foreground away, as in Windows.
        d.on_deactivate = [this](sim::Desktop& s, win::Hwnd h) {
            ++deactivations;
            if (h == l.window) launcher::on_deactivate(s, l);
        };
    }
    void TearDown() override {
        while (settle()) {
        }
    }

    // Waits until the held catalogue thread (if any) is done and its list
    // taken; true when there was one. A stale list starts another thread,
    // which is taken by the next call.
    bool settle() {
        if (!l.state.catalogue_thread) return false;
        const auto job = l.state.catalogue_thread;
        for (int i = 0; i < 5000; ++i) {
            {
                const std::lock_guard lock(job->mutex);
                if (job->done) break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        launcher::take_catalogue_result(d, l);
        return true;
    }

    // Where a call sits in the record of calls; the end when it is not there.
    std::size_t call_index(const std::string& call, std::size_t from = 0) {
        return static_cast<std::size_t>(
            std::find(d.calls.begin() + static_cast<std::ptrdiff_t>(from), d.calls.end(), call) - d.calls.begin());
    }
    std::size_t count_calls(const std::string& call) {
        return static_cast<std::size_t>(std::count(d.calls.begin(), d.calls.end(), call));
    }
    std::string hide_call() { return "show_window " + win::format_hwnd(l.window) + " 0"; }
    void type(std::string_view s) {
        for (char c : s) launcher::on_char(d, l, static_cast<std::uint8_t>(c));
    }
    void keys(std::initializer_list<std::uint16_t> vks) {
        for (auto vk : vks) launcher::on_key_down(d, l, vk);
    }

    sim::Desktop d, cat;
    win::Hwnd editor;
    launcher::Launcher l;
    int deactivations = 0;
};

TEST_F(Launcher, ShowsCentredOnTheForegroundMonitorAtItsDpiWithTheFocus) {
    launcher::toggle_launcher(d, l);
    // First onto the monitor with no size, then centred there at 144 DPI: 840 x 624.
    EXPECT_EQ(d.moves, (std::vector<sim::Move>{{l.window, 1980, 0, 0, 0, 0},
                                               {l.window, 1980 + 830, 388, 840, 624, win::POS_SHOWWINDOW}}));
    EXPECT_TRUE(d.window(l.window).topmost);
    EXPECT_TRUE(d.window(l.window).visible);
    EXPECT_EQ(d.foreground, l.window);
    EXPECT_EQ(d.focus, l.window);
    EXPECT_EQ(d.input_batches.size(), 1u);  // the dummy key that allows taking the foreground
    EXPECT_EQ(l.state.previous_window, editor);
    ASSERT_EQ(l.state.results.size(), 3u);
    EXPECT_EQ(l.state.results[2].name, "Edit web apps");
    EXPECT_EQ(l.state.tiles.size(), 2u);
}

TEST_F(Launcher, AWindowThatCouldNotBeMadeIsReportedAndLeavesTheLauncherOff) {
    launcher::Launcher off;
    launcher::start_launcher(d, off, win::Error{0, "could not register a window class"});
    EXPECT_EQ(d.err, "The launcher is unavailable: could not register a window class\n");
    EXPECT_FALSE(off.window);
    EXPECT_FALSE(off.state.catalogue_thread);

    EXPECT_TRUE(settle());  // the fixture's start: the first catalogue, read at start-up
    launcher::Launcher on;
    launcher::start_launcher(d, on, l.window);
    EXPECT_EQ(on.window, l.window);
    EXPECT_FALSE(on.state.catalogue_thread);  // no platform for threads: the web apps only
}

TEST_F(Launcher, TheIconThreadStartsWithTheWindowAndItsAnswersRepaintTheShownLauncher) {
    constexpr std::uint32_t READY = 0x801E;
    std::vector<std::pair<win::Hwnd, std::uint32_t>> made_for;
    std::atomic<int> answers{0};
    const launcher::IconWorkFor work_for = [&](win::Hwnd window, std::uint32_t message) {
        made_for.emplace_back(window, message);
        icons::IconWork work;
        // Mail's site has an icon, Notes' has none.
        work.load = [](const icons::IconRequest& r) {
            return r.value == "mail.example" ? icons::IconLoad{true, win::ImageHandle{0x51}} : icons::IconLoad{};
        };
        work.ready = [&answers] { ++answers; };
        return work;
    };
    launcher::Launcher off;
    launcher::start_launcher(d, off, win::Error{0, "could not register a window class"}, READY, work_for);
    EXPECT_TRUE(made_for.empty());
    EXPECT_FALSE(off.state.icon_queues);
    EXPECT_EQ(off.icons_ready_message, 0u);

    launcher::start_launcher(d, l, l.window, READY, work_for);
    EXPECT_EQ(made_for, (std::vector<std::pair<win::Hwnd, std::uint32_t>>{{l.window, READY}}));
    ASSERT_TRUE(l.state.icon_queues);
    EXPECT_EQ(l.icons_ready_message, READY);

    launcher::toggle_launcher(d, l);
    paint::Painter painter{96, [](paint::FontSlot, std::string_view) { return 0; }, {}};
    launcher::paint_launcher(painter, l.state);  // asks for both sites' icons
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (answers < 2 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    ASSERT_EQ(answers, 2);
    d.invalidated.clear();
    launcher::take_icon_results(d, l);
    EXPECT_EQ(d.invalidated, std::vector<win::Hwnd>{l.window});
    EXPECT_EQ(l.state.icon_book.loaded_icons,
              (std::unordered_map<std::string, icons::LoadedIcon>{{"site:mail.example", {true, win::ImageHandle{0x51}}},
                                                                  {"site:notes.example", {false, {}}}}));
    EXPECT_TRUE(l.state.icon_book.requested_icons.empty());
}

TEST_F(Launcher, IconResultsRepaintOnlyWhenSomethingArrivedForAShownLauncher) {
    struct Case {
        bool icon_thread;
        bool visible;
        std::size_t results;
        bool repaint;
    };
    for (const auto& c : std::initializer_list<Case>{
             {true, true, 2, true},
             {true, false, 2, false},
             {true, true, 0, false},
             {false, true, 2, false},
         }) {
        launcher::Launcher one;
        one.window = l.window;
        one.state.visible = c.visible;
        auto queues = std::make_shared<icons::IconQueues>();
        if (c.icon_thread) one.state.icon_queues.emplace(queues, std::make_shared<icons::WakeToken>());
        one.state.icon_book.requested_icons = {"app:A", "app:B"};
        for (std::size_t i = 0; i < c.results; ++i) {
            queues->result_queue.push_back({true, win::ImageHandle{i + 1}, i == 0 ? "app:A" : "app:B"});
        }
        d.invalidated.clear();
        launcher::take_icon_results(d, one);
        EXPECT_EQ(d.invalidated.size(), c.repaint ? 1u : 0u) << c.visible << " " << c.results;
        // Filed whether shown or not, and the queue left empty; without the thread nothing is touched.
        const std::size_t filed = c.icon_thread ? c.results : 0;
        EXPECT_EQ(one.state.icon_book.loaded_icons.size(), filed);
        EXPECT_EQ(one.state.icon_book.requested_icons.size(), 2u - filed);
        EXPECT_EQ(queues->result_queue.size(), c.results - filed);
    }
}

TEST_F(Launcher, WithoutItsWindowTheToggleDoesNothing) {
    l.window = win::Hwnd{};
    launcher::toggle_launcher(d, l);
    EXPECT_TRUE(d.calls.empty());
    EXPECT_FALSE(l.state.visible);
}

TEST_F(Launcher, EscAndASecondToggleHideAndGiveTheFocusBack) {
    for (bool by_key : {true, false}) {
        launcher::toggle_launcher(d, l);
        type("no");
        const std::size_t start = d.calls.size();
        if (by_key) {
            keys({win::KEY_ESCAPE});
        } else {
            launcher::toggle_launcher(d, l);
        }
        EXPECT_FALSE(d.window(l.window).visible);
        EXPECT_EQ(d.foreground, editor);
        EXPECT_LT(call_index(hide_call(), start),
                  call_index("set_foreground_window " + win::format_hwnd(editor), start));
        // The deactivation that the hide caused found the launcher hidden already.
        EXPECT_EQ(count_calls(hide_call()), by_key ? 1u : 2u);
        // A refresh runs after every hide; its list is taken when it is done.
        EXPECT_TRUE(settle());
    }
    EXPECT_EQ(l.state.query, "no");  // left as it was until the next show
}

TEST_F(Launcher, LaunchHidesFirstAndLeavesTheFocusToWhatStarts) {
    launcher::toggle_launcher(d, l);
    keys({win::KEY_RETURN});  // Mail, the first row
    ASSERT_EQ(d.shell_opens.size(), 1u);
    EXPECT_EQ(d.shell_opens[0].parameters, "--app=\"https://mail.example\"");
    EXPECT_LT(call_index(hide_call()), call_index("shell_execute msedge.exe"));
    EXPECT_EQ(count_calls(hide_call()), 1u);
    EXPECT_EQ(count_calls("set_foreground_window " + win::format_hwnd(editor)), 0u);
    EXPECT_FALSE(l.state.visible);
    EXPECT_TRUE(d.err.empty());

    d.shell_refuses = true;
    launcher::toggle_launcher(d, l);
    keys({win::KEY_RETURN});
    EXPECT_EQ(d.err, "Could not start Mail.\n");
}

TEST_F(Launcher, ClickingAnotherWindowHidesWithoutMovingTheFocusAgain) {
    launcher::toggle_launcher(d, l);
    const auto before = count_calls("set_foreground_window " + win::format_hwnd(editor));
    d.set_foreground_window(editor);
    EXPECT_FALSE(l.state.visible);
    EXPECT_FALSE(d.window(l.window).visible);
    EXPECT_EQ(count_calls("set_foreground_window " + win::format_hwnd(editor)), before + 1);
    EXPECT_EQ(d.foreground, editor);
}

TEST_F(Launcher, AnAddressSavedFromTheAddTileIsWrittenAndOpened) {
    launcher::toggle_launcher(d, l);
    type("example.org");  // matches nothing: the selection is the first tile
    keys({win::KEY_ARROW_RIGHT, win::KEY_ARROW_RIGHT, win::KEY_RETURN});
    EXPECT_EQ(d.files[PATH], TWO_APPS + "example.org = https://example.org\n");
    EXPECT_FALSE(l.state.visible);
    ASSERT_EQ(d.shell_opens.size(), 1u);
    EXPECT_EQ(d.shell_opens[0].parameters, "--app=\"https://example.org\"");
    EXPECT_EQ(l.state.items.size(), 3u);  // the launcher learns of it at its next show
    EXPECT_EQ(count_calls("set_foreground_window " + win::format_hwnd(editor)), 0u);

    // A save that fails still opens the web app.
    d.read_only_folders.insert("C:\\Roaming\\quilt");
    settle();
    launcher::toggle_launcher(d, l);  // the saved one is listed: four rows, three tiles
    keys({win::KEY_ARROW_DOWN, win::KEY_ARROW_DOWN, win::KEY_ARROW_DOWN, win::KEY_ARROW_DOWN});
    keys({win::KEY_ARROW_RIGHT, win::KEY_ARROW_RIGHT, win::KEY_ARROW_RIGHT, win::KEY_RETURN});  // Add: AddWebApp mode
    EXPECT_EQ(l.state.mode, LauncherMode::AddWebApp);
    type("Post = post.example");
    keys({win::KEY_RETURN});
    EXPECT_EQ(d.err, "Could not save the web app Post: Access is denied. (os error 5)\n");
    ASSERT_EQ(d.shell_opens.size(), 2u);
    EXPECT_EQ(d.shell_opens[1].parameters, "--app=\"https://post.example\"");
}

TEST_F(Launcher, RemovingAWebAppEditsTheFileAndTheOpenLauncher) {
    launcher::toggle_launcher(d, l);
    keys({win::KEY_ARROW_DOWN, win::KEY_ARROW_DOWN, win::KEY_ARROW_DOWN});  // the Mail tile
    keys({win::KEY_DELETE});
    EXPECT_EQ(l.state.mode, LauncherMode::ConfirmRemove);
    keys({win::KEY_RETURN});
    EXPECT_EQ(d.files[PATH], "Notes = https://notes.example\n");
    EXPECT_TRUE(l.state.visible);
    EXPECT_EQ(l.state.mode, LauncherMode::Search);
    ASSERT_EQ(l.state.tiles.size(), 1u);
    EXPECT_EQ(l.state.tiles[0].name, "Notes");

    // A file that cannot be read keeps its line; the launcher drops the tile anyway.
    d.files.erase(PATH);
    keys({win::KEY_ARROW_DOWN, win::KEY_ARROW_DOWN, win::KEY_DELETE, win::KEY_RETURN});
    EXPECT_EQ(d.err, "Could not remove the web app Notes: The system cannot find the file specified. (os error 2)\n");
    EXPECT_TRUE(l.state.tiles.empty());
    EXPECT_EQ(l.state.items.size(), 1u);
}

// The web apps are read at every show, so an edit shows at the next one even
// while a catalogue thread is still busy; the installed apps follow once a
// thread has read them. A hide while a thread is held starts no second one,
// but marks it stale: its list is taken, and a fresh thread reads again at
// once, so nothing the user did before the last hide is missed.
TEST_F(Launcher, TheListIsNeverOlderThanTheLastEditAndAStaleCatalogueIsReadAgain) {
    settle();
    std::promise<void> gate;
    std::shared_future<void> opened = gate.get_future().share();
    std::atomic<int> reads{0};
    cat.apps_folder_error.reset();
    cat.apps_folder = {{u"Calculator", u"Calc!App"}};
    cat.on_apps_folder = [&] {
        if (++reads == 1) opened.wait();
    };

    launcher::toggle_launcher(d, l);
    keys({win::KEY_ESCAPE});  // the first thread starts, and is held at the Apps folder
    d.files[PATH] = "Chat = https://chat.example\n";
    launcher::toggle_launcher(d, l);  // shows at once, without waiting for the thread
    EXPECT_TRUE(l.state.visible);
    EXPECT_EQ(names(l.state.items), (std::vector<std::string>{"Chat", "Edit web apps"}));
    keys({win::KEY_ESCAPE});  // the thread still runs: no second one, but it is stale now
    EXPECT_TRUE(l.state.catalogue_stale);

    launcher::toggle_launcher(d, l);
    gate.set_value();
    const auto first = l.state.catalogue_thread;
    ASSERT_TRUE(settle());  // taken, and shown at once
    EXPECT_EQ(names(l.state.items), (std::vector<std::string>{"Chat", "Calculator", "Edit web apps"}));
    EXPECT_EQ(l.state.results.size(), 3u);
    EXPECT_NE(l.state.catalogue_thread, first);  // the stale list is read again at once
    EXPECT_TRUE(settle());
    EXPECT_EQ(reads.load(), 2);
    EXPECT_FALSE(l.state.catalogue_thread);
}

// Clicks go through the DPI rule: the same design points, as physical pixels
// at 96 and at 144 DPI, land on the same things.
TEST_F(Launcher, ClicksLandOnWhatWasDrawnThereAtEveryDpi) {
    struct ClickCase {
        const char* what;
        std::string webapps;
        LauncherMode mode;
        std::int32_t x, y;  // design units
        std::string outcome;
    };
    const std::string five = TWO_APPS + "A = https://a.example\nB = https://b.example\nC = https://c.example\n";
    for (std::uint32_t dpi : {96u, 144u}) {
        for (const auto& c : std::initializer_list<ClickCase>{
                 {"row 0", TWO_APPS, LauncherMode::Search, 30, 80, "launch https://mail.example"},
                 {"row 1 at its right end", TWO_APPS, LauncherMode::Search, 538, 140, "launch https://notes.example"},
                 {"row 2 opens the file", TWO_APPS, LauncherMode::Search, 300, 160, "launch webapps.txt"},
                 {"below the last row", TWO_APPS, LauncherMode::Search, 300, 190, "Search"},
                 {"tile 1", TWO_APPS, LauncherMode::Search, 150, 380, "launch https://notes.example"},
                 {"between tiles", TWO_APPS, LauncherMode::Search, 104, 350, "Search"},
                 {"Add tile beside tiles", TWO_APPS, LauncherMode::Search, 500, 350, "AddWebApp"},
                 {"Add tile alone", "", LauncherMode::Search, 150, 380, "AddWebApp"},
                 {"past the lone Add tile", "", LauncherMode::Search, 300, 350, "Search"},
                 {"fifth tile", five, LauncherMode::Search, 400, 350, "launch https://c.example"},
                 {"minus circle of tile 1", TWO_APPS, LauncherMode::Search, 175, 324, "ConfirmRemove Notes"},
                 {"tile in AddWebApp mode", TWO_APPS, LauncherMode::AddWebApp, 60, 350, "AddWebApp"},
                 {"Remove", TWO_APPS, LauncherMode::ConfirmRemove, 80, 165, "removed Notes = https://notes.example\n"},
                 {"Keep", TWO_APPS, LauncherMode::ConfirmRemove, 190, 165, "Search"},
                 {"beside the buttons", TWO_APPS, LauncherMode::ConfirmRemove, 300, 165, "ConfirmRemove Mail"},
             }) {
            d.files[PATH] = c.webapps;
            d.shell_opens.clear();
            settle();
            l.state.items = apps::read_web_apps(c.webapps);
            l.state.items.push_back({apps::ItemKind::EditWebApps, std::nullopt, "Edit web apps"});
            launcher::show_launcher(d, l, dpi == 96 ? FIRST_WORK : SECOND_WORK);
            if (c.mode == LauncherMode::ConfirmRemove) launcher::ask_removal(l.state, 0);
            if (c.mode == LauncherMode::AddWebApp) launcher::set_mode(l.state, c.mode);

            launcher::on_left_button_up(d, l, c.x * static_cast<std::int32_t>(dpi) / 96,
                                        c.y * static_cast<std::int32_t>(dpi) / 96);
            std::string outcome = l.state.mode == LauncherMode::Search      ? "Search"
                                  : l.state.mode == LauncherMode::AddWebApp ? "AddWebApp"
                                                                            : "ConfirmRemove";
            if (l.state.pending_removal) outcome += " " + l.state.pending_removal->name;
            if (d.files[PATH] != c.webapps) outcome = "removed " + d.files[PATH];
            if (!d.shell_opens.empty()) {
                const auto& open = d.shell_opens.back();
                outcome = "launch " + (open.parameters ? open.parameters->substr(7, open.parameters->size() - 8)
                                                       : open.file.substr(open.file.rfind('\\') + 1));
            }
            EXPECT_EQ(outcome, c.outcome) << c.what << " at " << dpi << " DPI";
        }
    }
}

TEST_F(Launcher, TheMouseIsTrackedOnceUntilItLeaves) {
    launcher::toggle_launcher(d, l);
    auto redraws = [&] { return std::count(d.invalidated.begin(), d.invalidated.end(), l.window); };
    const auto shown = redraws();
    launcher::on_mouse_move(d, l, 90, 525);  // tile 0 at 144 DPI
    launcher::on_mouse_move(d, l, 91, 525);
    EXPECT_EQ(d.tracked.size(), 1u);
    EXPECT_EQ(redraws(), shown + 1);
    EXPECT_EQ(l.state.hovered_tile, 0u);
    launcher::on_mouse_leave(d, l);
    EXPECT_EQ(redraws(), shown + 2);
    EXPECT_FALSE(l.state.hovered_tile);
    launcher::on_mouse_move(d, l, 10, 10);
    EXPECT_EQ(d.tracked.size(), 2u);
    EXPECT_EQ(redraws(), shown + 2);
}

}  // namespace
