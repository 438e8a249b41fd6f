// The launcher window's behaviour over the platform door: showing, hiding,
// toggling, carrying out commands, and the window messages turned into calls
// of the input model. The window procedure (launcher_win32.cpp) only
// forwards to these.
//
// Hiding, showing, taking the foreground and launching all make Windows
// send WM_ACTIVATE to the launcher from inside the call, which comes back
// here through the window procedure. So every state change is finished
// before such a call, nothing holds a reference into the state across it,
// and commands carry copies of their items.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "icons/icon_thread.h"
#include "launcher/input.h"
#include "launcher/state.h"
#include "win/platform.h"
#include "win/types.h"

namespace launcher {

struct Launcher {
    win::Hwnd window;
    LauncherState state;
    // Where catalogue threads read the Apps folder: each thread holds it for
    // as long as it runs. None: no catalogue threads, only the web apps.
    std::shared_ptr<win::Platform> catalogue_platform;
    // What a catalogue thread posts to the window when its list is ready (0: nothing).
    std::uint32_t catalogue_ready_message = 0;
    // What the icon thread posts to the window after each result (0: no icon thread).
    std::uint32_t icons_ready_message = 0;
};

// The icon thread's work for a launcher window, posting `message` to it.
using IconWorkFor = std::function<icons::IconWork(win::Hwnd window, std::uint32_t message)>;

// Takes the window that start-up made, starts the first catalogue thread,
// then, given its work, the icon thread (silently none when the system will
// not make one). Without a window the launcher stays off, with neither
// thread, and the reason is written to standard error.
void start_launcher(win::Platform& p, Launcher& launcher, const win::Result<win::Hwnd>& made,
                    std::uint32_t icons_ready_message = 0, const IconWorkFor& icon_work = {});

// Reads the web apps, takes the installed apps of a finished catalogue
// thread (never waiting for one that still runs), centres the window on the
// work area at the DPI of that monitor, and gives it the foreground and the
// keyboard focus.
void show_launcher(win::Platform& p, Launcher& launcher, const win::Rect& work_area);

// Hides the window and starts a catalogue refresh; with give_focus_back, the
// window that was in front before the show gets the foreground again.
void hide_launcher(win::Platform& p, Launcher& launcher, bool give_focus_back);

// Win+Space: shows the launcher on the foreground window's monitor, or hides it.
void toggle_launcher(win::Platform& p, Launcher& launcher);

void execute_command(win::Platform& p, Launcher& launcher, LauncherCommand command);

// Window messages; pointer coordinates are physical pixels in the client area.
void on_key_down(win::Platform& p, Launcher& launcher, std::uint16_t vk);
void on_char(win::Platform& p, Launcher& launcher, std::uint16_t unit);
void on_mouse_move(win::Platform& p, Launcher& launcher, std::int32_t x, std::int32_t y);
void on_mouse_leave(win::Platform& p, Launcher& launcher);
void on_left_button_up(win::Platform& p, Launcher& launcher, std::int32_t x, std::int32_t y);
// WM_ACTIVATE with WA_INACTIVE: another window took the foreground.
void on_deactivate(win::Platform& p, Launcher& launcher);
// The icon thread's message: files every result and repaints a shown
// launcher when any arrived.
void take_icon_results(win::Platform& p, Launcher& launcher);
// The catalogue thread's message: a shown launcher lists the installed apps
// at once, and a stale list is read again.
void take_catalogue_result(win::Platform& p, Launcher& launcher);

}  // namespace launcher
