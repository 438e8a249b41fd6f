#include <gtest/gtest.h>

#include "daemon/focus_border.h"
#include "sim_desktop.h"

namespace {

using Attr = sim::Desktop::Attribute;

class Border : public ::testing::Test {
  protected:
    void SetUp() override {
        a = d.add_window({});
        b = d.add_window({});
    }
    sim::Desktop d;
    quilt_daemon::FocusBorder border;
    win::Hwnd a, b;
};

TEST_F(Border, FollowsTheFocusAndResetsThePreviousWindow) {
    quilt_daemon::set_focus_border(d, border, true, a);
    quilt_daemon::set_focus_border(d, border, true, a);  // already there: no system call
    quilt_daemon::set_focus_border(d, border, true, b);
    quilt_daemon::set_focus_border(d, border, false, b);
    quilt_daemon::set_focus_border(d, border, false, b);  // nothing has the border: nothing to do
    const std::vector<Attr> expected = {
        {a, 34, 0x00B49078}, {a, 34, 0xFFFFFFFF}, {b, 34, 0x00B49078}, {b, 34, 0xFFFFFFFF}};
    EXPECT_EQ(d.attributes_set, expected);
    EXPECT_EQ(d.calls.size(), 4u);
    EXPECT_FALSE(border.current.has_value());
}

TEST_F(Border, AClosedWindowIsNotReset) {
    quilt_daemon::set_focus_border(d, border, true, a);
    d.close_window(a);
    quilt_daemon::set_focus_border(d, border, true, b);
    EXPECT_EQ(d.attributes_set, (std::vector<Attr>{{a, 34, 0x00B49078}, {b, 34, 0x00B49078}}));
}

TEST_F(Border, FailureIsReportedOnceAndTheWindowStillCountsAsBordered) {
    d.dwm_available = false;
    quilt_daemon::set_focus_border(d, border, true, a);
    quilt_daemon::set_focus_border(d, border, true, b);
    quilt_daemon::set_focus_border(d, border, true, a);
    EXPECT_EQ(d.err, "Could not set a border color on window " + win::format_hwnd(a) + ": Not implemented\n");
    EXPECT_EQ(border.current, a);
}

}  // namespace
