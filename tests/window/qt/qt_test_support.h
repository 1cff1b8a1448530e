// Helpers of the Qt layer's tests: one QApplication for the process (on the
// offscreen platform unless another was asked for), and ways to take events
// from a window without waiting forever.
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
