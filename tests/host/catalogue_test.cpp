#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "apps/catalogue.h"
#include "apps/webapps_file.h"
#include "launcher/state.h"
#include "sim_desktop.h"

namespace {

using apps::ItemKind;
using apps::LauncherItem;

const std::string PATH = "C:\\Roaming\\quilt\\webapps.txt";

win::ShellItemNames entry(std::u16string name, std::u16string id) { return {std::move(name), std::move(id)}; }
LauncherItem app(std::string name, std::string id) { return {ItemKind::App, std::move(id), std::move(name)}; }
LauncherItem web(std::string name, std::string address) { return {ItemKind::Web, std::move(address), std::move(name)}; }
const LauncherItem EDIT{ItemKind::EditWebApps, std::nullopt, "Edit web apps"};

std::vector<std::string> names(const std::vector<LauncherItem>& items) {
    std::vector<std::string> out;
    for (const auto& i : items) out.push_back(i.name);
    return out;
}

TEST(InstalledApps, UninstallersAndUnnamableItemsAreLeftOut) {
    const auto apps = apps::installed_apps({
        entry(u"Uninstall Foo", u"Foo.Uninstall"),
        entry(u"Foo UNINSTALLER", u"C:\\Foo\\remove.exe"),
        entry(u"\u00dcNINSTALL-Helfer", u"x"),  // not "uninstall" once lower-cased: kept
        entry(u"Foo Cleanup", u"C:\\Program Files\\Foo\\unins000.exe"),
        entry(u"Bar Cleanup", u"C:/Program Files/Bar/UNINS001.EXE"),
        entry(u"Baz", u"C:\\unins\\baz.exe"),  // only the last component counts
        entry(u"Broken \xd800 name", u"broken"),
        entry(u"Broken id", u"id\xdc00"),
        {std::nullopt, u"no.name"},
        {u"No id", std::nullopt},
        entry(u"Emoji \U0001F600", u"Emoji.App"),
    });
    EXPECT_EQ(apps, (std::vector<LauncherItem>{app("Baz", "C:\\unins\\baz.exe"), app("Emoji \U0001F600", "Emoji.App"),
                                               app("\u00dcNINSTALL-Helfer", "x")}));
}

TEST(InstalledApps, SortedByLowerCasedBytesAndDeduplicatedByAsciiCase) {
    struct SortCase {
        std::vector<win::ShellItemNames> folder;
        std::vector<std::string> expected;
    };
    for (const auto& [folder, expected] : std::initializer_list<SortCase>{
             {{entry(u"zeta", u"1"), entry(u"Alpha", u"2"), entry(u"beta", u"3")}, {"Alpha", "beta", "zeta"}},
             {{entry(u"Notepad++", u"1"), entry(u"Notepad", u"2")}, {"Notepad", "Notepad++"}},
             // Bytes, not letters: "é" (C3 A9) and "Ω" (CF 89) come after "z".
             {{entry(u"\u03a9mega", u"1"), entry(u"\u00c9clair", u"2"), entry(u"zulu", u"3")},
              {"zulu", "\u00c9clair", "\u03a9mega"}},
             {{entry(u"Visual Studio Code", u"a"), entry(u"visual studio code", u"b")}, {"Visual Studio Code"}},
             {{entry(u"visual studio code", u"b"), entry(u"Visual Studio Code", u"a")}, {"visual studio code"}},
             // Same lower case, but not the same bytes outside ASCII: both stay.
             {{entry(u"\u00c9mile", u"1"), entry(u"\u00e9mile", u"2")}, {"\u00c9mile", "\u00e9mile"}},
         }) {
        EXPECT_EQ(names(apps::installed_apps(folder)), expected);
    }
    // The first of a run of duplicates stays, whatever its id.
    EXPECT_EQ(apps::installed_apps({entry(u"Code", u"z.id"), entry(u"CODE", u"a.id")}),
              std::vector<LauncherItem>{app("Code", "z.id")});
}

class Catalogue : public ::testing::Test {
  protected:
    void SetUp() override { d.env["APPDATA"] = "C:\\Roaming"; }
    sim::Desktop d;
};

TEST_F(Catalogue, WebAppsThenAppsThenTheEditEntry) {
    d.directories.insert("C:\\Roaming\\quilt");
    d.files[PATH] = "Teams = https://teams.example\nMail = https://mail.example\n";
    d.apps_folder = {entry(u"Teams", u"MSTeams!App"), entry(u"calculator", u"Calc!App"),
                     entry(u"Uninstall Teams", u"x")};
    EXPECT_EQ(apps::build_catalogue(d),
              (std::vector<LauncherItem>{web("Teams", "https://teams.example"), web("Mail", "https://mail.example"),
                                         app("calculator", "Calc!App"), app("Teams", "MSTeams!App"), EDIT}));
    EXPECT_EQ(d.files[PATH], "Teams = https://teams.example\nMail = https://mail.example\n");
}

// Only a file that the system says is not there is created, and only ever
// created: a file that cannot be read (a scanner holds it, a share is away)
// is the user's list all the same and is never written over.
TEST_F(Catalogue, TheFileIsCreatedWithItsHeaderOnlyWhenItIsMissing) {
    d.apps_folder_error = 0x80004001;  // E_NOTIMPL, as under Wine
    const std::string mine = "Mail = https://mail.example\n";
    struct Case {
        const char* what;
        bool exists, locked;
        std::vector<LauncherItem> items;
        std::string after;
    } cases[] = {
        {"missing", false, false, {EDIT}, std::string(apps::WEBAPPS_HEADER)},
        {"there", true, false, {web("Mail", "https://mail.example"), EDIT}, mine},
        {"there but unreadable", true, true, {EDIT}, mine},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        d.files.clear();
        d.locked_files.clear();
        d.calls.clear();
        if (c.exists) d.files[PATH] = mine;
        if (c.locked) d.locked_files.insert(PATH);
        EXPECT_EQ(apps::build_catalogue(d), c.items);
        EXPECT_EQ(d.files[PATH], c.after);
        EXPECT_EQ(std::count(d.calls.begin(), d.calls.end(), "replace_file " + PATH), 0);
        EXPECT_EQ(std::count(d.calls.begin(), d.calls.end(), "create_new_file " + PATH), c.exists ? 0 : 1);
        EXPECT_TRUE(d.err.empty());
    }
}

TEST_F(Catalogue, AnUnusableFileMeansNoWebAppsAndNoMessage) {
    d.apps_folder = {entry(u"Calculator", u"Calc!App")};
    // A folder where the file should be: nothing is written over it.
    d.directories.insert(PATH);
    EXPECT_EQ(apps::build_catalogue(d), (std::vector<LauncherItem>{app("Calculator", "Calc!App"), EDIT}));
    EXPECT_FALSE(d.files.count(PATH));
    // Not UTF-8: left alone and not read.
    d.directories.erase(PATH);
    d.files[PATH] = "Caf\xE9 = https://cafe.example\n";
    EXPECT_EQ(apps::build_catalogue(d), (std::vector<LauncherItem>{app("Calculator", "Calc!App"), EDIT}));
    EXPECT_EQ(d.files[PATH], "Caf\xE9 = https://cafe.example\n");
    // A folder that cannot be created.
    d.files.clear();
    d.read_only_folders.insert("C:\\Roaming");
    EXPECT_EQ(apps::build_catalogue(d), (std::vector<LauncherItem>{app("Calculator", "Calc!App"), EDIT}));
    EXPECT_TRUE(d.err.empty());
    EXPECT_TRUE(d.out.empty());
}

// Waits until the held thread is done, then takes its list.
bool take_when_done(launcher::LauncherState& state) {
    for (int i = 0; i < 5000; ++i) {
        if (launcher::take_catalogue(state)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

TEST_F(Catalogue, AThreadsAppsAreTakenOnceAndAStartWhileOneIsHeldMarksItStale) {
    const std::shared_ptr<win::Platform> shared(&d, [](win::Platform*) {});
    d.apps_folder = {entry(u"Calculator", u"Calc!App")};
    launcher::LauncherState state;
    state.web_apps = {web("Mail", "https://mail.example")};
    launcher::start_catalogue_refresh(state, shared);
    const auto held = state.catalogue_thread;
    launcher::start_catalogue_refresh(state, shared);  // one is held: nothing new
    EXPECT_EQ(state.catalogue_thread, held);
    EXPECT_TRUE(state.catalogue_stale);
    ASSERT_TRUE(take_when_done(state));
    EXPECT_FALSE(state.catalogue_thread);
    EXPECT_FALSE(launcher::take_catalogue(state));  // taken once
    launcher::compose_items(state);
    EXPECT_EQ(names(state.items), (std::vector<std::string>{"Mail", "Calculator", "Edit web apps"}));

    // A thread that dies leaves the apps it had.
    d.apps_folder_throws = true;
    launcher::start_catalogue_refresh(state, shared);
    EXPECT_FALSE(state.catalogue_stale);
    ASSERT_TRUE(take_when_done(state));
    launcher::compose_items(state);
    EXPECT_EQ(names(state.items), (std::vector<std::string>{"Mail", "Calculator", "Edit web apps"}));
}

}  // namespace
