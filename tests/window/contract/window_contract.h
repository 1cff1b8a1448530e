// The window layer's contract: rules that hold for every implementation of
// window/window_layer.h, written once over a small driver that stands for
// the user (clicks, keys, the close box, a message box's button) and reads
// back what a layer shows (a control's pixel rectangle, a list's cells).
//
// Each layer's test executable derives a driver from LayerDriver (below)
// and instantiates the suite for it:
//
//   INSTANTIATE_TYPED_TEST_SUITE_P(WindowContractQt, WindowContract, QtLayerDriver);
//
// so that `ctest -R WindowContract` and `--gtest_filter=WindowContract*`
// find the suite in both executables. One driver per test.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/window/event_noise.h"
#include "window/dialog_units.h"
#include "window/events.h"
#include "window/list_cells.h"
#include "window/list_format.h"
#include "window/list_source.h"
#include "window/message_box.h"
#include "window/properties.h"
#include "window/window_layer.h"
#include "window/window_structure.h"

namespace varnok::window::contract {

inline constexpr std::string_view kDialog = "contract$dialog";
inline constexpr std::string_view kOther = "contract$other";
inline constexpr const char* kListFormat = "40L(2)|M~First~@s20@30R(1)~Second~C@n5@50L~Third~@n-9.2@";

// Controls: 1 prompt (its natural size), 2 entry, 3 OK (default), 4 list,
// 5 Cancel (cancel), 6 region.
// Keys for LayerDriver::keyOn that have no alert code of their own here
// (their Windows virtual-key numbers).
inline constexpr uint32_t kEscape = 27, kEnd = 35, kHome = 36, kDown = 40;

inline constexpr int32_t kPrompt = 1, kEntry = 2, kOk = 3, kList = 4, kCancel = 5, kRegion = 6;

inline WindowStructure contractStructure(std::string_view name) {
    WindowStructure w;
    w.resourceName = std::string(name);
    w.title = "Contract";
    w.width = 200;
    w.height = 120;
    w.resizable = true;
    w.statusZones = {60, -1};
    w.controls = {
        makeControl(ControlKind::Prompt, "?NAME:PROMPT", "&Name:", 4, 6),
        makeControl(ControlKind::Entry, "?NAME", "", 40, 5, 100, 10),
        makeControl(ControlKind::Button, "?OK", "OK", 150, 4, 40, 14),
        makeControl(ControlKind::List, "?LIST", "", 4, 24, 190, 60),
        makeControl(ControlKind::Button, "?CANCEL", "Cancel", 150, 90, 40, 14),
        makeControl(ControlKind::Region, "?REGION", "", 4, 90, 30, 10),
    };
    w.controls[1].picture = "@s20";
    w.controls[2].isDefault = true;
    w.controls[3].format = kListFormat;
    w.controls[4].isCancel = true;
    return w;
}

inline void registerContractStructures() {
    registerWindowStructure(contractStructure(kDialog));
    registerWindowStructure(contractStructure(kOther));
}

// The user and the eyes of a test, for one window layer.
class LayerDriver {
public:
    virtual ~LayerDriver() = default;

    virtual WindowLayer& layer() = 0;
    virtual Window* topWindow() = 0;
    // Lets the layer handle what is pending, then takes every event queued.
    virtual std::vector<Event> drain(Window&) = 0;
    // The next event within the time given; false when none came.
    virtual bool nextEventWithin(Window&, Event&, int milliseconds) = 0;

    // What shows.
    virtual DialogBase base(Window&) = 0;  // of the window's font
    virtual Rect pixelRect(Window&, int32_t control) = 0;  // in the client area
    virtual Rect clientRect(Window&) = 0;  // the client area above the status bar: its size
    virtual bool frameVisible(Window&) = 0;
    virtual bool visible(Window&, int32_t control) = 0;
    virtual bool enabled(Window&, int32_t control) = 0;
    virtual bool refusesInput(Window&) = 0;
    virtual int columnPixelWidth(Window&, int32_t list, int column) = 0;  // column 0-based
    virtual int32_t shownRows(Window&, int32_t list) = 0;
    // Row 1-based, column 0-based.
    virtual std::string cellText(Window&, int32_t list, int32_t row, int column) = 0;

    // What the user does.
    virtual void click(Window&, int32_t control) = 0;  // a button
    virtual void closeBox(Window&) = 0;
    // The input `keyCode` names (key::MouseLeft, MouseRight, MouseLeft2,
    // Enter or Space, with key::Shift or key::Ctrl) on the list's first row.
    virtual void userInput(Window&, int32_t list, uint32_t keyCode) = 0;
    // key::Enter, kEscape, kDown, kEnd or kHome on the control that has
    // the focus.
    virtual void keyOn(Window&, int32_t control, uint32_t keyCode) = 0;
    virtual void type(Window&, int32_t control, const std::string& text) = 0;
    // The files dropped on the control as the desktop delivers a drop.
    virtual void dropFiles(Window&, int32_t control, const std::vector<std::string>& names) = 0;
    // An absolute local file name (UTF-8) ending in `leaf`.
    virtual std::string fileName(const std::string& leaf) = 0;
    // Shows the box through the layer's own presenter (installed as the
    // current one for the while) and presses the button of `bit`; the answer.
    virtual unsigned showAndPress(const MessageRequest&, unsigned bit) = 0;
};

// Rows 1..n of three fields: a text longer than its column's picture, a
// number and a decimal, each naming its row; the change stamp moves with
// every change.
class ContractSource : public ListSource {
public:
    explicit ContractSource(int32_t rows) : rows_(rows) {}
    int32_t rowCount() override { return rows_; }
    std::string fieldText(int32_t row, int field) override {
        if (row < 1 || row > rows_) return "";
        switch (field) {
        case 1: return prefix_ + std::to_string(row) + "-abcdefghijklmnopqrstuvwxyz";
        case 2: return std::to_string(row * 1001);
        case 3: return std::to_string(row) + ".5";
        default: return "";
        }
    }
    uint32_t changeStamp() override { return stamp_; }
    void change(int32_t rows, std::string prefix) {
        rows_ = rows;
        prefix_ = std::move(prefix);
        ++stamp_;
    }

private:
    int32_t rows_;
    std::string prefix_ = "Row";
    uint32_t stamp_ = 1;
};

// The events that are not about the window's place, size or activation
// (EVENT:Selected kept).
inline std::vector<Event> withoutPlaceOrActivation(const std::vector<Event>& events) {
    std::vector<Event> kept;
    for (const Event& e : events)
        if (e.number != event::Sized && e.number != event::Moved && e.number != event::GainFocus &&
            e.number != event::LoseFocus)
            kept.push_back(e);
    return kept;
}

template <typename Driver>
class WindowContract : public ::testing::Test {
protected:
    void SetUp() override {
        registerContractStructures();
        previous_ = setWindowLayer(&driver.layer());
    }
    void TearDown() override { setWindowLayer(previous_); }

    // Opens the window and takes its first event, which is EVENT:OpenWindow.
    std::unique_ptr<Window> shown(std::string_view name, Window* owner = nullptr) {
        std::unique_ptr<Window> w = driver.layer().open(name, owner);
        EXPECT_NE(w, nullptr);
        if (!w) return w;
        Event first;
        EXPECT_TRUE(driver.nextEventWithin(*w, first, 5000));
        EXPECT_EQ(first.number, event::OpenWindow);
        driver.drain(*w);
        return w;
    }

    // One round of the accept loop: an event posted, taken and handled.
    void oneEvent(Window& w) {
        w.post(event::Notify);
        Event e;
        ASSERT_TRUE(driver.nextEventWithin(w, e, 5000));
        EXPECT_EQ(e.number, event::Notify);
        w.defaultAction(e);
    }

    Driver driver;

private:
    WindowLayer* previous_ = nullptr;
};

TYPED_TEST_SUITE_P(WindowContract);

// Every control sits at its dialog-unit rectangle converted with the base
// units of the window's font (a control without a size at its place), and
// moves and resizes in dialog units.
TYPED_TEST_P(WindowContract, ControlsSitAtTheirDialogUnitRectangles) {
    auto w = this->shown(kDialog);
    ASSERT_TRUE(w);
    const DialogBase base = this->driver.base(*w);
    EXPECT_GT(base.averageWidth, 0);
    EXPECT_GT(base.height, 0);
    const WindowStructure& s = w->structure();
    for (size_t i = 0; i < s.controls.size(); ++i) {
        const ControlStructure& c = s.controls[i];
        SCOPED_TRACE(c.useName);
        const Rect got = this->driver.pixelRect(*w, static_cast<int32_t>(i + 1));
        const Rect expected = unitsToPixels({c.x, c.y, c.width == NoValue ? 0 : c.width,
                                             c.height == NoValue ? 0 : c.height}, base);
        EXPECT_EQ(got.x, expected.x);
        EXPECT_EQ(got.y, expected.y);
        if (c.width != NoValue) {
            EXPECT_EQ(got.width, expected.width);
        } else {
            EXPECT_GT(got.width, 0);
        }
        if (c.kind == ControlKind::Entry) {
            EXPECT_GE(got.height, expected.height);  // or as tall as its font needs
        } else if (c.height != NoValue) {
            EXPECT_EQ(got.height, expected.height);
        } else {
            EXPECT_GT(got.height, 0);
        }
    }
    struct Move {
        int32_t control;
        Rect units;
    };
    const Move moves[] = {{kEntry, {44, 7, 90, 12}}, {kOk, {151, 3, 41, 15}}, {kList, {5, 25, 187, 57}},
                          {kRegion, {10, 95, 1, 1}}};
    for (const Move& m : moves) {
        SCOPED_TRACE(m.control);
        w->setProperty(m.control, prop::Xpos, m.units.x);
        w->setProperty(m.control, prop::Ypos, m.units.y);
        w->setProperty(m.control, prop::Width, m.units.width);
        w->setProperty(m.control, prop::Height, m.units.height);
        this->driver.drain(*w);
        const Rect got = this->driver.pixelRect(*w, m.control);
        const Rect expected = unitsToPixels(m.units, base);
        EXPECT_EQ(got.x, expected.x);
        EXPECT_EQ(got.y, expected.y);
        EXPECT_EQ(got.width, expected.width);
        EXPECT_EQ(got.height, expected.height);
        EXPECT_EQ(w->propertyNumber(m.control, prop::Xpos), m.units.x);
        EXPECT_EQ(w->propertyNumber(m.control, prop::Width), m.units.width);
    }
}

// The list's format gives its columns; each cell is its field through the
// column's picture (the text cut to its width, numbers formatted), read
// through the list source.
TYPED_TEST_P(WindowContract, ListCellsAreTheSourcesFieldsThroughTheFormat) {
    auto w = this->shown(kDialog);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->property(kList, prop::Format), kListFormat);
    EXPECT_EQ(w->propertyNumber(kList, prop::ColumnCount), 3);
    EXPECT_EQ(w->property(kList, prop::ColumnHeader, 1), "First");
    EXPECT_EQ(w->property(kList, prop::ColumnHeader, 3), "Third");
    EXPECT_EQ(w->property(kList, prop::ColumnAlign, 2), "R");
    EXPECT_EQ(w->property(kList, prop::HeaderAlign, 2), "C");
    EXPECT_EQ(w->property(kList, prop::HeaderAlign, 1), "L");  // as its data
    EXPECT_EQ(w->property(kList, prop::ColumnPicture, 3), "@n-9.2");
    EXPECT_EQ(w->property(kList, prop::ColumnHeader, 4), "");  // no such column
    // Each column's right edge is its dialog units so far, converted.
    const DialogBase base = this->driver.base(*w);
    const int32_t widths[] = {40, 30, 50};
    int32_t units = 0, edge = 0;
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(c);
        units += widths[c];
        edge += this->driver.columnPixelWidth(*w, kList, c);
        EXPECT_EQ(edge, unitsToPixelsX(units, base));
    }

    ContractSource rows(25);
    w->bindList(kList, &rows);
    this->driver.drain(*w);
    EXPECT_EQ(this->driver.shownRows(*w, kList), 25);
    const ListCells cells(parseListFormat(kListFormat));
    ASSERT_EQ(cells.columnCount(), 3);
    for (int32_t row : {1, 2, 13, 25}) {
        for (int column = 0; column < 3; ++column) {
            SCOPED_TRACE(std::to_string(row) + "/" + std::to_string(column));
            EXPECT_EQ(this->driver.cellText(*w, kList, row, column),
                      cells.text(column, [&](int field) { return rows.fieldText(row, field); }));
        }
    }
    EXPECT_EQ(this->driver.cellText(*w, kList, 2, 0), "Row2-abcdefghijklmno");  // @s20 cuts
    EXPECT_EQ(this->driver.cellText(*w, kList, 13, 2), "13.50");
    w->bindList(kList, nullptr);
}

// After every event the list follows its source when the change stamp moved:
// the row count, the highlight held on a row that still exists, the texts.
TYPED_TEST_P(WindowContract, TheListFollowsItsSourcesChangeStamp) {
    auto w = this->shown(kDialog);
    ASSERT_TRUE(w);
    ContractSource rows(10);
    w->bindList(kList, &rows);
    w->setProperty(kList, prop::Selected, 9);
    EXPECT_EQ(w->choice(kList), 9);
    // Rows taken away: the highlight moves to the last row left.
    rows.change(4, "Row");
    this->oneEvent(*w);
    EXPECT_EQ(this->driver.shownRows(*w, kList), 4);
    EXPECT_EQ(w->choice(kList), 4);
    // Same count, new texts: the cells show them.
    rows.change(4, "New");
    this->oneEvent(*w);
    EXPECT_EQ(this->driver.cellText(*w, kList, 1, 0), "New1-abcdefghijklmno");
    // Rows added: the highlighted row stays.
    w->setProperty(kList, prop::Selected, 2);
    rows.change(12, "New");
    this->oneEvent(*w);
    EXPECT_EQ(this->driver.shownRows(*w, kList), 12);
    EXPECT_EQ(w->choice(kList), 2);
    const ListCells cells(parseListFormat(kListFormat));
    EXPECT_EQ(this->driver.cellText(*w, kList, 12, 1),
              cells.text(1, [&](int field) { return rows.fieldText(12, field); }));
    // All gone: no row highlighted.
    rows.change(0, "New");
    this->oneEvent(*w);
    EXPECT_EQ(this->driver.shownRows(*w, kList), 0);
    EXPECT_EQ(w->choice(kList), 0);
    for (const Event& e : this->driver.drain(*w)) EXPECT_NE(e.number, event::NewSelection);
    w->bindList(kList, nullptr);
}

// An alerted key or mouse action reaches the program as EVENT:AlertKey on
// its control with the key code; a key that is not alerted keeps its
// normal use (Enter with Shift presses the default button).
TYPED_TEST_P(WindowContract, AlertedKeysArriveAsAlertKeyWithTheirCodes) {
    auto w = this->shown(kDialog);
    ASSERT_TRUE(w);
    ContractSource rows(20);
    w->bindList(kList, &rows);
    const uint32_t alerted[] = {key::MouseRight, key::MouseRight | key::Ctrl, key::MouseLeft2, key::Enter,
                                key::Enter | key::Ctrl, key::Space, key::MouseLeft};
    for (uint32_t code : alerted) w->alert(kList, code);
    for (uint32_t code : alerted) {
        SCOPED_TRACE(code);
        this->driver.drain(*w);
        this->driver.userInput(*w, kList, code);
        const std::vector<Event> events = withoutNoise(this->driver.drain(*w));
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().number, event::AlertKey);
        EXPECT_EQ(events.back().control, kList);
        EXPECT_EQ(events.back().keyCode, code);
        if (code == key::MouseRight || code == key::MouseLeft) {
            // The press highlighted the row under the mouse and noted it.
            EXPECT_EQ(w->choice(kList), 1);
            EXPECT_EQ(w->propertyNumber(kList, prop::MouseDownRow), 1);
        }
    }
    this->driver.drain(*w);
    this->driver.userInput(*w, kList, key::Enter | key::Shift);
    const std::vector<Event> events = withoutNoise(this->driver.drain(*w));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, event::Accepted);
    EXPECT_EQ(events[0].control, kOk);
    w->bindList(kList, nullptr);
}

// A message box returns the bit of the button pressed.
TYPED_TEST_P(WindowContract, AMessageBoxReturnsTheBitOfThePressedButton) {
    struct Case {
        unsigned buttons;
        unsigned defaultButton;
        unsigned pressed;
    };
    const Case cases[] = {
        {ButtonOk, 0, ButtonOk},
        {ButtonOk | ButtonCancel, ButtonCancel, ButtonOk},
        {ButtonOk | ButtonCancel, 0, ButtonCancel},
        {ButtonYes | ButtonNo, ButtonNo, ButtonYes},
        {ButtonYes | ButtonNo, 0, ButtonNo},
        {ButtonYes | ButtonNo | ButtonCancel, 0, ButtonCancel},
        {ButtonAbort | ButtonRetry | ButtonIgnore, ButtonIgnore, ButtonRetry},
        {ButtonAbort | ButtonRetry | ButtonIgnore, 0, ButtonAbort},
        {ButtonRetry | ButtonCancel, 0, ButtonRetry},
        {ButtonOk | ButtonHelp, ButtonOk, ButtonHelp},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.buttons) + " pressed " + std::to_string(c.pressed));
        MessageRequest request{"Question|on two lines", "Contract box " + std::to_string(++n), IconQuestion,
                               c.buttons, c.defaultButton};
        EXPECT_EQ(this->driver.showAndPress(request, c.pressed), c.pressed);
    }
}

// A window opened from a handler runs its own loop; the window below gets
// no input meanwhile (what the user does there is dropped) and works again
// once the one above has closed.
TYPED_TEST_P(WindowContract, ANestedWindowRunsItsOwnLoopWhileTheOneBelowGetsNoInput) {
    auto below = this->shown(kDialog);
    ASSERT_TRUE(below);
    std::unique_ptr<Window> top = this->driver.layer().open(kOther, below.get());
    ASSERT_TRUE(top);
    Event e;
    ASSERT_TRUE(this->driver.nextEventWithin(*top, e, 5000));
    EXPECT_EQ(e.number, event::OpenWindow);
    EXPECT_EQ(this->driver.topWindow(), top.get());
    EXPECT_TRUE(this->driver.refusesInput(*below));
    EXPECT_FALSE(this->driver.refusesInput(*top));

    // The user clicks the window below and its close box, then the top
    // window's Cancel; the top window's loop takes its own events only.
    this->driver.click(*below, kCancel);
    this->driver.closeBox(*below);
    this->driver.click(*top, kCancel);
    std::vector<Event> seen;
    while (this->driver.nextEventWithin(*top, e, 5000)) {
        seen.push_back(e);
        if (e.number == event::Accepted) {
            EXPECT_EQ(e.control, kCancel);
            top->post(event::CloseWindow);
        }
        top->defaultAction(e);
    }
    EXPECT_FALSE(top->isOpen());
    const std::vector<Event> mine = withoutNoise(seen);
    ASSERT_EQ(mine.size(), 2u);
    EXPECT_EQ(mine[0].number, event::Accepted);
    EXPECT_EQ(mine[1].number, event::CloseWindow);
    top.reset();

    EXPECT_EQ(this->driver.topWindow(), below.get());
    EXPECT_FALSE(this->driver.refusesInput(*below));
    for (const Event& left : withoutNoise(this->driver.drain(*below)))
        ADD_FAILURE() << "event " << left.number << " on control " << left.control;
    // Input reaches it again.
    this->driver.click(*below, kOk);
    const std::vector<Event> events = withoutNoise(this->driver.drain(*below));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, event::Accepted);
    EXPECT_EQ(events[0].control, kOk);
}

// Properties set by the program read back as set, and what they say shows.
TYPED_TEST_P(WindowContract, PropertiesRoundTrip) {
    auto w = this->shown(kDialog);
    ASSERT_TRUE(w);
    struct Case {
        int32_t control;
        int prop;
        int32_t index;
        const char* value;
    };
    const Case cases[] = {
        {0, prop::Text, 0, "Renamed"},
        {kEntry, prop::Text, 0, "typed"},
        {kOk, prop::Text, 0, "&Go"},
        {kPrompt, prop::Text, 0, "Other:"},
        {kOk, prop::Hide, 0, "1"},
        {kOk, prop::Hide, 0, ""},
        {kCancel, prop::Disable, 0, "1"},
        {kRegion, prop::Hide, 0, "1"},
        {0, prop::StatusText, 1, "Row 1 / 3"},
        {0, prop::StatusText, 2, "Column 2"},
        {0, prop::StatusProgress, 2, "40"},
        {kList, prop::ColumnHeader, 2, "Amount"},
        {kList, prop::ColumnWidth, 2, "55"},
        {kList, prop::ColumnAlign, 2, "L"},
        {kList, prop::HeaderAlign, 2, "R"},
        {kList, prop::ColumnPicture, 2, "@n-15.2"},
        {kList, prop::ColumnHeader, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.control) + " " + std::to_string(c.prop) + " " + std::to_string(c.index));
        w->setProperty(c.control, c.prop, std::string_view(c.value), c.index);
        EXPECT_EQ(w->property(c.control, c.prop, c.index), c.value);
    }
    // What they say shows.
    EXPECT_TRUE(this->driver.visible(*w, kOk));
    EXPECT_FALSE(this->driver.visible(*w, kRegion));
    EXPECT_FALSE(this->driver.enabled(*w, kCancel));
    EXPECT_TRUE(this->driver.enabled(*w, kOk));
    w->setProperty(kCancel, prop::Disable, "");
    EXPECT_EQ(w->property(kCancel, prop::Disable), "");
    EXPECT_TRUE(this->driver.enabled(*w, kCancel));
    // The zone's text is kept while its progress shows; progress is held
    // at 100 and goes with "".
    EXPECT_EQ(w->property(0, prop::StatusText, 2), "Column 2");
    EXPECT_EQ(w->property(0, prop::StatusText, 3), "");  // no such zone
    w->setProperty(0, prop::StatusProgress, "250", 2);
    EXPECT_EQ(w->property(0, prop::StatusProgress, 2), "100");
    w->setProperty(0, prop::StatusProgress, "", 2);
    EXPECT_EQ(w->property(0, prop::StatusProgress, 2), "");
    EXPECT_EQ(w->property(0, prop::StatusText, 2), "Column 2");
    // The columns: one column's format holds what was set on it; the
    // widths are in dialog units.
    EXPECT_EQ(w->property(kList, prop::ColumnFormat, 2), "55L(1)~Amount~R@n-15.2@");
    EXPECT_EQ(w->propertyNumber(kList, prop::ColumnCount), 3);
    const DialogBase base = this->driver.base(*w);
    EXPECT_EQ(this->driver.columnPixelWidth(*w, kList, 0) + this->driver.columnPixelWidth(*w, kList, 1),
              unitsToPixelsX(40 + 55, base));
    w->setProperty(kList, prop::ColumnPicture, "s8", 1);  // without its '@'
    EXPECT_EQ(w->property(kList, prop::ColumnPicture, 1), "@s8");
    w->setProperty(kList, prop::Format, "20L~A~@s5@");
    EXPECT_EQ(w->propertyNumber(kList, prop::ColumnCount), 1);
    EXPECT_EQ(w->property(kList, prop::Format), "20L~A~@s5@");
    // The highlighted row, set by the program, posts nothing.
    ContractSource rows(30);
    w->bindList(kList, &rows);
    this->driver.drain(*w);
    for (int32_t row : {7, 30, 1, 0}) {
        SCOPED_TRACE(row);
        w->setProperty(kList, prop::Selected, row);
        EXPECT_EQ(w->propertyNumber(kList, prop::Selected), row);
        EXPECT_EQ(w->choice(kList), row);
    }
    EXPECT_TRUE(withoutNoise(this->driver.drain(*w)).empty());
    w->bindList(kList, nullptr);
}

// The close box asks (EVENT:CloseWindow) and the window stays open; only
// the default action closes it, after which the loop ends.
TYPED_TEST_P(WindowContract, TheCloseBoxAsksAndOnlyTheDefaultActionCloses) {
    auto w = this->shown(kDialog);
    ASSERT_TRUE(w);
    this->driver.closeBox(*w);
    const std::vector<Event> events = withoutPlaceOrActivation(this->driver.drain(*w));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, event::CloseWindow);
    EXPECT_TRUE(w->isOpen());
    EXPECT_TRUE(this->driver.frameVisible(*w));
    w->defaultAction(events[0]);
    EXPECT_FALSE(w->isOpen());
    EXPECT_FALSE(this->driver.frameVisible(*w));
    Event e;
    EXPECT_FALSE(w->nextEvent(e));
}

// Posted events arrive in the order posted and before input that comes
// later; acceptAll ends in EVENT:Completed and reads as accepting until then.
TYPED_TEST_P(WindowContract, PostedEventsComeInOrderBeforeLaterInput) {
    auto w = this->shown(kDialog);
    ASSERT_TRUE(w);
    w->post(event::Notify);
    w->post(event::Completed, kList);
    this->driver.click(*w, kCancel);
    std::vector<Event> events = withoutNoise(this->driver.drain(*w));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].number, event::Notify);
    EXPECT_EQ(events[1].number, event::Completed);
    EXPECT_EQ(events[1].control, kList);
    EXPECT_EQ(events[2].number, event::Accepted);
    EXPECT_EQ(events[2].control, kCancel);
    w->acceptAll();
    EXPECT_TRUE(w->acceptingAll());
    events = withoutNoise(this->driver.drain(*w));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().number, event::Completed);
    EXPECT_FALSE(w->acceptingAll());
}

// Typing in an entry, then Enter: the bound variable takes the text (padded),
// the entry is accepted, then the default button pressed. Unchanged, Enter
// only presses the default button, Esc the cancel button.
TYPED_TEST_P(WindowContract, AnEntryIsAcceptedIntoItsVariableThenEnterPressesTheDefaultButton) {
    auto w = this->shown(kDialog);
    ASSERT_TRUE(w);
    char name[8];
    std::memset(name, ' ', sizeof name);
    w->bindText(kEntry, TextVariable{name, sizeof name});
    EXPECT_EQ(w->property(kEntry, prop::Text), "");
    w->select(kEntry);
    this->driver.drain(*w);
    this->driver.type(*w, kEntry, "txa");
    this->driver.keyOn(*w, kEntry, key::Enter);
    std::vector<Event> events = withoutNoise(this->driver.drain(*w));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].number, event::Accepted);
    EXPECT_EQ(events[0].control, kEntry);
    EXPECT_EQ(std::string(name, sizeof name), "txa     ");
    EXPECT_EQ(events[1].number, event::Accepted);
    EXPECT_EQ(events[1].control, kOk);
    this->driver.keyOn(*w, kEntry, key::Enter);
    this->driver.keyOn(*w, kEntry, kEscape);
    events = withoutNoise(this->driver.drain(*w));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].number, event::Accepted);
    EXPECT_EQ(events[0].control, kOk);
    EXPECT_EQ(events[1].number, event::Accepted);
    EXPECT_EQ(events[1].control, kCancel);
}

TYPED_TEST_P(WindowContract, OpeningAnUnknownWindowGivesNothing) {
    EXPECT_EQ(this->driver.layer().open("no$such", nullptr), nullptr);
    EXPECT_EQ(this->driver.topWindow(), nullptr);
}

// The window's place and size are in dialog units: they read back as set,
// the size is the client area above the status bar, a size below the least
// one is held there.
TYPED_TEST_P(WindowContract, WindowPlaceAndSizeRoundTripInDialogUnits) {
    auto w = this->shown(kDialog);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->property(0, prop::Resize), "1");
    struct Case {
        int prop;
        int32_t value;
    };
    const Case cases[] = {{prop::Xpos, 30},  {prop::Ypos, 20},      {prop::Width, 250},
                          {prop::Height, 150}, {prop::MinWidth, 180}, {prop::MinHeight, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prop);
        w->setProperty(0, c.prop, c.value);
        EXPECT_EQ(w->propertyNumber(0, c.prop), c.value);
    }
    this->driver.drain(*w);
    const DialogBase base = this->driver.base(*w);
    const Rect client = this->driver.clientRect(*w);
    EXPECT_EQ(client.width, unitsToPixelsX(250, base));
    EXPECT_EQ(client.height, unitsToPixelsY(150, base));
    EXPECT_EQ(w->propertyNumber(0, prop::Xpos), 30);
    w->setProperty(0, prop::Width, 50);  // below the least width
    EXPECT_EQ(w->propertyNumber(0, prop::Width), 180);
    w->setProperty(0, prop::Maximize, "1");
    EXPECT_EQ(w->property(0, prop::Maximize), "1");
    w->setProperty(0, prop::Maximize, "");
    EXPECT_EQ(w->property(0, prop::Maximize), "");
    w->setProperty(0, prop::Icon, "~boxoff.ico");
    EXPECT_EQ(w->property(0, prop::Icon), "~boxoff.ico");
}

// Files dropped where drops are accepted arrive as one EVENT:Drop with their
// names in order: on a control that accepts them with its number, on any
// other control with 0 once the window accepts them; refused before.
TYPED_TEST_P(WindowContract, DroppedFilesArriveWhereDropsAreAccepted) {
    auto w = this->shown(kDialog);
    ASSERT_TRUE(w);
    // Names as UTF-8, one with a letter outside ASCII.
    const std::vector<std::string> two = {this->driver.fileName("a b.txa"), this->driver.fileName("caf\xC3\xA9.txa")};
    const std::vector<std::string> one = {this->driver.fileName("c.txa")};
    this->driver.dropFiles(*w, kList, one);
    for (const Event& e : this->driver.drain(*w)) EXPECT_NE(e.number, event::Drop) << "nothing accepts drops yet";
    w->acceptDrops(kEntry);
    this->driver.dropFiles(*w, kEntry, two);
    std::vector<Event> events = withoutNoise(this->driver.drain(*w));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, event::Drop);
    EXPECT_EQ(events[0].control, kEntry);
    EXPECT_EQ(events[0].files, two);
    this->driver.dropFiles(*w, kList, one);
    for (const Event& e : this->driver.drain(*w)) EXPECT_NE(e.number, event::Drop) << "the list does not accept";
    w->acceptDrops(0);
    this->driver.dropFiles(*w, kList, one);
    events = withoutNoise(this->driver.drain(*w));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, event::Drop);
    EXPECT_EQ(events[0].control, 0);
    EXPECT_EQ(events[0].files, one);
}

// The user moving the list's highlight (arrow, End, Home) posts one
// EVENT:NewSelection each; the program moving the focus is a selection
// (EVENT:Selected on the control that now has it).
TYPED_TEST_P(WindowContract, TheUsersRowChoicesAndTheProgramsFocusMovesPostTheirEvents) {
    auto w = this->shown(kDialog);
    ASSERT_TRUE(w);
    ContractSource rows(20);
    w->bindList(kList, &rows);
    w->select(kList, 2);
    this->driver.drain(*w);
    EXPECT_EQ(w->focus(), kList);
    EXPECT_EQ(w->choice(kList), 2);
    struct Case {
        uint32_t key;
        int32_t row;
    };
    for (const Case& c : {Case{kDown, 3}, Case{kEnd, 20}, Case{kHome, 1}}) {
        SCOPED_TRACE(c.key);
        this->driver.keyOn(*w, kList, c.key);
        const std::vector<Event> events = withoutNoise(this->driver.drain(*w));
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].number, event::NewSelection);
        EXPECT_EQ(events[0].control, kList);
        EXPECT_EQ(w->choice(kList), c.row);
    }
    w->select(kOk);
    const std::vector<Event> events = this->driver.drain(*w);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().number, event::Selected);
    EXPECT_EQ(events.back().control, kOk);
    EXPECT_EQ(w->focus(), kOk);
    w->bindList(kList, nullptr);
}

// The program changing the window's size or place posts EVENT:Sized or
// EVENT:Moved once; setting what it already is posts nothing.
TYPED_TEST_P(WindowContract, TheProgramsSizeAndPlaceChangesPostSizedAndMoved) {
    auto w = this->shown(kDialog);
    ASSERT_TRUE(w);
    auto numbers = [&] {
        std::vector<uint16_t> got;
        for (const Event& e : this->driver.drain(*w))
            if (e.number != event::GainFocus && e.number != event::LoseFocus && e.number != event::Selected)
                got.push_back(e.number);
        return got;
    };
    w->setProperty(0, prop::Width, 260);
    EXPECT_EQ(numbers(), std::vector<uint16_t>{event::Sized});
    w->setProperty(0, prop::Height, 140);
    EXPECT_EQ(numbers(), std::vector<uint16_t>{event::Sized});
    w->setProperty(0, prop::Xpos, 12);
    EXPECT_EQ(numbers(), std::vector<uint16_t>{event::Moved});
    w->setProperty(0, prop::Width, 260);  // no change, no event
    w->setProperty(0, prop::Xpos, 12);
    EXPECT_TRUE(numbers().empty());
}

REGISTER_TYPED_TEST_SUITE_P(WindowContract, ControlsSitAtTheirDialogUnitRectangles,
                            ListCellsAreTheSourcesFieldsThroughTheFormat, TheListFollowsItsSourcesChangeStamp,
                            AlertedKeysArriveAsAlertKeyWithTheirCodes, AMessageBoxReturnsTheBitOfThePressedButton,
                            ANestedWindowRunsItsOwnLoopWhileTheOneBelowGetsNoInput, PropertiesRoundTrip,
                            TheCloseBoxAsksAndOnlyTheDefaultActionCloses, PostedEventsComeInOrderBeforeLaterInput,
                            AnEntryIsAcceptedIntoItsVariableThenEnterPressesTheDefaultButton,
                            OpeningAnUnknownWindowGivesNothing, WindowPlaceAndSizeRoundTripInDialogUnits,
                            DroppedFilesArriveWhereDropsAreAccepted,
                            TheUsersRowChoicesAndTheProgramsFocusMovesPostTheirEvents,
                            TheProgramsSizeAndPlaceChangesPostSizedAndMoved);

}  // namespace varnok::window::contract
