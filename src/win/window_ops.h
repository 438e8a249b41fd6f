// The window operations every other module uses. They turn the platform's
// primitives into plain values with fixed fallbacks, so callers never handle
// a half-read window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
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

// The text that a move failure reports for a window that stopped pumping messages.
inline constexpr const char* NOT_RESPONDING = "the window is not responding";

// Moves a window so that its visible frame lands exactly on `target`: a
// maximised window is restored first (without activation), and the invisible
// resize borders are added back. A hung window is not touched, since
// SetWindowPos would block until it answers.
Status move_window(Platform& p, Hwnd h, const Rect& target);

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
