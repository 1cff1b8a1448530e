// The program's start and end around Main: the INI manager on "varnok.INI"
// in the configuration folder, the window's place stored there at the end,
// and the drag setting switched off for the run only when it was on.
#include "app/startup/program_run.h"

#include <gtest/gtest.h>

#include "app/window/main_window_structure.h"
#include "framework/ini/ini_manager.h"
#include "platform/drag_full_windows.h"
#include "tests/app/window/program_home.h"
#include "tests/support/scripted_presenter.h"
#include "tests/support/scripted_window_layer.h"
#include "window/properties.h"

namespace varnok::app {
namespace {

using testing::readFile;
namespace prop = window::prop;

// A desktop whose setting the test chooses; records every change asked for.
struct FakeDragSetting : platform::DragFullWindowsSetting {
    bool on = false;
    std::vector<bool> sets;
    bool get() override { return on; }
    bool set(bool value) override {
        sets.push_back(value);
        on = value;
        return true;
    }
};

struct ProgramRunTest : ::testing::Test {
    testing::ProgramHome home;
    testing::ScriptedWindowLayer layer;
    testing::ScriptedPresenter boxes;
    FakeDragSetting drag;
    platform::DragFullWindowsSetting* previous = nullptr;

    void SetUp() override { previous = platform::setDragFullWindowsSetting(&drag); }
    void TearDown() override {
        platform::setDragFullWindowsSetting(previous);
        boxes.verifyDone();
        layer.verifyDone();
    }
};

TEST_F(ProgramRunTest, StoresThePlacementAndTheSectorsInVarnokIni) {
    layer.onOpen(MainWindowResource)
        .set("", prop::Xpos, "30")
        .set("", prop::Ypos, "40")
        .resize(450, 300);
    EXPECT_EQ(runProgram(), 2);
    EXPECT_EQ(readFile(home.varnokIni()),
              "[Main]\nResizeWidth=450\nResizeHeight=300\nMaximize=No\nMinimize=No\nXPos=30\nYPos=40\nWidth=450\nHeight=300\n"
              "\n[__Dont_Touch_Me__]\nSectors=0\n");
    EXPECT_EQ(readFile(home.remtxaIni()), "[TXA]\nFileName=\n");

    // The next run puts the window back where it was.
    layer.onOpen(MainWindowResource).call([](window::Window& w) {
        EXPECT_EQ(w.propertyNumber(0, prop::Xpos), 30);
        EXPECT_EQ(w.propertyNumber(0, prop::Ypos), 40);
        EXPECT_EQ(w.propertyNumber(0, prop::Width), 450);
        EXPECT_EQ(w.propertyNumber(0, prop::Height), 300);
    });
    runProgram();
}

TEST_F(ProgramRunTest, AMaximizedWindowKeepsNoPlaceAndOpensMaximized) {
    layer.onOpen(MainWindowResource).set("", prop::Maximize, "1");
    runProgram();
    const std::string ini = readFile(home.varnokIni());
    EXPECT_NE(ini.find("Maximize=Yes"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("XPos="), std::string::npos) << ini;
    layer.onOpen(MainWindowResource).call([](window::Window& w) { EXPECT_TRUE(w.propertyFlag(0, prop::Maximize)); });
    runProgram();
}

TEST_F(ProgramRunTest, TheDragSettingIsOffForTheRunOnlyWhenItWasOn) {
    for (bool wasOn : {true, false}) {
        SCOPED_TRACE(wasOn);
        drag.on = wasOn;
        drag.sets.clear();
        layer.onOpen(MainWindowResource).call([&](window::Window&) { EXPECT_FALSE(drag.on); });
        runProgram();
        EXPECT_EQ(drag.on, wasOn);
        EXPECT_EQ(drag.sets, wasOn ? (std::vector<bool>{false, true}) : (std::vector<bool>{}));
    }
}

#ifndef _WIN32  // the Linux stand-in; Windows has the real setting (tests/platform)
TEST(DragFullWindowsStandIn, IsOffAndCannotBeChanged) {
    EXPECT_FALSE(platform::dragFullWindows());
    EXPECT_FALSE(platform::setDragFullWindows(true));
    EXPECT_FALSE(platform::dragFullWindows());
}
#endif

}  // namespace
}  // namespace varnok::app
