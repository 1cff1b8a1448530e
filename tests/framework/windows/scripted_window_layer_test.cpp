// The scripted window layer itself: the delivery order the window layer
// promises, bound variables, dialogs and popups from the script, nested
// windows and the records a test reads afterwards.
#include "tests/support/scripted_window_layer.h"

#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <cstring>

#include "window/events.h"

namespace varnok::testing {
namespace {

namespace ev = window::event;
namespace prop = window::prop;
using window::ControlKind;

constexpr const char* Win = "swltest$win";
constexpr const char* Inner = "swltest$inner";

void registerWindows() {
    window::WindowStructure s;
    s.resourceName = Win;
    s.title = "Scripted";
    s.icon = "~app.ico";
    s.width = 300;
    s.height = 200;
    s.resizable = true;
    window::ControlStructure entry;
    entry.kind = ControlKind::Entry;
    entry.useName = "?NAME";
    entry.picture = "@s8";
    entry.x = 10;
    entry.y = 12;
    entry.width = 60;
    entry.height = 10;
    window::ControlStructure button;
    button.kind = ControlKind::Button;
    button.useName = "?GO";
    button.text = "Go";
    button.x = 80;
    button.y = 12;
    button.isDefault = true;  // natural size
    window::ControlStructure hiddenEntry = entry;
    hiddenEntry.useName = "?HIDDEN";
    hiddenEntry.hidden = true;
    window::ControlStructure list;
    list.kind = ControlKind::List;
    list.useName = "?LIST";
    list.format = "20L~A~@s5@";
    list.disabled = true;
    s.controls = {entry, button, hiddenEntry, list};
    window::registerWindowStructure(s);
    s.resourceName = Inner;
    s.title = "Inner";
    window::registerWindowStructure(s);
}

class ScriptedWindowLayerTest : public ::testing::Test {
protected:
    void SetUp() override { registerWindows(); }
    // Runs the pull loop the way the window manager does, logging events;
    // `handler` answers the level for each event.
    static std::vector<window::Event> run(window::Window& w,
                                          const std::function<uint8_t(const window::Event&)>& handler = {}) {
        std::vector<window::Event> seen;
        window::Event e;
        while (w.nextEvent(e)) {
            seen.push_back(e);
            const uint8_t level = handler ? handler(e) : 0;
            if (level == 3) break;
            if (level != 5) w.defaultAction(e);
        }
        return seen;
    }
    static std::vector<uint16_t> numbers(const std::vector<window::Event>& events) {
        std::vector<uint16_t> out;
        for (const auto& e : events) out.push_back(e.number);
        return out;
    }

    ScriptedWindowLayer layer;
};

TEST_F(ScriptedWindowLayerTest, PropertiesStartFromTheStructure) {
    auto w = layer.open(Win, nullptr);
    ASSERT_TRUE(w);
    const int32_t name = w->control("?NAME"), go = w->control("?GO"), hidden = w->control("?HIDDEN"),
                  list = w->control("?LIST");
    EXPECT_EQ(w->property(0, prop::Text), "Scripted");
    EXPECT_EQ(w->property(0, prop::Icon), "~app.ico");
    EXPECT_EQ(w->propertyNumber(0, prop::Width), 300);
    EXPECT_EQ(w->propertyNumber(0, prop::Xpos), window::NoValue);
    EXPECT_TRUE(w->propertyFlag(0, prop::Resize));
    EXPECT_EQ(w->propertyNumber(name, prop::Type), static_cast<int32_t>(ControlKind::Entry));
    EXPECT_EQ(w->propertyNumber(name, prop::Xpos), 10);
    EXPECT_EQ(w->property(name, prop::Picture), "@s8");
    EXPECT_EQ(w->property(go, prop::Text), "Go");
    EXPECT_EQ(w->propertyNumber(go, prop::Width), 16) << "natural: 4 per character and 8";
    EXPECT_EQ(w->propertyNumber(go, prop::Height), 14);
    EXPECT_TRUE(w->propertyFlag(go, prop::Default));
    EXPECT_TRUE(w->propertyFlag(hidden, prop::Hide));
    EXPECT_TRUE(w->propertyFlag(list, prop::Disable));
    EXPECT_EQ(w->property(list, prop::Format), "20L~A~@s5@");
    // Flags read "1" or "", whatever was written; other values stay as written.
    for (auto [written, read] : std::vector<std::pair<const char*, const char*>>{
             {"0", ""}, {"", ""}, {"yes", "1"}, {"1", "1"}}) {
        w->setProperty(go, prop::Hide, std::string_view(written));
        EXPECT_EQ(w->property(go, prop::Hide), read) << written;
    }
    w->setProperty(list, prop::ColumnHeader, "Name", 3);
    EXPECT_EQ(w->property(list, prop::ColumnHeader, 3), "Name");
    EXPECT_EQ(w->property(list, prop::ColumnHeader, 2), "");
    EXPECT_EQ(layer.open("swltest$none", nullptr), nullptr);
}

TEST_F(ScriptedWindowLayerTest, OpenWindowComesFirstAndPostedEventsBeforeTheScriptInPostingOrder) {
    layer.onOpen(Win).accept("?GO").event(ev::Timer).close();
    auto w = layer.open(Win, nullptr);
    w->post(ev::GainFocus);
    const auto seen = run(*w, [&](const window::Event& e) -> uint8_t {
        if (e.number == ev::Accepted && e.control == w->control("?GO")) {
            w->post(ev::Completed);
            w->post(ev::Accepted, w->control("?NAME"));
        }
        return 0;
    });
    EXPECT_EQ(numbers(seen), (std::vector<uint16_t>{ev::OpenWindow, ev::GainFocus, ev::Accepted, ev::Completed,
                                                    ev::Accepted, ev::Timer, ev::CloseWindow}));
    EXPECT_EQ(seen[2].control, w->control("?GO"));
    EXPECT_FALSE(w->isOpen());
    EXPECT_FALSE(layer.last(Win).ranDry);
    layer.verifyDone();
}

TEST_F(ScriptedWindowLayerTest, ADryScriptClosesOnceAndAWindowThatRefusesFailsTheTest) {
    layer.onOpen(Win).accept("?GO");
    auto w = layer.open(Win, nullptr);
    EXPECT_EQ(numbers(run(*w)), (std::vector<uint16_t>{ev::OpenWindow, ev::Accepted, ev::CloseWindow}));
    EXPECT_TRUE(layer.last(Win).ranDry);

    auto stubborn = layer.open(Win, nullptr);
    EXPECT_NONFATAL_FAILURE(run(*stubborn, [](const window::Event&) -> uint8_t { return 5; }),
                            "stays open after its script ran dry");
    EXPECT_FALSE(stubborn->isOpen());
}

TEST_F(ScriptedWindowLayerTest, TypedTextReachesTheBoundVariableWhenItsAcceptedEventIsDelivered) {
    char name[8];
    std::memset(name, '-', sizeof name);
    std::string atAccept;
    layer.onOpen(Win)
        .type("?NAME", "abc")
        .type("?NAME", "much too long")
        .call([&](window::Window& w) {
            std::memcpy(name, "xy      ", 8);
            w.display(w.control("?NAME"));
        })
        .close();
    auto w = layer.open(Win, nullptr);
    w->bindText(w->control("?NAME"), {name, sizeof name});
    std::vector<std::string> values;
    run(*w, [&](const window::Event& e) -> uint8_t {
        if (e.number == ev::Accepted) values.emplace_back(name, sizeof name);
        return 0;
    });
    EXPECT_EQ(values, (std::vector<std::string>{"abc     ", "much too"}));
    EXPECT_EQ(w->property(w->control("?NAME"), prop::Text), "xy") << "display shows the variable, trimmed";
}

TEST_F(ScriptedWindowLayerTest, AcceptAllValidatesVisibleEnabledEntriesThenCompletes) {
    char name[8] = {'o', 'l', 'd', ' ', ' ', ' ', ' ', ' '};
    bool duringAccepting = false, afterCompleted = true;
    layer.onOpen(Win)
        .set("?NAME", prop::Text, "new")
        .call([&](window::Window& w) {
            w.acceptAll();
            duringAccepting = w.acceptingAll();
        })
        .call([&](window::Window& w) { afterCompleted = w.acceptingAll(); })
        .close();
    auto w = layer.open(Win, nullptr);
    w->bindText(w->control("?NAME"), {name, sizeof name});
    const auto seen = run(*w);
    EXPECT_EQ(numbers(seen), (std::vector<uint16_t>{ev::OpenWindow, ev::Accepted, ev::Completed, ev::CloseWindow}));
    EXPECT_EQ(seen[1].control, w->control("?NAME")) << "?HIDDEN is not validated";
    EXPECT_EQ(std::string(name, 8), "new     ");
    EXPECT_TRUE(duringAccepting);
    EXPECT_FALSE(afterCompleted);
}

TEST_F(ScriptedWindowLayerTest, SelectionsFocusResizesAndAlertsAreScripted) {
    layer.onOpen(Win)
        .newSelection("?LIST", 4)
        .selected("?GO")
        .alert("?LIST", window::key::MouseRight | window::key::Ctrl)
        .set("", prop::MinWidth, "320")
        .resize(250, 260)
        .close();
    auto w = layer.open(Win, nullptr);
    const auto seen = run(*w);
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[1].number, ev::NewSelection);
    EXPECT_EQ(w->choice(w->control("?LIST")), 4);
    EXPECT_EQ(seen[2].number, ev::Selected);
    EXPECT_EQ(seen[3].keyCode, 0x202u);
    EXPECT_EQ(seen[4].number, ev::Sized);
    EXPECT_EQ(w->propertyNumber(0, prop::Width), 320) << "kept at the minimum width";
    EXPECT_EQ(w->propertyNumber(0, prop::Height), 260);
    EXPECT_EQ(layer.last(Win).focus, w->control("?GO"));
}

TEST_F(ScriptedWindowLayerTest, DialogsArePromptedByTheScriptOfTheWindowOnTop) {
    layer.onOpen(Win).accept("?GO").fileDialog("b.txa").accept("?GO").cancelFileDialog().accept("?GO").popup(2).close();
    layer.answerFileDialog("fallback.txt");
    auto w = layer.open(Win, nullptr);
    std::vector<std::string> names;
    std::vector<int32_t> items;
    run(*w, [&](const window::Event& e) -> uint8_t {
        if (e.number != ev::Accepted) return 0;
        if (names.size() < 2) {
            window::FileDialogRequest request;
            request.title = "TXA File";
            request.name = "start";
            const bool chosen = layer.fileDialog(request);
            names.push_back(chosen ? request.name : "cancelled:" + request.name);
        } else {
            items.push_back(layer.popup("One|Two"));
        }
        return 0;
    });
    EXPECT_EQ(names, (std::vector<std::string>{"b.txa", "cancelled:start"}));
    EXPECT_EQ(items, (std::vector<int32_t>{2}));
    ASSERT_EQ(layer.fileDialogs().size(), 2u);
    EXPECT_EQ(layer.fileDialogs()[0].title, "TXA File");
    EXPECT_EQ(layer.popups(), (std::vector<std::string>{"One|Two"}));

    // Outside any window the layer's own answers serve.
    window::FileDialogRequest request;
    EXPECT_TRUE(layer.fileDialog(request));
    EXPECT_EQ(request.name, "fallback.txt");
    EXPECT_NONFATAL_FAILURE(EXPECT_FALSE(layer.fileDialog(request)), "was not scripted");
    layer.verifyDone();
}

TEST_F(ScriptedWindowLayerTest, AnAnswerNobodyAskedForFailsTheTest) {
    layer.onOpen(Win).accept("?GO").fileDialog("x").close();
    auto w = layer.open(Win, nullptr);
    EXPECT_NONFATAL_FAILURE(run(*w), "never asked for");
}

TEST_F(ScriptedWindowLayerTest, ANestedWindowRunsItsOwnScriptInsideTheHandler) {
    layer.onOpen(Win).accept("?GO").close();
    layer.onOpen(Inner).accept("?GO").fileDialog("inner.txt");
    std::vector<uint16_t> innerEvents;
    std::string innerChoice;
    auto outer = layer.open(Win, nullptr);
    const auto seen = run(*outer, [&](const window::Event& e) -> uint8_t {
        if (e.number != ev::Accepted) return 0;
        auto inner = layer.open(Inner, outer.get());
        innerEvents = numbers(run(*inner, [&](const window::Event& ie) -> uint8_t {
            if (ie.number == ev::Accepted) {
                window::FileDialogRequest r;
                if (layer.fileDialog(r)) innerChoice = r.name;
            }
            return 0;
        }));
        return 0;
    });
    EXPECT_EQ(innerEvents, (std::vector<uint16_t>{ev::OpenWindow, ev::Accepted, ev::CloseWindow}));
    EXPECT_EQ(innerChoice, "inner.txt");
    EXPECT_EQ(numbers(seen), (std::vector<uint16_t>{ev::OpenWindow, ev::Accepted, ev::CloseWindow}));
    EXPECT_EQ(layer.last(Inner).ownerResourceName, Win);
    EXPECT_TRUE(layer.last(Inner).ranDry);
    EXPECT_EQ(layer.opened().size(), 2u);
}

TEST_F(ScriptedWindowLayerTest, CursorsRefusalsAndLeftoversAreRecorded) {
    layer.setCursor(window::Cursor::Wait);
    layer.setCursor(window::Cursor::Normal);
    EXPECT_EQ(layer.cursors(), (std::vector<window::Cursor>{window::Cursor::Wait, window::Cursor::Normal}));

    layer.refuseOpen(Win);
    EXPECT_EQ(layer.open(Win, nullptr), nullptr);
    EXPECT_NE(layer.open(Win, nullptr), nullptr) << "only the next opening is refused";

    layer.onOpen(Win).accept("?GO").accept("?GO");
    layer.onOpen(Inner);
    {
        auto w = layer.open(Win, nullptr);
        run(*w, [](const window::Event& e) -> uint8_t { return e.number == ev::Accepted ? 3 : 0; });
    }
    EXPECT_EQ(layer.last(Win).stepsLeft, 1u);
    ::testing::TestPartResultArray failures;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        layer.verifyDone();
    }
    ASSERT_EQ(failures.size(), 2);
    EXPECT_NE(std::string(failures.GetTestPartResult(0).message()).find("never used"), std::string::npos);
    EXPECT_NE(std::string(failures.GetTestPartResult(1).message()).find("never reached"), std::string::npos);
}

}  // namespace
}  // namespace varnok::testing
