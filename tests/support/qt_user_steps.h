// UserSteps: what a user does to the windows of the Qt layer while the
// program runs its window loops. Each step runs on the top window once the
// program waits for input there (its event queue is empty), so a step that
// opens a nested window is followed by steps on that window, and a step
// that closes one by steps on the window below. Steps run from a timer
// inside the program's own loops; ViewQueue and the like are called
// normally and return when their windows close.
//
//     UserSteps user(layer);
//     user.then([](QtWindow& w) { QTest::mouseClick(w.controlWidget(4), Qt::LeftButton); })
//         .then([](QtWindow& w) { ... })
//         .start();
//     ViewQueue(...);             // returns when the user closed its window
//     EXPECT_TRUE(user.finished());
//
// When the steps do not finish within the time given, every open window is
// closed (so the test never hangs) and finished() stays false.
#pragma once
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>

#include "window/events.h"
#include "window/qt/qt_window.h"
#include "window/qt/qt_window_layer.h"

namespace varnok::testing {

class UserSteps {
public:
    using Step = std::function<void(window::qt::QtWindow&)>;

    explicit UserSteps(window::qt::QtWindowLayer& layer, int timeoutMilliseconds = 30000)
        : layer_(layer), timeout_(timeoutMilliseconds) {
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }

    UserSteps& then(Step step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    // The user closes the top window with its close box.
    UserSteps& closeTop() {
        return then([](window::qt::QtWindow& w) { w.widget()->close(); });
    }

    void start() {
        elapsed_ = 0;
        timer_.start();
    }
    bool finished() const { return steps_.empty() && !timedOut_; }
    size_t stepsLeft() const { return steps_.size(); }

private:
    void tick() {
        elapsed_ += timer_.interval();
        if (elapsed_ > timeout_) {
            timedOut_ = true;
            timer_.stop();
            for (window::qt::QtWindow* w : layer_.openWindows()) w->post(window::event::CloseWindow);
            return;
        }
        if (running_ || steps_.empty()) {
            if (steps_.empty()) timer_.stop();
            return;
        }
        window::qt::QtWindow* top = layer_.topWindow();
        if (!top || top->queuedEvents() > 0) return;
        Step step = std::move(steps_.front());
        steps_.pop_front();
        running_ = true;
        step(*top);
        running_ = false;
    }

    window::qt::QtWindowLayer& layer_;
    QTimer timer_;
    std::deque<Step> steps_;
    int timeout_;
    int elapsed_ = 0;
    bool running_ = false;
    bool timedOut_ = false;
};

}  // namespace varnok::testing
