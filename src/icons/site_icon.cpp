#include "icons/site_icon.h"

#include <algorithm>
#include <optional>

namespace icons {
namespace {

std::vector<std::string_view> split_labels(std::string_view host) {
    std::vector<std::string_view> labels;
    for (;;) {
        const auto dot = host.find('.');
        labels.push_back(host.substr(0, dot));
        if (dot == std::string_view::npos) return labels;
        host.remove_prefix(dot + 1);
    }
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// Windows opens a device, not a file, for "nul.ico" or "com1.example.ico":
// the name before the first dot decides, whatever the letter case.
bool names_a_device(std::string_view name) {
    std::string stem;
    for (char c : name.substr(0, name.find('.'))) stem.push_back(lower(c));
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul") return true;
    return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) && stem[3] >= '0' && stem[3] <= '9';
}

// Reads one cached or downloaded file. One that does not decode, or decodes
// to nothing, is deleted so that a later run downloads it again.
std::optional<win::ImageHandle> load_cached(win::Platform& platform, const std::string& path) {
    auto loaded = platform.load_image_file(path);
    if (loaded && loaded.value().width > 0) return loaded.value().image;
    if (loaded) platform.dispose_image(loaded.value().image);
    (void)platform.delete_file(path);
    return std::nullopt;
}

}  // namespace

bool valid_host(std::string_view host) {
    for (std::string_view label : split_labels(host)) {
        if (label.empty()) return false;
        for (char c : label) {
            const char l = lower(c);
            if (!(l >= 'a' && l <= 'z') && !(c >= '0' && c <= '9') && c != '-') return false;
        }
    }
    return true;
}

std::vector<std::string> candidate_hosts(std::string_view host) {
    const std::vector<std::string_view> labels = split_labels(host);
    const std::size_t n = labels.size();
    // An address is no domain: its shorter tails would name other machines.
    if (std::all_of(labels.begin(), labels.end(), [](std::string_view l) {
            return std::all_of(l.begin(), l.end(), [](char c) { return c >= '0' && c <= '9'; });
        })) {
        return {std::string(host)};
    }
    std::size_t keep = 2;
    if (n >= 2 && labels[n - 1].size() == 2 &&
        std::find(SECOND_LEVEL_LABELS.begin(), SECOND_LEVEL_LABELS.end(), labels[n - 2]) != SECOND_LEVEL_LABELS.end()) {
        keep = 3;
    }
    const std::size_t last_start = n > keep ? n - keep : 0;
    std::vector<std::string> out;
    std::string_view rest = host;
    for (std::size_t i = 0; i <= last_start; ++i) {
        out.emplace_back(rest);
        rest.remove_prefix(std::min(rest.size(), labels[i].size() + 1));
    }
    return out;
}

std::string icon_cache_folder(win::Platform& platform) {
    std::string base = platform.get_env("LOCALAPPDATA").value_or("");
    // An empty value would put the cache wherever the program was started.
    if (base.empty()) base = platform.temp_dir();
    if (!base.empty() && base.back() != '\\' && base.back() != '/') base.push_back('\\');
    return base + "quilt\\icons";
}

std::string icon_cache_path(std::string_view folder, std::string_view name) {
    return std::string(folder) + "\\" + std::string(name) + ".ico";
}

IconLoad load_site_icon(win::Platform& platform, std::string_view host) {
    if (!valid_host(host)) return {};
    const std::string folder = icon_cache_folder(platform);
    for (const std::string& name : candidate_hosts(host)) {
        if (names_a_device(name)) continue;
        const std::string path = icon_cache_path(folder, name);
        if (platform.path_exists(path)) {
            // A broken file was deleted; its name is not downloaded again
            // before a later request.
            if (auto image = load_cached(platform, path)) return {true, *image};
            continue;
        }
        if (!platform.create_directories(folder)) continue;
        if (!platform.download_to_file("https://" + name + "/favicon.ico", path)) continue;
        if (auto image = load_cached(platform, path)) return {true, *image};
    }
    return {};
}

}  // namespace icons
