#include <gtest/gtest.h>

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
    EXPECT_EQ(d.com_initializations, 1);
    EXPECT_EQ(d.files[PATH], "Teams = https://teams.example\nMail = https://mail.example\n");
}

TEST_F(Catalogue, AMissingFileIsCreatedWithItsHeader) {
    d.apps_folder_error = 0x80004001;  // E_NOTIMPL, as under Wine
    EXPECT_EQ(apps::build_catalogue(d), std::vector<LauncherItem>{EDIT});
    EXPECT_EQ(d.files[PATH], apps::WEBAPPS_HEADER);
    EXPECT_TRUE(d.err.empty());
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

TEST_F(Catalogue, ThreadResultIsAdoptedOnceAndASecondStartWaitsForCollection) {
    d.apps_folder = {entry(u"Calculator", u"Calc!App")};
    launcher::LauncherState state;
    launcher::start_catalogue_refresh(state, d);
    launcher::start_catalogue_refresh(state, d);  // a handle is held: nothing new
    launcher::adopt_catalogue(state);             // no list yet: waits
    EXPECT_FALSE(state.catalogue_thread.valid());
    EXPECT_EQ(state.items, (std::vector<LauncherItem>{app("Calculator", "Calc!App"), EDIT}));
    EXPECT_EQ(d.com_initializations, 1);

    // A finished thread replaces a list that is already there.
    d.files[PATH] = "Mail = https://mail.example\n";
    launcher::start_catalogue_refresh(state, d);
    state.catalogue_thread.wait();
    launcher::adopt_catalogue(state);
    EXPECT_EQ(names(state.items), (std::vector<std::string>{"Mail", "Calculator", "Edit web apps"}));
    EXPECT_EQ(d.com_initializations, 2);
}

TEST_F(Catalogue, AThreadThatDiesLeavesThePreviousList) {
    launcher::LauncherState state;
    state.items = {web("Old", "https://old.example"), EDIT};
    d.apps_folder_throws = true;
    launcher::start_catalogue_refresh(state, d);
    state.catalogue_thread.wait();
    launcher::adopt_catalogue(state);
    EXPECT_FALSE(state.catalogue_thread.valid());
    EXPECT_EQ(names(state.items), (std::vector<std::string>{"Old", "Edit web apps"}));
}

}  // namespace
