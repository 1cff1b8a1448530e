// The program's main window through the Win32 layer, under Wine: the
// bundled sample loaded from the command line, two rows ticked by double
// clicks, the queue viewer opened over it; pictures of both in
// build/screenshots/windows/.
// The program's queues first: windows.h defines a DELETE macro that would
// replace the queue's DELETE.
#include "app/window/main_procedure.h"
#include "window/win32/win32_window.h"
#include "window/win32/win32_window_layer.h"

#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/startup/program_run.h"
#include "framework/ini/ini_manager.h"
#include "app/window/main_window_structure.h"
#include "tests/app/window/program_home.h"
#include "tests/support/scripted_presenter.h"
#include "tests/window/win32/win32_test_support.h"

namespace varnok::app {
namespace {

using window::win32::Win32Window;
using window::win32::Win32WindowLayer;

// Steps run one per tick of a thread timer, each when the top window is
// ready for it (the timer fires inside the accept loop, as the user's
// input would arrive). After the steps, or when they do not finish within
// the time given, the windows are closed; finished() tells which.
// A step that pumps messages itself (paintPending, a screenshot) lets the
// next tick in while it runs: that tick is let go, so a step never runs
// inside itself and is counted once.
class TimerSteps {
public:
    using Step = std::function<bool(Win32Window&)>;  // false: not ready yet, try again
    TimerSteps(Win32WindowLayer& layer, UINT timeoutMs) : layer_(layer), ticksLeft_(timeoutMs / kTickMs) {
        current() = this;
        timer_ = SetTimer(nullptr, 0, kTickMs, tick);
    }
    ~TimerSteps() {
        KillTimer(nullptr, timer_);
        current() = nullptr;
    }
    TimerSteps& then(Step step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    bool finished() const { return done_ == steps_.size(); }

private:
    static constexpr UINT kTickMs = 50;
    static TimerSteps*& current() {
        static TimerSteps* steps = nullptr;
        return steps;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        if (TimerSteps* self = current()) self->advance();
    }
    void advance() {
        Win32Window* top = layer_.topWindow();
        if (!top || running_) return;
        if (done_ < steps_.size() && ticksLeft_ > 0) {
            --ticksLeft_;
            running_ = true;
            const bool ready = steps_[done_](*top);
            running_ = false;
            if (ready) ++done_;
            return;
        }
        top->post(window::event::CloseWindow);
    }

    Win32WindowLayer& layer_;
    std::vector<Step> steps_;
    size_t done_ = 0;
    bool running_ = false;  // a step is running (see above)
    UINT ticksLeft_;
    UINT_PTR timer_ = 0;
};

struct MainWindowWin32 : ::testing::Test {
    testing::ProgramHome home;
    Win32WindowLayer layer;
    window::WindowLayer* previousLayer = nullptr;

    void SetUp() override {
        previousLayer = window::setWindowLayer(&layer);
        registerMainWindow();
    }
    void TearDown() override { window::setWindowLayer(previousLayer); }
};

int32_t number(std::string_view useName) {
    return window::findWindowStructure(MainWindowResource)->controlNumber(useName);
}

// The image of a row's tick column: 0 unticked, 1 ticked, -1 none.
int tickImage(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row - 1;
    item.iSubItem = 0;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

LPARAM rowPoint(HWND list, int row) {
    RECT r{};
    r.top = 1;  // the Extension column
    r.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&r));
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// A step that pumps messages for several ticks' time runs once.
TEST_F(MainWindowWin32, AStepThatPumpsMessagesRunsOnce) {
    TimerSteps steps(layer, 10000);
    int entered = 0, after = 0;
    steps.then([&](Win32Window& w) {
             if (++entered > 1) return true;  // a second entry is the fault; it must not nest deeper
             for (const DWORD start = GetTickCount(); GetTickCount() - start < 300;) w.paintPending();
             return true;
         })
        .then([&](Win32Window&) { return ++after > 0; });
    runProgram("");
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(after, 1);
    EXPECT_TRUE(steps.finished());
}

TEST_F(MainWindowWin32, TheSampleWithTwoTicks) {
    std::filesystem::copy_file(VARNOK_SAMPLE_TXA, home.file("sample.txa"));
    testing::ScriptedPresenter boxes;
    TimerSteps steps(layer, 60000);
    HWND list = nullptr;
    steps.then([&](Win32Window& w) {
        list = w.controlWindow(number(use::List));
        return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 8;
    });
    for (int row : {3, 5}) {
        steps.then([&, row](Win32Window&) {
            PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, rowPoint(list, row));
            PostMessageW(list, WM_LBUTTONUP, 0, rowPoint(list, row));
            PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, rowPoint(list, row));
            PostMessageW(list, WM_LBUTTONUP, 0, rowPoint(list, row));
            return true;
        });
        steps.then([&, row](Win32Window&) { return tickImage(list, row) == 1; });
    }
    steps.then([&](Win32Window& w) {
        std::vector<int> ticks;
        for (int row = 1; row <= 8; ++row) ticks.push_back(tickImage(list, row));
        EXPECT_EQ(ticks, (std::vector<int>{0, 0, 1, 0, 1, 0, 0, 0}));
        EXPECT_EQ(w.property(0, window::prop::Text), "Remove Extensions");
        RedrawWindow(w.frame(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        w.paintPending();
        EXPECT_TRUE(window::win32::testing::saveScreenshot(w.frame(), "main-window-sample"));
        return true;
    });
    // View opens the queue viewer over the main window, which waits
    // disabled until it closes.
    Win32Window* main = nullptr;
    steps.then([&](Win32Window& w) {
        main = &w;
        PostMessageW(w.controlWindow(number(use::ViewButton)), BM_CLICK, 0, 0);
        return true;
    });
    steps.then([&](Win32Window& w) {
        if (&w == main) return false;
        EXPECT_FALSE(IsWindowEnabled(main->frame()));
        EXPECT_EQ(GetWindow(w.frame(), GW_OWNER), main->frame());
        EXPECT_EQ(w.property(0, window::prop::Text), "sample.txa");  // the loaded file
        RedrawWindow(w.frame(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        w.paintPending();
        EXPECT_TRUE(window::win32::testing::saveScreenshot(w.frame(), "queue-viewer"));
        w.post(window::event::CloseWindow);
        return true;
    });
    steps.then([&](Win32Window& w) { return &w == main && IsWindowEnabled(main->frame()); });
    runProgram("sample.txa");
    EXPECT_TRUE(steps.finished());
    boxes.verifyDone();
}

// The system's file dialog ends the program on a typed name longer than
// fits beside its folder in MAX_PATH: its name box takes no more.
TEST_F(MainWindowWin32, TheFileDialogTakesNoLongerNameThanItCanHold) {
    testing::ScriptedPresenter boxes;
    TimerSteps steps(layer, 30000);
    LRESULT limit = 0;
    size_t room = 0;
    steps.then([&](Win32Window& w) {
             PostMessageW(w.controlWindow(number(use::LookupFile)), BM_CLICK, 0, 0);
             return true;
         })
        .then([&](Win32Window&) {
            HWND dialog = FindWindowW(L"#32770", L"TXA File");
            if (!dialog || !IsWindowVisible(dialog)) return false;
            HWND edit = reinterpret_cast<HWND>(SendMessageW(GetDlgItem(dialog, cmb13), CBEM_GETEDITCONTROL, 0, 0));
            wchar_t folder[MAX_PATH] = L"";
            SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
            limit = SendMessageW(edit, EM_GETLIMITTEXT, 0, 0);
            room = MAX_PATH - 2 - wcsnlen(folder, MAX_PATH);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return true;
        });
    runProgram("");
    EXPECT_TRUE(steps.finished() && limit > 0);
    EXPECT_LE(static_cast<size_t>(limit), room);
}

// A long Load: the counts give way to a progress bar in their zone that
// rises and is painted while the file is read, under the wait cursor, and
// the counts come back afterwards. A clock that moves 0.2 s at every look
// makes the load long.
struct LoadWatch {
    Win32Window* window = nullptr;
    HWND bar = nullptr;
    std::vector<int> painted;  // the bar's value at each of its paints
    bool waitCursor = true;    // the wait cursor was on whenever the bar showed
    bool screenshot = false;
    uint64_t now = 0;
    Win32WindowLayer* layer = nullptr;
};
LoadWatch& loadWatch() {
    static LoadWatch watch;
    return watch;
}

LRESULT CALLBACK watchPaint(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (message == WM_PAINT) loadWatch().painted.push_back(static_cast<int>(SendMessageW(hwnd, PBM_GETPOS, 0, 0)));
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, watchPaint, id);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(MainWindowWin32, ALongLoadShowsAProgressBarThatIsPainted) {
    std::string big = "[PROCEDURE]\r\nNAME Main\r\n";
    while (big.size() < 1'500'000) big += std::string(62, 'x') + "\r\n";
    big += "[ADDITION]\r\nNAME Tools Logger\r\n[INSTANCE]\r\n[END]\r\n";
    home.write("big.txa", big);
    LoadWatch& watch = loadWatch();
    watch = LoadWatch{};
    watch.layer = &layer;
    framework::iniManager().Init(ProgramIniFile, 0, 0);
    MainProcedure p;
    p.remover.queueTool.MaxBufSize = 32768;
    p.progressTiming.nowMs = [] {
        LoadWatch& w = loadWatch();
        w.now += 200;
        if (w.window && !w.bar && (w.bar = w.window->zoneProgress(1)))
            SetWindowSubclass(w.bar, watchPaint, 1, 0);
        if (w.bar && IsWindowVisible(w.bar)) {
            w.waitCursor = w.waitCursor && w.layer->waitCursor();
            if (!w.screenshot && SendMessageW(w.bar, PBM_GETPOS, 0, 0) >= 50) {
                w.window->paintPending();
                w.screenshot = window::win32::testing::saveScreenshot(w.window->frame(), "main-window-load-progress");
            }
        }
        return w.now;
    };
    testing::ScriptedPresenter boxes;
    TimerSteps steps(layer, 60000);
    steps.then([&](Win32Window& w) {
             watch.window = &w;
             EXPECT_EQ(w.zoneProgress(1), nullptr);
             SetWindowTextW(w.controlWindow(number(use::FileName)), L"big.txa");
             PostMessageW(w.controlWindow(number(use::LoadButton)), BM_CLICK, 0, 0);
             return true;
         })
        .then([&](Win32Window& w) {
            // The timer also ticks while the load paints: wait for its end.
            if (!watch.bar || IsWindowVisible(watch.bar) || layer.waitCursor()) return false;
            EXPECT_EQ(w.property(0, window::prop::StatusProgress, 1), "");
            EXPECT_EQ(w.property(0, window::prop::StatusText, 1),
                      "big.txa: 1 instances, 0 ticked \u2014 " + std::to_string(RECORDS(p.remover.LineQ)) + " lines");
            EXPECT_FALSE(layer.waitCursor());
            return true;
        });
    p.Run();
    framework::iniManager().Release();
    EXPECT_TRUE(steps.finished());
    ASSERT_GE(watch.painted.size(), 3u) << "the bar was painted while the file was read";
    EXPECT_TRUE(std::is_sorted(watch.painted.begin(), watch.painted.end()));
    EXPECT_GE(watch.painted.back(), 90);
    EXPECT_TRUE(watch.waitCursor);
    EXPECT_TRUE(watch.screenshot);
}

}  // namespace
}  // namespace varnok::app
