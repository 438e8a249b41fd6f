#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "icons/site_icon.h"
#include "sim_desktop.h"

namespace {

using Strings = std::vector<std::string>;

TEST(SiteIcon, ValidHostsAreTheOnlyOnesThatBecomeFileNames) {
    for (const auto& [host, valid] : std::initializer_list<std::pair<const char*, bool>>{
             {"mail.example.com", true},
             {"192.168.1.10", true},
             {"xn--bcher-kva.example", true},
             {"Example.COM", true},
             {"intranet", true},
             {"", false},
             {".", false},
             {"..", false},
             {"a..b", false},
             {".example.com", false},
             {"example.com.", false},
             {"my_host.example", false},
             {"a\\b", false},
             {"a/b", false},
             {"c:", false},
             {"exa mple.com", false},
             {"b\xC3\xBC"
              "cher.de",
              false},
         }) {
        EXPECT_EQ(icons::valid_host(host), valid) << host;
    }
}

TEST(SiteIcon, CandidatesGoFromTheHostDownToItsRegistrableDomain) {
    for (const auto& [host, expected] : std::initializer_list<std::pair<const char*, Strings>>{
             {"mail.example.co.uk", {"mail.example.co.uk", "example.co.uk"}},
             {"a.mail.example.com", {"a.mail.example.com", "mail.example.com", "example.com"}},
             {"localhost", {"localhost"}},
             {"example.com", {"example.com"}},
             {"www.example.de", {"www.example.de", "example.de"}},
             {"shop.example.uk", {"shop.example.uk", "example.uk"}},  // "example" is not a second-level label
             {"example.co.uk", {"example.co.uk"}},
             {"co.uk", {"co.uk"}},
             {"a.b.ac.jp", {"a.b.ac.jp", "b.ac.jp"}},
             {"a.b.edu.com", {"a.b.edu.com", "b.edu.com", "edu.com"}},  // a three-letter last label
             {"a.b.CO.uk", {"a.b.CO.uk", "b.CO.uk", "CO.uk"}},          // compared exactly
             {"192.168.1.10", {"192.168.1.10"}},                        // an address has no shorter tails
         }) {
        EXPECT_EQ(icons::candidate_hosts(host), expected) << host;
    }
}

TEST(SiteIcon, CacheFolderIsUnderLocalAppDataElseTheTemporaryFolder) {
    struct Case {
        std::optional<std::string> local;
        std::string temp;
        std::string folder;
    };
    for (const auto& c : std::initializer_list<Case>{
             {"C:\\Users\\u\\AppData\\Local", "C:\\Temp\\", "C:\\Users\\u\\AppData\\Local\\quilt\\icons"},
             {"C:\\Users\\u\\AppData\\Local\\", "C:\\Temp\\", "C:\\Users\\u\\AppData\\Local\\quilt\\icons"},
             {std::nullopt, "C:\\Temp\\", "C:\\Temp\\quilt\\icons"},
             {"", "C:\\Temp", "C:\\Temp\\quilt\\icons"},
         }) {
        sim::Desktop d;
        if (c.local) d.env["LOCALAPPDATA"] = *c.local;
        d.temp = c.temp;
        EXPECT_EQ(icons::icon_cache_folder(d), c.folder);
    }
}

// load_site_icon against the simulated desktop: every file, download and
// image call, in order.
constexpr const char* DIR = "C:\\L\\quilt\\icons";
constexpr const char* ICO = "\x00\x00\x01\x00 icon";
constexpr const char* PNG = "\x89PNG png";
constexpr const char* HTML = "<!doctype html>";
constexpr const char* EMPTY_IMAGE = "GIF89a zero";

std::string path(const char* name) { return icons::icon_cache_path(DIR, name); }
std::string url(const char* name) { return std::string("https://") + name + "/favicon.ico"; }
std::string mkdir() { return std::string("create_directories ") + DIR; }
std::string download(const char* name) { return "download " + url(name) + " " + path(name); }
std::string load(const char* name) { return "load_image " + path(name); }
std::string remove(const char* name) { return "delete_file " + path(name); }

struct Scene {
    const char* name;
    std::map<std::string, std::string> cached;  // by candidate name
    std::map<std::string, std::string> served;  // by candidate name
    bool folder_read_only = false;
    const char* host;
    bool found;
    Strings calls;
    Strings files_after;  // candidate names whose file is left
};

TEST(SiteIcon, LoadsFromTheCacheOrDownloadsOnceDeletingWhatDoesNotDecode) {
    const std::string ico(ICO, 10), png(PNG, 8);
    for (const Scene& s : std::initializer_list<Scene>{
             {"cached file: no network",
              {{"example.com", ico}},
              {{"example.com", png}},
              false,
              "example.com",
              true,
              {load("example.com")},
              {"example.com"}},
             {"first download is kept",
              {},
              {{"example.com", png}},
              false,
              "example.com",
              true,
              {mkdir(), download("example.com"), load("example.com")},
              {"example.com"}},
             {"own host serves nothing: the registrable domain's icon, in its own file",
              {},
              {{"example.co.uk", ico}},
              false,
              "mail.example.co.uk",
              true,
              {mkdir(), download("mail.example.co.uk"), mkdir(), download("example.co.uk"), load("example.co.uk")},
              {"example.co.uk"}},
             {"an HTML answer is deleted and the next candidate tried",
              {},
              {{"www.example.org", HTML}, {"example.org", ico}},
              false,
              "www.example.org",
              true,
              {mkdir(), download("www.example.org"), load("www.example.org"), remove("www.example.org"), mkdir(),
               download("example.org"), load("example.org")},
              {"example.org"}},
             {"a broken cached file is deleted and not downloaded again in the same request",
              {{"example.com", HTML}},
              {{"example.com", ico}},
              false,
              "example.com",
              false,
              {load("example.com"), remove("example.com")},
              {}},
             {"an image of width 0 is disposed of and deleted",
              {},
              {{"example.com", EMPTY_IMAGE}},
              false,
              "example.com",
              false,
              {mkdir(), download("example.com"), load("example.com"), "dispose_image", remove("example.com")},
              {}},
             {"no cache folder: nothing downloaded",
              {},
              {{"example.com", ico}},
              true,
              "example.com",
              false,
              {mkdir()},
              {}},
             {"a name that Windows takes for a device is skipped",
              {},
              {{"nul.example.com", ico}, {"example.com", ico}},
              false,
              "nul.example.com",
              true,
              {mkdir(), download("example.com"), load("example.com")},
              {"example.com"}},
             {"an invalid host touches nothing", {{"..", ico}}, {}, false, "..", false, {}, {".."}},
             {"a host with a backslash touches nothing", {}, {}, false, "a\\..\\..\\x", false, {}, {}},
         }) {
        sim::Desktop d;
        d.env["LOCALAPPDATA"] = "C:\\L";
        d.image_widths = {{ico, 16}, {png, 32}, {EMPTY_IMAGE, 0}};
        for (const auto& [name, bytes] : s.cached) {
            d.directories.insert(DIR);
            d.files[path(name.c_str())] = bytes;
        }
        for (const auto& [name, bytes] : s.served) d.served[url(name.c_str())] = bytes;
        if (s.folder_read_only) d.read_only_folders.insert("C:\\L");

        const icons::IconLoad got = icons::load_site_icon(d, s.host);

        EXPECT_EQ(got.found, s.found) << s.name;
        // The image returned is the only one left undisposed.
        EXPECT_EQ(d.live_images, got.found ? std::set<std::uint64_t>{got.image.value} : std::set<std::uint64_t>{})
            << s.name;
        EXPECT_EQ(d.calls, s.calls) << s.name;
        Strings left;
        for (const auto& [file, bytes] : d.files) {
            const std::string prefix = std::string(DIR) + "\\";
            EXPECT_TRUE(file.starts_with(prefix) && file.ends_with(".ico")) << s.name << ": " << file;
            left.push_back(file.substr(prefix.size(), file.size() - prefix.size() - 4));
        }
        EXPECT_EQ(left, s.files_after) << s.name;
    }
}

}  // namespace
