#include <gtest/gtest.h>

#include "icons/icon_book.h"

namespace {

using apps::ItemKind;
using apps::LauncherItem;
using icons::IconKind;
using icons::IconRequest;

TEST(IconBook, KeysNameTheAppOrTheSiteHost) {
    for (const auto& [item, key] : std::initializer_list<std::pair<LauncherItem, std::optional<std::string>>>{
             {{ItemKind::App, "Microsoft.WindowsCalculator_8wekyb3d8bbwe!App", "Calculator"},
              "app:Microsoft.WindowsCalculator_8wekyb3d8bbwe!App"},
             {{ItemKind::App, "{6D809377-6AF0-444B-8957-A3773F02200E}\\App\\app.exe", "App"},
              "app:{6D809377-6AF0-444B-8957-A3773F02200E}\\App\\app.exe"},
             {{ItemKind::App, "", "No id"}, std::nullopt},
             {{ItemKind::App, std::nullopt, "No id"}, std::nullopt},
             {{ItemKind::Web, "https://user@Mail.Example.com:8443/inbox?x=1", "Mail"}, "site:mail.example.com"},
             {{ItemKind::Web, "http://intranet/", "Intranet"}, "site:intranet"},
             {{ItemKind::Web, "https://my_host.example/", "Bad"}, std::nullopt},
             // What host_of lets through, but no file may be named after.
             {{ItemKind::Web, "https://../", "Dots"}, std::nullopt},
             {{ItemKind::Web, "https://a..b.example/", "Empty label"}, std::nullopt},
             {{ItemKind::Web, "https://.example.com/", "Leading dot"}, std::nullopt},
             {{ItemKind::Web, "mail.example.com", "No scheme"}, std::nullopt},
             {{ItemKind::EditWebApps, std::nullopt, "Edit web apps"}, std::nullopt},
         }) {
        icons::IconBook book;
        const auto request = icons::choose_icon(book, item).request;
        EXPECT_EQ(request ? std::optional<std::string>(request->key) : std::nullopt, key) << item.name;
    }
}

TEST(IconBook, EachKeyIsAskedForOnceAndAnImageIsDrawnOnceFound) {
    const LauncherItem mail{ItemKind::Web, "https://mail.example.com/", "Mail"};
    const LauncherItem mail_again{ItemKind::Web, "https://MAIL.example.com/other", "Mail 2"};
    const LauncherItem calc{ItemKind::App, "Calc!App", "Calculator"};
    const LauncherItem edit{ItemKind::EditWebApps, std::nullopt, "Edit web apps"};
    const IconRequest mail_request{IconKind::Site, "mail.example.com", "site:mail.example.com"};
    const IconRequest calc_request{IconKind::App, "Calc!App", "app:Calc!App"};
    const win::ImageHandle image{0x77};
    icons::IconBook book;

    // First paint: both asked for, once; same host, same key.
    EXPECT_EQ(icons::choose_icon(book, mail), (icons::IconChoice{std::nullopt, mail_request}));
    EXPECT_EQ(icons::choose_icon(book, mail_again), icons::IconChoice{});
    EXPECT_EQ(icons::choose_icon(book, calc), (icons::IconChoice{std::nullopt, calc_request}));
    EXPECT_EQ(icons::choose_icon(book, edit), icons::IconChoice{});
    EXPECT_EQ(book.requested_icons.size(), 2u);

    EXPECT_FALSE(icons::file_icon_results(book, {}));
    EXPECT_TRUE(icons::file_icon_results(
        book, {{true, image, "site:mail.example.com"}, {false, win::ImageHandle{}, "app:Calc!App"}}));
    EXPECT_TRUE(book.requested_icons.empty());

    // Later paints: the image for the site; the app stays a letter tile and is never asked for again.
    for (int paint = 0; paint < 2; ++paint) {
        EXPECT_EQ(icons::choose_icon(book, mail), (icons::IconChoice{image, std::nullopt}));
        EXPECT_EQ(icons::choose_icon(book, mail_again), (icons::IconChoice{image, std::nullopt}));
        EXPECT_EQ(icons::choose_icon(book, calc), icons::IconChoice{});
    }
    EXPECT_TRUE(book.requested_icons.empty());
    EXPECT_EQ(book.loaded_icons.at("app:Calc!App"), (icons::LoadedIcon{false, {}}));
}

}  // namespace
