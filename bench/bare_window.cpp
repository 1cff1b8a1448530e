// varnok_bare_window: the baseline of the start-up benchmark, a bare Qt
// Widgets window of the main window's size titled "Bare Window", shown as
// soon as the application exists. bench/gui_bench.sh times how long each
// takes to appear on screen.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare Window");
    window.resize(735, 478);
    window.show();
    return application.exec();
}
