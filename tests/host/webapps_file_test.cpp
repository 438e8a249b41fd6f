#include <gtest/gtest.h>

#include "apps/webapps_file.h"
#include "sim_desktop.h"

namespace {

using apps::ItemKind;
using apps::LauncherItem;

const std::string FOLDER = "C:\\Users\\u\\AppData\\Roaming\\quilt";
const std::string PATH = FOLDER + "\\webapps.txt";

LauncherItem web(std::string name, std::string address) {
    return LauncherItem{ItemKind::Web, std::move(address), std::move(name)};
}

class WebAppsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        d.env["APPDATA"] = "C:\\Users\\u\\AppData\\Roaming";
        ASSERT_TRUE(d.create_directories(FOLDER).ok());
        d.calls.clear();
    }
    int writes() const {
        int n = 0;
        for (const auto& c : d.calls) n += c.starts_with("replace_file");
        return n;
    }
    sim::Desktop d;
};

TEST(WebAppsPath, AppDataOrTheTemporaryFolder) {
    sim::Desktop d;
    d.temp = "C:\\Temp\\";
    EXPECT_EQ(apps::webapps_path(d), "C:\\Temp\\quilt\\webapps.txt");
    d.env["APPDATA"] = "D:\\Roaming";
    EXPECT_EQ(apps::webapps_path(d), "D:\\Roaming\\quilt\\webapps.txt");
}

TEST(ReadWebApps, KeepsOnlyWellFormedLinesInFileOrder) {
    const std::string text =
        "# Quilt web apps\n"
        "   Mail=https://mail.example.com/?a=b&c=d   \n"
        "NoScheme = mail.example.com\n"
        " = https://nameless.example\n"
        "no equals sign https://x.example\n"
        "    # Commented = https://x.example\n"
        "Caps = HTTPS://x.example\n"
        "Hash # inside = https://x.example/#frag\n"
        "\n"
        "Windows = https://crlf.example\r\n"
        "\xE3\x80\x80Wide\xE3\x80\x80=\xE3\x80\x80http://wide.example\xE3\x80\x80\n"
        "Mail = https://mail.example.com/?a=b&c=d\n"
        "Last = http://last.example";
    EXPECT_EQ(apps::read_web_apps(text), (std::vector<LauncherItem>{
                                             web("Mail", "https://mail.example.com/?a=b&c=d"),
                                             web("Hash # inside", "https://x.example/#frag"),
                                             web("Windows", "https://crlf.example"),
                                             web("Wide", "http://wide.example"),
                                             web("Mail", "https://mail.example.com/?a=b&c=d"),
                                             web("Last", "http://last.example"),
                                         }));
}

// Some editors save a byte-order mark. It is not text of the first line, which
// would otherwise lose its "#" and turn the header into a web app.
TEST(ReadWebApps, AByteOrderMarkIsNotPartOfTheFirstLine) {
    EXPECT_EQ(apps::read_web_apps("\xEF\xBB\xBFMail = https://m.example\n"),
              std::vector<LauncherItem>{web("Mail", "https://m.example")});
    EXPECT_TRUE(apps::read_web_apps(std::string(apps::WEBAPPS_HEADER)).empty());
    EXPECT_TRUE(apps::read_web_apps("\xEF\xBB\xBF" + std::string(apps::WEBAPPS_HEADER)).empty());
}

TEST_F(WebAppsFile, AppendCreatesFolderAndHeaderThenReadsBack) {
    d.directories.clear();
    ASSERT_TRUE(apps::append_web_app(d, {"Mail", "https://mail.example.com"}).ok());
    EXPECT_EQ(d.files[PATH], std::string(apps::WEBAPPS_HEADER) + "Mail = https://mail.example.com\n");
    EXPECT_EQ(apps::read_web_apps(d.files[PATH]), std::vector<LauncherItem>{web("Mail", "https://mail.example.com")});
    const std::vector<std::string> header_lines = {
        "# Quilt web apps. One per line:  Name = https://address",
        "# They appear in the launcher (Win+Space) and open as frameless windows.",
        "# Lines starting with # are ignored.", "#"};
    std::string expected_start;
    for (const auto& l : header_lines) expected_start += l + "\n";
    EXPECT_TRUE(d.files[PATH].starts_with(expected_start + "# Mail = https://"));
    EXPECT_NE(d.files[PATH].find("\n# Calendar = https://"), std::string::npos);
}

TEST_F(WebAppsFile, AppendStartsANewLineAndKeepsEverythingElse) {
    d.files[PATH] = "junk line\r\n# note\nOld = https://old.example";
    ASSERT_TRUE(apps::append_web_app(d, {"#Hidden", "https://hidden.example"}).ok());
    EXPECT_EQ(d.files[PATH], "junk line\r\n# note\nOld = https://old.example\n#Hidden = https://hidden.example\n");
    // A name that starts with "#" is written, but reads back as a comment.
    EXPECT_EQ(apps::read_web_apps(d.files[PATH]), std::vector<LauncherItem>{web("Old", "https://old.example")});
    EXPECT_EQ(writes(), 1);
}

TEST_F(WebAppsFile, AFileInAnotherEncodingIsNeverRewritten) {
    const std::string legacy = "Caf\xE9 = https://cafe.example\n";  // Windows-1252
    for (int edit = 0; edit < 2; ++edit) {
        d.files[PATH] = legacy;
        const win::Status s = edit == 0 ? apps::append_web_app(d, {"New", "https://new.example"})
                                        : apps::remove_web_app(d, web("New", "https://new.example"));
        ASSERT_FALSE(s.ok());
        EXPECT_NE(s.error().message.find("not UTF-8"), std::string::npos) << s.error().message;
        EXPECT_EQ(d.files[PATH], legacy);
        EXPECT_EQ(writes(), 0);
    }
}

TEST_F(WebAppsFile, FailedWritesKeepTheOldListAndReportTheError) {
    d.files[PATH] = "Old = https://old.example\n";
    d.locked_files.insert(PATH);
    auto s = apps::append_web_app(d, {"New", "https://new.example"});
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().code, 32u);
    d.locked_files.clear();
    d.read_only_folders.insert(FOLDER);
    s = apps::remove_web_app(d, web("Old", "https://old.example"));
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().code, 5u);
    EXPECT_EQ(d.files[PATH], "Old = https://old.example\n");
    // Writing goes through the replace-in-one-step primitive only.
    for (const auto& c : d.calls) EXPECT_FALSE(c.starts_with("delete_file")) << c;
}

TEST_F(WebAppsFile, AppendReportsAFolderThatCannotBeMade) {
    d.directories.clear();
    d.read_only_folders.insert("C:\\Users\\u\\AppData\\Roaming");
    const auto s = apps::append_web_app(d, {"New", "https://new.example"});
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().code, 5u);
    EXPECT_TRUE(d.files.empty());
}

struct Removal {
    const char* before;
    LauncherItem item;
    const char* after;
};

TEST_F(WebAppsFile, RemoveDropsOnlyTheFirstMatchingLineAndNormalisesBreaks) {
    for (const auto& [before, item, after] : std::initializer_list<Removal>{
             {"A = https://a.example\nB = https://b.example\nA = https://a.example\n", web("A", "https://a.example"),
              "B = https://b.example\nA = https://a.example\n"},
             {"# head\r\n\r\n  A  =  https://a.example  \r\nbroken\r\nB = https://b.example",
              web("A", "https://a.example"), "# head\n\nbroken\nB = https://b.example\n"},
             // Same name, other address: no match, but the file is still normalised.
             {"A = https://a.example\r\n", web("A", "https://other.example"), "A = https://a.example\n"},
             {"A = https://a.example", web("A", "https://a.example"), ""},
             // Only a mark at the very start is the file's: a line that begins with U+FEFF
             // keeps it as the new first line (Work would lose it, the nameless one vanish).
             {"\xEF\xBB\xBFMail = https://m.example\n\xEF\xBB\xBFWork = https://w.example\n",
              web("Mail", "https://m.example"), "\xEF\xBB\xBF\xEF\xBB\xBFWork = https://w.example\n"},
             {"Mail = https://m.example\n\xEF\xBB\xBF = https://n.example\n", web("Mail", "https://m.example"),
              "\xEF\xBB\xBF\xEF\xBB\xBF = https://n.example\n"},
         }) {
        d.files[PATH] = before;
        ASSERT_TRUE(apps::remove_web_app(d, item).ok()) << before;
        EXPECT_EQ(d.files[PATH], after) << before;
    }
}

TEST_F(WebAppsFile, RemoveFromAMissingFileFailsWithoutCreatingIt) {
    const auto s = apps::remove_web_app(d, web("A", "https://a.example"));
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().code, win::ERR_FILE_NOT_FOUND);
    EXPECT_EQ(s.error().message, "The system cannot find the file specified.");
    EXPECT_TRUE(d.files.empty());
}

}  // namespace
