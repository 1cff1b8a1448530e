#include "tests/support/scripted_window_layer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstring>

#include "platform/trailing_spaces.h"
#include "window/events.h"
#include "window/properties.h"

namespace varnok::testing {

namespace ev = window::event;
namespace prop = window::prop;
using window::ControlKind;

// ---- ScriptedWindowState

int32_t ScriptedWindowState::control(std::string_view useName) const {
    return structure ? structure->controlNumber(useName) : 0;
}

std::string ScriptedWindowState::property(int32_t control, int p, int32_t index) const {
    auto it = properties.find({control, p, index});
    return it == properties.end() ? std::string() : it->second;
}

int32_t ScriptedWindowState::number(int32_t control, int p, int32_t index) const {
    const std::string text = property(control, p, index);
    int32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

int32_t ScriptedWindowState::number(std::string_view useName, int p, int32_t index) const {
    const int32_t c = control(useName);
    if (c == 0) ADD_FAILURE() << "no control " << useName << " in " << resourceName;
    return number(c, p, index);
}

size_t ScriptedWindowState::count(uint16_t event, int32_t control) const {
    return static_cast<size_t>(std::count_if(delivered.begin(), delivered.end(), [&](const window::Event& e) {
        return e.number == event && (control == 0 || e.control == control);
    }));
}

// ---- WindowScript

WindowScript& WindowScript::add(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

WindowScript& WindowScript::accept(std::string_view useName) { return event(ev::Accepted, useName); }

WindowScript& WindowScript::type(std::string_view useName, std::string_view text) {
    Step s;
    s.kind = Kind::Type;
    s.event = ev::Accepted;
    s.useName = useName;
    s.text = text;
    return add(std::move(s));
}

WindowScript& WindowScript::alert(std::string_view useName, uint32_t keyCode) {
    Step s;
    s.event = ev::AlertKey;
    s.useName = useName;
    s.keyCode = keyCode;
    return add(std::move(s));
}

WindowScript& WindowScript::drop(std::vector<std::string> files, std::string_view useName) {
    Step s;
    s.event = ev::Drop;
    s.useName = useName;
    s.files = std::move(files);
    return add(std::move(s));
}

WindowScript& WindowScript::newSelection(std::string_view useName, int32_t row) {
    Step s;
    s.kind = Kind::NewSelection;
    s.event = ev::NewSelection;
    s.useName = useName;
    s.a = row;
    return add(std::move(s));
}

WindowScript& WindowScript::selected(std::string_view useName) {
    Step s;
    s.kind = Kind::Selected;
    s.event = ev::Selected;
    s.useName = useName;
    return add(std::move(s));
}

WindowScript& WindowScript::reject(std::string_view useName) { return event(ev::Rejected, useName); }

WindowScript& WindowScript::event(uint16_t number, std::string_view useName) {
    Step s;
    s.event = number;
    s.useName = useName;
    return add(std::move(s));
}

WindowScript& WindowScript::resize(int32_t width, int32_t height) {
    Step s;
    s.kind = Kind::Resize;
    s.event = ev::Sized;
    s.a = width;
    s.b = height;
    return add(std::move(s));
}

WindowScript& WindowScript::close() { return event(ev::CloseWindow); }

WindowScript& WindowScript::closeDown() { return event(ev::CloseDown); }

WindowScript& WindowScript::set(std::string_view useName, int p, std::string_view value, int32_t index) {
    Step s;
    s.kind = Kind::Set;
    s.useName = useName;
    s.a = p;
    s.b = index;
    s.text = value;
    return add(std::move(s));
}

WindowScript& WindowScript::call(std::function<void(window::Window&)> code) {
    Step s;
    s.kind = Kind::Call;
    s.code = std::move(code);
    return add(std::move(s));
}

WindowScript& WindowScript::fileDialog(std::string_view chosenName) {
    Step s;
    s.kind = Kind::FileDialog;
    s.text = chosenName;
    return add(std::move(s));
}

WindowScript& WindowScript::cancelFileDialog() {
    Step s;
    s.kind = Kind::FileDialog;
    s.answered = false;
    return add(std::move(s));
}

WindowScript& WindowScript::popup(int32_t item) {
    Step s;
    s.kind = Kind::Popup;
    s.a = item;
    return add(std::move(s));
}

// ---- ScriptedWindow

namespace {

// No scripted window needs this many events; a handler that posts an event
// for every event it gets would otherwise loop for ever.
constexpr size_t MaxEvents = 100000;

bool isFlag(int p) {
    return p == prop::Maximize || p == prop::Iconize || p == prop::Hide || p == prop::Disable ||
           p == prop::Default || p == prop::Touched;
}

// A rough natural size for controls the structure gives none: four dialog
// units per character of the caption.
int32_t naturalWidth(const window::ControlStructure& c) {
    const auto chars = static_cast<int32_t>(c.text.size());
    switch (c.kind) {
        case ControlKind::Prompt: return 4 * chars;
        case ControlKind::Button: return 4 * chars + 8;
        case ControlKind::Entry: return 40;
        default: return 10;
    }
}

int32_t naturalHeight(const window::ControlStructure& c) {
    switch (c.kind) {
        case ControlKind::Prompt: return 8;
        case ControlKind::Button: return 14;
        case ControlKind::Entry: return 10;
        default: return 10;
    }
}

std::string trimmed(const char* data, size_t size) {
    return std::string(platform::withoutTrailingSpaces(std::string_view(data, size)));
}

void writePadded(const window::TextVariable& v, std::string_view text) {
    if (!v.data) return;
    const size_t n = std::min(text.size(), v.size);
    std::memcpy(v.data, text.data(), n);
    std::memset(v.data + n, ' ', v.size - n);
}

}  // namespace

class ScriptedWindow : public window::Window {
public:
    ScriptedWindow(ScriptedWindowLayer& layer, std::shared_ptr<ScriptedWindowState> state,
                   std::unique_ptr<WindowScript> script)
        : layer_(&layer), state_(std::move(state)), script_(std::move(script)) {
        layer_->stack_.push_back(this);
        noteSteps();
    }
    ~ScriptedWindow() override {
        state_->open = false;
        state_->stepsLeft = script_->steps_.size();
        forget();
    }
    // The layer is going first; the window keeps its state only.
    void detach() { layer_ = nullptr; }

    const window::WindowStructure& structure() const override { return *state_->structure; }

    bool nextEvent(window::Event& event) override;
    void defaultAction(const window::Event& event) override {
        if (event.number == ev::CloseWindow || event.number == ev::CloseDown) close();
    }
    void post(uint16_t event, int32_t control) override {
        if (!state_->open) return;
        posted_.push_back({event, control, 0});
        state_->posted.push_back({event, control, 0});
    }
    void close() override {
        if (!state_->open) return;
        state_->open = false;
        state_->stepsLeft = script_->steps_.size();
        forget();
    }
    bool isOpen() const override { return state_->open; }

    std::string property(int32_t control, int p, int32_t index) const override {
        return state_->property(control, p, index);
    }
    void setProperty(int32_t control, int p, std::string_view value, int32_t index) override {
        std::string text(value);
        if (isFlag(p)) text = window::flagPropertyText(window::propertyTextIsSet(text));
        if (p == prop::StatusProgress) state_->statusProgress.push_back(text);
        state_->properties[{control, p, index}] = std::move(text);
    }
    using window::Window::setProperty;

    void bindText(int32_t control, window::TextVariable variable) override { texts_[control] = variable; }
    void bindList(int32_t control, window::ListSource* source) override { lists_[control] = source; }

    void display(int32_t control) override {
        ++state_->displays;
        for (const auto& [c, v] : texts_) {
            if (control == 0 || c == control) state_->properties[{c, prop::Text, 0}] = trimmed(v.data, v.size);
        }
    }
    void paintPending() override { ++state_->paints; }
    void update(int32_t control) override {
        for (const auto& [c, v] : texts_) {
            if (control == 0 || c == control) writePadded(v, state_->property(c, prop::Text));
        }
    }
    void select(int32_t control, int32_t row) override {
        state_->focus = control;
        if (row > 0) setProperty(control, prop::Selected, row);
    }
    int32_t focus() const override { return state_->focus; }
    int32_t choice(int32_t control) const override { return state_->number(control, prop::Selected); }
    void alert(int32_t control, uint32_t keyCode) override { state_->alerts[control].push_back(keyCode); }
    void acceptDrops(int32_t control) override { state_->dropTargets.push_back(control); }

    void acceptAll() override {
        acceptingAll_ = true;
        update(0);
        const auto& controls = structure().controls;
        for (size_t i = 0; i < controls.size(); ++i) {
            const auto c = static_cast<int32_t>(i + 1);
            if (controls[i].kind != ControlKind::Entry) continue;
            if (window::Window::propertyFlag(c, prop::Hide) || window::Window::propertyFlag(c, prop::Disable)) {
                continue;
            }
            post(ev::Accepted, c);
        }
        post(ev::Completed, 0);
    }
    bool acceptingAll() const override { return acceptingAll_; }
    void beep() override { ++state_->beeps; }

    WindowScript& script() { return *script_; }
    void noteSteps() { state_->stepsLeft = script_->steps_.size(); }

private:
    void forget() {
        if (!layer_) return;
        auto& stack = layer_->stack_;
        stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
    }
    int32_t resolve(const WindowScript::Step& step) {
        if (step.useName.empty()) return 0;
        const int32_t c = state_->control(step.useName);
        if (c == 0) ADD_FAILURE() << "script names no control of " << state_->resourceName << ": " << step.useName;
        return c;
    }
    bool deliver(window::Event event, window::Event& out) {
        noteSteps();
        if (event.number == ev::Completed) acceptingAll_ = false;
        state_->delivered.push_back(event);
        out = event;
        return true;
    }

    ScriptedWindowLayer* layer_;
    std::shared_ptr<ScriptedWindowState> state_;
    std::unique_ptr<WindowScript> script_;
    std::deque<window::Event> posted_;
    std::map<int32_t, window::TextVariable> texts_;
    std::map<int32_t, window::ListSource*> lists_;
    bool openDelivered_ = false;
    bool dryDelivered_ = false;
    bool acceptingAll_ = false;
};

bool ScriptedWindow::nextEvent(window::Event& out) {
    using Kind = WindowScript::Kind;
    if (!state_->open) return false;
    if (state_->delivered.size() >= MaxEvents) {
        ADD_FAILURE() << state_->resourceName << " took " << MaxEvents << " events; a handler keeps posting? closing it";
        close();
        return false;
    }
    if (!openDelivered_) {
        openDelivered_ = true;
        return deliver({ev::OpenWindow, 0, 0}, out);
    }
    for (;;) {
        if (!state_->open) return false;
        if (!posted_.empty()) {
            const window::Event e = posted_.front();
            posted_.pop_front();
            return deliver(e, out);
        }
        auto& steps = script_->steps_;
        if (steps.empty()) break;
        WindowScript::Step step = std::move(steps.front());
        steps.pop_front();
        const int32_t control = resolve(step);
        switch (step.kind) {
            case Kind::Call:
                step.code(*this);
                continue;
            case Kind::Set:
                setProperty(control, step.a, step.text, step.b);
                continue;
            case Kind::FileDialog:
            case Kind::Popup:
                ADD_FAILURE() << "a scripted " << (step.kind == Kind::Popup ? "popup" : "file dialog")
                              << " answer was never asked for in " << state_->resourceName;
                continue;
            case Kind::Type:
                setProperty(control, prop::Text, step.text, 0);
                update(control);
                break;
            case Kind::NewSelection:
                setProperty(control, prop::Selected, step.a, 0);
                break;
            case Kind::Selected:
                state_->focus = control;
                break;
            case Kind::Resize: {
                const int32_t minWidth = state_->number(0, prop::MinWidth);
                const int32_t minHeight = state_->number(0, prop::MinHeight);
                setProperty(0, prop::Width, std::max(step.a, minWidth), 0);
                setProperty(0, prop::Height, std::max(step.b, minHeight), 0);
                break;
            }
            case Kind::Event:
                if (step.event == ev::Drop) {
                    const std::vector<int32_t>& targets = state_->dropTargets;
                    if (std::find(targets.begin(), targets.end(), control) == targets.end()) {
                        ADD_FAILURE() << "files dropped on control " << control << " of " << state_->resourceName
                                      << ", which accepts no drops; the drop is refused";
                        continue;
                    }
                }
                break;
        }
        return deliver({step.event, control, step.keyCode, std::move(step.files)}, out);
    }
    if (!dryDelivered_) {
        dryDelivered_ = true;
        state_->ranDry = true;
        return deliver({ev::CloseWindow, 0, 0}, out);
    }
    ADD_FAILURE() << state_->resourceName << " stays open after its script ran dry; closing it";
    close();
    return false;
}

// ---- ScriptedWindowLayer

ScriptedWindowLayer::ScriptedWindowLayer() : previous_(window::setWindowLayer(this)) {}

ScriptedWindowLayer::~ScriptedWindowLayer() {
    for (ScriptedWindow* w : stack_) w->detach();
    window::setWindowLayer(previous_);
}

WindowScript& ScriptedWindowLayer::onOpen(std::string_view resourceName) {
    auto& queue = scripts_[std::string(resourceName)];
    queue.push_back(std::make_unique<WindowScript>());
    return *queue.back();
}

void ScriptedWindowLayer::refuseOpen(std::string_view resourceName) { ++refusals_[std::string(resourceName)]; }

void ScriptedWindowLayer::answerFileDialog(std::string_view chosenName) { answers_.fileDialog(chosenName); }

void ScriptedWindowLayer::cancelFileDialog() { answers_.cancelFileDialog(); }

void ScriptedWindowLayer::answerPopup(int32_t item) { answers_.popup(item); }

ScriptedWindowState& ScriptedWindowLayer::last(std::string_view resourceName) {
    for (auto it = opened_.rbegin(); it != opened_.rend(); ++it) {
        if ((*it)->resourceName == resourceName) return **it;
    }
    ADD_FAILURE() << "no window " << resourceName << " was opened";
    empty_ = ScriptedWindowState();
    return empty_;
}

std::unique_ptr<window::Window> ScriptedWindowLayer::open(std::string_view resourceName, window::Window* owner) {
    if (auto it = refusals_.find(resourceName); it != refusals_.end() && it->second > 0) {
        --it->second;
        return nullptr;
    }
    const window::WindowStructure* structure = window::findWindowStructure(resourceName);
    if (!structure) return nullptr;

    auto state = std::make_shared<ScriptedWindowState>();
    state->resourceName = resourceName;
    state->structure = structure;
    if (owner) state->ownerResourceName = owner->structure().resourceName;
    auto& props = state->properties;
    props[{0, prop::Xpos, 0}] = std::to_string(structure->x);
    props[{0, prop::Ypos, 0}] = std::to_string(structure->y);
    props[{0, prop::Width, 0}] = std::to_string(structure->width);
    props[{0, prop::Height, 0}] = std::to_string(structure->height);
    props[{0, prop::Text, 0}] = structure->title;
    props[{0, prop::Icon, 0}] = structure->icon;
    props[{0, prop::Resize, 0}] = window::flagPropertyText(structure->resizable);
    for (size_t i = 0; i < structure->controls.size(); ++i) {
        const window::ControlStructure& c = structure->controls[i];
        const auto n = static_cast<int32_t>(i + 1);
        props[{n, prop::Type, 0}] = std::to_string(static_cast<int32_t>(c.kind));
        props[{n, prop::Xpos, 0}] = std::to_string(c.x);
        props[{n, prop::Ypos, 0}] = std::to_string(c.y);
        props[{n, prop::Width, 0}] = std::to_string(c.width == window::NoValue ? naturalWidth(c) : c.width);
        props[{n, prop::Height, 0}] = std::to_string(c.height == window::NoValue ? naturalHeight(c) : c.height);
        props[{n, prop::Text, 0}] = c.kind == ControlKind::Entry ? std::string() : c.text;
        props[{n, prop::Hide, 0}] = window::flagPropertyText(c.hidden);
        props[{n, prop::Disable, 0}] = window::flagPropertyText(c.disabled);
        props[{n, prop::Default, 0}] = window::flagPropertyText(c.isDefault);
        if (!c.picture.empty()) props[{n, prop::Picture, 0}] = c.picture;
        if (c.kind == ControlKind::List) props[{n, prop::Format, 0}] = c.format;
    }
    opened_.push_back(state);

    std::unique_ptr<WindowScript> script;
    if (auto it = scripts_.find(resourceName); it != scripts_.end() && !it->second.empty()) {
        script = std::move(it->second.front());
        it->second.pop_front();
    } else {
        script = std::make_unique<WindowScript>();
    }
    return std::make_unique<ScriptedWindow>(*this, std::move(state), std::move(script));
}

std::optional<WindowScript::Step> ScriptedWindowLayer::takeAnswer(WindowScript::Kind kind) {
    for (std::deque<WindowScript::Step>* steps : {stack_.empty() ? nullptr : &stack_.back()->script().steps_,
                                                  &answers_.steps_}) {
        if (!steps || steps->empty() || steps->front().kind != kind) continue;
        WindowScript::Step answer = std::move(steps->front());
        steps->pop_front();
        if (steps != &answers_.steps_) stack_.back()->noteSteps();
        return answer;
    }
    return std::nullopt;
}

bool ScriptedWindowLayer::fileDialog(window::FileDialogRequest& request) {
    fileDialogs_.push_back(request);
    const std::optional<WindowScript::Step> answer = takeAnswer(WindowScript::Kind::FileDialog);
    if (!answer) {
        ADD_FAILURE() << "file dialog \"" << request.title << "\" was not scripted; cancelled";
        return false;
    }
    if (!answer->answered) return false;
    request.name = answer->text;
    return true;
}

int32_t ScriptedWindowLayer::popup(std::string_view items) {
    popups_.emplace_back(items);
    if (const std::optional<WindowScript::Step> answer = takeAnswer(WindowScript::Kind::Popup)) return answer->a;
    ADD_FAILURE() << "popup \"" << items << "\" was not scripted; nothing chosen";
    return 0;
}

void ScriptedWindowLayer::setCursor(window::Cursor cursor) { cursors_.push_back(cursor); }

void ScriptedWindowLayer::verifyDone() {
    for (const auto& [name, queue] : scripts_) {
        if (!queue.empty()) ADD_FAILURE() << queue.size() << " script(s) for " << name << " never used";
    }
    for (const auto& state : opened_) {
        if (state->stepsLeft != 0) {
            ADD_FAILURE() << state->resourceName << " has " << state->stepsLeft << " script step(s) never reached";
        }
    }
    if (answers_.size() != 0) ADD_FAILURE() << answers_.size() << " dialog answer(s) never asked for";
}

}  // namespace varnok::testing
