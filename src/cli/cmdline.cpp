#include "cli/cmdline.h"

namespace cli {
namespace {

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::vector<std::u16string> split_command_line(std::u16string_view line) {
    std::vector<std::u16string> args;
    if (line.empty()) return args;

    // The program name follows simpler rules: a quote only toggles quoting and
    // backslashes are literal, because paths end in backslashes.
    std::size_t i = 0;
    std::u16string program;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        const char16_t c = line[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && is_blank(c)) {
            break;
        } else {
            program.push_back(c);
        }
    }
    args.push_back(std::move(program));

    std::u16string current;
    bool in_arg = false;  // the current argument has begun (so `""` counts)
    quoted = false;
    while (i < line.size()) {
        const char16_t c = line[i];
        if (!quoted && is_blank(c)) {
            if (in_arg) {
                args.push_back(std::move(current));
                current.clear();
                in_arg = false;
            }
            ++i;
        } else if (c == u'\\') {
            std::size_t n = 0;
            while (i < line.size() && line[i] == u'\\') {
                ++n;
                ++i;
            }
            in_arg = true;
            if (i < line.size() && line[i] == u'"') {
                current.append(n / 2, u'\\');
                if (n % 2 == 1) {
                    current.push_back(u'"');
                    ++i;
                }
                // An even run leaves the quote to act as a quote on the next turn.
            } else {
                current.append(n, u'\\');
            }
        } else if (c == u'"') {
            in_arg = true;
            if (!quoted) {
                quoted = true;
                ++i;
            } else if (i + 1 < line.size() && line[i + 1] == u'"') {
                current.push_back(u'"');
                i += 2;
            } else {
                quoted = false;
                ++i;
            }
        } else {
            in_arg = true;
            current.push_back(c);
            ++i;
        }
    }
    if (in_arg || quoted) args.push_back(std::move(current));
    return args;
}

}  // namespace cli
