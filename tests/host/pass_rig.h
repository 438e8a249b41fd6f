// The daemon's context together with everything it points at, as the daemon
// keeps them, for tests that run passes and stops.
#pragma once

#include "daemon/tiling_pass.h"

struct PassRig {
    layout::LayoutState state;
    quilt_daemon::FocusBorder border;
    quilt_daemon::DaemonState shared;
    bool first_pass = true;
    quilt_daemon::DaemonContext ctx{state, border, first_pass, shared};
};
