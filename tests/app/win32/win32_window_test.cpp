// The Win32 window layer in real windows, under Wine on a virtual X
// display: control geometry against the system's own dialog manager,
// properties round trip, the list read on demand and following its source,
// the accept loop driven by posted and sent messages, alerts, a
// nested modal window and the status bar's progress zone. Some open the
// program's main window structure, so they live with the program's tests.
#include "tests/window/win32/win32_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "app/window/main_window_structure.h"
#include "window/list_cells.h"
#include "window/win32/icons_win32.h"
#include "window/win32/win32_list.h"
#include "window/win32/win32_text.h"
#include "window/win32/window_font_win32.h"

namespace varnok::window::win32 {
namespace {

using testing::drainEvents;
using testing::nextEventWithin;

constexpr std::string_view kDialog = "test$dialog";
constexpr std::string_view kOther = "test$other";

// Controls: 1 entry, 2 OK (default), 3 Cancel (cancel), 4 list, 5 region,
// 6 image, 7 prompt, 8 group.
WindowStructure dialogStructure(std::string_view name) {
    WindowStructure w;
    w.resourceName = std::string(name);
    w.title = "Test Dialog";
    w.width = 240;
    w.height = 160;
    w.resizable = true;
    w.statusZones = {60, -1};
    ControlStructure entry = makeControl(ControlKind::Entry, "?ENTRY", "", 40, 6, 120, 12);
    entry.picture = "@s8";
    w.controls.push_back(entry);
    ControlStructure ok = makeControl(ControlKind::Button, "?OK", "OK", 170, 6, 50, 14);
    ok.isDefault = true;
    w.controls.push_back(ok);
    ControlStructure cancel = makeControl(ControlKind::Button, "?CANCEL", "Cancel", 170, 24, 50, 14);
    cancel.isCancel = true;
    w.controls.push_back(cancel);
    ControlStructure list = makeControl(ControlKind::List, "?LIST", "", 6, 44, 220, 90);
    list.format = app::MainListFormat;
    w.controls.push_back(list);
    w.controls.push_back(makeControl(ControlKind::Region, "?REGION", "", 6, 140, 40, 12));
    w.controls.push_back(makeControl(ControlKind::Image, "?IMAGE", "~boxon.ico", 60, 138, 16, 16));
    w.controls.push_back(makeControl(ControlKind::Prompt, "?PROMPT", "&Name:", 6, 8));
    w.controls.push_back(makeControl(ControlKind::Group, "?GROUP", "Rows", 3, 36, 230, 102));
    return w;
}

// Rows 1..n; field 2 the icon number (1 or 2), fields 3..7 texts naming
// their row. Every read is counted, by row.
class CountingSource : public ListSource {
public:
    explicit CountingSource(int32_t rows) : rows_(rows) {}
    int32_t rowCount() override { return rows_; }
    std::string fieldText(int32_t row, int field) override {
        ++reads;
        rowsRead.insert(row);
        if (row < 1 || row > rows_) return "";
        switch (field) {
        case 1: return "";
        case 2: return row % 3 == 0 ? "2" : "1";
        case 3: return "Ext" + std::to_string(row) + (row == 2 ? " \xE9" : "");  // a Windows-1252 letter
        case 4: return "Proc" + std::to_string(row % 7);
        case 5: return "Tpl";
        case 6: return std::to_string(row * 10);
        case 7: return std::to_string(row * 10 + 9);
        default: return "";
        }
    }
    uint32_t changeStamp() override { return stamp; }
    void change(int32_t rows) {
        rows_ = rows;
        ++stamp;
    }

    uint32_t stamp = 1;
    uint64_t reads = 0;
    std::set<int32_t> rowsRead;

private:
    int32_t rows_;
};

std::wstring itemText(HWND list, int row, int column) {
    wchar_t buffer[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 256;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

RECT childRect(HWND child, HWND parent) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

INT_PTR CALLBACK quietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A dialog of the system, from a template in memory with the font given,
// holding the controls given (static texts, ids 100, 101, ...): the
// reference for what dialog units are in pixels and for where the dialog
// manager puts a control of a template.
struct TemplateControl {
    short x, y, cx, cy;
};

HWND referenceDialog(const std::wstring& face, WORD points, const std::vector<TemplateControl>& controls = {}) {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* head = reinterpret_cast<DLGTEMPLATE*>(t.data());
    head->style = DS_SETFONT | WS_POPUP;
    head->cdit = static_cast<WORD>(controls.size());
    head->cx = 400;
    head->cy = 300;
    t.push_back(0);  // no menu
    t.push_back(0);  // the dialog class
    t.push_back(0);  // no title
    t.push_back(points);
    for (wchar_t c : face) t.push_back(static_cast<WORD>(c));
    t.push_back(0);
    WORD id = 100;
    for (const TemplateControl& c : controls) {
        if (t.size() % 2) t.push_back(0);  // each item on a DWORD boundary
        const DWORD style = WS_CHILD | WS_VISIBLE | SS_LEFT;
        t.push_back(LOWORD(style));
        t.push_back(HIWORD(style));
        t.push_back(0);  // no extended style
        t.push_back(0);
        for (short v : {c.x, c.y, c.cx, c.cy}) t.push_back(static_cast<WORD>(v));
        t.push_back(id++);
        t.push_back(0xFFFF);  // the static class
        t.push_back(0x0082);
        t.push_back(0);  // no text
        t.push_back(0);  // no creation data
    }
    if (t.size() % 2) t.push_back(0);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.data()), nullptr,
                                      quietDialog, 0);
}

class Win32WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::registerMainWindow();
        registerWindowStructure(dialogStructure(kDialog));
        registerWindowStructure(dialogStructure(kOther));
        previous_ = setWindowLayer(&layer);
    }
    void TearDown() override { setWindowLayer(previous_); }

    std::unique_ptr<Win32Window> open(std::string_view name, Window* owner = nullptr) {
        std::unique_ptr<Window> w = layer.open(name, owner);
        return std::unique_ptr<Win32Window>(static_cast<Win32Window*>(w.release()));
    }
    // Opens and shows the window, taking its first event.
    std::unique_ptr<Win32Window> shown(std::string_view name, Window* owner = nullptr) {
        auto w = open(name, owner);
        Event e;
        EXPECT_TRUE(w && w->nextEvent(e));
        EXPECT_EQ(e.number, event::OpenWindow);
        drainEvents(layer, *w);
        return w;
    }

    Win32WindowLayer layer;

private:
    WindowLayer* previous_ = nullptr;
};

TEST_F(Win32WindowTest, EveryControlSitsWhereTheDialogManagerPutsItInTheWindowsFont) {
    auto w = open(app::MainWindowResource);
    ASSERT_TRUE(w);
    // A dialog in the window's own font (the structure's, or the desktop's
    // when the system lacks it), holding a control of each size the
    // structure gives at its place.
    LOGFONTW font{};
    GetObjectW(w->font(), sizeof font, &font);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const WindowStructure& s = w->structure();
    std::vector<TemplateControl> sized;
    for (const ControlStructure& c : s.controls)
        sized.push_back({static_cast<short>(c.x), static_cast<short>(c.y),
                         static_cast<short>(c.width == NoValue ? 1 : c.width),
                         static_cast<short>(c.height == NoValue ? 1 : c.height)});
    HWND dialog =
        referenceDialog(font.lfFaceName, static_cast<WORD>(MulDiv(std::abs(font.lfHeight), 72, dpi)), sized);
    ASSERT_TRUE(dialog);
    RECT unit{0, 0, 4, 8};
    MapDialogRect(dialog, &unit);
    EXPECT_EQ(w->base().averageWidth, unit.right);
    EXPECT_EQ(w->base().height, unit.bottom);
    for (size_t i = 0; i < s.controls.size(); ++i) {
        const ControlStructure& c = s.controls[i];
        SCOPED_TRACE(c.useName);
        const RECT expected = childRect(GetDlgItem(dialog, static_cast<int>(100 + i)), dialog);
        const RECT got = childRect(w->controlWindow(static_cast<int32_t>(i + 1)), w->frame());
        EXPECT_EQ(got.left, expected.left);
        EXPECT_EQ(got.top, expected.top);
        if (c.width != NoValue) {
            EXPECT_EQ(got.right - got.left, expected.right - expected.left);
        }
        if (c.kind == ControlKind::Entry) {
            // At least as tall as the dialog manager makes it, and room
            // inside for the font's descenders.
            RECT inside{};
            GetClientRect(w->controlWindow(static_cast<int32_t>(i + 1)), &inside);
            EXPECT_GE(got.bottom - got.top, expected.bottom - expected.top);
            EXPECT_GE(inside.bottom, textExtent(w->font(), L"Ay").cy + 2);
        } else if (c.height != NoValue) {
            EXPECT_EQ(got.bottom - got.top, expected.bottom - expected.top);
        }
    }
    // The dialog manager converts a control's place and its size each on
    // its own, as window/dialog_units.h does: the same size in units is the
    // same size in pixels wherever it sits.
    HWND pair = referenceDialog(font.lfFaceName, static_cast<WORD>(MulDiv(std::abs(font.lfHeight), 72, dpi)),
                                {{1, 1, 13, 7}, {2, 3, 13, 7}, {3, 5, 13, 7}});
    ASSERT_TRUE(pair);
    for (int id = 100; id < 103; ++id) {
        const RECT r = childRect(GetDlgItem(pair, id), pair);
        EXPECT_EQ(r.right - r.left, unitsToPixelsX(13, w->base())) << id;
        EXPECT_EQ(r.bottom - r.top, unitsToPixelsY(7, w->base())) << id;
    }
    DestroyWindow(pair);
    // A prompt without a size is as wide and high as its text.
    const int32_t prompt = w->control(app::use::FileNamePrompt);
    const RECT label = childRect(w->controlWindow(prompt), w->frame());
    const SIZE text = textExtent(w->font(), L"Txa File Name:");
    EXPECT_EQ(label.right - label.left, text.cx);
    EXPECT_EQ(label.bottom - label.top, text.cy);
    // The client area above the status bar is the structure's size.
    RECT size{0, 0, s.width, s.height};
    MapDialogRect(dialog, &size);
    RECT client{};
    GetClientRect(w->frame(), &client);
    RECT bar{};
    GetWindowRect(w->statusBar(), &bar);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom - (bar.bottom - bar.top), size.bottom);
    DestroyWindow(dialog);
}

TEST_F(Win32WindowTest, WindowPropertiesRoundTripInDialogUnits) {
    auto w = shown(kDialog);
    struct Case {
        int prop;
        std::string value;
    };
    const Case cases[] = {{prop::Xpos, "30"},         {prop::Ypos, "20"},       {prop::Width, "300"},
                          {prop::Height, "180"},      {prop::Text, "Renamed \xC3\xA9"}, {prop::MinWidth, "100"},
                          {prop::MinHeight, "50"},    {prop::Icon, "~boxoff.ico"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prop);
        w->setProperty(0, c.prop, c.value);
        EXPECT_EQ(w->property(0, c.prop), c.value);
    }
    // Xpos and Ypos are the frame's corner, Width and Height its client area above the status bar.
    RECT frame{}, client{}, bar{};
    GetWindowRect(w->frame(), &frame);
    GetClientRect(w->frame(), &client);
    GetWindowRect(w->statusBar(), &bar);
    EXPECT_EQ(frame.left, unitsToPixelsX(30, w->base()));
    EXPECT_EQ(frame.top, unitsToPixelsY(20, w->base()));
    EXPECT_EQ(client.right, unitsToPixelsX(300, w->base()));
    EXPECT_EQ(client.bottom - (bar.bottom - bar.top), unitsToPixelsY(180, w->base()));
    EXPECT_EQ(w->property(0, prop::Resize), "1");
    EXPECT_EQ(w->property(0, prop::Hide), "");
    w->setProperty(0, prop::Width, "50");  // below the least width: held there
    EXPECT_EQ(w->property(0, prop::Width), "100");
    w->setProperty(0, prop::Maximize, "1");
    EXPECT_EQ(w->property(0, prop::Maximize), "1");
    w->setProperty(0, prop::Maximize, "");
    EXPECT_EQ(w->property(0, prop::Maximize), "");
}

// The small icon a window's title bar shows: its own, else its class's.
HICON titleBarIcon(HWND frame) {
    if (auto own = reinterpret_cast<HICON>(SendMessageW(frame, WM_GETICON, ICON_SMALL, 0))) return own;
    return reinterpret_cast<HICON>(GetClassLongPtrW(frame, GCLP_HICONSM));
}

HICON programIcon(int size) {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_SHARED));
}

// Every window shows an icon of the program: its own when it names one,
// else the program's (resource 1), never the system's blank one; an icon
// taken away gives the program's back.
TEST_F(Win32WindowTest, AWindowWithoutAnIconOfItsOwnShowsTheProgramsIcon) {
    const int small = GetSystemMetrics(SM_CXSMICON);
    const HICON program = programIcon(small);
    ASSERT_NE(program, nullptr) << "the test program is built with the program's resources";
    const HICON blank = static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, small, small, LR_SHARED));
    EXPECT_NE(program, blank);
    const HICON boxOff = namedIcon("~boxoff.ico", small);
    ASSERT_NE(boxOff, nullptr);
    ASSERT_NE(boxOff, program);

    struct Case {
        std::string_view window;
        std::string_view iconSet;  // "-": left as the structure has it
        HICON expected;
    };
    const Case cases[] = {
        {kDialog, "-", program},                  // no icon in its structure
        {app::MainWindowResource, "-", program},  // "~varnok.ico": the same resource
        {kDialog, "~boxoff.ico", boxOff},         // an icon of its own wins
        {app::MainWindowResource, "~boxoff.ico", boxOff},
        {kDialog, "", program},                   // taken away: the program's again
        {app::MainWindowResource, "", program},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.window) + " icon '" + std::string(c.iconSet) + "'");
        auto w = shown(c.window);
        ASSERT_TRUE(w);
        if (c.iconSet != "-") {
            w->setProperty(0, prop::Icon, c.iconSet);
            EXPECT_EQ(w->property(0, prop::Icon), c.iconSet);
        }
        EXPECT_EQ(titleBarIcon(w->frame()), c.expected);
        EXPECT_NE(reinterpret_cast<HICON>(GetClassLongPtrW(w->frame(), GCLP_HICON)), nullptr);
    }
}

TEST_F(Win32WindowTest, ControlPropertiesRoundTrip) {
    auto w = shown(kDialog);
    struct Case {
        int32_t control;
        int prop;
        std::string value;
    };
    const Case cases[] = {
        {1, prop::Xpos, "41"},        {1, prop::Ypos, "7"},          {1, prop::Width, "101"},
        {1, prop::Height, "13"},      {1, prop::Text, "abc"},        {1, prop::Picture, "@s4"},
        {1, prop::Touched, "1"},      {2, prop::Text, "Go"},         {3, prop::Default, "1"},
        {2, prop::Hide, "1"},         {2, prop::Hide, ""},           {2, prop::Disable, "1"},
        {6, prop::Icon, "~boxoff.ico"}, {7, prop::Text, "Other:"},   {8, prop::Text, "Frame"},
        {4, prop::Xpos, "8"},         {4, prop::Width, "218"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.control) + " " + std::to_string(c.prop));
        w->setProperty(c.control, c.prop, c.value);
        EXPECT_EQ(w->property(c.control, c.prop), c.value);
    }
    // One default button per window; the kinds read as their numbers.
    EXPECT_EQ(w->property(2, prop::Default), "");
    EXPECT_EQ(w->propertyNumber(4, prop::Type), static_cast<int32_t>(ControlKind::List));
    // The picture limits what can be typed.
    SendMessageW(w->controlWindow(1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (wchar_t ch : std::wstring(L"abcdefgh")) SendMessageW(w->controlWindow(1), WM_CHAR, ch, 0);
    EXPECT_EQ(w->property(1, prop::Text), "abcd");
}

TEST_F(Win32WindowTest, ListPropertiesRoundTrip) {
    auto w = shown(kDialog);
    EXPECT_EQ(w->property(4, prop::Format), app::MainListFormat);
    EXPECT_EQ(w->property(4, prop::ColumnCount), "6");
    struct Case {
        int prop;
        int32_t index;
        std::string value;
    };
    const Case cases[] = {{prop::ColumnHeader, 2, "Name"}, {prop::ColumnWidth, 2, "90"}, {prop::ColumnAlign, 3, "R"},
                          {prop::HeaderAlign, 3, "C"},     {prop::ColumnPicture, 5, "@n6"},
                          {prop::IconList, 1, "~boxoff.ico"}, {prop::IconList, 2, "~boxon.ico"},
                          {prop::LineHeight, 0, "12"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prop);
        w->setProperty(4, c.prop, c.value, c.index);
        EXPECT_EQ(w->property(4, c.prop, c.index), c.value);
    }
    HWND list = w->controlWindow(4);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0),
              unitsToPixelsX(12 + 90, w->base()) - unitsToPixelsX(12, w->base()));
    // The rows' height follows the line height; Items counts whole rows.
    CountingSource rows(50);
    w->bindList(4, &rows);
    RECT row{};
    row.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    EXPECT_EQ(row.bottom - row.top, unitsToPixelsY(12, w->base()));
    EXPECT_EQ(w->property(4, prop::LineHeight), "12");
    w->setProperty(4, prop::Items, "5");
    EXPECT_EQ(w->property(4, prop::Items), "5");
    w->setProperty(4, prop::Selected, "7");
    EXPECT_EQ(w->property(4, prop::Selected), "7");
    EXPECT_EQ(w->choice(4), 7);
    w->setProperty(4, prop::Selected, "0");
    EXPECT_EQ(w->choice(4), 0);
    EXPECT_TRUE(withoutNoise(drainEvents(layer, *w)).empty());  // the program's choices post nothing
    w->bindList(4, nullptr);
}

TEST_F(Win32WindowTest, AListOfMillionsReadsOnlyTheRowsItShows) {
    auto w = shown(app::MainWindowResource);
    const int32_t list = w->control(app::use::List);
    constexpr int32_t kRows = 1'600'000;
    CountingSource rows(kRows);
    w->bindList(list, &rows);
    HWND view = w->controlWindow(list);
    EXPECT_EQ(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0), kRows);
    UpdateWindow(view);
    w->paintPending();
    const int32_t visible = w->propertyNumber(list, prop::Items);
    EXPECT_GT(visible, 5);
    EXPECT_LE(static_cast<int32_t>(rows.rowsRead.size()), visible + 2);
    // The cells are the fields through the columns' pictures.
    ListCells cells(parseListFormat(app::MainListFormat));
    for (int32_t row : {1, 2, 3, kRows}) {
        for (int column = 1; column < cells.columnCount(); ++column) {
            SCOPED_TRACE(std::to_string(row) + "/" + std::to_string(column));
            const std::string expected =
                cells.text(column, [&](int field) { return rows.fieldText(row, field); });
            EXPECT_EQ(itemText(view, row - 1, column), cp1252Wide(expected));
        }
    }
    EXPECT_EQ(itemText(view, 1, 1), L"Ext2 \u00E9");
    // The last row, highlighted by the program, is read with its neighbours only.
    rows.rowsRead.clear();
    w->select(list, kRows);
    UpdateWindow(view);
    w->paintPending();
    EXPECT_EQ(w->choice(list), kRows);
    ASSERT_FALSE(rows.rowsRead.empty());
    EXPECT_GE(*rows.rowsRead.begin(), kRows - visible - 2);
    EXPECT_LE(static_cast<int32_t>(rows.rowsRead.size()), visible + 2);
    w->bindList(list, nullptr);
}

TEST_F(Win32WindowTest, TheListFollowsItsSourcesChangesAfterEveryEvent) {
    auto w = shown(kDialog);
    CountingSource rows(10);
    w->bindList(4, &rows);
    HWND view = w->controlWindow(4);
    w->setProperty(4, prop::Selected, "9");
    // Rows taken away: the count follows, the highlight moves to the last row left.
    rows.change(4);
    w->post(event::Notify);
    Event e;
    ASSERT_TRUE(nextEventWithin(*w, e));
    EXPECT_EQ(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(w->choice(4), 4);
    // Same count, new texts: the cells are read again.
    rows.change(4);
    rows.rowsRead.clear();
    w->defaultAction(e);
    EXPECT_EQ(itemText(view, 0, 1), L"Ext1");
    EXPECT_EQ(rows.rowsRead.count(1), 1u);
    // Without a change no row is read again for the count.
    const uint64_t reads = rows.reads;
    w->followLists();
    EXPECT_EQ(rows.reads, reads);
    w->bindList(4, nullptr);
}

TEST_F(Win32WindowTest, PostedClicksAndKeysBecomeTheirEvents) {
    auto w = shown(kDialog);
    char name[8];
    std::memset(name, ' ', sizeof name);
    w->bindText(1, TextVariable{name, sizeof name});
    HWND entry = w->controlWindow(1);
    Event e;
    // A click on a button.
    PostMessageW(w->controlWindow(3), BM_CLICK, 0, 0);
    ASSERT_TRUE(nextEventWithin(*w, e));
    while (e.number == event::Selected || e.number == event::GainFocus) ASSERT_TRUE(nextEventWithin(*w, e));
    EXPECT_EQ(e.number, event::Accepted);
    EXPECT_EQ(e.control, 3);
    // Typing in the entry, then Enter: the variable is written, then the
    // entry is accepted, then the default button pressed.
    w->select(1);
    for (wchar_t ch : std::wstring(L"txa")) PostMessageW(entry, WM_CHAR, ch, 0);
    PostMessageW(entry, WM_KEYDOWN, VK_RETURN, 0);
    std::vector<Event> events = withoutNoise(drainEvents(layer, *w));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].number, event::Accepted);
    EXPECT_EQ(events[0].control, 1);
    EXPECT_EQ(std::string(name, sizeof name), "txa     ");
    EXPECT_EQ(events[1].control, 2);
    // Unchanged, Enter only presses the default button; Esc the cancel one.
    PostMessageW(entry, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(entry, WM_KEYDOWN, VK_ESCAPE, 0);
    events = withoutNoise(drainEvents(layer, *w));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].control, 2);
    EXPECT_EQ(events[1].control, 3);
    // Tab moves the focus to the next control (EVENT:Selected).
    w->select(1);
    drainEvents(layer, *w);
    PostMessageW(entry, WM_KEYDOWN, VK_TAB, 0);
    events = drainEvents(layer, *w);
    EXPECT_EQ(w->focus(), 2);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().number, event::Selected);
    EXPECT_EQ(events.back().control, 2);
    // A click on the region.
    PostMessageW(w->controlWindow(5), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    events = withoutNoise(drainEvents(layer, *w));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].control, 5);
    // A row chosen by the user.
    CountingSource rows(20);
    w->bindList(4, &rows);
    HWND view = w->controlWindow(4);
    w->select(4, 2);
    drainEvents(layer, *w);
    PostMessageW(view, WM_KEYDOWN, VK_DOWN, 0);
    events = withoutNoise(drainEvents(layer, *w));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, event::NewSelection);
    EXPECT_EQ(w->choice(4), 3);
    // End and Home go to the last and the first row.
    PostMessageW(view, WM_KEYDOWN, VK_END, 0);
    events = withoutNoise(drainEvents(layer, *w));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(w->choice(4), 20);
    PostMessageW(view, WM_KEYDOWN, VK_HOME, 0);
    events = withoutNoise(drainEvents(layer, *w));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, event::NewSelection);
    EXPECT_EQ(w->choice(4), 1);
    w->bindList(4, nullptr);
}

TEST_F(Win32WindowTest, AlertedKeysArriveWithTheirCodes) {
    auto w = shown(kDialog);
    CountingSource rows(20);
    w->bindList(4, &rows);
    HWND view = w->controlWindow(4);
    RECT third{};
    third.left = LVIR_BOUNDS;
    SendMessageW(view, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
    const LPARAM onThird = MAKELPARAM(third.left + 40, (third.top + third.bottom) / 2);
    for (uint32_t code : {key::MouseRight, key::MouseLeft2, key::Enter, key::Enter | key::Shift,
                          key::Enter | key::Ctrl, key::MouseRight | key::Ctrl})
        w->alert(4, code);
    w->alert(0, key::Enter | key::Alt);
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
        BYTE heldKey;  // 0: none
        int32_t control;
        uint32_t code;
    };
    const Case cases[] = {
        {"right press", WM_RBUTTONDOWN, MK_RBUTTON, 0, 4, key::MouseRight},
        {"ctrl right press", WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, VK_CONTROL, 4, key::MouseRight | key::Ctrl},
        {"double click", WM_LBUTTONDBLCLK, MK_LBUTTON, 0, 4, key::MouseLeft2},
        {"enter", WM_KEYDOWN, VK_RETURN, 0, 4, key::Enter},
        {"shift enter", WM_KEYDOWN, VK_RETURN, VK_SHIFT, 4, key::Enter | key::Shift},
        {"ctrl enter", WM_KEYDOWN, VK_RETURN, VK_CONTROL, 4, key::Enter | key::Ctrl},
        {"alt enter: the window's", WM_SYSKEYDOWN, VK_RETURN, VK_MENU, 0, key::Enter | key::Alt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BYTE keys[256];
        GetKeyboardState(keys);
        if (c.heldKey) keys[c.heldKey] = 0x80;
        SetKeyboardState(keys);
        const bool key = c.message == WM_KEYDOWN || c.message == WM_SYSKEYDOWN;
        PostMessageW(view, c.message, c.wParam, key ? (c.message == WM_SYSKEYDOWN ? 1 << 29 : 0) : onThird);
        const std::vector<Event> events = withoutNoise(drainEvents(layer, *w));
        if (c.heldKey) keys[c.heldKey] = 0;
        SetKeyboardState(keys);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().number, event::AlertKey);
        EXPECT_EQ(events.back().control, c.control);
        EXPECT_EQ(events.back().keyCode, c.code);
    }
    // The right press highlighted the row under the mouse and recorded it.
    EXPECT_EQ(w->choice(4), 3);
    EXPECT_EQ(w->property(4, prop::MouseDownRow), "3");
    EXPECT_EQ(w->property(4, prop::MouseDownColumn), "2");
    // A press below the rows leaves none highlighted.
    CountingSource few(2);
    w->bindList(4, &few);
    w->setProperty(4, prop::Selected, "2");
    RECT client{};
    GetClientRect(view, &client);
    PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, client.bottom - 2));
    PostMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(5, client.bottom - 2));
    drainEvents(layer, *w);
    EXPECT_EQ(w->choice(4), 0);
    EXPECT_EQ(w->property(4, prop::MouseDownRow), "0");
    w->bindList(4, nullptr);
}

TEST_F(Win32WindowTest, ANestedWindowRunsWhileTheOneBelowRefusesInput) {
    auto below = shown(kDialog);
    auto top = open(kOther, below.get());
    ASSERT_TRUE(top);
    Event e;
    ASSERT_TRUE(top->nextEvent(e));
    EXPECT_EQ(e.number, event::OpenWindow);
    EXPECT_FALSE(IsWindowEnabled(below->frame()));
    EXPECT_TRUE(IsWindowEnabled(top->frame()));
    EXPECT_EQ(GetWindow(top->frame(), GW_OWNER), below->frame());
    // Centred over the window below.
    RECT a{}, b{};
    GetWindowRect(below->frame(), &a);
    GetWindowRect(top->frame(), &b);
    EXPECT_NEAR((a.left + a.right) / 2, (b.left + b.right) / 2, 1);
    // Clicks and keys meant for the window below are dropped; the top
    // window's loop runs.
    PostMessageW(below->controlWindow(2), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(below->frame(), WM_CLOSE, 0, 0);
    PostMessageW(top->controlWindow(3), BM_CLICK, 0, 0);
    do {
        ASSERT_TRUE(nextEventWithin(*top, e));
    } while (e.number != event::Accepted);
    EXPECT_EQ(e.control, 3);
    EXPECT_TRUE(withoutNoise(drainEvents(layer, *below)).empty());
    top->close();
    EXPECT_TRUE(IsWindowEnabled(below->frame()));
    EXPECT_EQ(layer.topWindow(), below.get());
    PostMessageW(below->controlWindow(2), BM_CLICK, 0, 0);
    do {
        ASSERT_TRUE(nextEventWithin(*below, e));
    } while (e.number != event::Accepted);
    EXPECT_EQ(e.control, 2);
}

TEST_F(Win32WindowTest, ShownTheFirstControlHasTheFocusWithoutASelectedEvent) {
    auto w = open(kDialog);
    Event e;
    ASSERT_TRUE(w->nextEvent(e));
    EXPECT_EQ(e.number, event::OpenWindow);
    std::vector<uint16_t> numbers;
    for (const Event& later : drainEvents(layer, *w)) numbers.push_back(later.number);
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), event::Selected), 0);
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), event::Sized), 1);  // the size it is shown at
    EXPECT_EQ(w->focus(), 1);
    // The program moving the focus is a selection.
    w->select(2);
    const std::vector<Event> events = drainEvents(layer, *w);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().number, event::Selected);
    EXPECT_EQ(events.back().control, 2);
}

TEST_F(Win32WindowTest, ActivationGainsAndLosesFocusAndGivesTheControlItsFocusBack) {
    auto w = shown(kDialog);
    w->select(3);
    drainEvents(layer, *w);
    SendMessageW(w->frame(), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    SetFocus(nullptr);
    SendMessageW(w->frame(), WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
    std::vector<uint16_t> numbers;
    for (const Event& e : drainEvents(layer, *w)) numbers.push_back(e.number);
    EXPECT_EQ(numbers, (std::vector<uint16_t>{event::LoseFocus, event::GainFocus}));  // no EVENT:Selected
    EXPECT_EQ(w->focus(), 3);
}

TEST_F(Win32WindowTest, ResizedMovedAndMaximizedArriveAsTheirEvents) {
    auto w = shown(kDialog);
    auto numbers = [&] {
        std::vector<uint16_t> got;
        for (const Event& e : drainEvents(layer, *w))
            if (e.number != event::GainFocus && e.number != event::LoseFocus && e.number != event::Selected)
                got.push_back(e.number);
        return got;
    };
    w->setProperty(0, prop::Width, "260");
    EXPECT_EQ(numbers(), std::vector<uint16_t>{event::Sized});
    w->setProperty(0, prop::Xpos, "12");
    EXPECT_EQ(numbers(), std::vector<uint16_t>{event::Moved});
    w->setProperty(0, prop::Width, "260");  // no change, no event
    EXPECT_TRUE(numbers().empty());
    w->setProperty(0, prop::Maximize, "1");
    std::vector<uint16_t> got = numbers();
    EXPECT_NE(std::find(got.begin(), got.end(), event::Maximized), got.end());
    w->setProperty(0, prop::Maximize, "");
    got = numbers();
    EXPECT_NE(std::find(got.begin(), got.end(), event::Restored), got.end());
}

TEST_F(Win32WindowTest, AColumnTheUserResizesKeepsItsNewWidthInUnits) {
    auto w = shown(kDialog);
    HWND view = w->controlWindow(4);
    HWND header = reinterpret_cast<HWND>(SendMessageW(view, LVM_GETHEADER, 0, 0));
    const int pixels = unitsToPixelsX(60, w->base());
    // The header reports the end of a drag of its second divider.
    HDITEMW item{};
    item.mask = HDI_WIDTH;
    item.cxy = pixels;
    NMHEADERW drag{};
    drag.hdr.hwndFrom = header;
    drag.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(header));
    drag.hdr.code = HDN_ENDTRACKW;
    drag.iItem = 1;
    drag.iButton = 0;
    drag.pitem = &item;
    SendMessageW(view, WM_NOTIFY, drag.hdr.idFrom, reinterpret_cast<LPARAM>(&drag));
    EXPECT_EQ(w->property(4, prop::ColumnWidth, 2), "60");
    EXPECT_EQ(SendMessageW(view, LVM_GETCOLUMNWIDTH, 1, 0), pixels);
    const std::vector<Event> events = withoutNoise(drainEvents(layer, *w));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, event::ColumnResize);
    EXPECT_EQ(events[0].control, 4);
    // The program's own widths report nothing.
    w->setProperty(4, prop::ColumnWidth, "70", 2);
    EXPECT_TRUE(withoutNoise(drainEvents(layer, *w)).empty());
}

TEST_F(Win32WindowTest, APopupOpensAtTheMouseOrBelowTheFocusAfterAKey) {
    auto w = shown(kDialog);
    POINT at{-1, -1};
    std::string items;
    layer.answerPopups([&](std::string_view menu, POINT where) {
        items = std::string(menu);
        at = where;
        return 2;
    });
    w->select(1);
    PostMessageW(w->controlWindow(1), WM_KEYDOWN, VK_SHIFT, 0);
    drainEvents(layer, *w);
    EXPECT_EQ(layer.popup("One|Two"), 2);
    EXPECT_EQ(items, "One|Two");
    RECT entry{};
    GetWindowRect(w->controlWindow(1), &entry);
    EXPECT_EQ(at.x, entry.left);
    EXPECT_EQ(at.y, entry.bottom);
    PostMessageW(w->controlWindow(2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(w->controlWindow(2), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    drainEvents(layer, *w);
    layer.popup("One|Two");
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(at.x, cursor.x);
    EXPECT_EQ(at.y, cursor.y);
    // The file dialog's answer comes back as the chosen name.
    layer.answerFileDialogs([](FileDialogRequest& request) {
        request.name = "C:\\chosen.txa";
        return true;
    });
    FileDialogRequest request;
    request.masks = "TXA Files|*.txa";
    EXPECT_TRUE(windowLayer().fileDialog(request));
    EXPECT_EQ(request.name, "C:\\chosen.txa");
}

TEST_F(Win32WindowTest, AZoneShowsItsProgressBarInPlaceOfItsText) {
    auto w = shown(kDialog);
    w->setProperty(0, prop::StatusText, "counts", 2);
    EXPECT_EQ(w->property(0, prop::StatusText, 2), "counts");
    auto zoneText = [&] {
        wchar_t buffer[64] = {};
        SendMessageW(w->statusBar(), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(buffer));
        return std::wstring(buffer);
    };
    EXPECT_EQ(zoneText(), L"counts");
    w->setProperty(0, prop::StatusProgress, "40", 2);
    EXPECT_EQ(w->property(0, prop::StatusProgress, 2), "40");
    HWND bar = w->zoneProgress(2);
    ASSERT_TRUE(bar);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(zoneText(), L"");
    RedrawWindow(w->frame(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(testing::saveScreenshot(w->frame(), "status-progress"));
    RECT part{}, placed = childRect(bar, w->statusBar());
    SendMessageW(w->statusBar(), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    EXPECT_GE(placed.left, part.left);
    EXPECT_LE(placed.right, part.right);
    w->setProperty(0, prop::StatusProgress, "250", 2);
    EXPECT_EQ(w->property(0, prop::StatusProgress, 2), "100");
    w->setProperty(0, prop::StatusProgress, "", 2);
    EXPECT_EQ(w->property(0, prop::StatusProgress, 2), "");
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_EQ(zoneText(), L"counts");
}

TEST_F(Win32WindowTest, PaintPendingPaintsButLeavesInputForTheLoop) {
    auto w = shown(kDialog);
    PostMessageW(w->controlWindow(1), WM_KEYDOWN, VK_RETURN, 0);
    InvalidateRect(w->frame(), nullptr, TRUE);
    w->paintPending();
    EXPECT_FALSE(GetUpdateRect(w->frame(), nullptr, FALSE));
    EXPECT_EQ(w->queuedEvents(), 0u);
    const std::vector<Event> events = withoutNoise(drainEvents(layer, *w));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].control, 2);  // the default button, pressed by the Enter that waited
}

TEST_F(Win32WindowTest, BmpPicturesHoldTheirPixels) {
    const std::vector<uint32_t> pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xABCDEF, 0x000000};
    const std::string path = testing::screenshotPath("bmp-check.bmp");
    ASSERT_TRUE(testing::writeBmp(path, 3, 2, pixels));
    FILE* in = std::fopen(path.c_str(), "rb");
    ASSERT_TRUE(in);
    std::vector<uint8_t> file(70);
    EXPECT_EQ(std::fread(file.data(), 1, file.size(), in), 70u);
    std::fclose(in);
    DeleteFileA(path.c_str());
    EXPECT_EQ(file[0], 'B');
    // Bottom-up rows of 12 bytes (9 and padding), blue green red.
    const size_t bottom = 54, top = 54 + 12;
    EXPECT_EQ(file[top + 0], 0x00);
    EXPECT_EQ(file[top + 2], 0xFF);  // the first pixel is red
    EXPECT_EQ(file[bottom + 0], 0x56);
    EXPECT_EQ(file[bottom + 2], 0x12);
}

}  // namespace
}  // namespace varnok::window::win32
