// varnok_gui_bench_win32: the main window's Load on a large TXA file through
// the native Win32 window layer, as the user would run it, with figures for
// bench/windows_bench.sh:
//
//   varnok_gui_bench_win32.exe FILE
//
// The program starts as varnok.exe does (locale, error manager, varnok.INI,
// the window layer and a message presenter), opens "Remove Extensions",
// types FILE into the file name entry with posted WM_CHAR messages, presses
// "Load" with a posted BM_CLICK and waits for the list to hold every
// instance. It prints one line of key=value pairs:
//   load_ms      from posting the press of "Load" to the list view holding
//                as many rows as ExtensionQ has records, the wait cursor off
//                and nothing left to paint (a thread timer looks every 10 ms,
//                the system's shortest period; it fires only once the queue
//                holds no other message, paints included)
//   instances    rows in the list view
//   load_reads   rows the list read from ExtensionQ by then (one screenful)
//   peak_kb      the process's peak working set with the file loaded
//   client       the main window's client area in pixels (status bar
//                included), the size of the bare window baseline
//   messages     message boxes shown (each answered with its default button)
//
// FILE is read relative to the current folder. The program reads and writes
// its INI file in %APPDATA%\varnok, as varnok.exe does.
// The exit status is 0 when the load finished, 1 otherwise (a timeout of ten
// minutes closes the window).
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/startup/program_run.h"
#include "app/txa/extension_remover.h"
#include "app/window/main_procedure.h"
#include "app/window/main_window_structure.h"
#include "framework/errors/error_manager.h"
#include "framework/errors/error_state.h"
#include "framework/history/message_window.h"
#include "framework/ini/ini_manager.h"
#include "platform/process_arguments.h"
#include "runtime/locale/locale.h"
#include "window/events.h"
#include "window/message_box.h"
#include "window/window_structure.h"
// After the program's own headers: windows.h defines DELETE, a name the
// queue's interface uses.
#include "platform/win32/wide_text.h"
#include "window/win32/win32_window.h"
#include "window/win32/win32_window_layer.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

namespace {

using Clock = std::chrono::steady_clock;
using varnok::window::win32::Win32Window;
using varnok::window::win32::Win32WindowLayer;

// Messages answered at once with their default button; counted.
struct QuietPresenter : varnok::window::MessagePresenter {
    int shown = 0;
    unsigned show(const varnok::window::MessageRequest& request) override {
        ++shown;
        std::fprintf(stderr, "message: %s: %s\n", request.caption.c_str(), request.text.c_str());
        return varnok::window::effectiveDefault(request);
    }
};

int32_t controlNumber(std::string_view useName) {
    return varnok::window::findWindowStructure(varnok::app::MainWindowResource)->controlNumber(useName);
}

std::wstring windowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    return text;
}

long peakKilobytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
}

// The run, stepped by a thread timer inside the window's accept loop.
struct Run {
    Win32WindowLayer* layer = nullptr;
    varnok::app::MainProcedure* procedure = nullptr;
    std::wstring file;
    int phase = 0;  // 0 open, 1 typed, 2 pressed, 3 loaded
    Clock::time_point started, pressed;
    double loadMs = 0;
    long instances = 0, loadReads = 0, peak = 0, clientWidth = 0, clientHeight = 0;

    static constexpr auto Timeout = std::chrono::minutes(10);

    void tick() {
        Win32Window* w = layer->topWindow();
        if (!w || phase == 3) return;
        if (Clock::now() - started > Timeout) {
            std::fputs("the load did not finish in time\n", stderr);
            phase = 3;
            w->post(varnok::window::event::CloseWindow);
            return;
        }
        // Only between the program's commands: its queue drained, no load
        // under way.
        if (w->queuedEvents() != 0 || layer->waitCursor() || !IsWindowVisible(w->frame())) return;
        HWND entry = w->controlWindow(controlNumber(varnok::app::use::FileName));
        HWND list = w->controlWindow(controlNumber(varnok::app::use::List));
        switch (phase) {
        case 0:  // the name typed over whatever the entry holds
            PostMessageW(entry, EM_SETSEL, 0, -1);
            for (wchar_t c : file) PostMessageW(entry, WM_CHAR, c, 1);
            phase = 1;
            break;
        case 1:  // "Load" pressed once the entry shows the name
            if (windowText(entry) != file) return;
            phase = 2;
            pressed = Clock::now();
            PostMessageW(w->controlWindow(controlNumber(varnok::app::use::LoadButton)), BM_CLICK, 0, 0);
            break;
        case 2: {  // the list holds every instance
            const auto records = static_cast<long>(RECORDS(procedure->remover.ExtensionQ));
            const auto rows = static_cast<long>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
            if (records == 0 || rows != records) return;
            loadMs = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
            instances = rows;
            loadReads = static_cast<long>(procedure->extensionList.reads());
            peak = peakKilobytes();
            RECT client{};
            GetClientRect(w->frame(), &client);
            clientWidth = client.right - client.left;
            clientHeight = client.bottom - client.top;
            phase = 3;
            w->post(varnok::window::event::CloseWindow);
            break;
        }
        default:
            break;
        }
    }
};

Run& run() {
    static Run instance;
    return instance;
}

void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) { run().tick(); }

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = varnok::platform::processArguments(argc, argv);
    varnok::platform::prepareConsoleOutput();
    if (arguments.size() != 2) {
        std::fputs("usage: varnok_gui_bench_win32 FILE\n", stderr);
        return 2;
    }
    using namespace varnok;
    initialiseLocale();
    framework::errorManager().Init(framework::errorStates());
    framework::installHistoryWindow();
    framework::IniManager& ini = framework::iniManager();
    ini.Init(app::ProgramIniFile, 0, 0);

    Win32WindowLayer layer;
    QuietPresenter boxes;
    window::WindowLayer* previousLayer = window::setWindowLayer(&layer);
    window::MessagePresenter* previousPresenter = window::setMessagePresenter(&boxes);
    app::registerMainWindow();
    {
        app::MainProcedure procedure;
        Run& r = run();
        r.layer = &layer;
        r.procedure = &procedure;
        if (!platform::win32::toWide(arguments[1], r.file)) return 2;
        r.started = Clock::now();
        const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, onTimer);
        procedure.Run();
        KillTimer(nullptr, timer);
    }
    ini.BeforeRelease();
    ini.Release();
    window::setMessagePresenter(previousPresenter);
    window::setWindowLayer(previousLayer);

    const Run& r = run();
    std::printf("load_ms=%.1f instances=%ld load_reads=%ld peak_kb=%ld client=%ldx%ld messages=%d\n", r.loadMs,
                r.instances, r.loadReads, r.peak, r.clientWidth, r.clientHeight, boxes.shown);
    return r.loadMs > 0 ? 0 : 1;
}
