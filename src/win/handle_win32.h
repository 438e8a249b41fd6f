// Owning wrappers for kernel handles, so that no early return leaks one.
#pragma once

#include <windows.h>

#include <utility>

namespace win {

class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // A failing CloseHandle has nothing left to tell anyone.
    void reset() {
        if (h_) CloseHandle(h_);
        h_ = nullptr;
    }

  private:
    HANDLE h_ = nullptr;
};

inline HWND to_hwnd(std::uint64_t v) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(v)); }
inline std::uint64_t from_hwnd(HWND h) { return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(h)); }

}  // namespace win
