#include "launcher/state.h"

#include <exception>
#include <system_error>
#include <thread>
#include <utility>

#include "text/unicode.h"

namespace launcher {

void start_catalogue_refresh(LauncherState& state, std::shared_ptr<win::Platform> platform,
                             std::function<void()> done) {
    if (state.catalogue_thread) {
        // Its list may be older than what the user just did.
        state.catalogue_stale = true;
        return;
    }
    auto job = std::make_shared<CatalogueJob>();
    try {
        std::thread([job, platform = std::move(platform), done = std::move(done)] {
            std::optional<std::vector<apps::LauncherItem>> installed;
            try {
                installed = apps::read_installed_apps(*platform);
            } catch (const std::exception&) {
                // The thread's failure is not the user's business: the old list stays.
            }
            {
                const std::lock_guard lock(job->mutex);
                job->installed = std::move(installed);
                job->done = true;
            }
            if (done) done();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the list stays as it is until a later hide.
        return;
    }
    state.catalogue_thread = std::move(job);
    state.catalogue_stale = false;
}

bool take_catalogue(LauncherState& state) {
    if (!state.catalogue_thread) return false;
    {
        const std::lock_guard lock(state.catalogue_thread->mutex);
        if (!state.catalogue_thread->done) return false;
        if (state.catalogue_thread->installed) state.installed = std::move(*state.catalogue_thread->installed);
    }
    state.catalogue_thread.reset();
    return true;
}

void compose_items(LauncherState& state) {
    state.items = apps::catalogue_of(state.web_apps, state.installed);
    fold_names(state);
}

void fold_names(LauncherState& state) {
    state.folded_names.resize(state.items.size());
    for (std::size_t i = 0; i < state.items.size(); ++i) {
        FoldedName& f = state.folded_names[i];
        if (f.name == state.items[i].name) continue;
        f.name = state.items[i].name;
        text::to_lower_into(f.name, f.folded);
    }
}

}  // namespace launcher
