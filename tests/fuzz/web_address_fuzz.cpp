// Addresses typed into the launcher's box, and the host names taken from
// them for icons.
//
// Input: the typed text.
#include <cstdint>
#include <string>

#include "apps/web_address.h"
#include "apps/webapps_file.h"
#include "fuzz_input.h"
#include "text/unicode.h"
#include "text/utf8.h"

namespace {

bool host_chars_only(std::string_view host) {
    for (char c : host) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.')) return false;
    }
    return true;
}

bool has_control(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const text::Decoded d = text::decode_at(s, i);
        if (d.code < 0x20 || (d.code >= 0x7F && d.code <= 0x9F)) return true;
        i += d.length;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in{data, size};
    const std::string typed(fuzz::rest(in));

    if (const auto host = apps::host_of(typed)) FUZZ_CHECK(!host->empty() && host_chars_only(*host));

    const auto app = apps::parse_web_address(typed);
    if (!app) return 0;
    FUZZ_CHECK(!app->name.empty());
    FUZZ_CHECK(apps::has_web_scheme(app->address) && !text::contains_white_space(app->address));
    const auto host = apps::host_of(app->address);
    FUZZ_CHECK(host && host->find('.') != std::string::npos && host->front() != '.' && host->back() != '.');

    // The address stands on its own: typed again, it is the same address.
    const auto again = apps::parse_web_address(app->address);
    FUZZ_CHECK(again && again->address == app->address);

    // What the launcher saves reads back from the file as the same web app,
    // unless its name starts a comment.
    if (!text::is_valid_utf8(typed) || has_control(typed) || app->name.front() == '#') return 0;
    const std::string file = std::string(apps::WEBAPPS_HEADER) + app->name + " = " + app->address + "\n";
    const auto read = apps::read_web_apps(file);
    FUZZ_CHECK(read.size() == 1 && read[0].name == app->name && read[0].target == app->address);
    return 0;
}
