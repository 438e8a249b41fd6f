#include <gtest/gtest.h>

#include "cli/cmdline.h"

namespace {

using Args = std::vector<std::u16string>;

struct Case {
    const char16_t* line;
    Args args;
};

class SplitCommandLine : public ::testing::TestWithParam<Case> {};

TEST_P(SplitCommandLine, FollowsTheWindowsConvention) {
    EXPECT_EQ(cli::split_command_line(GetParam().line), GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLine,
    ::testing::Values(Case{u"", {}}, Case{u"quilt.exe", {u"quilt.exe"}},
                      Case{u"quilt.exe list", {u"quilt.exe", u"list"}},
                      Case{u"quilt.exe \t  list \t extra  words ", {u"quilt.exe", u"list", u"extra", u"words"}},
                      // The program name: quotes toggle, backslashes are literal even before a quote.
                      Case{u"\"C:\\Program Files\\quilt.exe\" tile", {u"C:\\Program Files\\quilt.exe", u"tile"}},
                      Case{u"C:\\dir\\\"a b\"\\q.exe x", {u"C:\\dir\\a b\\q.exe", u"x"}},
                      Case{u"q.exe \"tile\"", {u"q.exe", u"tile"}}, Case{u"q.exe \"a b\" c", {u"q.exe", u"a b", u"c"}},
                      Case{u"q.exe a\"b c\"d", {u"q.exe", u"ab cd"}},
                      // Backslashes: n before a quote give n/2; an odd run makes the quote literal.
                      Case{u"q.exe a\\\\b", {u"q.exe", u"a\\\\b"}}, Case{u"q.exe a\\\"b", {u"q.exe", u"a\"b"}},
                      Case{u"q.exe a\\\\\"b c\"", {u"q.exe", u"a\\b c"}},
                      Case{u"q.exe a\\\\\\\"b", {u"q.exe", u"a\\\"b"}}, Case{u"q.exe \"a\\\\\"", {u"q.exe", u"a\\"}},
                      // Two quotes inside quotes give one literal quote and quoting goes on.
                      Case{u"q.exe \"a\"\"b c\"", {u"q.exe", u"a\"b c"}}, Case{u"q.exe \"\"\"\"", {u"q.exe", u"\""}},
                      // Empty quoted arguments count, at the end and in the middle.
                      Case{u"q.exe \"\"", {u"q.exe", u""}}, Case{u"q.exe \"\" list", {u"q.exe", u"", u"list"}},
                      Case{u"q.exe list \"", {u"q.exe", u"list", u""}}, Case{u"q.exe\tlist", {u"q.exe", u"list"}},
                      Case{u"q.exe \"unterminated arg", {u"q.exe", u"unterminated arg"}}));

}  // namespace
