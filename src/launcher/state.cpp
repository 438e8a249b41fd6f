#include "launcher/state.h"

#include <chrono>
#include <exception>
#include <system_error>

namespace launcher {

void start_catalogue_refresh(LauncherState& state, win::Platform& platform) {
    if (state.catalogue_thread.valid()) return;
    try {
        state.catalogue_thread =
            std::async(std::launch::async, [&platform] { return apps::build_catalogue(platform); });
    } catch (const std::system_error&) {
        // No thread to be had: the list stays as it is until a later hide.
    }
}

void adopt_catalogue(LauncherState& state) {
    if (!state.catalogue_thread.valid()) return;
    if (!state.items.empty() && state.catalogue_thread.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        return;
    }
    try {
        state.items = state.catalogue_thread.get();
    } catch (const std::exception&) {
        // The thread's failure is not the user's business: the old list stays.
    }
}

}  // namespace launcher
