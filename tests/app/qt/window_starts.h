// Starts of the program with its main window, each closed by the user with
// the close box as soon as the window is on the screen with its frame: where
// the frame and the client area were then, where the window was first shown,
// and the place the program saved at the close (varnok.INI, dialog units).
// Shared by the offscreen test (the offscreen platform draws a frame of a
// few pixels) and the one under a real window manager.
#pragma once
#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QRect>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/startup/program_run.h"
#include "app/window/main_window_structure.h"
#include "framework/ini/ini_manager.h"
#include "tests/support/qt_user_steps.h"
#include "tests/support/scripted_presenter.h"
#include "window/qt/qt_window.h"
#include "window/qt/qt_window_layer.h"

namespace varnok::testing {

struct WindowPlace {
    QRect frame;       // the frame's rectangle on the screen, when framed
    QPoint client;     // the client area's top-left corner, asked of the screen
    QPoint firstShown; // the frame's top-left when the window was first shown
    int savedX = 0, savedY = 0;  // XPos and YPos saved at the close
};

// Notes where the main window's frame is when the window is first shown.
class FirstShowRecorder : public QObject {
public:
    QPoint at;
    bool seen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !seen && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow() && widget->windowTitle() == "Remove Extensions") {
                // What the platform was asked for; the widget learns it later.
                at = widget->windowHandle() ? widget->windowHandle()->framePosition() : widget->pos();
                seen = true;
            }
        }
        return false;
    }
};

// True when the window is on the screen and its frame is known.
inline bool framedOnScreen(window::qt::QtWindow& w) {
    QWidget* f = w.widget();
    return f->isVisible() && f->windowHandle() && f->windowHandle()->isExposed() &&
           f->frameGeometry() != f->geometry();
}

// `onScreen` runs on each start just before the close (start 1, 2, ...).
inline std::vector<WindowPlace> startAndClose(window::qt::QtWindowLayer& layer, int starts,
                                              std::function<void(window::qt::QtWindow&, int)> onScreen = {}) {
    std::vector<WindowPlace> places;
    for (int start = 1; start <= starts; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        ScriptedPresenter boxes;
        FirstShowRecorder shown;
        qApp->installEventFilter(&shown);
        WindowPlace place;
        UserSteps user(layer, 30000);
        user.closeWindowsWhenDone().start();
        user.until(framedOnScreen, "the window on the screen with its frame").then([&](window::qt::QtWindow& w) {
            place.frame = w.widget()->frameGeometry();
            place.client = w.widget()->mapToGlobal(QPoint(0, 0));
            if (onScreen) onScreen(w, start);
            w.widget()->close();  // the close box
        });
        app::runProgram();
        qApp->removeEventFilter(&shown);
        EXPECT_TRUE(user.finished());
        boxes.verifyDone();
        place.firstShown = shown.at;
        framework::IniManager ini;
        ini.Init(app::ProgramIniFile, 0, 0);
        framework::WindowPlacement saved;
        ini.ReadPlacement(app::MainProcedureName, saved);
        EXPECT_TRUE(saved.Got);
        place.savedX = saved.X;
        place.savedY = saved.Y;
        places.push_back(place);
    }
    return places;
}

}  // namespace varnok::testing
