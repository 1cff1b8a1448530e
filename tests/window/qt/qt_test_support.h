// Helpers of the Qt layer's tests: one QApplication for the process (on the
// offscreen platform unless another was asked for), window structures to
// open, and ways to take events from a window without waiting forever.
#pragma once
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "window/events.h"
#include "window/qt/qt_window.h"
#include "window/window_structure.h"

namespace varnok::window::qt::testing {

inline QApplication& application() {
    static QApplication* app = [] {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "varnok_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

// The main window's structure, as the program declares it.
inline const char* const kMainWindow = "varnok$varnok001";
inline const char* const kMainListFormat =
    "12L(2)I@p p@130L(2)|M~Extension~@s64@110L(2)|M~Procedure~@s64@80L(2)|M~Template~@s40@"
    "30C(2)|M~From~@s6@30C(2)|M~To~@s6@";

inline ControlStructure control(ControlKind kind, std::string useName, std::string text, int32_t x, int32_t y,
                                int32_t width = NoValue, int32_t height = NoValue) {
    ControlStructure c;
    c.kind = kind;
    c.useName = std::move(useName);
    c.text = std::move(text);
    c.x = x;
    c.y = y;
    c.width = width;
    c.height = height;
    return c;
}

inline WindowStructure mainWindowStructure() {
    WindowStructure w;
    w.resourceName = kMainWindow;
    w.label = "P1$WINDOW";
    w.title = "Remove Extensions";
    w.icon = "varnok.ico";
    w.width = 420;
    w.height = 273;
    w.resizable = true;
    w.controls = {
        control(ControlKind::Group, "?GROUP1", "", 5, 6, 411, 45),
        control(ControlKind::Prompt, "?TXAFILENAME:PROMPT", "Txa File Name:", 9, 16),
        control(ControlKind::Entry, "?TXAFILENAME", "", 61, 16, 327, 10),
        control(ControlKind::Button, "?LOOKUPFILE", "...", 392, 15, 12, 12),
        control(ControlKind::Button, "?IMPORTTXABUTTON", "Load", 115, 32, 89, 14),
        control(ControlKind::Button, "?VIEWTXABUTTON", "View", 215, 32, 89, 14),
        control(ControlKind::Group, "?GROUP2", "", 5, 54, 411, 214),
        control(ControlKind::List, "?EXTENSIONQ", "", 9, 62, 401, 182),
        control(ControlKind::Button, "?SELECTBUTTON", "Select for removal", 9, 248, 139, 14),
        control(ControlKind::Button, "?REMOVEBUTTON", "Remove and Save", 271, 248, 139, 14),
    };
    w.controls[2].picture = "@s255";
    w.controls[7].format = kMainListFormat;
    return w;
}

// Takes the next event within the time given; false when none came (the
// window's loop is left by a posted marker, which is then consumed).
inline bool nextEventWithin(Window& window, Event& event, int milliseconds = 5000) {
    constexpr uint16_t kTimeout = 0x7FFF;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&window] { window.post(kTimeout); });
    timer.start(milliseconds);
    const bool got = window.nextEvent(event);
    timer.stop();
    return got && event.number != kTimeout;
}

// Lets Qt deliver what is pending, then takes every queued event.
inline std::vector<Event> drainEvents(QtWindow& window) {
    QApplication::processEvents();
    std::vector<Event> events;
    Event e;
    while (window.isOpen() && window.queuedEvents() > 0 && window.nextEvent(e)) events.push_back(e);
    return events;
}

// The events that are not about the window's place, size or activation.
inline std::vector<Event> withoutWindowNoise(const std::vector<Event>& events) {
    std::vector<Event> kept;
    for (const Event& e : events) {
        switch (e.number) {
        case event::Sized:
        case event::Moved:
        case event::GainFocus:
        case event::LoseFocus: break;
        default: kept.push_back(e);
        }
    }
    return kept;
}

inline std::string screenshotPath(const std::string& name) {
    QDir().mkpath(QStringLiteral(VARNOK_SCREENSHOT_DIR));
    return std::string(VARNOK_SCREENSHOT_DIR) + "/" + name;
}

}  // namespace varnok::window::qt::testing
