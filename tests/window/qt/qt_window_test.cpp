#include "window/qt/qt_window.h"

#include <gtest/gtest.h>

#include <QDropEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QUrl>
#include <cstring>
#include <functional>

#include "tests/window/qt/qt_test_support.h"
#include "window/qt/qt_window_layer.h"
#include "window/qt/window_font.h"

namespace varnok::window::qt {
namespace {

using testing::application;
using window::makeControl;
using testing::drainEvents;
using testing::nextEventWithin;
using testing::withoutWindowNoise;

// A small dialog with one of each control the program uses.
WindowStructure dialogStructure() {
    WindowStructure w;
    w.resourceName = "test$dialog";
    w.title = "Dialog";
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
    w.controls[3].format = "40L(2)|M~First~@s20@30R(1)~Second~C@n5@";
    return w;
}

constexpr int32_t kName = 2, kOk = 3, kList = 4, kCancel = 5, kRegion = 6;

class QtWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        application();
        registerWindowStructure(dialogStructure());
        WindowStructure fixed = dialogStructure();
        fixed.resourceName = "test$fixed";
        fixed.resizable = false;
        fixed.statusZones.clear();
        registerWindowStructure(fixed);
    }

    std::unique_ptr<QtWindow> open(std::string_view name) {
        std::unique_ptr<Window> w = layer_.open(name, nullptr);
        EXPECT_NE(w, nullptr);
        auto* qt = dynamic_cast<QtWindow*>(w.get());
        w.release();
        std::unique_ptr<QtWindow> window(qt);
        if (window) {
            Event first;
            EXPECT_TRUE(nextEventWithin(*window, first));
            EXPECT_EQ(first.number, event::OpenWindow);  // before anything else
            drainEvents(*window);
        }
        return window;
    }

    QtWindowLayer layer_;
};

TEST_F(QtWindowTest, WindowPropertiesRoundTripInDialogUnits) {
    auto window = open("test$dialog");
    ASSERT_TRUE(window);
    EXPECT_EQ(window->property(0, prop::Resize), "1");
    window->setProperty(0, prop::Xpos, 30);
    window->setProperty(0, prop::Ypos, 20);
    window->setProperty(0, prop::Width, 250);
    window->setProperty(0, prop::Height, 150);
    EXPECT_EQ(window->propertyNumber(0, prop::Xpos), 30);
    EXPECT_EQ(window->propertyNumber(0, prop::Ypos), 20);
    EXPECT_EQ(window->propertyNumber(0, prop::Width), 250);
    EXPECT_EQ(window->propertyNumber(0, prop::Height), 150);
    // The status bar lies below the client area.
    ASSERT_NE(window->statusBar(), nullptr);
    EXPECT_EQ(window->statusBar()->y(), window->client()->height());
    // No value leaves the window where it is.
    window->setProperty(0, prop::Xpos, NoValue);
    window->setProperty(0, prop::Ypos, NoValue);
    EXPECT_EQ(window->propertyNumber(0, prop::Xpos), 30);
    EXPECT_EQ(window->propertyNumber(0, prop::Ypos), 20);

    window->setProperty(0, prop::MinWidth, 180);
    window->setProperty(0, prop::MinHeight, 100);
    EXPECT_EQ(window->propertyNumber(0, prop::MinWidth), 180);
    EXPECT_EQ(window->propertyNumber(0, prop::MinHeight), 100);
    window->setProperty(0, prop::Width, 50);  // below the minimum
    EXPECT_EQ(window->propertyNumber(0, prop::Width), 180);

    window->setProperty(0, prop::Text, "Renamed");
    EXPECT_EQ(window->property(0, prop::Text), "Renamed");
    window->setProperty(0, prop::StatusText, "Row 1 / 3", 1);
    window->setProperty(0, prop::StatusText, "Column 2", 2);
    EXPECT_EQ(window->property(0, prop::StatusText, 1), "Row 1 / 3");
    EXPECT_EQ(window->property(0, prop::StatusText, 2), "Column 2");
    EXPECT_EQ(window->property(0, prop::StatusText, 3), "");

    window->setProperty(0, prop::Maximize, "1");
    EXPECT_EQ(window->property(0, prop::Maximize), "1");
    window->setProperty(0, prop::Maximize, "0");
    EXPECT_EQ(window->property(0, prop::Maximize), "");
    window->setProperty(0, prop::Icon, "~boxon.ico");
    EXPECT_EQ(window->property(0, prop::Icon), "~boxon.ico");

    auto fixed = open("test$fixed");
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->property(0, prop::Resize), "");
    EXPECT_EQ(fixed->widget()->minimumSize(), fixed->widget()->maximumSize());
}

TEST_F(QtWindowTest, ControlPropertiesRoundTrip) {
    auto window = open("test$dialog");
    ASSERT_TRUE(window);
    struct Case {
        int32_t control;
        int prop;
        const char* value;
    };
    const Case cases[] = {
        {kName, prop::Xpos, "44"},       {kName, prop::Ypos, "7"},     {kName, prop::Width, "90"},
        {kName, prop::Height, "12"},     {kName, prop::Text, "typed"}, {kName, prop::Touched, "1"},
        {kName, prop::Picture, "@s5"},   {kOk, prop::Text, "&Go"},     {kOk, prop::Hide, "1"},
        {kCancel, prop::Disable, "1"},   {kCancel, prop::Default, "1"}, {1, prop::Text, "Other:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.control) + " " + std::to_string(c.prop));
        window->setProperty(c.control, c.prop, std::string_view(c.value));
        EXPECT_EQ(window->property(c.control, c.prop), c.value);
    }
    EXPECT_EQ(window->propertyNumber(kName, prop::Type), static_cast<int32_t>(ControlKind::Entry));
    EXPECT_EQ(window->propertyNumber(kList, prop::Type), static_cast<int32_t>(ControlKind::List));
    // The picture limits what can be typed; one default button at a time.
    EXPECT_EQ(static_cast<QLineEdit*>(window->controlWidget(kName))->maxLength(), 5);
    EXPECT_EQ(window->property(kOk, prop::Default), "");
    window->setProperty(kOk, prop::Hide, "");
    EXPECT_EQ(window->property(kOk, prop::Hide), "");
    EXPECT_TRUE(window->controlWidget(kOk)->isVisible());
}

TEST_F(QtWindowTest, ListPropertiesRoundTrip) {
    auto window = open("test$dialog");
    ASSERT_TRUE(window);
    EXPECT_EQ(window->property(kList, prop::Format), "40L(2)|M~First~@s20@30R(1)~Second~C@n5@");
    EXPECT_EQ(window->propertyNumber(kList, prop::ColumnCount), 2);
    EXPECT_EQ(window->property(kList, prop::ColumnHeader, 2), "Second");
    EXPECT_EQ(window->property(kList, prop::ColumnAlign, 2), "R");
    EXPECT_EQ(window->property(kList, prop::HeaderAlign, 2), "C");
    EXPECT_EQ(window->property(kList, prop::HeaderAlign, 1), "L");  // as its data
    EXPECT_EQ(window->property(kList, prop::ColumnHeader, 3), "");  // no such column

    // Column 2 takes column 1's format, then its own header, width and picture
    // (as the queue viewer does).
    window->setProperty(kList, prop::ColumnFormat, window->property(kList, prop::ColumnFormat, 1), 2);
    window->setProperty(kList, prop::ColumnHeader, "Amount", 2);
    window->setProperty(kList, prop::ColumnWidth, 55, 2);
    window->setProperty(kList, prop::ColumnPicture, "@n-15.2", 2);
    window->setProperty(kList, prop::ColumnAlign, "R", 2);
    window->setProperty(kList, prop::HeaderAlign, "R", 2);
    EXPECT_EQ(window->property(kList, prop::ColumnFormat, 2), "55R(2)|M~Amount~R@n-15.2@");
    EXPECT_EQ(window->propertyNumber(kList, prop::ColumnWidth, 2), 55);
    QTableView* list = window->listView(kList);
    EXPECT_EQ(list->horizontalHeader()->sectionSize(1), unitsToPixelsX(55, window->base()));
    EXPECT_EQ(list->horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);  // M
    window->setProperty(kList, prop::ColumnPicture, "s8", 1);  // without its '@'
    EXPECT_EQ(window->property(kList, prop::ColumnPicture, 1), "@s8");

    window->setProperty(kList, prop::LineHeight, 10);
    EXPECT_EQ(window->propertyNumber(kList, prop::LineHeight), 10);
    EXPECT_EQ(list->verticalHeader()->defaultSectionSize(), unitsToPixelsY(10, window->base()));
    for (int32_t items : {3, 5, 8}) {
        window->setProperty(kList, prop::Items, items);
        EXPECT_EQ(window->propertyNumber(kList, prop::Items), items);
    }
    window->setProperty(kList, prop::IconList, "~boxoff.ico", 1);
    window->setProperty(kList, prop::IconList, "~boxon.ico", 2);
    EXPECT_EQ(window->property(kList, prop::IconList, 2), "~boxon.ico");
    EXPECT_EQ(window->property(kList, prop::IconList, 3), "");
    window->setProperty(kList, prop::Format, "20L~A~@s5@");
    EXPECT_EQ(window->propertyNumber(kList, prop::ColumnCount), 1);
}

TEST_F(QtWindowTest, ButtonsEntriesAndTheDefaultButtonPostTheirEvents) {
    auto window = open("test$dialog");
    ASSERT_TRUE(window);
    char name[12];
    std::memcpy(name, "start       ", 12);
    window->bindText(kName, {name, sizeof name});
    auto* edit = static_cast<QLineEdit*>(window->controlWidget(kName));
    EXPECT_EQ(edit->text(), "start");

    // A click gives the button the focus, then presses it.
    QTest::mouseClick(window->controlWidget(kCancel), Qt::LeftButton);
    std::vector<Event> events = withoutWindowNoise(drainEvents(*window));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].number, event::Selected);
    EXPECT_EQ(events[0].control, kCancel);
    EXPECT_EQ(events[1].number, event::Accepted);
    EXPECT_EQ(events[1].control, kCancel);

    // Typing then Enter: the variable takes the text, the entry is
    // accepted, then Enter presses the default button.
    window->select(kName);
    edit->selectAll();
    QTest::keyClicks(edit, "abc");
    QTest::keyClick(edit, Qt::Key_Return);
    events = withoutWindowNoise(drainEvents(*window));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].number, event::Selected);
    EXPECT_EQ(events[0].control, kName);
    EXPECT_EQ(events[1].number, event::Accepted);
    EXPECT_EQ(events[1].control, kName);
    EXPECT_EQ(std::string(name, sizeof name), "abc         ");
    EXPECT_EQ(events[2].number, event::Accepted);
    EXPECT_EQ(events[2].control, kOk);

    // Leaving an unchanged entry accepts nothing, unless it is touched.
    window->select(kOk);
    drainEvents(*window);
    window->select(kName);
    window->select(kOk);
    events = withoutWindowNoise(drainEvents(*window));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].number, event::Selected);
    EXPECT_EQ(events[1].number, event::Selected);
    EXPECT_EQ(events[1].control, kOk);
    window->select(kName);
    window->setProperty(kName, prop::Touched, 1);
    window->select(kOk);
    events = withoutWindowNoise(drainEvents(*window));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].number, event::Accepted);
    EXPECT_EQ(events[1].control, kName);
    EXPECT_EQ(window->property(kName, prop::Touched), "");

    // A click on a region accepts it.
    QTest::mouseClick(window->controlWidget(kRegion), Qt::LeftButton);
    events = withoutWindowNoise(drainEvents(*window));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].control, kRegion);
    EXPECT_EQ(window->focus(), kOk);
}

// display() shows a bound variable in its entry, but what the user is
// typing there (not yet accepted) stays while the variable keeps the value
// the entry last showed; a value the program gave it since wins.
TEST_F(QtWindowTest, DisplayKeepsWhatTheUserTypesUnlessTheVariableChanged) {
    auto window = open("test$dialog");
    ASSERT_TRUE(window);
    char name[20];
    auto set = [&](const char* text) {
        std::memset(name, ' ', sizeof name);
        std::memcpy(name, text, std::strlen(text));
    };
    set("old");
    window->bindText(kName, {name, sizeof name});
    auto* edit = static_cast<QLineEdit*>(window->controlWidget(kName));
    EXPECT_EQ(edit->text(), "old");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "typed");
    window->display();
    EXPECT_EQ(edit->text(), "typed") << "a redisplay keeps what is being typed";
    set("given");
    window->display();
    EXPECT_EQ(edit->text(), "given") << "a value the program gave wins";
    QTest::keyClicks(edit, "x");
    window->update(kName);  // stored, then emptied by the program
    EXPECT_EQ(std::string(name, 6), "givenx");
    set("");
    window->display();
    EXPECT_EQ(edit->text(), "");
}

TEST_F(QtWindowTest, AlertedKeysArriveWithTheirKeyCodes) {
    auto window = open("test$dialog");
    ASSERT_TRUE(window);
    QTableView* list = window->listView(kList);
    window->alert(kList, key::MouseRight);
    window->alert(kList, key::MouseRight | key::Ctrl);
    window->alert(kList, key::MouseLeft2);
    window->alert(kList, key::Enter);
    QWidget* viewport = list->viewport();
    const QPoint inside(10, 5);
    struct Case {
        std::function<void()> input;
        uint32_t code;
    };
    const Case cases[] = {
        {[&] { QTest::mousePress(viewport, Qt::RightButton, Qt::NoModifier, inside); }, key::MouseRight},
        {[&] { QTest::mousePress(viewport, Qt::RightButton, Qt::ControlModifier, inside); },
         key::MouseRight | key::Ctrl},
        {[&] { QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, inside); }, key::MouseLeft2},
        {[&] { QTest::keyClick(list, Qt::Key_Return); }, key::Enter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        drainEvents(*window);
        c.input();
        std::vector<Event> events = withoutWindowNoise(drainEvents(*window));
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().number, event::AlertKey);
        EXPECT_EQ(events.back().control, kList);
        EXPECT_EQ(events.back().keyCode, c.code);
    }
    // A key that is not alerted keeps its normal use: Shift with the right
    // button does nothing here, and Enter with Shift presses the default button.
    drainEvents(*window);
    QTest::mousePress(viewport, Qt::RightButton, Qt::ShiftModifier, inside);
    QTest::keyClick(list, Qt::Key_Return, Qt::ShiftModifier);
    std::vector<Event> events = withoutWindowNoise(drainEvents(*window));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, event::Accepted);
    EXPECT_EQ(events[0].control, kOk);
    // The press was noted all the same: column 1, no row (the list is empty).
    EXPECT_EQ(window->propertyNumber(kList, prop::MouseDownColumn), 1);
    EXPECT_EQ(window->propertyNumber(kList, prop::MouseDownRow), 0);
}

// Local files dropped where drops are accepted arrive as one EVENT:Drop with
// their names in order: on a control that accepts them with its number,
// anywhere else with 0 once the window accepts them. Without acceptDrops,
// a drop of no local file, or a text dropped in an entry (which the entry
// takes itself), no event.
TEST_F(QtWindowTest, DroppedFilesArriveWhereDropsAreAccepted) {
    auto window = open("test$dialog");
    ASSERT_TRUE(window);
    auto* entry = static_cast<QLineEdit*>(window->controlWidget(kName));
    // Drag over the widget, then drop; true when the drop was taken.
    auto drop = [](QWidget* target, const QMimeData& data) {
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
        return dropped.isAccepted();
    };
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/a b.txa"), QUrl("https://example.org/x.txa"),
                   QUrl::fromLocalFile(QString::fromUtf8("/tmp/caf\u00e9.txa"))});
    QMimeData web;
    web.setUrls({QUrl("https://example.org/x.txa")});
    QMimeData text;
    text.setText("typed");
    const std::vector<std::string> names = {"/tmp/a b.txa", "/tmp/caf\u00e9.txa"};

    struct Case {
        const char* what;
        std::function<void()> accept;  // acceptDrops calls before the drop
        QWidget* target;
        const QMimeData* data;
        int32_t control;  // -1: no event
    };
    auto none = [] {};
    const Case cases[] = {
        {"nothing accepts drops", none, window->controlWidget(kList), &files, -1},
        {"the window accepts, dropped on the list", [&] { window->acceptDrops(0); }, window->listView(kList)->viewport(),
         &files, 0},
        {"the window accepts, dropped on the frame", none, window->widget(), &files, 0},
        {"the entry accepts, dropped on it", [&] { window->acceptDrops(kName); }, entry, &files, kName},
        {"no local file", none, window->widget(), &web, -1},
        {"a text on the entry", none, entry, &text, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        drainEvents(*window);
        c.accept();
        const bool taken = drop(c.target, *c.data);
        std::vector<Event> events = withoutWindowNoise(drainEvents(*window));
        if (c.control < 0) {
            for (const Event& e : events) EXPECT_NE(e.number, event::Drop);
            continue;
        }
        EXPECT_TRUE(taken);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].number, event::Drop);
        EXPECT_EQ(events[0].control, c.control);
        EXPECT_EQ(events[0].files, names);
    }
    EXPECT_EQ(entry->text(), "typed") << "a text dropped in the entry is the entry's own";
}

TEST_F(QtWindowTest, ResizeAndMoveArriveAfterTheLayout) {
    auto window = open("test$dialog");
    ASSERT_TRUE(window);
    window->widget()->resize(window->widget()->width() + 40, window->widget()->height() + 30);
    std::vector<Event> events = drainEvents(*window);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().number, event::Sized);
    EXPECT_EQ(window->statusBar()->geometry().bottom(), window->widget()->height() - 1);
    window->widget()->move(window->widget()->x() + 15, window->widget()->y() + 5);
    events = drainEvents(*window);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().number, event::Moved);
    window->post(event::Notify);
    window->post(event::Completed);
    events = drainEvents(*window);
    ASSERT_EQ(events.size(), 2u);  // in the order posted
    EXPECT_EQ(events[0].number, event::Notify);
    EXPECT_EQ(events[1].number, event::Completed);
    window->acceptAll();
    EXPECT_TRUE(window->acceptingAll());
    events = drainEvents(*window);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, event::Completed);
    EXPECT_FALSE(window->acceptingAll());
}

// A window opened from a handler runs its own loop to its end; the window
// below waits meanwhile and refuses input.
TEST_F(QtWindowTest, NestedWindowRunsWhileTheOneBelowWaits) {
    auto below = open("test$dialog");
    ASSERT_TRUE(below);
    std::unique_ptr<Window> opened = layer_.open("test$fixed", below.get());
    ASSERT_TRUE(opened);
    auto* top = static_cast<QtWindow*>(opened.get());
    EXPECT_EQ(layer_.topWindow(), top);
    EXPECT_TRUE(below->refusesInput());
    EXPECT_FALSE(top->refusesInput());
    EXPECT_EQ(top->widget()->windowModality(), Qt::ApplicationModal);
    // Made smaller before it shows, it shows centred over the window below.
    top->setProperty(0, prop::Width, 150);
    top->setProperty(0, prop::Height, 80);
    EXPECT_FALSE(top->widget()->isVisible()) << "shown when its loop first waits";

    // While the top window's loop waits, the user clicks both windows.
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(below->controlWidget(kCancel), Qt::LeftButton);
        below->widget()->close();
        QTest::mouseClick(top->controlWidget(kCancel), Qt::LeftButton);
    });
    std::vector<uint16_t> seen;
    Event e;
    while (nextEventWithin(*top, e)) {
        if (seen.empty()) {
            EXPECT_TRUE(top->widget()->isVisible());
            const QPoint offset = top->widget()->frameGeometry().center() - below->widget()->frameGeometry().center();
            // Centred by its size before the frame is known: give or take
            // the frame's border.
            EXPECT_LE(std::abs(offset.x()), 4) << offset.x() << "," << offset.y();
            EXPECT_LE(std::abs(offset.y()), 4) << offset.x() << "," << offset.y();
        }
        seen.push_back(e.number);
        if (e.number == event::Accepted) {
            EXPECT_EQ(e.control, kCancel);
            top->post(event::CloseWindow);
        }
        top->defaultAction(e);
    }
    EXPECT_FALSE(top->isOpen());
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.front(), event::OpenWindow);
    EXPECT_EQ(seen.back(), event::CloseWindow);

    // Back below: nothing of what was clicked there arrives; the window
    // lost the focus to the one above and has it back.
    EXPECT_EQ(layer_.topWindow(), below.get());
    EXPECT_FALSE(below->refusesInput());
    std::vector<Event> left = drainEvents(*below);
    std::vector<uint16_t> focus;
    for (const Event& e : left)
        if (e.number == event::LoseFocus || e.number == event::GainFocus) focus.push_back(e.number);
    EXPECT_EQ(focus, (std::vector<uint16_t>{event::LoseFocus, event::GainFocus}));
    for (const Event& e : withoutWindowNoise(left)) {
        ADD_FAILURE() << "event " << e.number << " on control " << e.control;
    }
}

}  // namespace
}  // namespace varnok::window::qt
