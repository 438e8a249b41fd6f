#include "icons/icon_book.h"

#include <utility>

#include "apps/web_address.h"
#include "icons/site_icon.h"

namespace icons {
namespace {

// The request behind a key, or nothing for an entry without an icon.
std::optional<IconRequest> request_for(const apps::LauncherItem& item) {
    if (!item.target) return std::nullopt;
    if (item.kind == apps::ItemKind::App && !item.target->empty()) {
        return IconRequest{IconKind::App, *item.target, "app:" + *item.target};
    }
    if (item.kind == apps::ItemKind::Web) {
        // host_of lets "..", ".example" and "a..b" through; none may become a file name.
        auto host = apps::host_of(*item.target);
        if (host && valid_host(*host)) return IconRequest{IconKind::Site, *host, "site:" + *host};
    }
    return std::nullopt;
}

}  // namespace

IconChoice choose_icon(IconBook& book, const apps::LauncherItem& item) {
    auto request = request_for(item);
    if (!request) return {};
    if (auto it = book.loaded_icons.find(request->key); it != book.loaded_icons.end()) {
        // Not found once is not found for good: no second request.
        if (it->second.found) return {it->second.image, std::nullopt};
        return {};
    }
    if (!book.requested_icons.insert(request->key).second) return {};
    return {std::nullopt, std::move(request)};
}

bool file_icon_results(IconBook& book, std::vector<IconResult> results) {
    for (IconResult& result : results) {
        book.requested_icons.erase(result.key);
        book.loaded_icons.insert_or_assign(std::move(result.key), LoadedIcon{result.found, result.image});
    }
    return !results.empty();
}

}  // namespace icons
