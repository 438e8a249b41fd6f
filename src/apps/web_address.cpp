#include "apps/web_address.h"

#include "text/unicode.h"

namespace apps {

bool has_web_scheme(std::string_view address) {
    return address.starts_with("https://") || address.starts_with("http://");
}

std::optional<std::string> host_of(std::string_view address) {
    const auto scheme_end = address.find("://");
    if (scheme_end == std::string_view::npos) return std::nullopt;
    std::string_view host = address.substr(scheme_end + 3);
    host = host.substr(0, host.find_first_of("/?#"));
    if (const auto at = host.rfind('@'); at != std::string_view::npos) host.remove_prefix(at + 1);
    host = host.substr(0, host.find(':'));
    if (host.empty()) return std::nullopt;
    std::string out;
    out.reserve(host.size());
    for (char c : host) {
        const bool lower = c >= 'a' && c <= 'z';
        const bool upper = c >= 'A' && c <= 'Z';
        const bool digit = c >= '0' && c <= '9';
        if (!lower && !upper && !digit && c != '-' && c != '.') return std::nullopt;
        out.push_back(upper ? static_cast<char>(c + 32) : c);
    }
    return out;
}

std::optional<WebApp> parse_web_address(std::string_view typed) {
    std::string_view name;
    std::string_view address = typed;
    // An "=" after "://" belongs to a query string, not to a name.
    if (const auto eq = typed.find('='); eq != std::string_view::npos) {
        const std::string_view before = typed.substr(0, eq);
        if (before.find("://") == std::string_view::npos) {
            name = text::trim(before);
            address = typed.substr(eq + 1);
        }
    }
    address = text::trim(address);
    if (text::contains_white_space(address) || address.empty()) return std::nullopt;
    std::string full = has_web_scheme(address) ? std::string(address) : "https://" + std::string(address);
    const auto host = host_of(full);
    if (!host || host->find('.') == std::string::npos || host->front() == '.' || host->back() == '.') {
        return std::nullopt;
    }
    std::string final_name(name);
    if (final_name.empty()) final_name = host->starts_with("www.") ? host->substr(4) : *host;
    return WebApp{std::move(final_name), std::move(full)};
}

}  // namespace apps
