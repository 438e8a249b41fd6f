// Going to virtual desktop n, and taking the focused window along. The shell
// offers no supported interface for switching, so this reads the desktop list
// from the registry and presses the shell's own Win+Ctrl+arrow shortcut.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "win/platform.h"

namespace quilt_daemon {

inline constexpr const char* VIRTUAL_DESKTOPS_KEY =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\VirtualDesktops";

struct DesktopList {
    std::uint32_t current = 0;  // 0-based
    std::uint32_t count = 0;
    friend bool operator==(const DesktopList&, const DesktopList&) = default;
};

struct DesktopStep {
    enum class Kind { Stay, StepLeft, StepRight, Beyond };
    Kind kind = Kind::Stay;
    std::uint32_t n = 0;  // presses for the steps, the number of desktops for Beyond
    friend bool operator==(const DesktopStep&, const DesktopStep&) = default;
};

// Nothing when the values are missing, malformed or do not agree.
std::optional<DesktopList> parse_desktops(const std::vector<std::uint8_t>& ids,
                                          const std::vector<std::uint8_t>& current);
std::optional<DesktopList> read_desktops(win::Platform& p);

DesktopStep plan_desktop_step(std::uint32_t current, std::uint32_t count, std::uint32_t n);

// The key events of one switch, given which modifier keys are held now.
std::vector<win::KeyInput> desktop_switch_inputs(const DesktopStep& step, bool lshift_down, bool rshift_down,
                                                 bool win_down);
void switch_desktop(win::Platform& p, const DesktopStep& step);

void go_to_desktop(win::Platform& p, std::uint32_t n);
// Hides the foreground window, switches, waits (up to 3 s) until the shell
// reports the target as current, and shows the window again there. A stop
// asked for while it waits (`stop`, set from another thread) ends the wait
// at once and shows the window again where it is.
void send_to_desktop(win::Platform& p, std::uint32_t n, const std::atomic<bool>* stop = nullptr);

}  // namespace quilt_daemon
