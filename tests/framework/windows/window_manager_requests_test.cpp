// The record requests and the close road of a window that edits one record,
// against a relation-manager double, with the error manager's questions
// answered through ScriptedPresenter.
#include <gtest/gtest.h>

#include "framework/errors/error_manager.h"
#include "framework/windows/window_manager.h"
#include "tests/framework/windows/window_test_parts.h"
#include "tests/support/scripted_presenter.h"
#include "tests/support/scripted_window_layer.h"
#include "window/events.h"
#include "window/message_box.h"

namespace varnok::framework::test {
namespace {

namespace ev = window::event;
namespace prop = window::prop;
using testing::ScriptedPresenter;
using testing::ScriptedWindowLayer;
using window::ButtonCancel;
using window::ButtonNo;
using window::ButtonYes;
using window::ControlKind;

constexpr const char* Form = "wmtest$form";

void registerForm() {
    window::WindowStructure form;
    form.resourceName = Form;
    form.title = "Form";
    form.width = 200;
    form.height = 100;
    auto add = [&](ControlKind kind, const char* use) {
        window::ControlStructure c;
        c.kind = kind;
        c.useName = use;
        c.width = 40;
        c.height = 12;
        form.controls.push_back(c);
    };
    add(ControlKind::Entry, "?NAME");
    add(ControlKind::Button, "?OK");
    add(ControlKind::Button, "?CANCEL");
    add(ControlKind::Button, "?SAVE");
    add(ControlKind::Button, "?OTHER");
    window::registerWindowStructure(form);
}

struct Answer {
    const char* caption;
    unsigned button;
};

class RequestsTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerForm();
        errors.Init(states);
        file.set("original");
    }
    void TearDown() override {
        boxes.verifyDone();
        layer.verifyDone();
    }

    // A form over `file`: ?NAME edits the record, ?OK completes, ?CANCEL
    // cancels, ?SAVE saves and stays.
    std::unique_ptr<TestWindow> form(uint8_t request, uint8_t cancelAction = 3) {
        auto w = std::make_unique<TestWindow>(Form, log);
        w->Request = request;
        w->setUp = [this, cancelAction](TestWindow& self) {
            self.Errors = &errors;
            self.Primary = &file;
            self.OKControl = self.control("?OK");
            self.SaveControl = self.control("?SAVE");
            self.FirstField = self.control("?NAME");
            self.Buttons.push_back({self.control("?CANCEL"), RequestCancelled});
            self.CancelAction = cancelAction;
            self.MyWindow->bindText(self.control("?NAME"), file.variable());
            self.PrepareRequest();
        };
        return w;
    }
    void expect(const std::vector<Answer>& answers) {
        for (const Answer& a : answers) boxes.expect(a.caption, a.button);
    }
    std::vector<std::string> captions() const {
        std::vector<std::string> out;
        for (const auto& m : boxes.shown()) out.push_back(m.caption);
        return out;
    }
    int32_t nameControl() { return layer.last(Form).control("?NAME"); }

    ThreadErrorState states;
    ErrorManager errors;
    ScriptedPresenter boxes;
    ScriptedWindowLayer layer;
    FakeRelationManager file;
    Log log;
};

// Closing a changed record: what each CancelAction asks and what each
// answer does. A step "stay" means the window must still be open and the
// focus on the first field after the first close.
TEST_F(RequestsTest, TheCloseRoadAsksByCancelAction) {
    struct Case {
        const char* name;
        uint8_t cancelAction;
        bool change;
        bool closeTwice;  // the first close leaves the window open
        std::vector<Answer> answers;
        uint8_t run;
        std::vector<std::string> updated;
    };
    const std::vector<Case> cases = {
        {"asks, yes closes", 0, true, false, {{"Changes will be lost!", ButtonYes}}, 2, {}},
        {"asks, no stays", 2, true, true,
         {{"Changes will be lost!", ButtonNo}, {"Changes will be lost!", ButtonYes}}, 2, {}},
        {"presses OK", 1, true, false, {}, 1, {"changed"}},
        {"save: yes presses OK", 3, true, false, {{"Save Record", ButtonYes}}, 1, {"changed"}},
        {"save: no closes", 3, true, false, {{"Save Record", ButtonNo}}, 2, {}},
        {"save: cancel stays", 3, true, true, {{"Save Record", ButtonCancel}, {"Save Record", ButtonNo}}, 2, {}},
        {"unchanged: no question", 0, false, false, {}, 2, {}},
        {"unchanged: no question either", 3, false, false, {}, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        file.set("original");
        file.updated.clear();
        ScriptedPresenter caseBoxes;
        for (const Answer& a : c.answers) caseBoxes.expect(a.caption, a.button);
        bool openAfterFirst = false;
        int32_t focusAfterFirst = 0;
        auto& script = layer.onOpen(Form);
        if (c.change) script.type("?NAME", "changed");
        script.accept("?CANCEL");
        if (c.closeTwice) {
            script.call([&](window::Window& win) {
                openAfterFirst = win.isOpen();
                focusAfterFirst = win.focus();
            });
            script.close();
        }
        auto w = form(ChangeRecord, c.cancelAction);
        EXPECT_EQ(w->Run(), c.run);
        EXPECT_EQ(file.updated, c.updated);
        EXPECT_FALSE(layer.last(Form).open);
        EXPECT_FALSE(layer.last(Form).ranDry);
        if (c.closeTwice) {
            EXPECT_TRUE(openAfterFirst);
            EXPECT_EQ(focusAfterFirst, nameControl());
        }
        caseBoxes.verifyDone();
    }
}

TEST_F(RequestsTest, PressingOKForAWindowWithoutAnOKControlStillCompletes) {
    layer.onOpen(Form).type("?NAME", "changed").close();
    auto w = form(ChangeRecord, 1);
    w->setUp = [inner = w->setUp](TestWindow& self) {
        inner(self);
        self.OKControl = 0;
    };
    EXPECT_EQ(w->Run(), RequestCompleted);
    EXPECT_EQ(file.updated, (std::vector<std::string>{"changed"}));
}

TEST_F(RequestsTest, AnInsertCompletesOrAsksForAnotherByInsertAction) {
    struct Case {
        const char* name;
        uint8_t insertAction;
        std::vector<Answer> answers;
        bool stays;
    };
    const std::vector<Case> cases = {
        {"completes", 2, {}, false},
        {"asks, no completes", 4, {{"Record Added", ButtonNo}}, false},
        {"asks (3), no completes", 3, {{"Record Added", ButtonNo}}, false},
        {"asks, yes stays", 4, {{"Record Added", ButtonYes}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        file.set("");
        file.inserted.clear();
        file.resetTo.clear();
        file.cancels = 0;
        ScriptedPresenter caseBoxes;
        for (const Answer& a : c.answers) caseBoxes.expect(a.caption, a.button);
        auto& script = layer.onOpen(Form).type("?NAME", "first").accept("?OK");
        std::string positionAfterOk;
        if (c.stays) script.call([&](window::Window&) { positionAfterOk = file.position; }).close();
        auto w = form(InsertRecord);
        w->setUp = [inner = w->setUp, &c](TestWindow& self) {
            inner(self);
            self.InsertAction = c.insertAction;
        };
        EXPECT_EQ(w->Run(), RequestCompleted);
        EXPECT_EQ(file.inserted, (std::vector<std::string>{"first"}));
        EXPECT_EQ(layer.last(Form).ranDry, false);
        if (c.stays) {
            // Closed afterwards with nothing changed: still "completed", the
            // file back on the inserted record, the spare number given up.
            EXPECT_EQ(file.resetTo, (std::vector<std::string>{"7"}));
            EXPECT_EQ(file.cancels, 1);
            EXPECT_EQ(w->LastInsertedPosition, "7");
        } else {
            EXPECT_TRUE(file.resetTo.empty());
            EXPECT_EQ(file.cancels, 0);
        }
        caseBoxes.verifyDone();
    }
}

TEST_F(RequestsTest, ARefusedInsertKeepsTheWindowOpenOnTheFirstField) {
    file.set("");
    file.insertResults = {5};
    int32_t focus = 0;
    bool open = false;
    layer.onOpen(Form)
        .type("?NAME", "x")
        .selected("?OK")
        .accept("?OK")
        .call([&](window::Window& win) {
            open = win.isOpen();
            focus = win.focus();
        })
        .accept("?OK");
    auto w = form(InsertRecord);
    EXPECT_EQ(w->Run(), RequestCompleted);
    EXPECT_TRUE(open);
    EXPECT_EQ(focus, nameControl());
    EXPECT_EQ(file.inserted, (std::vector<std::string>{"x"}));
}

TEST_F(RequestsTest, ACancelledInsertGivesUpItsNumberUnlessTheFileRefuses) {
    file.set("");
    file.cancelAutoIncResult = 5;
    bool openAfterFirst = false;
    layer.onOpen(Form)
        .accept("?CANCEL")
        .call([&](window::Window& win) {
            openAfterFirst = win.isOpen();
            file.cancelAutoIncResult = 0;
        })
        .accept("?CANCEL");
    auto w = form(InsertRecord);
    EXPECT_EQ(w->Run(), RequestCancelled);
    EXPECT_TRUE(openAfterFirst);
    EXPECT_EQ(file.cancels, 2);
    EXPECT_TRUE(file.inserted.empty());
}

TEST_F(RequestsTest, AFailedChangeAsksWhetherToTryAgain) {
    struct Case {
        const char* name;
        unsigned answer;
        uint8_t run;
        size_t updates;
        std::string recordAfter;
    };
    const std::vector<Case> cases = {
        {"yes tries again", ButtonYes, 1, 1, "changed"},
        {"no gives up and drops the edits", ButtonNo, 2, 0, "original"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        file.set("original");
        file.updated.clear();
        file.updateResults = {5};
        ScriptedPresenter caseBoxes;
        caseBoxes.expect("Record Update Error", c.answer);
        layer.onOpen(Form).type("?NAME", "changed").accept("?OK");
        auto w = form(ChangeRecord);
        EXPECT_EQ(w->Run(), c.run);
        EXPECT_EQ(file.updated.size(), c.updates);
        EXPECT_EQ(file.text(), c.recordAfter);
        caseBoxes.verifyDone();  // giving up asks nothing more on the close
    }
}

TEST_F(RequestsTest, CancellingAFailedChangeReturnsToTheWindow) {
    file.updateResults = {5};
    expect({{"Record Update Error", ButtonCancel}, {"Save Record", ButtonNo}});
    bool open = false;
    int32_t focus = 0;
    layer.onOpen(Form)
        .type("?NAME", "changed")
        .selected("?OK")
        .accept("?OK")
        .call([&](window::Window& win) {
            open = win.isOpen();
            focus = win.focus();
        })
        .close();
    auto w = form(ChangeRecord);
    EXPECT_EQ(w->Run(), RequestCancelled);
    EXPECT_TRUE(open);
    EXPECT_EQ(focus, nameControl());
    EXPECT_TRUE(file.updated.empty());
}

TEST_F(RequestsTest, ADeleteAsksByDeleteActionAndRetriesWithoutAskingAgain) {
    struct Case {
        const char* name;
        uint8_t deleteAction;
        std::vector<uint8_t> results;
        std::vector<Answer> answers;
        uint8_t run;
        std::vector<bool> asked;
        int deletes;
    };
    const std::vector<Case> cases = {
        {"asks", 2, {}, {}, 1, {true}, 1},
        {"asks (4)", 4, {}, {}, 1, {true}, 1},
        {"does not ask", 1, {}, {}, 1, {false}, 1},
        {"fails, yes retries", 2, {5, 0}, {{"Record Delete Error", ButtonYes}}, 1, {true, false}, 1},
        {"fails, no gives up", 2, {5}, {{"Record Delete Error", ButtonNo}}, 2, {true}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        file.deleteAsked.clear();
        file.deletes = 0;
        file.deleteResults = c.results;
        ScriptedPresenter caseBoxes;
        for (const Answer& a : c.answers) caseBoxes.expect(a.caption, a.button);
        layer.onOpen(Form).accept("?OK");
        auto w = form(DeleteRecord);
        w->setUp = [inner = w->setUp, &c](TestWindow& self) {
            inner(self);
            self.DeleteAction = c.deleteAction;
        };
        EXPECT_EQ(w->Run(), c.run);
        EXPECT_EQ(file.deleteAsked, c.asked);
        EXPECT_EQ(file.deletes, c.deletes);
        caseBoxes.verifyDone();
    }
}

TEST_F(RequestsTest, ADeclinedDeleteStaysAndCancelsWithoutAQuestion) {
    file.deleteResults = {4};
    bool open = false;
    layer.onOpen(Form).accept("?OK").call([&](window::Window& win) { open = win.isOpen(); }).accept("?CANCEL");
    auto w = form(DeleteRecord);
    EXPECT_EQ(w->Run(), RequestCancelled);
    EXPECT_TRUE(open);
    EXPECT_EQ(file.deletes, 0);
}

TEST_F(RequestsTest, SavingAnInsertAndStayingAddsTheRecordOnceAndThenChangesIt) {
    file.set("");
    uint8_t requestAfterSave = 0;
    bool cancelDisabledAfterSave = false, cancelEnabledAfterOther = false;
    auto cancelDisabled = [](window::Window& win) {
        return win.propertyFlag(win.control("?CANCEL"), prop::Disable);
    };
    std::unique_ptr<TestWindow> w = form(InsertRecord);
    layer.onOpen(Form)
        .type("?NAME", "a")
        .accept("?SAVE")
        .call([&](window::Window& win) {
            requestAfterSave = w->Request;
            cancelDisabledAfterSave = cancelDisabled(win);
        })
        .accept("?OTHER")
        .call([&](window::Window& win) { cancelEnabledAfterOther = !cancelDisabled(win); })
        .type("?NAME", "b")
        .accept("?SAVE")
        .type("?NAME", "c")
        .accept("?OK");
    w->setUp = [inner = w->setUp](TestWindow& self) {
        inner(self);
        self.DisableCancelButton = true;
    };
    EXPECT_EQ(w->Run(), RequestCompleted);
    EXPECT_EQ(file.inserted, (std::vector<std::string>{"a"}));
    EXPECT_EQ(file.updated, (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(requestAfterSave, ChangeRecord);
    EXPECT_TRUE(cancelDisabledAfterSave);
    EXPECT_TRUE(cancelEnabledAfterOther);
    EXPECT_TRUE(w->RecordSaved);
    EXPECT_EQ(w->LastInsertedPosition, "7");
}

TEST_F(RequestsTest, SavingAChangeAndStayingKeepsTheWindowOnTheChangeRequest) {
    uint8_t requestAfterSave = 0;
    bool open = false;
    std::unique_ptr<TestWindow> w = form(ChangeRecord);
    layer.onOpen(Form)
        .type("?NAME", "b")
        .accept("?SAVE")
        .call([&](window::Window& win) {
            requestAfterSave = w->Request;
            open = win.isOpen();
        })
        .close();  // nothing changed since the save: no question
    EXPECT_EQ(w->Run(), RequestCancelled);
    EXPECT_EQ(file.updated, (std::vector<std::string>{"b"}));
    EXPECT_EQ(requestAfterSave, ChangeRecord);
    EXPECT_TRUE(open);
    EXPECT_TRUE(w->RecordSaved);
}

TEST_F(RequestsTest, ViewWindowsIgnoreSaveAndABatchViewMovesOn) {
    CountingNavigation navigation;
    for (bool batch : {false, true}) {
        SCOPED_TRACE(batch);
        layer.onOpen(Form).accept("?SAVE").accept("?OK").close();
        auto w = form(ViewRecord);
        w->setUp = [inner = w->setUp, batch, &navigation](TestWindow& self) {
            inner(self);
            self.BatchProcessing = batch;
            self.FormVCR = &navigation;
        };
        EXPECT_EQ(w->Run(), RequestCancelled);
        EXPECT_EQ(w->Request, ViewRecord);
        EXPECT_EQ(navigation.moves, batch ? 1 : 0);
    }
    EXPECT_TRUE(file.inserted.empty());
    EXPECT_TRUE(file.updated.empty());
}

TEST_F(RequestsTest, APrimaryBufferComponentRefreshesBetweenASaveAndARestoreOfTheRecord) {
    struct Case {
        bool save, restore;
        Log expected;
        int restores, drops;
    };
    const std::vector<Case> cases = {
        {false, false, {"C.Refresh(0)"}, 0, 0},
        {true, false, {"C.Saved", "C.Refresh(0)"}, 0, 1},
        {true, true, {"C.Saved", "C.Refresh(0)", "C.Restored"}, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.size());
        log.clear();
        file.restores = file.drops = 0;
        TestWindow w(Form, log);
        RecordingComponent component("C", log, w);
        component.saveRequired = c.save;
        component.restoreRequired = c.restore;
        w.setUp = [&](TestWindow& self) {
            self.Primary = &file;
            self.AddComponent(static_cast<PrimaryBufferComponent*>(&component));
        };
        ASSERT_EQ(w.Init(), 0);
        log.clear();
        w.Refresh(false);
        Log seen;
        for (const std::string& e : log) {
            if (e != "C.ShowData") seen.push_back(e);
        }
        EXPECT_EQ(seen, c.expected);
        EXPECT_EQ(file.restores, c.restores);
        EXPECT_EQ(file.drops, c.drops);
        EXPECT_TRUE(file.saved.empty()) << "no saved copy is left behind";
        w.Release();
    }
}

}  // namespace
}  // namespace varnok::framework::test
