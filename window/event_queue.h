// EventQueue: the events a window has posted and not handed out yet, oldest
// first, and its accept-all state: from acceptAll until the EVENT:Completed
// it posts is handed out. Each window of both window layers keeps one.
#pragma once
#include <cstddef>
#include <deque>
#include <utility>

#include "window/events.h"
#include "window/window_layer.h"

namespace varnok::window {

class EventQueue {
public:
    void push(Event event) { events_.push_back(std::move(event)); }
    // Takes out the oldest event; false when none waits.
    bool take(Event& event) {
        if (events_.empty()) return false;
        event = std::move(events_.front());
        events_.pop_front();
        if (event.number == event::Completed) acceptingAll_ = false;
        return true;
    }
    bool empty() const { return events_.empty(); }
    size_t size() const { return events_.size(); }

    void startAcceptingAll() { acceptingAll_ = true; }
    bool acceptingAll() const { return acceptingAll_; }
    // The window closed: nothing waits and nothing is being accepted.
    void clear() {
        events_.clear();
        acceptingAll_ = false;
    }

private:
    std::deque<Event> events_;
    bool acceptingAll_ = false;
};

}  // namespace varnok::window
