#include "app/window/status_progress.h"

#include <chrono>

#include "window/properties.h"

namespace varnok::app {

uint64_t steadyMilliseconds() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

StatusProgress::StatusProgress(window::Window* window, int32_t zone, const ProgressTiming& timing)
    : window_(window), zone_(zone), timing_(timing) {}

void StatusProgress::advanced(uint64_t done, uint64_t total) {
    if (!window_) return;
    const uint64_t now = timing_.nowMs();
    if (!started_) {
        // The window may have been shown just before the work (a file given
        // at the start): it paints as the work begins.
        started_ = true;
        startMs_ = now;
        paint(now);
        return;
    }
    const bool barDue = now - startMs_ >= timing_.delayMs;
    if (now - paintedMs_ < timing_.repaintMs && !(barDue && !shown())) return;
    if (barDue) {
        const int32_t percent = total == 0 || done >= total ? 100 : static_cast<int32_t>(done * 100 / total);
        if (percent != percent_) {
            percent_ = percent;
            window_->setProperty(0, window::prop::StatusProgress, percent, zone_);
        }
    }
    paint(now);
}

void StatusProgress::paint(uint64_t now) {
    paintedMs_ = now;
    window_->paintPending();
}

void StatusProgress::ended() {
    if (!shown() || !window_) return;
    percent_ = -1;
    window_->setProperty(0, window::prop::StatusProgress, "", zone_);
}

}  // namespace varnok::app
