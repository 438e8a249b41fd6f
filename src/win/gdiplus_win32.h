// GDI+ images behind the core's opaque handles. Only the flat API is used:
// an image is a plain pointer that crosses threads and outlives any scope.
#pragma once

#include <windows.h>

// GDI+'s headers use PROPID and IStream without including their own.
#include <objidl.h>

#include <gdiplus.h>

#include <cstdint>

#include "win/types.h"

namespace win {

inline Gdiplus::GpImage* to_image(ImageHandle h) {
    return reinterpret_cast<Gdiplus::GpImage*>(static_cast<std::uintptr_t>(h.value));
}

inline ImageHandle from_image(Gdiplus::GpImage* image) {
    return ImageHandle{static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(image))};
}

}  // namespace win
