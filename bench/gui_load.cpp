// varnok_gui_bench: the main window's Load on a large TXA file, offscreen,
// as the user would run it, with figures for bench/gui_bench.sh:
//
//   varnok_gui_bench [--no-progress | --bar-at-once] FILE
//
// --no-progress: the load reports no progress at all; --bar-at-once: the
// progress bar shows from the start instead of after half a second (the
// two sides of bench/progress_bench.sh).
//
// prints one line of key=value pairs:
//   load_ms      from the press of "Load" to the list holding every instance
//   instances    rows in the list
//   load_reads   rows the list read from ExtensionQ by then (one screenful)
//   rows_shown   rows on screen, summed over every page while the list is
//                scrolled from top to bottom a page at a time
//   rows_read    rows the list read from ExtensionQ meanwhile
//   peak_kb      the process's peak resident memory with the file loaded
//   bar_paints   times the status bar's progress bar was painted during Load
//
// Run it in a scratch folder: the window reads and writes .\remtxa.ini there.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/window/main_procedure.h"
#include "app/window/main_window_structure.h"
#include "window/events.h"
#include "window/message_box.h"
#include "window/qt/qt_window.h"
#include "window/qt/qt_window_layer.h"

namespace {

using Clock = std::chrono::steady_clock;
using varnok::window::qt::QtWindow;

// Messages answered at once with their default button; counted.
struct QuietPresenter : varnok::window::MessagePresenter {
    int shown = 0;
    unsigned show(const varnok::window::MessageRequest& request) override {
        ++shown;
        std::fprintf(stderr, "message: %s: %s\n", request.caption.c_str(), request.text.c_str());
        return varnok::window::effectiveDefault(request);
    }
};

// Counts the paint events of the object it watches.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

long peakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string option = argc == 3 ? argv[1] : "";
    if (argc < 2 || argc > 3 || (argc == 3 && option != "--no-progress" && option != "--bar-at-once")) {
        std::fputs("usage: varnok_gui_bench [--no-progress | --bar-at-once] FILE\n", stderr);
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string file = argv[argc - 1];
    QApplication application(argc, argv);
    varnok::window::qt::QtWindowLayer layer;
    QuietPresenter boxes;
    varnok::window::setWindowLayer(&layer);
    varnok::window::setMessagePresenter(&boxes);
    varnok::app::registerMainWindow();
    varnok::app::MainProcedure procedure;
    procedure.progressTiming.enabled = option != "--no-progress";
    if (option == "--bar-at-once") procedure.progressTiming.delayMs = 0;
    PaintCounter barPaints;

    const int32_t listNumber =
        varnok::window::findWindowStructure(varnok::app::MainWindowResource)->controlNumber(varnok::app::use::List);
    auto number = [](std::string_view useName) {
        return varnok::window::findWindowStructure(varnok::app::MainWindowResource)->controlNumber(useName);
    };

    int phase = 0;
    Clock::time_point pressed;
    double loadMs = 0;
    long rowsShown = 0, rowsRead = 0, peak = 0, loadReads = 0;
    int instances = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QtWindow* w = layer.topWindow();
        if (!w || w->queuedEvents() != 0 || !w->waitingForInput()) return;
        QTableView* list = w->listView(listNumber);
        switch (phase) {
        case 0: {  // the name typed, then "Load" pressed
            if (QStatusBar* status = w->statusBar()) {
                if (auto* bar = status->findChild<QProgressBar*>()) bar->installEventFilter(&barPaints);
            }
            static_cast<QLineEdit*>(w->controlWidget(number(varnok::app::use::FileName)))
                ->setText(QString::fromStdString(file));
            w->update(0);
            phase = 1;
            pressed = Clock::now();
            static_cast<QAbstractButton*>(w->controlWidget(number(varnok::app::use::LoadButton)))->click();
            break;
        }
        case 1: {  // the list holds every instance
            instances = list->model()->rowCount();
            if (instances != static_cast<int>(RECORDS(procedure.remover.ExtensionQ))) return;
            loadMs = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
            peak = peakKilobytes();
            loadReads = static_cast<long>(procedure.extensionList.reads());
            // Top to bottom, a page at a time, each page painted.
            QScrollBar* bar = list->verticalScrollBar();
            const uint64_t before = procedure.extensionList.reads();
            bar->setValue(bar->minimum());
            list->viewport()->repaint();
            for (;;) {
                const int top = list->rowAt(0);
                const int bottom = list->rowAt(list->viewport()->height() - 1);
                rowsShown += (bottom < 0 ? instances - 1 : bottom) - top + 1;
                if (bar->value() >= bar->maximum()) break;
                bar->setValue(bar->value() + bar->pageStep());
                list->viewport()->repaint();
            }
            rowsRead = static_cast<long>(procedure.extensionList.reads() - before);
            phase = 2;
            w->post(varnok::window::event::CloseWindow);
            break;
        }
        default:
            break;
        }
    });
    timer.start(0);
    procedure.Run();
    std::printf(
        "load_ms=%.1f instances=%d load_reads=%ld rows_shown=%ld rows_read=%ld peak_kb=%ld messages=%d bar_paints=%d\n",
        loadMs, instances, loadReads, rowsShown, rowsRead, peak, boxes.shown, barPaints.paints);
    varnok::window::setMessagePresenter(nullptr);
    varnok::window::setWindowLayer(nullptr);
    return phase == 2 ? 0 : 1;
}
