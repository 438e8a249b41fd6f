// Plain values shared by every module: rectangles, opaque handles, and the
// result type that carries a platform error instead of throwing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace win {

// A screen rectangle in physical pixels. Win32 hands out left/top/right/bottom;
// everything past the platform layer works with width and height.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    std::int32_t right() const { return left + width; }
    std::int32_t bottom() const { return top + height; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A rectangle by its four edges, as Win32 and the untile file give one; right
// and bottom lie just outside it. Insets use the same four numbers.
struct Edges {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool contains(std::int32_t x, std::int32_t y) const { return left <= x && x < right && top <= y && y < bottom; }
    friend bool operator==(const Edges&, const Edges&) = default;
};

inline Rect rect_from_ltrb(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    return Rect{l, t, r - l, b - t};
}

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Window and monitor handles are opaque integers so that the core never sees
// a Win32 pointer type. Distinct types keep a monitor from being passed where
// a window is meant.
struct Hwnd {
    std::uint64_t value = 0;
    explicit operator bool() const { return value != 0; }
    friend bool operator==(const Hwnd&, const Hwnd&) = default;
};

struct Hmonitor {
    std::uint64_t value = 0;
    explicit operator bool() const { return value != 0; }
    friend bool operator==(const Hmonitor&, const Hmonitor&) = default;
};

// A decoded picture (a GDI+ image) that the program keeps or hands on. The
// core only carries it; the platform makes and disposes of it.
struct ImageHandle {
    std::uint64_t value = 0;
    explicit operator bool() const { return value != 0; }
    friend bool operator==(const ImageHandle&, const ImageHandle&) = default;
};

// "0x" and lowercase hex without leading zeros: how every message and report
// writes a window handle.
std::string format_hwnd(Hwnd hwnd);

// One display monitor.
struct WorkArea {
    Hmonitor handle;
    Rect work;    // the desktop without the taskbar and docked bars
    Rect bounds;  // the whole monitor
    bool primary = false;
    friend bool operator==(const WorkArea&, const WorkArea&) = default;
};

// The monitor with this handle; nothing when it is not in the list.
const WorkArea* find_monitor(const std::vector<WorkArea>& monitors, Hmonitor handle);

// The monitor the system gives a window with this raw rectangle, where the
// rectangle alone settles it: the one it overlaps most, no other as much.
// Nothing when it overlaps none, or two alike: only the system can say then.
std::optional<Hmonitor> monitor_overlapped_most(const Rect& window, const std::vector<WorkArea>& monitors);

// Why an operation failed, so that callers test a kind rather than a code.
enum class ErrorKind {
    System,         // the system said why: `code` is its last-error code or HRESULT
    NoCode,         // the call failed without setting an error code
    NotResponding,  // the window stopped reading its messages
};

// A platform error: the last-error code or HRESULT of the call that failed,
// with the system's message text for it.
struct Error {
    std::uint32_t code = 0;
    std::string message;
    ErrorKind kind = ErrorKind::System;
};

// The text that a failure reports for a window that stopped pumping messages.
inline constexpr const char* NOT_RESPONDING = "the window is not responding";

inline Error not_responding() { return Error{0, NOT_RESPONDING, ErrorKind::NotResponding}; }
// A refusal that came without a code, worded by whoever saw it.
inline Error refused_without_code(std::string message) { return Error{0, std::move(message), ErrorKind::NoCode}; }

// A failed file operation as messages show it: the text and " (os error N)".
std::string file_error_text(const Error& e);

// "{what}: {why}\n", how every failure is said on standard error.
std::string failure_line(std::string_view what, std::string_view why);

// Success or an error. Expected failures travel as values; nothing here throws.
// The error is a platform error unless a caller needs to say more.
template <typename T, typename E = Error>
class [[nodiscard]] Result {
  public:
    Result(T value) : data_(std::move(value)) {}
    Result(E error) : data_(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(data_); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<T>(data_); }
    T& value() { return std::get<T>(data_); }
    const E& error() const { return std::get<E>(data_); }

  private:
    std::variant<T, E> data_;
};

// A result with nothing to carry on success.
struct Ok {};
using Status = Result<Ok>;
inline Status success() { return Status(Ok{}); }

}  // namespace win

template <>
struct std::hash<win::Hwnd> {
    std::size_t operator()(const win::Hwnd& h) const noexcept { return std::hash<std::uint64_t>{}(h.value); }
};

template <>
struct std::hash<win::Hmonitor> {
    std::size_t operator()(const win::Hmonitor& h) const noexcept { return std::hash<std::uint64_t>{}(h.value); }
};
