// The yardstick for the cost of looking at the desktop: one enumeration of
// the visible top-level windows with exactly the per-window calls a snapshot
// needs, and nothing kept from one enumeration to the next.
//   quilt-bareenum.exe          one enumeration, then "windows N", and ends
//   quilt-bareenum.exe none     no enumeration: what starting a program costs
//   quilt-bareenum.exe loop     "ready"; then for each line "enum K" on
//                               standard input, K enumerations and
//                               "done N"; ends when standard input closes
#include <dwmapi.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "probe_commands.h"

namespace {

void print_line(const char* text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

BOOL CALLBACK collect(HWND h, LPARAM out) {
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(h);
    return TRUE;
}

// What each visible window is asked, in the order a snapshot asks it.
int enumerate_once() {
    std::vector<HWND> handles;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&handles));
    int visible = 0;
    for (HWND h : handles) {
        if (!IsWindowVisible(h)) continue;
        ++visible;
        wchar_t title[512];
        GetWindowTextW(h, title, 512);
        wchar_t class_name[256];
        GetClassNameW(h, class_name, 256);
        RECT r;
        GetWindowRect(h, &r);
        RECT frame;
        DwmGetWindowAttribute(h, DWMWA_EXTENDED_FRAME_BOUNDS, &frame, sizeof frame);
        MonitorFromWindow(h, MONITOR_DEFAULTTONEAREST);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {
            wchar_t image[1024];
            DWORD size = 1024;
            QueryFullProcessImageNameW(process, 0, image, &size);
            CloseHandle(process);
        }
        GetWindowLongPtrW(h, GWL_STYLE);
        GetWindowLongPtrW(h, GWL_EXSTYLE);
        GetWindow(h, GW_OWNER);
        IsIconic(h);
        DWORD cloaked = 0;
        DwmGetWindowAttribute(h, DWMWA_CLOAKED, &cloaked, sizeof cloaked);
    }
    return visible;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    char text[64];
    if (std::strcmp(command_line, "none") == 0) {
        print_line("windows 0\n");
        return 0;
    }
    if (std::strcmp(command_line, "loop") != 0) {
        std::snprintf(text, sizeof text, "windows %d\n", enumerate_once());
        print_line(text);
        return 0;
    }
    print_line("ready\n");
    std::string line;
    while (read_line(line)) {
        int count = 0;
        if (std::sscanf(line.c_str(), "enum %d", &count) != 1) continue;
        int visible = 0;
        for (int i = 0; i < count; ++i) visible = enumerate_once();
        std::snprintf(text, sizeof text, "done %d\n", visible);
        print_line(text);
    }
    return 0;
}
