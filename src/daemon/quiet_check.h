// The periodic pass exists to catch what no window event told the daemon.
// Most of the time nothing happened, so it first takes a glance: a handful of
// reads per window that show every change a full pass would act on. Only when
// the glance differs from the one taken before the last quiet pass does the
// full pass run.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "win/platform.h"
#include "win/types.h"

namespace quilt_daemon {

struct GlancedWindow {
    win::Hwnd hwnd;
    std::optional<win::Rect> rect;
    // The style carries WS_MINIMIZE and WS_MAXIMIZE as well as the bits the
    // rules read, so it also shows a window minimised, maximised or restored.
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    bool titled = false;  // a window without a title is ignored, and may get one later
    bool cloaked = false;
    friend bool operator==(const GlancedWindow&, const GlancedWindow&) = default;
};

// The visible top-level windows in Z order, the monitors, the foreground
// window and the one in the user's hand.
struct Glance {
    std::vector<GlancedWindow> windows;
    std::vector<win::WorkArea> monitors;
    win::Hwnd foreground;
    win::Hwnd moving;
    friend bool operator==(const Glance&, const Glance&) = default;
};

Glance glance_at_desktop(win::Platform& p, win::Hwnd moving);

// What the daemon keeps between passes for the check.
struct QuietWatch {
    // Taken before the last pass that found nothing to do: a pass that sees
    // the same would find nothing either.
    std::optional<Glance> quiet;
    std::optional<Glance> taken;  // by this pass, before it enumerated
};

// Before a periodic pass: takes a glance and says whether the pass can be left
// out because nothing changed since the last quiet one.
bool nothing_changed(win::Platform& p, QuietWatch& watch, win::Hwnd moving);

// After a pass that ran: a quiet one (nothing to move, not the first) keeps
// its glance for the checks that follow; any other pass, or one that took no
// glance, makes the next periodic pass a full one.
void pass_done(QuietWatch& watch, bool quiet);

}  // namespace quilt_daemon
