// The window layer's contract (tests/window/contract/) run on the Win32
// layer under Wine: the user's clicks and keys as the messages Windows
// would post, what shows read from the controls themselves.
#include "tests/window/contract/window_contract.h"
#include "window/win32/message_presenter_win32.h"
#include "window/win32/win32_text.h"
#include "platform/win32/wide_text.h"

#include "tests/window/win32/win32_test_support.h"

#include <commctrl.h>
#include <shlobj.h>

#include <chrono>
#include <thread>

namespace varnok::window::win32 {

class Win32LayerDriver final : public contract::LayerDriver {
public:
    WindowLayer& layer() override { return layer_; }

    std::vector<Event> drain(Window& w) override { return testing::drainEvents(layer_, win(w)); }
    bool nextEventWithin(Window& w, Event& e, int milliseconds) override {
        return testing::nextEventWithin(w, e, static_cast<UINT>(milliseconds));
    }

    Rect pixelRect(Window& w, int32_t control) override {
        RECT r{};
        GetWindowRect(win(w).controlWindow(control), &r);
        MapWindowPoints(nullptr, win(w).frame(), reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    DialogBase base(Window& w) override { return win(w).base(); }
    bool visible(Window& w, int32_t control) override { return IsWindowVisible(win(w).controlWindow(control)) != 0; }
    bool enabled(Window& w, int32_t control) override { return IsWindowEnabled(win(w).controlWindow(control)) != 0; }
    int columnPixelWidth(Window& w, int32_t list, int column) override {
        return static_cast<int>(SendMessageW(win(w).controlWindow(list), LVM_GETCOLUMNWIDTH, column, 0));
    }
    int32_t shownRows(Window& w, int32_t list) override {
        return static_cast<int32_t>(SendMessageW(win(w).controlWindow(list), LVM_GETITEMCOUNT, 0, 0));
    }
    std::string cellText(Window& w, int32_t list, int32_t row, int column) override {
        wchar_t buffer[256] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 256;
        SendMessageW(win(w).controlWindow(list), LVM_GETITEMTEXTW, static_cast<WPARAM>(row - 1),
                     reinterpret_cast<LPARAM>(&item));
        return wideProgram(buffer);
    }

    // A press and release on the button, as the mouse would give them.
    void click(Window& w, int32_t control) override {
        HWND button = win(w).controlWindow(control);
        PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    void closeBox(Window& w) override { PostMessageW(win(w).frame(), WM_CLOSE, 0, 0); }
    // The message with the modifier keys held in the keyboard state while
    // it is handled.
    void userInput(Window& w, int32_t list, uint32_t keyCode) override {
        HWND view = win(w).controlWindow(list);
        RECT first{};
        first.left = LVIR_BOUNDS;
        SendMessageW(view, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
        const LPARAM onFirst = MAKELPARAM(first.left + 40, (first.top + first.bottom) / 2);
        const bool ctrl = keyCode & key::Ctrl, shift = keyCode & key::Shift;
        BYTE keys[256];
        GetKeyboardState(keys);
        if (ctrl) keys[VK_CONTROL] = 0x80;
        if (shift) keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        const WPARAM held = (ctrl ? MK_CONTROL : 0) | (shift ? MK_SHIFT : 0);
        switch (keyCode & ~(key::Ctrl | key::Shift)) {
        case key::MouseRight: PostMessageW(view, WM_RBUTTONDOWN, MK_RBUTTON | held, onFirst); break;
        case key::MouseLeft2: PostMessageW(view, WM_LBUTTONDBLCLK, MK_LBUTTON | held, onFirst); break;
        case key::Enter: PostMessageW(view, WM_KEYDOWN, VK_RETURN, 0); break;
        case key::Space: PostMessageW(view, WM_KEYDOWN, VK_SPACE, 0); break;
        case key::MouseLeft:
            PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON | held, onFirst);
            PostMessageW(view, WM_LBUTTONUP, held, onFirst);
            break;
        default: ADD_FAILURE() << "no input for key code " << keyCode;
        }
        layer_.dispatchPending();
        keys[VK_CONTROL] = 0;
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }
    void keyOn(Window& w, int32_t control, uint32_t keyCode) override {
        // The contract's key numbers are virtual-key codes; Enter is VK_RETURN.
        PostMessageW(win(w).controlWindow(control), WM_KEYDOWN, keyCode == key::Enter ? VK_RETURN : keyCode, 0);
    }
    void type(Window& w, int32_t control, const std::string& text) override {
        for (wchar_t ch : programWide(text)) PostMessageW(win(w).controlWindow(control), WM_CHAR, ch, 0);
    }
    bool frameVisible(Window& w) override { return IsWindowVisible(win(w).frame()) != 0; }
    Rect clientRect(Window& w) override {
        RECT client{}, bar{};
        GetClientRect(win(w).frame(), &client);
        if (win(w).statusBar()) GetWindowRect(win(w).statusBar(), &bar);
        return {0, 0, client.right, client.bottom - (bar.bottom - bar.top)};
    }
    // One HDROP holding the names, posted to the control as the shell does.
    void dropFiles(Window& w, int32_t control, const std::vector<std::string>& names) override {
        std::wstring all;
        for (const std::string& name : names) {
            std::wstring wide;
            EXPECT_TRUE(platform::win32::toWide(name, wide)) << name;
            all += wide + L'\0';
        }
        all += L'\0';
        HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + all.size() * sizeof(wchar_t));
        auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        all.copy(reinterpret_cast<wchar_t*>(drop + 1), all.size());
        GlobalUnlock(memory);
        PostMessageW(win(w).controlWindow(control), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    }
    std::string fileName(const std::string& leaf) override { return "C:\\" + leaf; }
    bool refusesInput(Window& w) override { return win(w).refusesInput(); }
    Window* topWindow() override { return layer_.topWindow(); }

    // The box shows on this thread; another finds it by its caption and
    // sends it the button's command, as a click would.
    unsigned showAndPress(const MessageRequest& request, unsigned bit) override {
        static const std::pair<unsigned, int> ids[] = {
            {ButtonOk, IDOK},       {ButtonYes, IDYES},       {ButtonNo, IDNO},         {ButtonAbort, IDABORT},
            {ButtonRetry, IDRETRY}, {ButtonIgnore, IDIGNORE}, {ButtonCancel, IDCANCEL}, {ButtonHelp, IDHELP},
        };
        int id = 0;
        for (const auto& [b, i] : ids)
            if (b == bit) id = i;
        const std::wstring caption = programWide(request.caption);
        bool found = false;
        std::thread user([&] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            HWND box = nullptr;
            while (!box && std::chrono::steady_clock::now() < deadline) {
                box = FindWindowW(L"#32770", caption.c_str());
                if (!box || !IsWindowVisible(box)) {
                    box = nullptr;
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
            }
            if (!box) return;
            found = true;
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        });
        Win32MessagePresenter presenter;
        MessagePresenter* previous = setMessagePresenter(&presenter);
        const unsigned answer =
            message(request.text, request.caption, request.icon, request.buttons, request.defaultButton);
        setMessagePresenter(previous);
        user.join();
        EXPECT_TRUE(found) << "the box was not shown with its caption";
        return answer;
    }

private:
    static Win32Window& win(Window& w) { return dynamic_cast<Win32Window&>(w); }

    Win32WindowLayer layer_;
};

}  // namespace varnok::window::win32

namespace varnok::window::contract {
// Named so that `--gtest_filter=WindowContract*` finds the suite in both
// layers' executables.
INSTANTIATE_TYPED_TEST_SUITE_P(WindowContractWin32, WindowContract, varnok::window::win32::Win32LayerDriver);
}  // namespace varnok::window::contract
