// UserSteps: what a user does to the windows of the Qt layer while the
// program runs its window loops. Each step runs on the top window once the
// program waits for input there (its accept loop waits and its event queue
// is empty; long work that paints meanwhile is not waiting), so a step that
// opens a nested window is followed by steps on that window, and a step
// that closes one by steps on the window below; an `until` step waits for
// something that arrives later (a resize is laid out after the platform
// answers). Steps run from a timer inside the program's own loops;
// ViewQueue and the like are called normally and return when their windows
// close.
//
//     UserSteps user(layer);
//     user.then([](QtWindow& w) { QTest::mouseClick(w.controlWidget(4), Qt::LeftButton); })
//         .then([](QtWindow& w) { ... })
//         .start();
//     ViewQueue(...);             // returns when the user closed its window
//     EXPECT_TRUE(user.finished());
//
// With closeWindowsWhenDone(), the user closes every window left open once
// the steps have run. When the steps do not finish within the time given,
// the test fails, every open window is closed (so the test never hangs) and
// finished() stays false.
#pragma once
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "window/events.h"
#include "window/qt/qt_window.h"
#include "window/qt/qt_window_layer.h"

namespace varnok::testing {

class UserSteps {
public:
    using Step = std::function<void(window::qt::QtWindow&)>;
    using Condition = std::function<bool(window::qt::QtWindow&)>;

    explicit UserSteps(window::qt::QtWindowLayer& layer, int timeoutMilliseconds = 30000)
        : layer_(layer), timeout_(timeoutMilliseconds) {
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }

    UserSteps& then(Step step) {
        steps_.push_back({std::move(step), nullptr, ""});
        return *this;
    }
    // Waits until the condition holds on the top window.
    UserSteps& until(Condition condition, std::string what) {
        steps_.push_back({nullptr, std::move(condition), std::move(what)});
        return *this;
    }
    // The user closes the top window with its close box.
    UserSteps& closeTop() {
        return then([](window::qt::QtWindow& w) { w.widget()->close(); });
    }
    UserSteps& closeWindowsWhenDone() {
        closeWhenDone_ = true;
        return *this;
    }

    void start() {
        deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_);
        timer_.start();
    }
    bool finished() const { return steps_.empty() && !timedOut_; }
    size_t stepsLeft() const { return steps_.size(); }

private:
    struct Entry {
        Step step;
        Condition condition;
        std::string what;
    };

    void tick() {
        if (std::chrono::steady_clock::now() > deadline_) {
            timedOut_ = true;
            timer_.stop();
            ADD_FAILURE() << "the window test took too long"
                          << (steps_.empty() || steps_.front().what.empty() ? "" : "; waiting for: " + steps_.front().what);
            closeAll();
            return;
        }
        if (running_) return;
        if (steps_.empty() && !closeWhenDone_) {
            timer_.stop();
            return;
        }
        window::qt::QtWindow* top = layer_.topWindow();
        if (!top || top->queuedEvents() > 0 || !top->waitingForInput()) return;
        running_ = true;
        if (steps_.empty()) {
            closeAll();  // nothing more to do: the windows go as the user would close them
        } else if (steps_.front().condition) {
            if (steps_.front().condition(*top)) steps_.pop_front();
        } else {
            Entry entry = std::move(steps_.front());
            steps_.pop_front();
            entry.step(*top);
        }
        running_ = false;
    }
    void closeAll() {
        for (window::qt::QtWindow* w : layer_.openWindows()) w->post(window::event::CloseWindow);
    }

    window::qt::QtWindowLayer& layer_;
    QTimer timer_;
    std::deque<Entry> steps_;
    int timeout_;
    std::chrono::steady_clock::time_point deadline_;
    bool closeWhenDone_ = false;
    bool running_ = false;
    bool timedOut_ = false;
};

}  // namespace varnok::testing
