// Splitting the process's command line, whatever a shortcut, a script or
// another program passed.
//
// Input: the command line as UTF-16 (pairs of bytes, big-endian).
#include <cstdint>
#include <string>
#include <vector>

#include "cli/cmdline.h"
#include "fuzz_input.h"

namespace {

// An argument written so that the C runtime's rules give it back: quoted
// when it has blanks or quotes or is empty, backslashes doubled before a
// quote. The program name has no escapes, only quoting.
std::u16string quoted(const std::u16string& arg, bool program) {
    if (program) return u"\"" + arg + u"\"";
    if (!arg.empty() && arg.find_first_of(u" \t\"") == std::u16string::npos) return arg;
    std::u16string out = u"\"";
    std::size_t backslashes = 0;
    for (char16_t c : arg) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == u'"' ? 2 * backslashes + 1 : backslashes, u'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(2 * backslashes, u'\\');
    out.push_back(u'"');
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string line;
    for (std::size_t i = 0; i + 1 < size; i += 2) line.push_back(static_cast<char16_t>(data[i] << 8 | data[i + 1]));

    const std::vector<std::u16string> args = cli::split_command_line(line);
    FUZZ_CHECK(args.empty() == line.empty());
    if (args.empty()) return 0;
    // A quote in the program name only toggles quoting, so none is left in it.
    FUZZ_CHECK(args[0].find(u'"') == std::u16string::npos);

    // Written back by the runtime's rules, the arguments split the same again.
    std::u16string again;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0) again.push_back(u' ');
        again += quoted(args[i], i == 0);
    }
    FUZZ_CHECK(cli::split_command_line(again) == args);
    return 0;
}
