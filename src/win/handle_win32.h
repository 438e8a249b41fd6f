// Owning wrappers for kernel handles, COM references and the COM apartment,
// so that no early return leaks one.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <cstdint>
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

// One COM reference, released on every way out of the scope.
template <typename T>
class ComRef {
  public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For the calls that hand out a new reference; whatever was held is released first.
    void** out() {
        reset();
        return reinterpret_cast<void**>(&p_);
    }
    T** typed_out() {
        reset();
        return &p_;
    }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

  private:
    T* p_ = nullptr;
};

// The calling thread in a single-threaded COM apartment for this object's
// life. Every successful CoInitializeEx (also the one that finds the thread
// in the apartment already) is balanced; a thread that is in a
// multithreaded apartment is left as it is.
class ComApartment {
  public:
    ComApartment() : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (joined_) CoUninitialize();
    }

  private:
    bool joined_;
};

inline HWND to_hwnd(std::uint64_t v) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(v)); }
inline std::uint64_t from_hwnd(HWND h) { return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(h)); }

}  // namespace win
