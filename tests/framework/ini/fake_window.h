// FakeWindow: a window whose properties live in a map, for the INI
// manager's placement tests. Every setProperty is recorded in order, so a
// test can check what a restore did and in which order. Flags (Maximize,
// Iconize) read "1" or "" as the window layer's do. Nothing else of the
// window does anything.
#pragma once
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "window/window_layer.h"

namespace varnok::testing {

class FakeWindow : public window::Window {
public:
    struct Write {
        int prop;
        std::string value;
        bool operator==(const Write&) const = default;
    };

    // A window at (x, y) of size (w, h); resizable gives Resize a value.
    FakeWindow(int32_t x, int32_t y, int32_t w, int32_t h, bool resizable) {
        set(window::prop::Xpos, std::to_string(x));
        set(window::prop::Ypos, std::to_string(y));
        set(window::prop::Width, std::to_string(w));
        set(window::prop::Height, std::to_string(h));
        set(window::prop::Resize, resizable ? "1" : "");
    }

    // Sets a property without recording it (the window's own state).
    void set(int prop, std::string value) { props_[{0, prop, 0}] = std::move(value); }

    const std::vector<Write>& writes() const { return writes_; }
    void clearWrites() { writes_.clear(); }

    const window::WindowStructure& structure() const override { return structure_; }
    bool nextEvent(window::Event&) override { return false; }
    void defaultAction(const window::Event&) override {}
    void post(uint16_t, int32_t) override {}
    void close() override {}
    bool isOpen() const override { return true; }

    std::string property(int32_t control, int prop, int32_t index) const override {
        auto it = props_.find({control, prop, index});
        return it == props_.end() ? std::string() : it->second;
    }
    using window::Window::setProperty;
    void setProperty(int32_t control, int prop, std::string_view value, int32_t index) override {
        std::string stored(value);
        if (prop == window::prop::Maximize || prop == window::prop::Iconize)
            stored = value.empty() || value == "0" ? "" : "1";
        if (control == 0) writes_.push_back({prop, std::string(value)});
        props_[{control, prop, index}] = stored;
    }

    void bindText(int32_t, window::TextVariable) override {}
    void bindList(int32_t, window::ListSource*) override {}
    void display(int32_t) override {}
    void update(int32_t) override {}
    void paintPending() override {}
    void select(int32_t, int32_t) override {}
    int32_t focus() const override { return 0; }
    int32_t choice(int32_t) const override { return 0; }
    void alert(int32_t, uint32_t) override {}
    void acceptDrops(int32_t) override {}
    void acceptAll() override {}
    bool acceptingAll() const override { return false; }
    void beep() override {}

private:
    window::WindowStructure structure_;
    std::map<std::tuple<int32_t, int, int32_t>, std::string> props_;
    std::vector<Write> writes_;
};

}  // namespace varnok::testing
