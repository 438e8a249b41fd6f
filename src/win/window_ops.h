// The window operations every other module uses. They turn the platform's
// primitives into plain values with fixed fallbacks, so callers never handle
// a half-read window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win/platform.h"
#include "win/types.h"

namespace win {

std::string window_title(Platform& p, Hwnd h);
std::string window_class(Platform& p, Hwnd h);
std::uint32_t window_process_id(Platform& p, Hwnd h);
// The file name of the process image; empty when the process cannot be queried.
std::string process_exe_name(Platform& p, std::uint32_t pid);
// The raw rectangle, invisible borders included; all zero on failure.
Rect window_rect(Platform& p, Hwnd h);
// The visible frame as the Desktop Window Manager draws it; nothing without composition.
std::optional<Rect> frame_rect(Platform& p, Hwnd h);
bool is_cloaked(Platform& p, Hwnd h);
bool is_shell_class(const std::string& class_name);
bool is_shell_window(Platform& p, Hwnd h);

// The visible frame, or the raw rectangle where the compositor gives none.
Rect visible_frame(Platform& p, Hwnd h);

// How long the one-shot commands give windows to carry out what was posted
// to them, and how often they look meanwhile. A window that has not done it
// by then counts as not responding: the system itself says so only after 5 s.
inline constexpr std::uint64_t ANSWER_WAIT_MS = 1000;
inline constexpr std::uint32_t ANSWER_POLL_MS = 20;

// Asks `answered(i)` for every i below `count`, again every ANSWER_POLL_MS for
// those that said no, until each has said yes once or ANSWER_WAIT_MS passed.
// Gives, for each i, whether it did.
std::vector<bool> wait_for_answers(Platform& p, std::size_t count, const std::function<bool(std::size_t)>& answered);

// How a window took a request to move.
enum class MoveAsked {
    Moving,     // the move is on its way
    Restoring,  // it was maximised: only the restore is on its way
};

// How a window stood when it was last looked at: what a move needs to know
// of it besides where it is to go.
struct Sighting {
    Rect window;  // the raw rectangle, invisible borders included
    Rect frame;   // the visible frame; the raw rectangle where there is none
    bool maximized = false;
};
// Looks now.
Sighting look_at(Platform& p, Hwnd h);

// Asks a window to put its visible frame on `target` without waiting for the
// window's thread, which may not be reading its messages: the move is posted
// (SWP_ASYNCWINDOWPOS) and the window carries it out when it gets round to
// it, with the invisible resize borders added back. A maximised window is only
// asked to restore itself (without activation), because its borders are
// known only once it has; the move is then for a later ask. A window the
// system calls hung is not asked at all. `seen` is how the window stood when
// the move was planned, so that a pass does not ask every window again what
// its enumeration just read.
Result<MoveAsked> ask_move(Platform& p, Hwnd h, const Rect& target, const Sighting& seen);
Result<MoveAsked> ask_move(Platform& p, Hwnd h, const Rect& target);  // looks at the window first

// Whether carry_out_moves waits for the windows to get there: `tile` reports
// where each one went; the daemon's next pass sees it.
enum class MoveWait { None, Bounded };

// What came of one move, in the order the moves were given.
struct MoveResult {
    Hwnd hwnd;
    std::optional<Error> failure;  // refused, or (waiting) not there when the wait was over
    // Not waiting: it was maximised and only asked to restore itself, so the
    // move is for a later ask.
    bool restoring = false;
};

// Asks every window at once with ask_move, waiting on no window's thread.
// With MoveWait::Bounded they are then given ANSWER_WAIT_MS together to get
// there, so that a window whose thread does not answer costs one short wait
// and holds up no other; a restored window is asked for its move once it is
// out of the maximised state. A window is there once its frame is on the
// target or has changed at all (a window that cannot take its exact tile
// takes the nearest it can in one step).
struct MoveOrder {
    Hwnd hwnd;
    Rect target;
    Sighting seen;  // as the enumeration that planned the move saw the window
};
std::vector<MoveResult> carry_out_moves(Platform& p, const std::vector<MoveOrder>& moves, MoveWait wait);

bool key_is_down(Platform& p, std::uint16_t vk);
bool win_key_is_down(Platform& p);
// A synthetic press of an unassigned key: the system then lets this process
// take the foreground.
bool press_dummy_key(Platform& p);
bool focus_window(Platform& p, Hwnd h);

std::vector<WorkArea> enumerate_monitors(Platform& p);
// The work area of the monitor that holds the window (the primary one if none does).
std::optional<Rect> work_area_of_window(Platform& p, Hwnd h);

}  // namespace win
