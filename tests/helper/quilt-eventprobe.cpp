// Listens for the window events the daemon hooks, with the same five
// out-of-context hooks, and prints each one as a line on standard output:
//   "ready" once the hooks are in place, then
//   "event 0xEEEE hwnd 0xHWND object O child C latency_ms L"
// where L is the time from the event being raised to its arrival here.
// It ends when standard input closes.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>
#include "probe_commands.h"

namespace {

void print_line(const char* text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

void CALLBACK on_event(HWINEVENTHOOK, DWORD event, HWND h, LONG object, LONG child, DWORD, DWORD time) {
    char line[160];
    std::snprintf(line, sizeof line, "event 0x%04lx hwnd 0x%llx object %ld child %ld latency_ms %lu\n",
                  static_cast<unsigned long>(event),
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(h)), static_cast<long>(object),
                  static_cast<long>(child), static_cast<unsigned long>(GetTickCount() - time));
    print_line(line);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const DWORD ranges[][2] = {{EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND},
                               {EVENT_SYSTEM_MOVESIZESTART, EVENT_SYSTEM_MOVESIZEEND},
                               {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND},
                               {EVENT_OBJECT_DESTROY, EVENT_OBJECT_HIDE},
                               {EVENT_OBJECT_CLOAKED, EVENT_OBJECT_UNCLOAKED}};
    std::vector<HWINEVENTHOOK> hooks;
    for (const auto& r : ranges) {
        HWINEVENTHOOK hook =
            SetWinEventHook(r[0], r[1], nullptr, on_event, 0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
        if (!hook) {
            print_line("error SetWinEventHook\n");
            return 1;
        }
        hooks.push_back(hook);
    }
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before the reader can post
    std::thread(wait_for_end_of_input, GetCurrentThreadId()).detach();
    print_line("ready\n");
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    for (HWINEVENTHOOK hook : hooks) UnhookWinEvent(hook);
    return 0;
}
