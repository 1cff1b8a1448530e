// StatusProgress: shows the progress of a Load or a Remove and Save as a bar
// in a status bar zone of the window, once the work has taken long enough
// to be worth one.
//
// From the first report on, the window paints what is pending
// (Window::paintPending) at that report and then at most once every
// `repaintMs`, so it keeps repainting while the work runs on (it may have
// been shown just before the work began). Once `delayMs` have passed since
// the first report, the zone shows the bar at the percentage done, updated
// as the window paints; quicker work shows no bar. ended(), or the end of
// the object, takes the bar away and gives the zone its text back.
//
//   StatusProgress progress(window, CountsZone, timing);
//   remover.Load(name, progress.sink());   // sink() is null when timing is off
//   progress.ended();
#pragma once
#include <cstdint>

#include "app/txa/progress.h"
#include "window/window_layer.h"

namespace varnok::app {

// Milliseconds of a monotonic clock.
uint64_t steadyMilliseconds();

struct ProgressTiming {
    bool enabled = true;      // off: the work reports no progress at all
    uint64_t delayMs = 500;   // the bar appears once the work takes longer
    uint64_t repaintMs = 50;  // the window paints at most this often
    uint64_t (*nowMs)() = &steadyMilliseconds;
};

class StatusProgress final : public Progress {
public:
    StatusProgress(window::Window* window, int32_t zone, const ProgressTiming& timing);
    ~StatusProgress() override { ended(); }
    StatusProgress(const StatusProgress&) = delete;
    StatusProgress& operator=(const StatusProgress&) = delete;

    // What the work reports to: this object, or null when the timing is off
    // or there is no window.
    Progress* sink() { return timing_.enabled && window_ ? this : nullptr; }

    void advanced(uint64_t done, uint64_t total) override;
    void ended() override;
    bool shown() const { return percent_ >= 0; }

private:
    void paint(uint64_t now);

    window::Window* window_;
    int32_t zone_;
    ProgressTiming timing_;
    bool started_ = false;
    uint64_t startMs_ = 0;
    uint64_t paintedMs_ = 0;  // when the window last painted for the bar
    int32_t percent_ = -1;    // the bar's value; -1 while no bar shows
};

}  // namespace varnok::app
