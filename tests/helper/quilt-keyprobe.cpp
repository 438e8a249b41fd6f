// Prints every key event a low-level keyboard hook sees, one flushed line
// each, so that a test can check exactly what another process injected:
//   "ready" once the hook is in place, then
//   "key 0xVK down|up flags 0xFF"  (flags as KBDLLHOOKSTRUCT gives them:
//                                   0x01 extended, 0x10 injected, 0x80 up)
// It ends when standard input closes.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <thread>
#include "probe_commands.h"

namespace {

void print_line(const char* text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

LRESULT CALLBACK on_key(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
        const bool up = wp == WM_KEYUP || wp == WM_SYSKEYUP;
        char line[80];
        std::snprintf(line, sizeof line, "key 0x%02lx %s flags 0x%02lx\n", static_cast<unsigned long>(k->vkCode),
                      up ? "up" : "down", static_cast<unsigned long>(k->flags));
        print_line(line);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, on_key, instance, 0);
    if (!hook) {
        print_line("error SetWindowsHookEx\n");
        return 1;
    }
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before the reader can post
    std::thread(wait_for_end_of_input, GetCurrentThreadId()).detach();
    print_line("ready\n");
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnhookWindowsHookEx(hook);
    return 0;
}
