#include <gtest/gtest.h>

#include "apps/launch.h"
#include "sim_desktop.h"

namespace {

using apps::ItemKind;
using apps::LauncherItem;
using Open = sim::Desktop::ShellOpen;

TEST(Launch, AppsGoThroughTheAppsFolderWhateverTheirId) {
    for (const std::string id : {"Microsoft.WindowsCalculator_8wekyb3d8bbwe!App", "C:\\Program Files\\Foo\\foo.exe"}) {
        sim::Desktop d;
        EXPECT_TRUE(apps::launch_item(d, {ItemKind::App, id, "Foo"}));
        EXPECT_EQ(d.shell_opens, (std::vector<Open>{{"shell:AppsFolder\\" + id, std::nullopt, std::nullopt}}));
    }
}

TEST(Launch, EditWebAppsOpensTheListFile) {
    sim::Desktop d;
    d.env["APPDATA"] = "C:\\Roaming";
    d.shell_refuses = true;  // the file is missing: the shell says no, and so does launch_item
    EXPECT_FALSE(apps::launch_item(d, {ItemKind::EditWebApps, std::nullopt, "Edit web apps"}));
    EXPECT_EQ(d.shell_opens, (std::vector<Open>{{"C:\\Roaming\\quilt\\webapps.txt", std::nullopt, std::nullopt}}));
}

TEST(Launch, WebAppsOpenInAChromiumFamilyBrowserOrTheFallback) {
    struct Browser {
        std::optional<std::u16string> registered;
        std::string started;
    };
    for (const auto& [registered, started] : std::initializer_list<Browser>{
             {u"C:\\Program Files\\Google\\Chrome\\Application\\CHROME.EXE",
              "C:\\Program Files\\Google\\Chrome\\Application\\CHROME.EXE"},
             {u"D:\\anywhere\\brave.exe", "D:\\anywhere\\brave.exe"},
             {u"C:\\Program Files\\Microsoft\\Edge\\Application\\msedge.exe",
              "C:\\Program Files\\Microsoft\\Edge\\Application\\msedge.exe"},
             {u"C:/Apps/Vivaldi/Vivaldi", "C:/Apps/Vivaldi/Vivaldi"},
             {u"C:\\Apps\\opera.exe\\", "C:\\Apps\\opera.exe\\"},
             {u"C:\\Program Files\\Mozilla Firefox\\firefox.exe", "msedge.exe"},
             {u"C:\\Program Files\\Opera\\launcher.exe", "msedge.exe"},
             {u"C:\\windows\\system32\\winebrowser.exe", "msedge.exe"},
             {u"C:\\Apps\\chrome.old.exe", "msedge.exe"},
             {u"C:\\Apps\\chromium-beta.exe", "msedge.exe"},
             {u"", "msedge.exe"},
             {std::nullopt, "msedge.exe"},
         }) {
        sim::Desktop d;
        d.https_executable = registered;
        EXPECT_TRUE(apps::launch_item(d, {ItemKind::Web, "https://mail.example/inbox", "Mail"}));
        EXPECT_EQ(d.shell_opens, (std::vector<Open>{{started, "--app=\"https://mail.example/inbox\"", std::nullopt}}));
    }
}

TEST(Launch, QuotesInAnAddressAreEscapedSoItStaysOneArgument) {
    sim::Desktop d;
    EXPECT_TRUE(apps::launch_item(d, {ItemKind::Web, "https://s.example/?q=\"a b\"&r=\"\"", "Search"}));
    ASSERT_EQ(d.shell_opens.size(), 1u);
    EXPECT_EQ(d.shell_opens[0].parameters, "--app=\"https://s.example/?q=%22a b%22&r=%22%22\"");
}

TEST(Launch, AFailingFamilyBrowserIsNotFollowedByTheFallback) {
    sim::Desktop d;
    d.https_executable = u"C:\\Chrome\\chrome.exe";
    d.shell_refuses = true;
    EXPECT_FALSE(apps::launch_item(d, {ItemKind::Web, "https://x.example", "X"}));
    EXPECT_EQ(d.shell_opens.size(), 1u);
}

TEST(FileStem, LastComponentWithoutItsLastExtension) {
    struct Stem {
        const char* path;
        const char* stem;
    };
    for (const auto& [path, stem] : std::initializer_list<Stem>{
             {"C:\\a\\b.exe", "b"},
             {"b", "b"},
             {"C:/a/b.tar.gz", "b.tar"},
             {"C:\\a\\.profile", ".profile"},
             {"C:\\a\\..", ".."},
             {"C:\\a\\..\\", ".."},
             {"C:\\dir.d\\", "dir"},
             {"C:\\a\\b.", "b"},
             {"", ""},
             {"\\", ""},
         }) {
        EXPECT_EQ(apps::file_stem(path), stem) << path;
    }
}

}  // namespace
