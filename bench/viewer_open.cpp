// varnok_viewer_bench: opening the queue viewer on the lines of a large TXA
// file, offscreen, as the View button does, with figures for
// bench/viewer_bench.sh:
//
//   varnok_viewer_bench FILE [OPENINGS]
//
// prints one line of key=value pairs:
//   lines        entries of LineQ
//   load_ms      reading the file into LineQ (not part of opening)
//   typing_ms    the typing pass alone over LineQ, best of OPENINGS
//   open_ms      from the call of ViewQueue to the window's first paint
//                (typing pass, window, columns, fitting, every visible row
//                drawn), best of OPENINGS
//   open_median_ms  the median of those openings
#include <QApplication>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/txa/extension_remover.h"
#include "queueview/viewer/column_typing.h"
#include "queueview/viewer/queue_viewer.h"
#include "window/events.h"
#include "window/message_box.h"
#include "window/qt/qt_window.h"
#include "window/qt/qt_window_layer.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct QuietPresenter : varnok::window::MessagePresenter {
    unsigned show(const varnok::window::MessageRequest& request) override {
        std::fprintf(stderr, "message: %s: %s\n", request.caption.c_str(), request.text.c_str());
        return varnok::window::effectiveDefault(request);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: varnok_viewer_bench FILE [OPENINGS]\n");
        return 2;
    }
    const int openings = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    varnok::window::qt::QtWindowLayer layer;
    QuietPresenter presenter;
    varnok::window::setWindowLayer(&layer);
    varnok::window::setMessagePresenter(&presenter);

    varnok::app::ExtensionRemover remover;
    remover.FileNameTXA = argv[1];
    const Clock::time_point loadStart = Clock::now();
    if (remover.Load().status != varnok::app::LoadStatus::Loaded) return 3;
    const double loadMs = millisecondsSince(loadStart);
    varnok::QueueDecl* lines = remover.LineQ;

    double typingBest = 1e300;
    for (int i = 0; i < openings; ++i) {
        std::vector<varnok::queueview::ColumnEntry> columns;
        varnok::queueview::DimensionedField dimensioned;
        const Clock::time_point start = Clock::now();
        varnok::queueview::describeColumns(lines, columns, dimensioned);
        varnok::queueview::typeColumns(lines, columns);
        typingBest = std::min(typingBest, millisecondsSince(start));
    }

    // Each opening ends at the first paint: as soon as the viewer waits for
    // input, its window is drawn in full (the list reads its visible rows)
    // and closed.
    std::vector<double> opens;
    for (int i = 0; i < openings; ++i) {
        Clock::time_point start;
        QTimer probe;
        probe.setInterval(0);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            varnok::window::qt::QtWindow* top = layer.topWindow();
            if (!top || top->queuedEvents() > 0) return;
            probe.stop();
            top->widget()->repaint();
            opens.push_back(millisecondsSince(start));
            top->post(varnok::window::event::CloseWindow);
        });
        probe.start();
        start = Clock::now();
        remover.queueTool.ViewQueue(lines, remover.FileNameTXA, 0);
    }
    std::sort(opens.begin(), opens.end());
    const double median = opens.empty() ? 0 : opens[opens.size() / 2];
    std::printf("lines=%u load_ms=%.1f typing_ms=%.1f open_ms=%.1f open_median_ms=%.1f\n", RECORDS(lines), loadMs,
                typingBest, opens.empty() ? 0.0 : opens.front(), median);
    varnok::window::setWindowLayer(nullptr);
    varnok::window::setMessagePresenter(nullptr);
    return 0;
}
