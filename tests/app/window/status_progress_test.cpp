// The progress bar of a long Load or Remove and Save, against a clock the
// test moves: the window paints as the work starts and then at most once
// per repaint interval; no bar shows for quick work; past the delay the
// zone shows the percentage, and the end takes the bar away.
#include "app/window/status_progress.h"

#include <gtest/gtest.h>

#include "app/window/counts_line.h"
#include "app/window/main_window_structure.h"
#include "tests/support/scripted_window_layer.h"
#include "window/properties.h"

namespace varnok::app {
namespace {

uint64_t gNow = 0;
uint64_t testNow() { return gNow; }

struct Report {
    uint64_t atMs, done, total;
};

struct Case {
    const char* what;
    std::vector<Report> reports;
    std::vector<std::string> shown;  // the StatusProgress values set, ended() included
    int paints;
};

TEST(StatusProgress, ShowsAfterTheDelayAndPaintsAtMostOncePerInterval) {
    const Case cases[] = {
        {"quick work paints and shows no bar", {{1000, 10, 100}, {1100, 50, 100}, {1130, 60, 100}, {1499, 100, 100}}, {}, 3},
        {"slow work",
         {{1000, 0, 100}, {1300, 30, 100}, {1600, 60, 100}, {1620, 70, 100}, {1700, 80, 100}, {1760, 80, 100}},
         {"60", "80", ""},
         5},
        {"the clock starts at the first report, not before", {{5000, 1, 100}, {5400, 2, 100}}, {}, 2},
        {"an empty or overrun total is whole", {{0, 0, 0}, {500, 0, 0}, {600, 7, 5}}, {"100", ""}, 3},
        {"huge files do not overflow",
         {{0, 0, uint64_t(1) << 50}, {900, uint64_t(1) << 49, uint64_t(1) << 50}},
         {"50", ""},
         2},
    };
    registerMainWindow();
    for (const Case& c : cases) {
        testing::ScriptedWindowLayer layer;
        std::unique_ptr<window::Window> w = layer.open(MainWindowResource, nullptr);
        ASSERT_TRUE(w);
        {
            StatusProgress progress(w.get(), CountsZone, {true, 500, 50, &testNow});
            ASSERT_EQ(progress.sink(), &progress);
            for (const Report& r : c.reports) {
                gNow = r.atMs;
                progress.sink()->advanced(r.done, r.total);
            }
        }  // the end takes the bar away
        const testing::ScriptedWindowState& state = layer.last(MainWindowResource);
        EXPECT_EQ(state.statusProgress, c.shown) << c.what;
        EXPECT_EQ(state.paints, c.paints) << c.what;
        EXPECT_EQ(state.property(0, window::prop::StatusProgress, CountsZone), "") << c.what;
        w->close();
    }
}

TEST(StatusProgress, NoSinkWhenSwitchedOffOrWithoutAWindow) {
    registerMainWindow();
    testing::ScriptedWindowLayer layer;
    std::unique_ptr<window::Window> w = layer.open(MainWindowResource, nullptr);
    ProgressTiming off;
    off.enabled = false;
    EXPECT_EQ(StatusProgress(w.get(), CountsZone, off).sink(), nullptr);
    EXPECT_EQ(StatusProgress(nullptr, CountsZone, {}).sink(), nullptr);
    w->close();
}

}  // namespace
}  // namespace varnok::app
