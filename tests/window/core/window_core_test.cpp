// The window core's rules without any toolkit: a fake adapter keeps each
// control's native state in memory, and the tests play the user through the
// core's neutral input.
#include "window/core/window_core.h"

#include <gtest/gtest.h>

#include <cstring>

#include "window/events.h"
#include "window/list_format.h"

namespace varnok::window {
namespace {

struct Native {
    std::string text;
    bool modified = false, hidden = false, disabled = false, isDefault = false;
    PixelRect rect{0, 0, 50, 10};
    int32_t row = 0;
};

class FakeWindow : public WindowCore {
public:
    explicit FakeWindow(WindowStructure s) : WindowCore(std::move(s)), n(structure().controls.size() + 1) {
        setBase(DialogBase{4, 8});
        opened();
    }
    std::vector<Native> n;  // 0: the frame
    std::vector<int32_t> newSelections;
    int32_t focused = 0;
    std::vector<int> widths;
    bool top = true;

    void paintPending() override {}
    void beep() override {}
    using WindowCore::doubleClicked;
    using WindowCore::enterPressed;
    using WindowCore::entryDone;
    using WindowCore::escapePressed;
    using WindowCore::listPressed;
    // The user moves the list's highlight: the adapter reports it.
    void userMovesTo(int32_t list, int32_t row) { setNativeListRow(list, row); }
    std::vector<uint16_t> takeAll() {
        std::vector<uint16_t> out;
        Event e;
        while (queuedEvents() > 0 && nextEvent(e)) out.push_back(e.number == event::AlertKey ? 0x8000 | e.keyCode : e.number);
        return out;
    }

protected:
    bool isTopWindow() const override { return top; }
    void followAllLists() override { followLists(); }
    bool waitForInput() override { return false; }
    void wakeUp() override {}
    void showNative() override {}
    void closeNative() override {}
    bool nativeAlive() const override { return true; }
    void repaintNative() override {}
    PixelRect nativeFrameRect() const override { return n[0].rect; }
    void moveNativeFrame(int x, int y) override { n[0].rect.x = x, n[0].rect.y = y; }
    PixelSize nativeClientSize() const override { return {n[0].rect.width, n[0].rect.height}; }
    void resizeNativeClient(int w, int h) override { n[0].rect.width = w, n[0].rect.height = h; }
    void setNativeMinimumSize(int, int) override {}
    FrameState nativeFrameState() const override { return FrameState::Normal; }
    void setNativeFrameState(FrameState, bool) override {}
    void showNativeZone(int32_t, const std::string&, int32_t) override {}
    std::string nativeText(int32_t c) const override { return n[c].text; }
    void setNativeText(int32_t c, std::string_view t) override { n[c].text = t, n[c].modified = false; }
    int nativeNaturalWidth(int32_t c) const override { return static_cast<int>(n[c].text.size()) * 4; }
    bool nativeModified(int32_t c) const override { return n[c].modified; }
    void clearNativeModified(int32_t c) override { n[c].modified = false; }
    void setNativeEntryLength(int32_t, int) override {}
    PixelRect nativeRect(int32_t c) const override { return n[c].rect; }
    void setNativeRect(int32_t c, const PixelRect& r) override { n[c].rect = r; }
    bool nativeHidden(int32_t c) const override { return n[c].hidden; }
    void setNativeHidden(int32_t c, bool h) override { n[c].hidden = h; }
    bool nativeDisabled(int32_t c) const override { return n[c].disabled; }
    void setNativeDisabled(int32_t c, bool d) override { n[c].disabled = d; }
    void setNativeIcon(int32_t, const std::string&) override {}
    void setNativeDefault(int32_t c, bool d) override { n[c].isDefault = d; }
    void enableNativeDrops(int32_t) override {}
    bool nativeTakesFocus(int32_t c) const override { return structure().controls[c - 1].kind != ControlKind::Prompt; }
    void setNativeFocus(int32_t c) override { focused = c; }
    int32_t nativeFocus() const override { return focused; }
    void applyNativeColumns(int32_t) override {}
    int nativeDefaultColumnWidth(int32_t) const override { return 40; }
    ListWidths nativeListWidths(int32_t) const override { return {200, 190, true}; }
    void setNativeHorizontalBar(int32_t, bool) override {}
    void setNativeColumnWidths(int32_t, const std::vector<int>& w) override { widths = w; }
    void setNativeRowCount(int32_t c) override { n[c].row = 0; }
    void redrawNativeList(int32_t) override {}
    int32_t nativeListRow(int32_t c) const override { return n[c].row; }
    void setNativeListRow(int32_t c, int32_t row) override {
        n[c].row = row;
        if (row > 0) listRowMoved(c);
    }
    int32_t nativeListItems(int32_t) const override { return 0; }
    void setNativeListItems(int32_t, int32_t) override {}
    int nativeLineHeight(int32_t) const override { return 8; }
    void setNativeLineHeight(int32_t, int) override {}
    void applyNativeIcons(int32_t) override {}
};

constexpr int32_t kEntry = 1, kOk = 2, kList = 3, kCancel = 4;

WindowStructure structure() {
    WindowStructure w;
    w.statusZones = {60, -1};
    w.controls = {makeControl(ControlKind::Entry, "?NAME", "", 4, 4, 100, 10),
                  makeControl(ControlKind::Button, "?OK", "OK", 120, 4, 40, 14),
                  makeControl(ControlKind::List, "?LIST", "", 4, 24, 190, 60),
                  makeControl(ControlKind::Button, "?CANCEL", "Cancel", 120, 90, 40, 14)};
    w.controls[0].picture = "@s8";
    w.controls[1].isDefault = true;
    w.controls[2].format = "40L(2)|M~A~@s20@";
    w.controls[3].isCancel = true;
    return w;
}

class Rows : public ListSource {
public:
    int32_t count = 5;
    uint32_t stamp = 1;
    int32_t rowCount() override { return count; }
    std::string fieldText(int32_t row, int) override { return "row " + std::to_string(row); }
    uint32_t changeStamp() override { return stamp; }
};

constexpr uint32_t alertOf(uint32_t code) { return 0x8000 | code; }

TEST(WindowCore, EnterGoesToTheFirstThatWantsIt) {
    struct Case {
        int32_t on;
        bool listAlert, windowAlert, okDisabled;
        std::vector<uint16_t> events;
    };
    const Case cases[] = {
        {kList, true, true, false, {static_cast<uint16_t>(alertOf(key::Enter))}},
        {kList, false, true, false, {static_cast<uint16_t>(alertOf(key::Enter))}},
        {kList, false, false, false, {event::Accepted}},
        {kList, false, false, true, {}},
        {kEntry, false, false, false, {event::Accepted, event::Accepted}},  // the entry, then OK
    };
    for (const Case& c : cases) {
        FakeWindow w(structure());
        w.takeAll();
        if (c.listAlert) w.alert(kList, key::Enter);
        if (c.windowAlert) w.alert(0, key::Enter);
        w.n[kOk].disabled = c.okDisabled;
        w.n[kEntry].modified = c.on == kEntry;
        w.enterPressed(c.on, 0);
        EXPECT_EQ(w.takeAll(), c.events) << "on " << c.on;
    }
}

TEST(WindowCore, EscPressesTheCancelButtonOnlyWithoutModifiers) {
    FakeWindow w(structure());
    w.takeAll();
    EXPECT_FALSE(w.escapePressed(key::Shift));
    EXPECT_TRUE(w.escapePressed(0));
    Event e;
    ASSERT_TRUE(w.nextEvent(e));
    EXPECT_EQ(e.control, kCancel);
}

TEST(WindowCore, BoundTextRoundTripsAndKeepsWhatIsBeingTyped) {
    FakeWindow w(structure());
    char name[10];
    std::memcpy(name, "old.txa   ", 10);
    w.bindText(kEntry, {name, sizeof name});
    EXPECT_EQ(w.n[kEntry].text, "old.txa");
    w.n[kEntry].text = "typing", w.n[kEntry].modified = true;
    w.display();
    EXPECT_EQ(w.n[kEntry].text, "typing");  // a redisplay keeps it
    w.n[kEntry].text = "a\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";  // 11 bytes, cut before a character's middle
    w.entryDone(kEntry);
    EXPECT_EQ(std::string(name, 10), "a\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 ");
    std::memcpy(name, "new.txa   ", 10);
    w.display();
    EXPECT_EQ(w.n[kEntry].text, "new.txa");
}

TEST(WindowCore, StatusProgressReadsBackAsTheBarShowsIt) {
    const std::pair<const char*, const char*> cases[] = {{"40", "40"}, {"150", "100"}, {"-3", ""}, {"", ""}, {"0", "0"}};
    for (const auto& [written, read] : cases) {
        FakeWindow w(structure());
        w.setProperty(0, prop::StatusProgress, written, 2);
        EXPECT_EQ(w.property(0, prop::StatusProgress, 2), read) << written;
    }
}

TEST(WindowCore, OneDefaultButtonPerWindow) {
    FakeWindow w(structure());
    w.setProperty(kCancel, prop::Default, "1");
    EXPECT_FALSE(w.n[kOk].isDefault);
    EXPECT_EQ(w.property(kOk, prop::Default), "");
    EXPECT_EQ(w.property(kCancel, prop::Default), "1");
}

TEST(WindowCore, OnlyTheUsersListChangesPostNewSelection) {
    FakeWindow w(structure());
    Rows rows;
    w.bindList(kList, &rows);
    w.takeAll();
    w.select(kList, 3);  // the program's
    w.setProperty(kList, prop::Selected, 2);
    EXPECT_EQ(w.takeAll(), std::vector<uint16_t>{});
    w.userMovesTo(kList, 4);
    EXPECT_EQ(w.takeAll(), std::vector<uint16_t>{event::NewSelection});
    EXPECT_FALSE(w.listPressed(kList, MouseButton::Left, 1, 0, 0));  // below the rows
    EXPECT_EQ(w.choice(kList), 0);
    w.alert(kList, key::MouseRight);
    EXPECT_TRUE(w.listPressed(kList, MouseButton::Right, 1, 2, 0));
    EXPECT_EQ(w.choice(kList), 2);
    EXPECT_EQ(w.takeAll(), (std::vector<uint16_t>{event::NewSelection, static_cast<uint16_t>(alertOf(key::MouseRight))}));
    EXPECT_EQ(w.property(kList, prop::MouseDownRow), "2");
}

TEST(WindowCore, FewerRowsMoveTheHighlightToTheNearestRowLeft) {
    FakeWindow w(structure());
    Rows rows;
    w.bindList(kList, &rows);
    w.select(kList, 5);
    rows.count = 3, rows.stamp = 2;
    w.followLists();
    EXPECT_EQ(w.choice(kList), 3);
}

TEST(ListColumns, FitTheListByShrinkingTheWidestColumn) {
    struct Case {
        std::vector<int> pixels;
        int list, view;
        bool mayShrink;
        std::vector<int> widths;
        bool fits;
    };
    const Case cases[] = {
        {{40, 80, 60}, 200, 200, true, {40, 80, 60}, true},
        {{40, 80, 60}, 200, 170, true, {40, 70, 60}, true},   // the vertical bar takes 10
        {{40, 80, 60}, 200, 170, false, {40, 80, 60}, true},  // not shown yet
        {{40, 80, 100}, 200, 170, true, {40, 80, 100}, false},
    };
    for (const Case& c : cases) {
        const FittedColumns fitted = fitColumns(c.pixels, c.list, c.view, c.mayShrink);
        EXPECT_EQ(fitted.widths, c.widths);
        EXPECT_EQ(fitted.fits, c.fits);
    }
}

TEST(ListColumns, EdgesConvertedFromUnitsAddUp) {
    const DialogBase base{6, 13};
    const std::vector<ListColumn> columns = parseListFormat("33L~A~@s8@33L~B~@s8@34L~C~@s8@");
    const std::vector<int> pixels = columnPixels(columns, base, 100);
    EXPECT_EQ(pixels[0] + pixels[1] + pixels[2], unitsToPixelsX(100, base));
}

TEST(WindowCore, EntryLengthFromThePicture) {
    const std::pair<const char*, int> cases[] = {{"@s255", 255}, {"@s8", 8}, {"", 255}, {"@n-15.2", 15}, {"not a picture", 255}};
    for (const auto& [picture, length] : cases) EXPECT_EQ(entryLength(picture), length) << picture;
}

}  // namespace
}  // namespace varnok::window
