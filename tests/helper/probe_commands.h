// The command lines that the probes read: all of standard input, one command
// a line (a final "\r" dropped, empty lines skipped), arguments split at tabs;
// or, for a probe that answers each line before the next is written, a line
// at a time.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline std::vector<std::string> split_tabs(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return parts;
        start = tab + 1;
    }
}

template <typename Run>
void for_each_command(Run run) {
    std::string input;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buf, sizeof buf, &got, nullptr) && got > 0) input.append(buf, got);
    std::size_t start = 0;
    while (start < input.size()) {
        auto end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        std::string line = input.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) run(line);
        start = end + 1;
    }
}

// The next line of standard input without its "\r\n"; false once it has ended.
inline bool read_line(std::string& line) {
    line.clear();
    char c;
    DWORD got = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, nullptr) && got == 1) {
        if (c == '\r') continue;
        if (c == '\n') return true;
        line.push_back(c);
    }
    return !line.empty();
}

// Reads standard input to its end, then ends that thread's message loop:
// closing the pipe is how the tests stop a probe that only listens.
inline void wait_for_end_of_input(DWORD thread) {
    char c;
    DWORD got = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, nullptr) && got == 1) {
    }
    PostThreadMessageW(thread, WM_QUIT, 0, 0);
}
