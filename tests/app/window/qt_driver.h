// QtDriver: plays a test's steps while the program's windows run their own
// event loops, one step whenever the top window waits for input with its
// event queue empty, so every step sees the handlers of the steps before it
// done. A `until` step waits for something that arrives later (a resize is
// laid out after the platform answers). If the steps run out or take longer
// than the time allowed, every window is closed so no test can hang.
#pragma once
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "window/events.h"
#include "window/qt/qt_window.h"
#include "window/qt/qt_window_layer.h"

namespace varnok::testing {

// One QApplication for the process, on the offscreen platform unless
// another was asked for.
inline QApplication& testApplication() {
    static QApplication* app = [] {
        if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "varnok-test";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

class QtDriver {
public:
    using Step = std::function<void(window::qt::QtWindow&)>;
    explicit QtDriver(window::qt::QtWindowLayer& layer, std::chrono::seconds allowed = std::chrono::seconds(60))
        : layer_(layer), deadline_(std::chrono::steady_clock::now() + allowed) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start(2);
    }

    // A step run once, on the top window.
    QtDriver& then(Step step) {
        steps_.push_back({std::move(step), nullptr, ""});
        return *this;
    }
    // Waits until the condition holds on the top window.
    QtDriver& until(std::function<bool(window::qt::QtWindow&)> condition, std::string what) {
        steps_.push_back({nullptr, std::move(condition), std::move(what)});
        return *this;
    }
    bool finished() const { return steps_.empty(); }

private:
    struct Entry {
        Step step;
        std::function<bool(window::qt::QtWindow&)> condition;
        std::string what;
    };

    void tick() {
        if (busy_) return;
        window::qt::QtWindow* top = layer_.topWindow();
        if (!top) return;
        if (std::chrono::steady_clock::now() > deadline_) {
            ADD_FAILURE() << "the window test took too long"
                          << (steps_.empty() ? "" : "; waiting for: " + steps_.front().what);
            steps_.clear();
            closeAll();
            return;
        }
        if (top->queuedEvents() != 0) return;
        busy_ = true;
        if (steps_.empty()) {
            closeAll();  // nothing more to do: the windows go as the user would close them
        } else if (steps_.front().condition) {
            if (steps_.front().condition(*top)) steps_.pop_front();
        } else {
            Entry e = std::move(steps_.front());
            steps_.pop_front();
            e.step(*top);
        }
        busy_ = false;
    }
    void closeAll() {
        for (window::qt::QtWindow* w : layer_.openWindows()) w->post(window::event::CloseWindow);
    }

    window::qt::QtWindowLayer& layer_;
    std::chrono::steady_clock::time_point deadline_;
    std::deque<Entry> steps_;
    QTimer timer_;
    bool busy_ = false;
};

}  // namespace varnok::testing
