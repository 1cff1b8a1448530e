// The window resizer on the main window's layout: geometry after resizes
// (against a model of the strategies), the minimum size, and its values
// kept through a store.
#include "framework/windows/window_resizer.h"

#include <gtest/gtest.h>

#include <map>

#include "framework/windows/window_manager.h"
#include "tests/support/scripted_window_layer.h"
#include "window/events.h"

namespace varnok::framework {
namespace {

namespace ev = window::event;
namespace prop = window::prop;
using testing::ScriptedWindowLayer;
using window::ControlKind;
using window::NoValue;

constexpr const char* Main = "wmtest$main";

struct Rect {
    int32_t x, y, width, height;
    bool operator==(const Rect&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
}

// The main window's controls in tab order, as its layout gives them.
struct Layout {
    const char* use;
    ControlKind kind;
    Rect at;
};
const std::vector<Layout> mainLayout = {
    {"?GROUP1", ControlKind::Group, {5, 6, 411, 45}},
    {"?TXAFILENAME:PROMPT", ControlKind::Prompt, {9, 16, 48, 8}},
    {"?TXAFILENAME", ControlKind::Entry, {61, 16, 327, 10}},
    {"?LOOKUPFILE", ControlKind::Button, {392, 15, 12, 12}},
    {"?IMPORTTXABUTTON", ControlKind::Button, {115, 32, 89, 14}},
    {"?VIEWTXABUTTON", ControlKind::Button, {215, 32, 89, 14}},
    {"?GROUP2", ControlKind::Group, {5, 54, 411, 214}},
    {"?EXTENSIONQ", ControlKind::List, {9, 62, 401, 182}},
    {"?SELECTBUTTON", ControlKind::Button, {9, 248, 139, 14}},
    {"?REMOVEBUTTON", ControlKind::Button, {271, 248, 139, 14}},
};

void registerMain() {
    window::WindowStructure s;
    s.resourceName = Main;
    s.title = "Remove Extensions";
    s.width = 420;
    s.height = 273;
    s.resizable = true;
    for (const Layout& l : mainLayout) {
        window::ControlStructure c;
        c.kind = l.kind;
        c.useName = l.use;
        c.x = l.at.x;
        c.y = l.at.y;
        c.width = l.at.width;
        c.height = l.at.height;
        s.controls.push_back(c);
    }
    window::registerWindowStructure(s);
}

// What the main window asks of the resizer.
const std::map<std::string, unsigned> mainStrategies = {
    {"?GROUP1", GrowWidth},
    {"?TXAFILENAME", GrowWidth},
    {"?LOOKUPFILE", MoveX},
    {"?IMPORTTXABUTTON", CentreX},
    {"?VIEWTXABUTTON", CentreX},
    {"?GROUP2", GrowWidth | GrowHeight},
    {"?EXTENSIONQ", GrowWidth | GrowHeight},
    {"?REMOVEBUTTON", MoveX | MoveY},
    {"?SELECTBUTTON", MoveY},
};

void applyMainStrategies(WindowResizer& resizer, window::Window& w) {
    for (const auto& [use, strategy] : mainStrategies) resizer.SetStrategy(w.control(use), strategy);
}

// The model: where a control should be for a window of width x height.
Rect expected(const Layout& l, int32_t width, int32_t height) {
    const int32_t dw = width - 420, dh = height - 273;
    auto it = mainStrategies.find(l.use);
    const unsigned s = it == mainStrategies.end() ? Keep : it->second;
    return {l.at.x + (s & MoveX ? dw : s & CentreX ? dw / 2 : 0), l.at.y + (s & MoveY ? dh : 0),
            l.at.width + (s & GrowWidth ? dw : 0),
            l.at.height + (s & GrowHeight ? dh : 0)};
}

Rect rectOf(const testing::ScriptedWindowState& state, const char* use) {
    return {state.number(use, prop::Xpos), state.number(use, prop::Ypos), state.number(use, prop::Width),
            state.number(use, prop::Height)};
}

class MemoryStore : public ResizerStore {
public:
    std::map<std::string, std::string, std::less<>> values;
    int updates = 0;
    bool Fetch(std::string_view key, std::string& value) override {
        auto it = values.find(key);
        if (it == values.end()) return false;
        value = it->second;
        return true;
    }
    void Update(std::string_view key, std::string_view value) override {
        ++updates;
        values[std::string(key)] = value;
    }
};

// A window procedure that gives each window event to the resizer after the
// base handling, as the main window does.
class ResizedWindow : public WindowManager {
public:
    explicit ResizedWindow(ResizerStore* store = nullptr) : resizer(store) {}
    WindowResizer resizer;
    uint8_t Init() override {
        if (uint8_t r = WindowManager::Init()) return r;
        OpenWindow(Main);
        resizer.Init(*MyWindow);
        applyMainStrategies(resizer, *MyWindow);
        Resize = &resizer;
        RegisterAlerts();
        return 0;
    }
    uint8_t OnWindowEvent() override {
        if (uint8_t r = WindowManager::OnWindowEvent()) return r;
        return resizer.TakeEvent(currentEvent());
    }
};

class WindowResizerTest : public ::testing::Test {
protected:
    void SetUp() override { registerMain(); }
    ScriptedWindowLayer layer;
};

TEST_F(WindowResizerTest, TheMainWindowsControlsFollowTheirStrategiesAfterEachResize) {
    const std::vector<std::pair<int32_t, int32_t>> sizes = {{520, 323}, {420, 273}, {700, 500}, {421, 600}, {520, 323}};
    std::vector<std::map<std::string, Rect>> seen;
    auto& script = layer.onOpen(Main);
    for (auto [w, h] : sizes) {
        script.resize(w, h).call([&](window::Window&) {
            std::map<std::string, Rect> rects;
            for (const Layout& l : mainLayout) rects[l.use] = rectOf(layer.last(Main), l.use);
            seen.push_back(rects);
        });
    }
    script.close();
    ResizedWindow window;
    window.Run();
    ASSERT_EQ(seen.size(), sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        SCOPED_TRACE(std::to_string(sizes[i].first) + " x " + std::to_string(sizes[i].second));
        for (const Layout& l : mainLayout) {
            EXPECT_EQ(seen[i][l.use], expected(l, sizes[i].first, sizes[i].second)) << l.use;
        }
    }
    // The main window's needs, spelled out for 100 wider and 50 higher.
    const auto& at = seen[0];
    EXPECT_EQ(at.at("?GROUP2"), (Rect{5, 54, 511, 264}));
    EXPECT_EQ(at.at("?EXTENSIONQ"), (Rect{9, 62, 501, 232}));
    EXPECT_EQ(at.at("?REMOVEBUTTON"), (Rect{371, 298, 139, 14}));
    EXPECT_EQ(at.at("?SELECTBUTTON"), (Rect{9, 298, 139, 14}));
    EXPECT_EQ(at.at("?GROUP1"), (Rect{5, 6, 511, 45}));
    EXPECT_EQ(at.at("?TXAFILENAME"), (Rect{61, 16, 427, 10}));
    EXPECT_EQ(at.at("?LOOKUPFILE"), (Rect{492, 15, 12, 12}));
    EXPECT_EQ(at.at("?IMPORTTXABUTTON"), (Rect{165, 32, 89, 14}));
    EXPECT_EQ(at.at("?VIEWTXABUTTON"), (Rect{265, 32, 89, 14}));
    EXPECT_EQ(at.at("?TXAFILENAME:PROMPT").x, 9);
    // One unit wider: the centred buttons stay (half a unit is no move).
    EXPECT_EQ(seen[3].at("?IMPORTTXABUTTON").x, 115);
}

TEST_F(WindowResizerTest, TheWindowKeepsItsMinimumSize) {
    Rect listAfterShrink{}, windowAfterShrink{};
    layer.onOpen(Main)
        .resize(300, 100)  // the desktop keeps the minimum the resizer set
        .call([&](window::Window& w) {
            windowAfterShrink = {0, 0, w.propertyNumber(0, prop::Width), w.propertyNumber(0, prop::Height)};
            listAfterShrink = rectOf(layer.last(Main), "?EXTENSIONQ");
        })
        .close();
    ResizedWindow window;
    window.Run();
    const auto& state = layer.last(Main);
    EXPECT_EQ(state.number(0, prop::MinWidth), 420);
    EXPECT_EQ(state.number(0, prop::MinHeight), 273);
    EXPECT_EQ(windowAfterShrink, (Rect{0, 0, 420, 273}));
    EXPECT_EQ(listAfterShrink, (Rect{9, 62, 401, 182}));
}

TEST_F(WindowResizerTest, ALayoutForATooSmallWindowFirstSetsTheWindowBackToTheMinimum) {
    auto opened = window::windowLayer().open(Main, nullptr);
    ASSERT_TRUE(opened);
    window::Window& w = *opened;
    WindowResizer resizer;
    resizer.Init(w);
    applyMainStrategies(resizer, w);
    resizer.SetMinimumSize(450, 300);
    EXPECT_EQ(w.propertyNumber(0, prop::MinWidth), 450);
    EXPECT_EQ(w.propertyNumber(0, prop::MinHeight), 300);
    w.setProperty(0, prop::Width, 100);
    w.setProperty(0, prop::Height, 280);
    resizer.Resize();
    EXPECT_EQ(w.propertyNumber(0, prop::Width), 450);
    EXPECT_EQ(w.propertyNumber(0, prop::Height), 300);
    const auto& state = layer.last(Main);
    EXPECT_EQ(rectOf(state, "?REMOVEBUTTON"), (Rect{301, 275, 139, 14}));
    EXPECT_EQ(rectOf(state, "?EXTENSIONQ"), (Rect{9, 62, 431, 209}));
}

TEST_F(WindowResizerTest, UnlistedControlsFollowTheDefaultStrategyAndUnknownSizesAreLeftAlone) {
    auto opened = window::windowLayer().open(Main, nullptr);
    ASSERT_TRUE(opened);
    window::Window& w = *opened;
    const int32_t prompt = w.control("?TXAFILENAME:PROMPT");
    w.setProperty(prompt, prop::Width, NoValue);  // a size the layer does not know
    WindowResizer resizer;
    resizer.Init(w);
    resizer.SetDefaultStrategy(MoveY | GrowWidth);
    resizer.SetStrategy(w.control("?GROUP1"), Keep);
    w.setProperty(0, prop::Width, 440);
    w.setProperty(0, prop::Height, 283);
    resizer.TakeEvent({ev::Sized, 0, 0});
    const auto& state = layer.last(Main);
    EXPECT_EQ(rectOf(state, "?GROUP1"), (Rect{5, 6, 411, 45}));
    EXPECT_EQ(rectOf(state, "?LOOKUPFILE"), (Rect{392, 25, 32, 12}));
    EXPECT_EQ(rectOf(state, "?TXAFILENAME:PROMPT"), (Rect{9, 26, NoValue, 8}));
    // Other events lay nothing out.
    w.setProperty(0, prop::Width, 640);
    resizer.TakeEvent({ev::Moved, 0, 0});
    EXPECT_EQ(rectOf(state, "?LOOKUPFILE"), (Rect{392, 25, 32, 12}));
}

TEST_F(WindowResizerTest, ItsValuesGoToTheStoreWhenKilledAndComeBackOnRestore) {
    MemoryStore store;
    layer.onOpen(Main).resize(500, 300).close();
    {
        ResizedWindow first(&store);
        first.Run();
    }
    EXPECT_EQ(store.values.at("Width"), "500");
    EXPECT_EQ(store.values.at("Height"), "300");
    EXPECT_EQ(store.updates, 2) << "killed once by Release";

    auto opened = window::windowLayer().open(Main, nullptr);
    ASSERT_TRUE(opened);
    WindowResizer second(&store);
    second.Init(*opened);
    applyMainStrategies(second, *opened);
    EXPECT_TRUE(second.RestoreValues());
    EXPECT_EQ(opened->propertyNumber(0, prop::Width), 500);
    EXPECT_EQ(rectOf(layer.last(Main), "?EXTENSIONQ"), (Rect{9, 62, 481, 209}));
    second.Kill();
    second.Kill();
    EXPECT_EQ(store.updates, 4);
}

TEST_F(WindowResizerTest, StoredValuesBelowTheMinimumOrNotNumbersAreNotTakenAsTheyAre) {
    struct Case {
        const char* width;
        const char* height;
        bool restored;
        int32_t widthAfter;
    };
    for (Case c : {Case{"100", "100", true, 420}, Case{"abc", "300", false, 420}, Case{"500x", "300", false, 420},
                   Case{"", "", false, 420}}) {
        SCOPED_TRACE(c.width);
        MemoryStore store;
        store.values["Width"] = c.width;
        store.values["Height"] = c.height;
        auto opened = window::windowLayer().open(Main, nullptr);
        ASSERT_TRUE(opened);
        WindowResizer resizer(&store);
        resizer.Init(*opened);
        EXPECT_EQ(resizer.RestoreValues(), c.restored);
        EXPECT_EQ(opened->propertyNumber(0, prop::Width), c.widthAfter);
        EXPECT_GE(opened->propertyNumber(0, prop::Height), 273);
    }
    MemoryStore empty;
    auto opened = window::windowLayer().open(Main, nullptr);
    WindowResizer resizer(&empty);
    resizer.Init(*opened);
    EXPECT_FALSE(resizer.RestoreValues());
}

}  // namespace
}  // namespace varnok::framework
