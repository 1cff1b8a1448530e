// Message boxes and popup menus really shown (under Wine with a display):
// a second thread finds the box or menu, photographs it into
// build/screenshots/windows/ and answers it the way a user's click or key
// would, while the first thread waits in the box's or menu's own loop.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "window/win32/file_dialog_win32.h"
#include "window/win32/message_presenter_win32.h"
#include "window/win32/popup_menu_win32.h"
#include "window/win32/win32_text.h"

#include <dlgs.h>

namespace varnok::window::win32 {
namespace {

bool haveDisplay() {
    wchar_t value[8];
    return GetEnvironmentVariableW(L"DISPLAY", value, 8) > 0;
}

// Polls for a top-level window of the class and title until the deadline.
HWND waitForWindow(const wchar_t* className, const wchar_t* title, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        HWND found = FindWindowW(className, title);
        if (found && IsWindowVisible(found)) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return nullptr;
}

// Polls until the window and its controls have drawn themselves (no part
// waits to be painted), or the deadline passes.
bool waitUntilPainted(HWND window, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    auto pending = [](HWND w) { return GetUpdateRect(w, nullptr, FALSE) != 0; };
    while (std::chrono::steady_clock::now() < deadline) {
        bool waiting = pending(window);
        for (HWND child = GetWindow(window, GW_CHILD); child && !waiting; child = GetWindow(child, GW_HWNDNEXT))
            waiting = pending(child);
        if (!waiting) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// Each visible control inside `parent`, and the controls inside those,
// drawing itself (PrintWindow) into a bitmap of its own that is copied to
// its place in the top window's client area.
bool printControls(HWND top, HWND parent, HDC memory) {
    bool drawn = true;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
        const int w = r.right - r.left, h = r.bottom - r.top;
        if (w <= 0 || h <= 0) continue;
        HDC own = CreateCompatibleDC(memory);
        HBITMAP picture = CreateCompatibleBitmap(memory, w, h);
        HGDIOBJ before = SelectObject(own, picture);
        drawn = PrintWindow(child, own, 0) && BitBlt(memory, r.left, r.top, w, h, own, 0, 0, SRCCOPY) && drawn;
        SelectObject(own, before);
        DeleteObject(picture);
        DeleteDC(own);
        drawn = printControls(top, child, memory) && drawn;
    }
    return drawn;
}

// The window's client area as the user sees it, saved as a 24-bit BMP
// file once the window has painted itself: the window draws itself into
// the bitmap (PrintWindow) and so does each of its controls in its place
// (Wine's WM_PRINT leaves the controls out). False when anything failed or
// the picture holds no dark pixel (no text was drawn).
bool saveScreenshot(HWND window, const std::string& name) {
    RECT client;
    if (!GetClientRect(window, &client)) return false;
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return false;
    const bool painted = waitUntilPainted(window, std::chrono::seconds(10));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool drawn = painted && PrintWindow(window, memory, PW_CLIENTONLY) && printControls(window, window, memory);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // bottom-up, as BMP files keep rows
    info.biPlanes = 1;
    info.biBitCount = 24;  // no fourth byte that viewers could take for transparency
    info.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    std::vector<unsigned char> pixels(stride * height);
    const int rows = GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                               DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!drawn || rows != height) return false;
    bool dark = false;
    for (int y = 0; y < height && !dark; ++y)
        for (int x = 0; x < width && !dark; ++x) {
            const unsigned char* p = &pixels[y * stride + x * 3];
            dark = p[0] < 64 && p[1] < 64 && p[2] < 64;
        }

    std::filesystem::create_directories(VARNOK_SCREENSHOT_DIR);
    const std::string path = std::string(VARNOK_SCREENSHOT_DIR) + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = static_cast<DWORD>(header.bfOffBits + pixels.size());
    info.biSizeImage = static_cast<DWORD>(pixels.size());
    const bool written = std::fwrite(&header, sizeof header, 1, file) == 1 &&
                         std::fwrite(&info, sizeof info, 1, file) == 1 &&
                         std::fwrite(pixels.data(), pixels.size(), 1, file) == 1;
    return std::fclose(file) == 0 && written && dark;
}

std::wstring itemText(HWND box, int id) {
    wchar_t text[64] = {};
    GetDlgItemTextW(box, id, text, 64);
    return text;
}

// Whether the box shows an icon: a picture control holding one.
bool showsIcon(HWND box) {
    bool shown = false;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM data) -> BOOL {
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
                SendMessageW(child, STM_GETICON, 0, 0))
                *reinterpret_cast<bool*>(data) = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
}

// What the answering thread saw of a box.
struct SeenBox {
    bool found = false;
    bool photographed = false;
    bool icon = false;
    std::vector<std::wstring> labels;  // of the ids asked for
};

// Shows the request's box on this thread; another thread finds it by its
// caption, records the labels of `ids`, photographs it and sends it the
// command `answerId`. Returns the bit the presenter answered.
unsigned showAndAnswer(const MessageRequest& request, std::vector<int> ids, int answerId, const std::string& shot,
                       SeenBox& seen) {
    const std::wstring caption = programWide(request.caption);
    std::thread user([&] {
        HWND box = waitForWindow(L"#32770", caption.c_str(), std::chrono::seconds(20));
        if (!box) return;
        seen.found = true;
        for (int id : ids) seen.labels.push_back(itemText(box, id));
        seen.icon = showsIcon(box);
        if (!shot.empty()) seen.photographed = saveScreenshot(box, shot);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(answerId, BN_CLICKED), 0);
    });
    Win32MessagePresenter presenter;
    const unsigned answer = presenter.show(request);
    user.join();
    return answer;
}

// Boxes answered by a button: a question with the system's own labels; a
// set the system box does not have, which carries the requested labels and
// whose Cancel place answers the closing button; Help, which ends the box
// with its bit as the program's other layers do.
TEST(Win32MessageBoxShown, EachButtonAnswersItsBit) {
    if (!haveDisplay()) GTEST_SKIP() << "no display";
    const struct {
        MessageRequest request;
        std::vector<int> ids;  // whose labels are read
        int pressed;
        const char* shot;
        unsigned answer;
        std::vector<std::wstring> labels;
    } cases[] = {
        {{"Remove the selected extensions from the TXA|main_.txa", "Confirm", IconQuestion, ButtonYes | ButtonNo,
          ButtonNo},
         {IDYES, IDNO}, IDYES, "message-box-confirm.bmp", ButtonYes, {L"&Yes", L"&No"}},
        {{"Keep going?", "Relabelled", IconExclamation, ButtonOk | ButtonYes, 0},
         {IDOK, IDCANCEL}, IDCANCEL, "message-box-relabelled.bmp", ButtonOk, {L"&Yes", L"OK"}},
        {{"Errors|History", "Errors History", IconHand, ButtonOk | ButtonHelp, ButtonOk},
         {}, IDHELP, "message-box-help.bmp", ButtonHelp, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request.caption);
        SeenBox seen;
        EXPECT_EQ(showAndAnswer(c.request, c.ids, c.pressed, c.shot, seen), c.answer);
        EXPECT_TRUE(seen.found);
        EXPECT_TRUE(seen.photographed);
        EXPECT_EQ(seen.labels, c.labels);
    }
}

// Icons: the four stock codes, another system icon by its code, and an
// icon of the program's own that this program does not have (none shown).
TEST(Win32MessageBoxShown, IconsShownOrNot) {
    if (!haveDisplay()) GTEST_SKIP() << "no display";
    const struct {
        std::string icon;
        bool shown;
        const char* shot;
    } cases[] = {
        {IconInformation, true, ""},
        {IconExclamation, true, ""},
        {stockIcon(32512), true, "message-box-application-icon.bmp"},
        {"~nothing.ico", false, ""},
        {"", false, ""},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.icon));
        SeenBox seen;
        const std::string caption = "Icon " + std::to_string(++n);
        EXPECT_EQ(showAndAnswer({"Saved|main_.txa", caption, c.icon, ButtonOk, 0}, {}, IDOK, c.shot, seen), ButtonOk);
        EXPECT_TRUE(seen.found);
        EXPECT_EQ(seen.icon, c.shown);
    }
}

// A box shown while another is open (from the first one's message loop, as
// a timer would): each keeps its own labels and Help, and each answers.
unsigned innerAnswer = 0;
void CALLBACK showInner(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    Win32MessagePresenter presenter;
    innerAnswer = presenter.show({"Inner", "Inner box", "", ButtonYes | ButtonCancel | ButtonHelp, 0});
}

TEST(Win32MessageBoxShown, BoxInsideABox) {
    if (!haveDisplay()) GTEST_SKIP() << "no display";
    innerAnswer = 0;
    std::vector<std::wstring> innerLabels;
    bool outerFound = false, innerFound = false;
    std::thread user([&] {
        HWND outer = waitForWindow(L"#32770", L"Outer box", std::chrono::seconds(20));
        HWND inner = waitForWindow(L"#32770", L"Inner box", std::chrono::seconds(20));
        outerFound = outer != nullptr;
        innerFound = inner != nullptr;
        if (inner) {
            for (int id : {IDOK, IDCANCEL}) innerLabels.push_back(itemText(inner, id));
            PostMessageW(inner, WM_COMMAND, MAKEWPARAM(IDHELP, BN_CLICKED), 0);
        }
        // The outer box answers once the inner one has gone: its Help too
        // still ends it.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (inner && IsWindow(inner) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (outer) PostMessageW(outer, WM_COMMAND, MAKEWPARAM(IDHELP, BN_CLICKED), 0);
    });
    SetTimer(nullptr, 0, 10, showInner);
    Win32MessagePresenter presenter;
    const unsigned outerAnswer = presenter.show({"Outer", "Outer box", "", ButtonOk | ButtonNo | ButtonHelp, 0});
    user.join();
    EXPECT_TRUE(outerFound);
    EXPECT_TRUE(innerFound);
    EXPECT_EQ(innerAnswer, ButtonHelp);
    EXPECT_EQ(outerAnswer, ButtonHelp);
    EXPECT_EQ(innerLabels, (std::vector<std::wstring>{L"&Yes", L"Cancel"}));
}

// A popup menu: its access key chooses an item.
TEST(Win32PopupMenuShown, AccessKeyChoosesItsItem) {
    if (!haveDisplay()) GTEST_SKIP() << "no display";
    HWND owner = CreateWindowExW(0, L"STATIC", L"popup owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    SetForegroundWindow(owner);
    std::atomic<bool> found{false}, photographed{false};
    std::thread user([&] {
        HWND menu = waitForWindow(L"#32768", nullptr, std::chrono::seconds(20));
        if (!menu) return;
        found = true;
        photographed = saveScreenshot(menu, "popup-menu.bmp");
        // The menu's loop runs on the owner's thread and reads its keys.
        PostMessageW(owner, WM_KEYDOWN, 'E', 0);
        PostMessageW(owner, WM_CHAR, 'e', 0);
    });
    const int32_t chosen = runPopupMenu(owner, "&View|-|+&Export|~&Close", POINT{120, 120});
    user.join();
    DestroyWindow(owner);
    EXPECT_TRUE(found);
    EXPECT_TRUE(photographed);
    EXPECT_EQ(chosen, 2);
}

// The first edit field inside the window (the folder picker's name field).
HWND firstEdit(HWND window) {
    HWND found = nullptr;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(child, name, 16);
            if (std::wstring(name) != L"Edit" || !IsWindowVisible(child)) return TRUE;
            *reinterpret_cast<HWND*>(data) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// A folder of its own under the system's temporary folder, with files.
struct TemporaryFolder {
    std::filesystem::path path;
    explicit TemporaryFolder(std::initializer_list<const char*> files) {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        path = std::filesystem::path(base) / ("varnok-dialogs-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        for (const char* name : files) {
            if (std::FILE* f = std::fopen((path / name).string().c_str(), "wb")) std::fclose(f);
        }
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

// What the answering thread saw of a file dialog.
struct SeenDialog {
    bool found = false;
    bool photographed = false;
    bool prompted = false;  // a box owned by the dialog asked a question
};

// A visible dialog box owned by `owner`, nullptr when there is none.
HWND ownedBox(HWND owner) {
    struct Search {
        HWND owner, found;
    } search{owner, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (GetWindow(window, GW_OWNER) == s->owner && IsWindowVisible(window) && std::wstring(name) == L"#32770") {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs the file dialog on this thread; another thread finds it by its
// title, photographs it when `shot` is given, types `typed` into its file
// name field and presses its OK button, as a user would; a question the
// dialog then asks (replace the file?) is answered Yes. It watches until
// the dialog has gone.
bool runAndType(FileDialogRequest& request, const std::wstring& typed, const std::string& shot, SeenDialog& seen) {
    const std::wstring title = programWide(request.title);
    std::thread user([&] {
        HWND dialog = waitForWindow(L"#32770", title.c_str(), std::chrono::seconds(20));
        if (!dialog) return;
        seen.found = true;
        if (!shot.empty()) seen.photographed = saveScreenshot(dialog, shot);
        HWND name = GetDlgItem(dialog, edt1);
        if (!name) name = GetDlgItem(dialog, cmb13);
        if (!name) name = firstEdit(dialog);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (IsWindow(dialog) && std::chrono::steady_clock::now() < deadline) {
            if (HWND question = ownedBox(dialog); question && !seen.prompted) {
                seen.prompted = true;
                PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const bool chosen = runFileDialog(nullptr, request);
    user.join();
    return chosen;
}

// The dialogs as a user answers them, by typing a name and pressing OK: an
// open dialog takes a file of its start folder, several files (8) come back
// joined with bars, a save dialog takes a new name as typed and asks before
// replacing a file unless told not to (4), and the folder picker (32) takes
// a folder. Each gives back the name the program asked for.
TEST(Win32FileDialogShown, TypedNamesComeBackAsTheProgramAsks) {
    if (!haveDisplay()) GTEST_SKIP() << "no display";
    struct Case {
        const char* title;
        std::initializer_list<const char*> files;
        const char* start;  // after the folder
        const char* filter;
        unsigned flags;
        const char* typed;  // a name of the folder; a folder's own path for the picker
        const char* shot;   // "" for none
        bool prompted;
        const char* chosen;  // after the folder
    };
    const Case cases[] = {
        {"Open TXA", {"main.txa", "other.txa", "notes.txt"}, "\\main.txa", "TXA Files|*.txa|All Files|*.*", 16,
         "other.txa", "file-dialog-open.bmp", false, "\\other.txa"},
        {"Open several", {"a.txa", "b.txa"}, "\\", "TXA Files|*.txa", 16 | 8, "\"a.txa\" \"b.txa\"", "", false,
         "|a.txa|b.txa"},
        {"Save TXA", {"main.txa"}, "\\new.txa", "TXA Files|*.txa", 16 | 1 | 4, "main.txa", "file-dialog-save.bmp",
         false, "\\main.txa"},
        {"Save over", {"main.txa"}, "\\new.txa", "TXA Files|*.txa", 16 | 1, "main.txa", "", true, "\\main.txa"},
        {"Save new", {}, "\\", "TXA Files|*.txa", 16 | 1, "fresh.txa", "", false, "\\fresh.txa"},
        {"Pick a folder", {}, "", "", 16 | 32, "\\sub", "folder-dialog.bmp", false, "\\sub"},
    };
    for (const Case& c : cases) {
        TemporaryFolder folder(c.files);
        const std::string base = folder.path.string();
        if (c.flags & 32) std::filesystem::create_directories(folder.path / "sub");
        FileDialogRequest request{c.title, base + c.start, c.filter, c.flags};
        const std::string typed = (c.flags & 32) ? base + c.typed : std::string(c.typed);
        SeenDialog seen;
        EXPECT_TRUE(runAndType(request, programWide(typed), c.shot, seen)) << c.title;
        EXPECT_TRUE(seen.found) << c.title;
        EXPECT_EQ(seen.photographed, *c.shot != 0) << c.title;
        EXPECT_EQ(seen.prompted, c.prompted) << c.title;
        EXPECT_EQ(request.name, base + c.chosen) << c.title;
    }
}

}  // namespace
}  // namespace varnok::window::win32
