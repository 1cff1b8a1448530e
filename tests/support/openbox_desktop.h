// OpenboxDesktop: a desktop of its own for a test that needs a real window
// manager: a virtual X server (xvfb-run, package xvfb) running the openbox
// window manager, which frames every window with a title bar and borders
// as a user's desktop does. The X server and openbox start with the object
// and end with it; while it lives, DISPLAY and XAUTHORITY name that server,
// so a QApplication created afterwards (on the xcb platform) shows its
// windows there.
//
//     OpenboxDesktop desktop;
//     if (!desktop.running()) GTEST_SKIP() << desktop.why();
//
// running() is false, with the reason in why(), when xvfb-run, xauth or
// openbox is not installed or the desktop did not come up within 30 seconds.
#pragma once
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/app/temp_folder.h"

namespace varnok::testing {

class OpenboxDesktop {
public:
    OpenboxDesktop() {
        if (run("{ command -v xvfb-run && command -v xauth && command -v openbox; } >/dev/null 2>&1") != 0) {
            why_ = "no X server with a window manager can be started here: xvfb-run, xauth or openbox is missing "
                   "(Debian packages xvfb, xauth and openbox; tools/ensure-packages.sh installs them)";
            return;
        }
        // Two tests starting at once may pick the same free display; the
        // one that loses finds its server gone and tries again.
        bool up = false;
        for (int attempt = 1; attempt <= 3 && !up; ++attempt) up = started();
        if (!up) {
            stop();
            return;
        }
        display_ = firstLine("display");
        ::setenv("DISPLAY", display_.c_str(), 1);
        ::setenv("XAUTHORITY", firstLine("xauthority").c_str(), 1);
        running_ = true;
    }
    ~OpenboxDesktop() { stop(); }
    OpenboxDesktop(const OpenboxDesktop&) = delete;
    OpenboxDesktop& operator=(const OpenboxDesktop&) = delete;

    bool running() const { return running_; }
    const std::string& why() const { return why_; }
    const std::string& display() const { return display_; }

private:
    // Starts xvfb-run and waits until openbox manages the screen; false
    // (with why_ set) when it did not come up.
    bool started() {
        stop();
        // The shell that xvfb-run starts notes the display and its own
        // process id, then becomes openbox, which touches "ready" once it
        // manages the screen. Ending openbox ends xvfb-run and its server.
        const std::string f = folder_.path();
        const std::string command =
            "xvfb-run -a -s '-screen 0 1280x1024x24 -nolisten tcp' sh -c '"
            "echo \"$DISPLAY\" > " + f + "/display; echo \"$XAUTHORITY\" > " + f + "/xauthority; "
            "echo $$ > " + f + "/wm; exec openbox --sm-disable --startup \"touch " + f + "/ready\"' > " + f +
            "/log 2>&1 & echo $! > " + f + "/xvfb-run";
        if (run(command) != 0) {
            why_ = "xvfb-run could not be started";
            return false;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!std::filesystem::exists(f + "/ready") && std::chrono::steady_clock::now() < deadline) {
            if (exited("xvfb-run")) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (std::filesystem::exists(f + "/ready")) return true;
        why_ = "the X server with openbox did not come up: " + firstLine("log");
        return false;
    }
    static int run(const std::string& command) { return std::system(command.c_str()); }
    std::string firstLine(const std::string& name) const {
        std::ifstream in(folder_.file(name));
        std::string line;
        std::getline(in, line);
        return line;
    }
    bool exited(const std::string& pidFile) const {
        const std::string pid = firstLine(pidFile);
        return pid.empty() || run("kill -0 " + pid + " 2>/dev/null") != 0;
    }
    void stop() {
        const std::string wm = firstLine("wm");
        if (!wm.empty() && !exited("wm")) run("kill " + wm + " 2>/dev/null");
        // xvfb-run takes its server down when openbox has ended.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!exited("xvfb-run") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!exited("xvfb-run")) run("kill " + firstLine("xvfb-run") + " 2>/dev/null");
        if (running_) ::unsetenv("DISPLAY");
        running_ = false;
        for (const char* name : {"wm", "xvfb-run", "ready"}) std::filesystem::remove(folder_.file(name));
    }

    TempFolder folder_;
    std::string why_;
    std::string display_;
    bool running_ = false;
};

}  // namespace varnok::testing
