// The wait cursor: a state, shown at once, kept by WM_SETCURSOR handlers.
#include "window/win32/wait_cursor_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace varnok::window::win32 {
namespace {

TEST(Win32WaitCursor, OnShowsTheHourglassOffGivesTheArrowBack) {
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ASSERT_NE(wait, arrow);
    SetCursor(arrow);
    // Each step: the state asked for, then what the thread's cursor is and
    // what a WM_SETCURSOR handler does.
    const struct {
        bool on;
        HCURSOR shown;
    } steps[] = {{true, wait}, {true, wait} /* again: no change */, {false, arrow}, {false, arrow}, {true, wait},
                 {false, arrow}};
    for (const auto& step : steps) {
        setWaitCursor(step.on);
        EXPECT_EQ(waitCursorOn(), step.on);
        EXPECT_EQ(GetCursor(), step.shown);
        // A window's WM_SETCURSOR: set its own cursor unless the wait
        // cursor is kept.
        SetCursor(arrow);
        EXPECT_EQ(keepWaitCursor(), step.on);
        EXPECT_EQ(GetCursor(), step.shown);
    }
}

}  // namespace
}  // namespace varnok::window::win32
