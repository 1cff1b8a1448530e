#include "app/startup/desktop.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/startup/program_run.h"
#include "window/installed_layer.h"
#include "window/message_box.h"
#include "window/qt/message_presenter.h"
#include "window/qt/qt_window_layer.h"
#include "window/window_layer.h"

namespace varnok::app {

namespace {
bool nonEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}
}  // namespace

bool displayAvailable() { return nonEmpty("DISPLAY") || nonEmpty("WAYLAND_DISPLAY") || nonEmpty("QT_QPA_PLATFORM"); }

int runDesktop(int& argc, char** argv, std::string_view startFile) {
    if (!displayAvailable()) {
        std::fputs("varnok: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); "
                   "see 'varnok --help' for the commands\n",
                   stderr);
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("varnok");
    QApplication::setDesktopFileName("varnok");
    window::InstalledLayer<window::qt::QtWindowLayer, window::qt::QtMessagePresenter> desktop;
    runProgram(startFile);
    return 0;
}

}  // namespace varnok::app
