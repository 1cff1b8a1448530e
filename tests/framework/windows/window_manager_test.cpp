// The window manager's life cycle and dispatch, run through the scripted
// window layer: whole windows from Init to Release, with components,
// nested windows and posted events.
#include "framework/windows/window_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "runtime/support/binding_scope.h"
#include "tests/framework/windows/window_test_parts.h"
#include "tests/support/scripted_presenter.h"
#include "tests/support/scripted_window_layer.h"
#include "window/events.h"

namespace varnok::framework::test {
namespace {

namespace ev = window::event;
namespace prop = window::prop;
using testing::ScriptedPresenter;
using testing::ScriptedWindowLayer;
using window::ControlKind;

constexpr const char* Plain = "wmtest$plain";
constexpr const char* Child = "wmtest$child";

window::ControlStructure controlOf(ControlKind kind, std::string use, std::string text = {}) {
    window::ControlStructure c;
    c.kind = kind;
    c.useName = std::move(use);
    c.text = std::move(text);
    c.x = 4;
    c.y = 4;
    c.width = 40;
    c.height = 12;
    return c;
}

void registerWindows() {
    window::WindowStructure plain;
    plain.resourceName = Plain;
    plain.label = "P1$WINDOW";
    plain.title = "Plain";
    plain.width = 200;
    plain.height = 100;
    plain.resizable = true;
    plain.controls = {controlOf(ControlKind::Entry, "?NAME"), controlOf(ControlKind::Button, "?OK", "OK"),
                      controlOf(ControlKind::Button, "?CANCEL", "Cancel"), controlOf(ControlKind::List, "?LIST"),
                      controlOf(ControlKind::Sheet, "?SHEET"), controlOf(ControlKind::Button, "?OTHER", "Other")};
    window::registerWindowStructure(plain);
    window::WindowStructure child = plain;
    child.resourceName = Child;
    child.title = "Child";
    window::registerWindowStructure(child);
}

class WindowManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerWindows();
        depthBefore = bindingDepth();
    }
    void TearDown() override {
        boxes.verifyDone();
        EXPECT_EQ(bindingDepth(), depthBefore) << "every Init's scope is closed again";
    }
    // The entries of the log that start with one of the prefixes.
    Log only(std::initializer_list<std::string> prefixes) const {
        Log out;
        for (const std::string& entry : log) {
            for (const std::string& p : prefixes) {
                if (entry.rfind(p, 0) == 0) {
                    out.push_back(entry);
                    break;
                }
            }
        }
        return out;
    }

    ScriptedPresenter boxes;
    ScriptedWindowLayer layer;
    Log log;
    uint32_t depthBefore = 0;
};

TEST_F(WindowManagerTest, AWindowWithNothingClosesWithoutAQuestionAndRunAnswersCancelled) {
    layer.onOpen(Plain).close();
    TestWindow w(Plain, log);
    EXPECT_EQ(w.Run(), RequestCancelled);
    const auto& state = layer.last(Plain);
    EXPECT_FALSE(state.open);
    EXPECT_FALSE(state.ranDry);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(w.Dead);
    EXPECT_TRUE(w.Opened);
    layer.verifyDone();
}

TEST_F(WindowManagerTest, InitSetsTheDefaultsAndRemembersTheRequest) {
    TestWindow w(Plain, log);
    w.Request = ChangeRecord;
    w.OwnerWindow = reinterpret_cast<window::Window*>(&w);  // any value; Init clears it
    ASSERT_EQ(w.Init(), 0);
    EXPECT_EQ(w.OriginalRequest, ChangeRecord);
    EXPECT_EQ(w.InsertAction, 2);
    EXPECT_EQ(w.DeleteAction, 2);
    EXPECT_EQ(w.ChangeAction, 2);
    EXPECT_EQ(w.CancelAction, 3);
    EXPECT_TRUE(w.AutoToolbar);
    EXPECT_TRUE(w.AutoRefresh);
    EXPECT_EQ(w.OwnerWindow, nullptr);
    EXPECT_EQ(bindingDepth(), depthBefore + 1);
    EXPECT_EQ(w.Release(), 0);
    EXPECT_EQ(bindingDepth(), depthBefore);
}

TEST_F(WindowManagerTest, AButtonEndsTheWindowWithItsAction) {
    struct Case {
        uint8_t action;
        uint8_t run;
    };
    for (Case c : {Case{RequestCompleted, 1}, Case{RequestCancelled, 2}}) {
        SCOPED_TRACE(int(c.action));
        layer.onOpen(Plain).accept("?OTHER").accept("?OK");
        TestWindow w(Plain, log);
        w.setUp = [&](TestWindow& self) { self.Buttons.push_back({self.control("?OK"), c.action}); };
        EXPECT_EQ(w.Run(), c.run);
        const auto& state = layer.last(Plain);
        EXPECT_FALSE(state.ranDry);
        EXPECT_EQ(state.stepsLeft, 0u);
        // The close came as a posted EVENT:CloseWindow after the button.
        ASSERT_GE(state.delivered.size(), 2u);
        EXPECT_EQ(state.delivered.back().number, ev::CloseWindow);
        EXPECT_EQ(state.delivered[state.delivered.size() - 2].control, state.control("?OK"));
    }
}

TEST_F(WindowManagerTest, AComponentAnswering3EndsTheLoop) {
    layer.onOpen(Plain).accept("?OTHER").accept("?OK");
    TestWindow w(Plain, log);
    RecordingComponent a("A", log, w), b("B", log, w);
    a.results[ev::Accepted] = 3;
    w.components = {&a, &b};
    EXPECT_EQ(w.Run(), RequestCancelled);
    const auto& state = layer.last(Plain);
    EXPECT_EQ(state.stepsLeft, 1u) << "the loop ended at the first Accepted";
    EXPECT_EQ(only({"B.OnEvent"}), (Log{"B.OnEvent:203"}));
    EXPECT_EQ(a.releases, 1);
    EXPECT_EQ(b.releases, 1);
}

TEST_F(WindowManagerTest, AComponentAnswering5HidesTheEventFromLaterComponentsAndTheLayer) {
    TestWindow w(Plain, log);
    RecordingComponent a("A", log, w), b("B", log, w);
    a.results[ev::CloseWindow] = 5;
    w.components = {&a, &b};
    bool openAfterFirstClose = false;
    layer.onOpen(Plain)
        .close()
        .call([&](window::Window& win) {
            openAfterFirstClose = win.isOpen();
            a.results.clear();
        })
        .close();
    EXPECT_EQ(w.Run(), RequestCancelled);
    EXPECT_TRUE(openAfterFirstClose) << "5 skips the layer's default action, which would close";
    EXPECT_EQ(only({"B.OnEvent"}), (Log{"B.OnEvent:203", "B.OnEvent:201"})) << "B saw only the second close";
    EXPECT_EQ(layer.last(Plain).count(ev::CloseWindow), 2u);
    EXPECT_FALSE(layer.last(Plain).open);
}

// Every level a component can answer, against what each one means: only
// LevelQuiet lets later components see the event, only LevelFatal ends the
// loop, only LevelNotify keeps the layer's default action (a close) from
// running. The numbers are the contract; the names must keep them.
TEST_F(WindowManagerTest, EachLevelAComponentAnswersHasItsOneMeaning) {
    static_assert(LevelQuiet == 0 && LevelAsk == 1 && LevelInternal == 2 && LevelFatal == 3 &&
                  LevelCancel == 4 && LevelNotify == 5);
    for (uint8_t level = 0; level <= 5; ++level) {
        SCOPED_TRACE(int(level));
        // An accepted button: does B see it, does the loop go on?
        {
            log.clear();
            TestWindow w(Plain, log);
            RecordingComponent a("A", log, w), b("B", log, w);
            a.results[ev::Accepted] = level;
            w.components = {&a, &b};
            bool loopWentOn = false;
            layer.onOpen(Plain).accept("?OTHER").call([&](window::Window&) { loopWentOn = true; }).close();
            w.Run();
            EXPECT_EQ(loopWentOn, level != LevelFatal);
            const Log seenByB = only({"B.OnEvent:1"});
            EXPECT_EQ(seenByB.size(), level == LevelQuiet ? 1u : 0u);
        }
        // A close: does the layer's default action close the window?
        {
            TestWindow w(Plain, log);
            RecordingComponent a("A", log, w);
            a.results[ev::CloseWindow] = level;
            w.components = {&a};
            bool stillOpen = false;
            layer.onOpen(Plain)
                .close()
                .call([&](window::Window& win) {
                    stillOpen = win.isOpen();
                    a.results.clear();
                })
                .close();
            w.Run();
            EXPECT_EQ(stillOpen, level == LevelNotify);
        }
    }
}

// Each event is handed on in one fixed order; the log between two script
// markers shows it.
TEST_F(WindowManagerTest, OnEventHandsEachEventOnInTheFixedOrder) {
    struct Case {
        const char* name;
        uint16_t event;
        const char* use;
        Log expected;
    };
    const std::vector<Case> cases = {
        {"accepted", ev::Accepted, "?OTHER",
         {"OnAccepted", "OnFieldEvent", "A.OnEvent:1", "B.OnEvent:1", "A.NeedsRefresh", "B.NeedsRefresh"}},
        {"rejected", ev::Rejected, "?NAME",
         {"OnRejected", "OnFieldEvent", "A.OnEvent:1A", "B.OnEvent:1A", "A.NeedsRefresh", "B.NeedsRefresh"}},
        {"selected", ev::Selected, "?NAME",
         {"OnSelected", "OnFieldEvent", "A.OnEvent:101", "B.OnEvent:101", "A.NeedsRefresh", "B.NeedsRefresh"}},
        {"new selection", ev::NewSelection, "?LIST",
         {"OnNewSelection", "OnFieldEvent", "A.OnEvent:2", "B.OnEvent:2", "A.NeedsRefresh", "B.NeedsRefresh"}},
        {"other field event", ev::MouseIn, "?LIST",
         {"OnFieldEvent", "A.OnEvent:B", "B.OnEvent:B", "A.NeedsRefresh", "B.NeedsRefresh"}},
        {"window event", ev::Timer, "",
         {"OnWindowEvent:20B", "A.OnEvent:20B", "B.OnEvent:20B", "A.NeedsRefresh", "B.NeedsRefresh"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        TestWindow w(Plain, log);
        RecordingComponent a("A", log, w), b("B", log, w);
        a.logQuestions = b.logQuestions = true;
        w.components = {&a, &b};
        Log seen;
        layer.onOpen(Plain)
            .call([&](window::Window&) { log.clear(); })
            .event(c.event, c.use)
            .call([&](window::Window&) { seen = log; })
            .close();
        w.Run();
        EXPECT_EQ(seen, c.expected);
    }
}

TEST_F(WindowManagerTest, NonZeroAnswersStopTheDispatchWhereTheyAreGiven) {
    struct Case {
        const char* name;
        uint16_t event;
        const char* use;
        bool windowHandlerAnswers;  // else OnFieldEvent answers
        Log expected;
    };
    const std::vector<Case> cases = {
        {"window handler", ev::Timer, "", true, {"OnWindowEvent:20B"}},
        {"field handler", ev::MouseIn, "?LIST", false, {"OnFieldEvent"}},
        {"field handler after OnAccepted", ev::Accepted, "?OTHER", false, {"OnAccepted", "OnFieldEvent"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWindow w(Plain, log);
        RecordingComponent a("A", log, w);
        a.logQuestions = true;
        a.needsRefresh = true;
        w.components = {&a};
        if (c.windowHandlerAnswers) {
            w.windowEventResults[c.event] = 5;
        } else {
            w.fieldEventResult = 5;
        }
        Log seen;
        layer.onOpen(Plain)
            .call([&](window::Window&) {
                log.clear();
                a.needsRefresh = true;
            })
            .event(c.event, c.use)
            .call([&](window::Window&) { seen = log; })
            .close();
        w.Run();
        EXPECT_EQ(seen, c.expected);
    }
}

TEST_F(WindowManagerTest, AButtonsAnswerFromOnAcceptedKeepsTheEventFromTheFieldHandlerAndComponents) {
    TestWindow w(Plain, log);
    RecordingComponent a("A", log, w);
    a.logQuestions = true;
    w.components = {&a};
    w.setUp = [&](TestWindow& self) { self.Buttons.push_back({self.control("?OK"), RequestCompleted}); };
    layer.onOpen(Plain).call([&](window::Window&) { log.clear(); }).accept("?OK");
    EXPECT_EQ(w.Run(), RequestCompleted);
    // Up to the close the button posted.
    Log seen(log.begin(), std::find(log.begin(), log.end(), "OnWindowEvent:201"));
    EXPECT_EQ(seen, (Log{"OnAccepted"}));
}

TEST_F(WindowManagerTest, TheFirstComponentThatNeedsARefreshRefreshesAllAndEndsTheAsking) {
    for (bool autoRefresh : {true, false}) {
        SCOPED_TRACE(autoRefresh);
        TestWindow w(Plain, log);
        RecordingComponent a("A", log, w), b("B", log, w), c("C", log, w);
        a.logQuestions = b.logQuestions = c.logQuestions = true;
        w.components = {&a, &b, &c};
        w.setUp = [&](TestWindow& self) { self.AutoRefresh = autoRefresh; };
        Log seen;
        layer.onOpen(Plain)
            .call([&](window::Window&) {
                log.clear();
                b.needsRefresh = true;
            })
            .event(ev::Timer)
            .call([&](window::Window&) { seen = log; })
            .close();
        w.Run();
        Log expected = {"OnWindowEvent:20B", "A.OnEvent:20B", "B.OnEvent:20B", "C.OnEvent:20B"};
        if (autoRefresh) {
            for (const char* e : {"A.NeedsRefresh", "B.NeedsRefresh", "A.Refresh(0)", "B.Refresh(0)", "C.Refresh(0)",
                                  "A.ShowData", "B.ShowData", "C.ShowData"}) {
                expected.push_back(e);
            }
        }
        EXPECT_EQ(seen, expected);
    }
}

TEST_F(WindowManagerTest, TheFirstSizedOnlyMarksLaterOnesRefreshAndEachPostsTheResizerCue) {
    TestWindow w(Plain, log);
    RecordingComponent a("A", log, w);
    w.components = {&a};
    std::vector<int> refreshesAfter;
    std::vector<uint8_t> initedAfter;
    auto note = [&](window::Window&) {
        refreshesAfter.push_back(a.refreshes);
        initedAfter.push_back(w.Inited);
    };
    layer.onOpen(Plain)
        .call(note)
        .resize(300, 150)
        .call(note)
        .resize(310, 160)
        .call(note)
        .resize(320, 170)
        .call(note)
        .close();
    w.Run();
    EXPECT_EQ(refreshesAfter, (std::vector<int>{1, 1, 2, 3})) << "FirstDisplay, then no refresh, then one each";
    EXPECT_EQ(initedAfter, (std::vector<uint8_t>{1, 3, 3, 3}));
    const auto& state = layer.last(Plain);
    EXPECT_EQ(state.count(ResizerCue), 3u);
    // Each cue comes right after its EVENT:Sized, before the next scripted step.
    for (size_t i = 0; i + 1 < state.delivered.size(); ++i) {
        if (state.delivered[i].number == ev::Sized) {
            EXPECT_EQ(state.delivered[i + 1].number, ResizerCue);
        }
    }
}

TEST_F(WindowManagerTest, ReleaseTwiceAnswers5AndReleasesNothingTwice) {
    TestWindow w(Plain, log);
    RecordingComponent a("A", log, w), b("B", log, w);
    RecordingToolbar toolbar(log);
    CountingResizer resizer;
    FakeRelationManager file, other;
    w.components = {&a, &b};
    w.setUp = [&](TestWindow& self) {
        self.AttachToolbar(&toolbar);
        self.Resize = &resizer;
        self.Primary = &file;
        self.Files.push_back({&other, 0});
        self.Request = ChangeRecord;
        self.PrepareRequest();
    };
    ASSERT_EQ(w.Init(), 0);
    EXPECT_EQ(file.saved.size(), 1u);
    EXPECT_EQ(other.saved.size(), 1u);
    EXPECT_EQ(w.Release(), 0);
    EXPECT_EQ(w.Release(), 5);
    EXPECT_EQ(a.releases, 1);
    EXPECT_EQ(b.releases, 1);
    EXPECT_EQ(only({"Toolbar.Kill"}).size(), 1u);
    EXPECT_EQ(resizer.kills, 1);
    EXPECT_EQ(file.restores, 1);
    EXPECT_EQ(other.restores, 1);
    EXPECT_TRUE(file.saved.empty());
    EXPECT_TRUE(w.CL.empty());
    EXPECT_TRUE(w.Files.empty());
    EXPECT_EQ(only({"A.Release", "B.Release"}), (Log{"A.Release", "B.Release"})) << "first registered goes first";
}

TEST_F(WindowManagerTest, NestedWindowsRunInsideTheHandlerAndPostedEventsKeepTheirPlace) {
    uint32_t depthInChild = 0;
    uint8_t childResponse = 0;
    layer.onOpen(Plain).accept("?OTHER").accept("?OK");
    layer.onOpen(Child).accept("?OK");
    TestWindow parent(Plain, log);
    parent.setUp = [&](TestWindow& self) { self.Buttons.push_back({self.control("?OK"), RequestCompleted}); };
    parent.onAccepted = [&](TestWindow& self) -> uint8_t {
        if (self.currentEvent().control != self.control("?OTHER")) return 0;
        self.MyWindow->post(ev::Timer);  // waits for the child to end
        TestWindow child(Child, log);
        child.setUp = [&](TestWindow& c) {
            depthInChild = bindingDepth();
            c.Buttons.push_back({c.control("?OK"), RequestCompleted});
        };
        childResponse = child.Run();
        return 0;
    };
    EXPECT_EQ(parent.Run(), RequestCompleted);
    EXPECT_EQ(childResponse, RequestCompleted);
    EXPECT_EQ(depthInChild, depthBefore + 2);

    const auto& p = layer.last(Plain);
    std::vector<uint16_t> numbers;
    for (const auto& e : p.delivered) numbers.push_back(e.number);
    EXPECT_EQ(numbers, (std::vector<uint16_t>{ev::OpenWindow, ev::Accepted, ev::Timer, ev::Accepted, ev::CloseWindow}));
    const auto& c = layer.last(Child);
    EXPECT_FALSE(c.open);
    EXPECT_FALSE(c.ranDry);
    layer.verifyDone();
}

TEST_F(WindowManagerTest, AFailedInitSkipsTheLoopButReleasesAndClosesItsScope) {
    struct Case {
        const char* name;
        bool failBeforeBase;
        const char* release;
    };
    for (Case c : {Case{"after the base", false, "Release:0"}, Case{"before the base", true, "Release:5"}}) {
        SCOPED_TRACE(c.name);
        log.clear();
        TestWindow w(Plain, log);
        w.failBeforeBase = c.failBeforeBase;
        w.initResult = 4;
        EXPECT_EQ(w.Run(), RequestCancelled);
        EXPECT_EQ(only({"Init", "RunEventLoop", "Release"}), (Log{"Init", c.release}));
        EXPECT_EQ(bindingDepth(), depthBefore);
    }
}

TEST_F(WindowManagerTest, RunningADeadManagerAgainRunsNoLoopAndKeepsTheScopesPaired) {
    layer.onOpen(Plain).accept("?OK");
    TestWindow w(Plain, log);
    w.setUp = [&](TestWindow& self) { self.Buttons.push_back({self.control("?OK"), RequestCompleted}); };
    EXPECT_EQ(w.Run(), RequestCompleted);
    log.clear();
    EXPECT_EQ(w.Run(), RequestCompleted);
    EXPECT_EQ(only({"FirstDisplay", "Release"}), (Log{"Release:5"}));
    EXPECT_EQ(bindingDepth(), depthBefore);
}

TEST_F(WindowManagerTest, AWindowThatCannotOpenRunsNoLoop) {
    layer.refuseOpen(Plain);
    TestWindow w(Plain, log);
    EXPECT_EQ(w.Run(), RequestCancelled);
    EXPECT_FALSE(w.Opened);
    EXPECT_EQ(w.MyWindow, nullptr);
    EXPECT_TRUE(layer.opened().empty());
}

TEST_F(WindowManagerTest, ANewSelectionOnASheetRefreshesAndTellsTheToolbar) {
    struct Case {
        const char* use;
        bool autoToolbar;
        int refreshes;
        size_t toolbarTold;
    };
    for (Case c : {Case{"?SHEET", true, 1, 1}, Case{"?SHEET", false, 1, 0}, Case{"?LIST", true, 0, 0}}) {
        SCOPED_TRACE(std::string(c.use) + (c.autoToolbar ? " auto" : ""));
        log.clear();
        TestWindow w(Plain, log);
        RecordingComponent a("A", log, w);
        RecordingToolbar toolbar(log);
        w.components = {&a};
        w.setUp = [&](TestWindow& self) {
            self.AttachToolbar(&toolbar);
            self.AutoToolbar = c.autoToolbar;
        };
        int before = 0;
        layer.onOpen(Plain).call([&](window::Window&) { before = a.refreshes; }).newSelection(c.use, 2).close();
        w.Run();
        EXPECT_EQ(a.refreshes - before, c.refreshes);
        EXPECT_EQ(only({"Toolbar.OnNewSelection"}).size(), c.toolbarTold);
    }
}

TEST_F(WindowManagerTest, TheToolbarSeesAcceptedControlsFirstAndACancelClearsTheNavigationRequest) {
    TestWindow w(Plain, log);
    RecordingToolbar toolbar(log);
    toolbar.setRequestTo = 9;
    int32_t request = 0;
    int32_t requestBeforeCancel = 0;
    w.setUp = [&](TestWindow& self) {
        self.AttachToolbar(&toolbar);
        self.VCRRequest = &request;
        self.Buttons.push_back({self.control("?CANCEL"), RequestCancelled});
    };
    layer.onOpen(Plain)
        .accept("?OTHER")
        .call([&](window::Window&) { requestBeforeCancel = request; })
        .accept("?CANCEL");
    EXPECT_EQ(w.Run(), RequestCancelled);
    EXPECT_EQ(requestBeforeCancel, 9);
    EXPECT_EQ(request, 0) << "a cancel with a toolbar clears the navigation request";
    EXPECT_EQ(only({"Toolbar."}), (Log{"Toolbar.Init", "Toolbar.TakeEvent:6", "Toolbar.TakeEvent:3", "Toolbar.Kill"}));
}

TEST_F(WindowManagerTest, TheHistoryKeyAndTheRecallButtonPutTheValueOfTheLastCompletionBack) {
    constexpr int32_t F3 = 0x72;
    char name[12];
    std::memset(name, ' ', sizeof name);
    TestWindow w(Plain, log);
    RecordingToolbar toolbar(log);
    std::vector<std::string> seen;
    auto note = [&](window::Window&) { seen.emplace_back(name, sizeof name); };
    w.setUp = [&](TestWindow& self) {
        self.HistoryKey = F3;
        self.MyWindow->bindText(self.control("?NAME"), {name, sizeof name});
        self.AddHistoryField(self.control("?NAME"), {name, sizeof name});
        self.AttachToolbar(&toolbar);
    };
    layer.onOpen(Plain)
        .type("?NAME", "first")
        .alert("?NAME", F3)  // nothing completed yet: nothing to recall
        .call(note)
        .call([](window::Window& win) { win.post(ev::Completed); })
        .type("?NAME", "second")
        .selected("?NAME")
        .alert("?NAME", F3 + 1)  // another key recalls nothing
        .call(note)
        .alert("?NAME", F3)
        .call(note)
        .type("?NAME", "third")
        .call([](window::Window& win) { win.post(ev::Accepted, Toolbar::RecallButton); })
        .call(note)
        .close();
    w.Run();
    EXPECT_EQ(seen, (std::vector<std::string>{"first       ", "second      ", "first       ", "first       "}));
    const auto& state = layer.last(Plain);
    EXPECT_EQ(state.alerts.at(state.control("?NAME")), (std::vector<uint32_t>{F3}));
    EXPECT_EQ(state.property(state.control("?NAME"), prop::Text), "first") << "the recalled value is shown";
}

TEST_F(WindowManagerTest, ANotificationReachesOnNotifyThroughEventNotify) {
    TestWindow w(Plain, log);
    layer.onOpen(Plain)
        .event(ev::Notify)  // none waiting: OnNotify is not called
        .call([&](window::Window&) { w.postNotification(5, 2, 99); })
        .close();
    w.Run();
    EXPECT_EQ(w.notified, (std::vector<uint32_t>{5, 2, 99}));
}

TEST_F(WindowManagerTest, LosingTheFocusForcesTheNextRefreshOnlyWithResetOnGainFocus) {
    for (bool reset : {true, false}) {
        SCOPED_TRACE(reset);
        TestWindow w(Plain, log);
        RecordingComponent a("A", log, w);
        w.components = {&a};
        w.setUp = [&](TestWindow& self) { self.ResetOnGainFocus = reset; };
        layer.onOpen(Plain).event(ev::LoseFocus).event(ev::GainFocus).event(ev::GainFocus).close();
        w.Run();
        EXPECT_EQ(a.refreshes, 3) << "FirstDisplay and two gains";
        EXPECT_EQ(a.forcedRefreshes, reset ? 1 : 0) << "only the first gain after the loss is forced";
    }
}

TEST_F(WindowManagerTest, RefreshWaitsWhileTheWindowValidatesAllItsFields) {
    TestWindow w(Plain, log);
    RecordingComponent a("A", log, w);
    w.components = {&a};
    int duringAcceptAll = -1, afterCompleted = -1;
    layer.onOpen(Plain)
        .call([&](window::Window& win) {
            win.acceptAll();
            const int before = a.refreshes;
            w.Refresh(true);
            duringAcceptAll = a.refreshes - before;
        })
        .call([&](window::Window&) {
            const int before = a.refreshes;
            w.Refresh(true);
            afterCompleted = a.refreshes - before;
        })
        .close();
    w.Run();
    EXPECT_EQ(duringAcceptAll, 0);
    EXPECT_EQ(afterCompleted, 1);
    EXPECT_EQ(layer.last(Plain).count(ev::Completed), 1u);
    EXPECT_EQ(layer.last(Plain).count(ev::Accepted, layer.last(Plain).control("?NAME")), 1u);
}

TEST_F(WindowManagerTest, OpeningTranslatesOnceShowsTheDataAndFocusesTheFirstField) {
    TestWindow w(Plain, log);
    RecordingComponent a("A", log, w);
    CountingTranslator translator;
    w.components = {&a};
    w.setUp = [&](TestWindow& self) {
        self.Translator = &translator;
        self.FirstField = self.control("?OTHER");
    };
    int32_t focusAfterOpen = 0;
    layer.onOpen(Plain).call([&](window::Window& win) { focusAfterOpen = win.focus(); }).event(ev::GainFocus).close();
    w.Run();
    EXPECT_EQ(translator.calls, 1);
    EXPECT_EQ(focusAfterOpen, layer.last(Plain).control("?OTHER"));
    EXPECT_EQ(only({"A.Refresh", "A.ShowData", "FirstDisplay"}),
              (Log{"FirstDisplay", "A.Refresh(0)", "A.ShowData", "A.Refresh(0)", "A.ShowData"}));
    EXPECT_EQ(w.Inited & InitedDisplayed, InitedDisplayed);
}

TEST_F(WindowManagerTest, ARejectedControlBeepsIsShownAgainAndGetsTheFocus) {
    TestWindow w(Plain, log);
    layer.onOpen(Plain).reject("?NAME").close();
    w.Run();
    const auto& state = layer.last(Plain);
    EXPECT_EQ(state.beeps, 1);
    EXPECT_EQ(state.focus, state.control("?NAME"));
}

TEST_F(WindowManagerTest, SetControlStateDisablesAndEnablesButNeverTheWindow) {
    TestWindow w(Plain, log);
    ASSERT_EQ(w.Init(), 0);
    const int32_t ok = w.control("?OK");
    w.SetControlState(ok, true);
    EXPECT_TRUE(w.MyWindow->propertyFlag(ok, prop::Disable));
    w.SetControlState(ok, false);
    EXPECT_FALSE(w.MyWindow->propertyFlag(ok, prop::Disable));
    w.SetControlState(0, true);
    EXPECT_FALSE(w.MyWindow->propertyFlag(0, prop::Disable));
    w.Release();
}

TEST_F(WindowManagerTest, StoreControlsAndRegisterAlertsReachEveryComponentInOrder) {
    TestWindow w(Plain, log);
    RecordingComponent a("A", log, w), b("B", log, w);
    w.components = {&a, &b};
    ASSERT_EQ(w.Init(), 0);
    w.StoreControls();
    EXPECT_EQ(only({"A.RegisterAlerts", "B.RegisterAlerts", "A.StoreControls", "B.StoreControls"}),
              (Log{"A.RegisterAlerts", "B.RegisterAlerts", "A.StoreControls", "B.StoreControls"}));
    w.Release();
}

TEST_F(WindowManagerTest, RunWithANumberAndARequestAnswersCancelled) {
    TestWindow w(Plain, log);
    EXPECT_EQ(w.Run(3, InsertRecord), RequestCancelled);
    EXPECT_TRUE(layer.opened().empty());
}

}  // namespace
}  // namespace varnok::framework::test
