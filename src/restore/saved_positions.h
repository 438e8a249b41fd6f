// Where each window was before its first move, kept in a small text file so
// that windows can be put back even after the program was killed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "win/platform.h"
#include "win/types.h"

namespace restore {

// One line of the untile file: "hwnd pid show_cmd left top right bottom".
struct SavedPosition {
    std::int64_t hwnd = 0;
    std::uint32_t pid = 0;
    std::uint32_t show_cmd = 0;
    win::Edges normal;  // rcNormalPosition, given back unchanged
    friend bool operator==(const SavedPosition&, const SavedPosition&) = default;
};

struct RestoreCounts {
    std::size_t restored = 0;
    std::size_t gone = 0;
    std::size_t failed = 0;
    friend bool operator==(const RestoreCounts&, const RestoreCounts&) = default;
};

// A failed operation on the untile file, and which one it was.
enum class FileStep { Read, Write, Delete };
struct FileError {
    FileStep step = FileStep::Read;
    win::Error cause;
};

// %LOCALAPPDATA%\quilt\untile.txt, or the same under the temporary folder.
std::string untile_path(win::Platform& p);

// Decoded line by line: a line that is not UTF-8, not exactly seven
// well-formed numbers, or a rectangle that no window can have (empty, or
// outside the virtual screen) is skipped and the others are kept.
std::vector<SavedPosition> parse_positions(std::string_view text);
std::string format_positions(const std::vector<SavedPosition>& positions);

// Empty when the file is missing; an error when it is there but cannot be read.
win::Result<std::vector<SavedPosition>> load_positions(win::Platform& p);
// Records every window not recorded yet, before the caller moves them. The
// file is replaced whole, so a crash mid-write never loses what it held; a
// file that cannot be read is not replaced at all.
win::Result<win::Ok, FileError> save_positions(win::Platform& p, const std::vector<win::Hwnd>& windows);
// Puts every recorded window back and deletes the file when none failed.
// Each window is asked without waiting on its thread and then given
// win::ANSWER_WAIT_MS to get there; one that does not counts as failed.
// Per-window failures go to standard error. A file that cannot be read is
// left alone and nothing is restored.
win::Result<RestoreCounts, FileError> restore_positions(win::Platform& p);

// "Restored {n} window(s); {gone} no longer exist; {failed} failed.", as
// `untile` and the daemon's stop line say it.
std::string restored_text(const RestoreCounts& counts);

}  // namespace restore
