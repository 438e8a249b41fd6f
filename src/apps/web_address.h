// Typed text to web app: the only address rules the program has. There is no
// general URL parser on purpose; a host only has to look plausible.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace apps {

struct WebApp {
    std::string name;     // never empty
    std::string address;  // starts with "https://" or "http://"
    friend bool operator==(const WebApp&, const WebApp&) = default;
};

// "Name = address" or a bare address; nothing when it does not look like one.
std::optional<WebApp> parse_web_address(std::string_view typed);

// The lower-case host of an address: letters, digits, "-" and "." only.
std::optional<std::string> host_of(std::string_view address);

// Whether the address carries one of the two schemes, matched exactly.
bool has_web_scheme(std::string_view address);

}  // namespace apps
