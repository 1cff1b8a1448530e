// The main window's place over five starts under a real window manager:
// openbox on a virtual X server (tests/support/openbox_desktop.h), which
// frames the window with a title bar and borders. Each start closes the
// window where it opened; the next start must show it there again, to the
// pixel or one off (the place is kept in dialog units). Skipped, saying
// why, when no X server with openbox can be started here. The screen after
// the fifth start goes to build/screenshots/, and so does the screen with
// each of the program's message boxes as openbox frames them.
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <chrono>
#include <filesystem>

#include "tests/app/window/program_home.h"
#include "tests/app/qt/window_starts.h"
#include "tests/support/openbox_desktop.h"
#include "tests/window/qt/qt_test_support.h"
#include "window/dialog_units.h"
#include "window/qt/message_presenter.h"
#include "window/qt/qt_window_layer.h"
#include "window/qt/window_font.h"

namespace varnok::app {
namespace {

testing::OpenboxDesktop* desktop = nullptr;

struct WindowPlaceOpenbox : ::testing::Test {
    static void SetUpTestSuite() {
        desktop = new testing::OpenboxDesktop;
        if (desktop->running()) {
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            window::qt::testing::application();
        }
    }
    static void TearDownTestSuite() {
        // The application's connection to the server goes with the process;
        // the server and openbox end here.
        delete desktop;
        desktop = nullptr;
    }
    void SetUp() override {
        if (!desktop->running()) GTEST_SKIP() << desktop->why();
        previous = window::setWindowLayer(&layer);
        registerMainWindow();
    }
    void TearDown() override {
        if (desktop->running()) window::setWindowLayer(previous);
    }

    static void screenshot(const std::string& name) {
        QScreen* screen = QGuiApplication::primaryScreen();
        ASSERT_NE(screen, nullptr);
        EXPECT_TRUE(screen->grabWindow(0).save(QString::fromStdString(window::qt::testing::screenshotPath(name))));
    }

    testing::ProgramHome home;
    window::qt::QtWindowLayer layer;
    window::WindowLayer* previous = nullptr;
};

// Runs the application's events until the condition holds (at most 10 s).
bool waitUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The screen just above the window's client area is no longer the black of
// the empty screen: the window manager drew a title bar there.
bool titleBarDrawn(QWidget& window) {
    if (!window.windowHandle() || !window.windowHandle()->isExposed()) return false;
    const QPoint corner = window.mapToGlobal(QPoint(0, 0));
    const QImage above = QGuiApplication::primaryScreen()->grabWindow(0, corner.x(), corner.y() - 6, window.width(), 3)
                             .toImage();
    int lit = 0;
    for (int x = 0; x < above.width(); ++x) lit += qGray(above.pixel(x, 1)) > 40;
    return lit > above.width() / 2;
}

void expectSamePlace(const std::vector<testing::WindowPlace>& places, QPoint frame) {
    for (size_t i = 0; i < places.size(); ++i) {
        SCOPED_TRACE("start " + std::to_string(i + 1));
        const testing::WindowPlace& p = places[i];
        EXPECT_LE(std::abs(p.frame.left() - frame.x()), 1) << "frame at " << p.frame.left() << "," << p.frame.top();
        EXPECT_LE(std::abs(p.frame.top() - frame.y()), 1) << "frame at " << p.frame.left() << "," << p.frame.top();
        // The client area keeps its place in the frame: below the title bar.
        EXPECT_EQ(p.client - p.frame.topLeft(), places[0].client - places[0].frame.topLeft());
        EXPECT_GT(p.client.y() - p.frame.top(), 10) << "a title bar above the client area";
    }
}

// First start without a saved place: openbox places the window; the four
// starts after it show the window where the first one had it.
TEST_F(WindowPlaceOpenbox, FiveStartsKeepThePlaceTheWindowManagerGave) {
    const std::vector<testing::WindowPlace> places = testing::startAndClose(layer, 5);
    ASSERT_EQ(places.size(), 5u);
    expectSamePlace(places, places[0].frame.topLeft());
}

// A saved place (dialog units 40, 30 from the screen's corner) is where the
// frame's top-left corner is shown, start after start.
TEST_F(WindowPlaceOpenbox, FiveStartsKeepASavedPlace) {
    std::filesystem::create_directories(home.varnokFolder());
    home.root().write("config/varnok/varnok.INI",
                      "[Main]\nMaximize=No\nMinimize=No\nXPos=40\nYPos=30\nWidth=420\nHeight=273\n");
    const std::vector<testing::WindowPlace> places = testing::startAndClose(layer, 5, [](window::qt::QtWindow&, int start) {
        if (start == 5) screenshot("openbox-main-window-fifth-start.png");
    });
    ASSERT_EQ(places.size(), 5u);
    const window::DialogBase base = window::qt::dialogBase(window::qt::windowFont("MS Sans Serif", 8));
    expectSamePlace(places, QPoint(window::unitsToPixelsX(40, base), window::unitsToPixelsY(30, base)));
    for (const testing::WindowPlace& p : places) {
        EXPECT_EQ(p.savedX, 40);
        EXPECT_EQ(p.savedY, 30);
    }
}

// The program's message boxes as openbox frames them: each wide enough for
// the window manager to show its whole title. Screenshots of the screen with
// each box go to build/screenshots/openbox-message-*.png.
TEST_F(WindowPlaceOpenbox, MessageBoxesShowTheirWholeTitles) {
    const window::MessageRequest requests[] = {
        {"main_.txa", "Saved", window::IconInformation, window::ButtonOk, 0},
        {"Overwrite main_.txa ?", "File already exists", window::IconQuestion, window::ButtonYes | window::ButtonNo,
         window::ButtonNo},
        {"Nothing to delete", "Not saved", window::IconExclamation, window::ButtonOk, 0},
        {"Cannot open missing.txa: No such file or directory", "Error Open", window::IconHand, window::ButtonOk, 0},
        {"Select all the instances of: Logger", "Select All", window::IconQuestion,
         window::ButtonYes | window::ButtonNo, window::ButtonNo},
        {"x", "A title much longer than the text of its message", "", window::ButtonOk, 0},
    };
    for (const window::MessageRequest& request : requests) {
        SCOPED_TRACE(request.caption);
        const window::qt::MessageBoxPlan plan = window::qt::messageBoxPlan(request);
        std::unique_ptr<QMessageBox> box = window::qt::buildMessageBox(plan, nullptr);
        box->show();
        ASSERT_TRUE(waitUntil([&] { return titleBarDrawn(*box); })) << "openbox drew the box's title bar";
        std::string name = request.caption;
        std::replace(name.begin(), name.end(), ' ', '-');
        screenshot("openbox-message-" + name + ".png");
        box->hide();
    }
}

}  // namespace
}  // namespace varnok::app
