#include "win/types.h"

#include <cstdio>

namespace win {

std::string format_hwnd(Hwnd hwnd) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(hwnd.value));
    return buf;
}

}  // namespace win
