#include "framework/windows/window_resizer.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "window/events.h"

namespace varnok::framework {

namespace prop = window::prop;

namespace {
// A stored number, or false when the text is not one.
bool parseNumber(const std::string& text, int32_t& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last;
}
}  // namespace

WindowResizer::Rect WindowResizer::read(int32_t control) const {
    Rect r;
    r.x = window_->propertyNumber(control, prop::Xpos);
    r.y = window_->propertyNumber(control, prop::Ypos);
    r.width = window_->propertyNumber(control, prop::Width);
    r.height = window_->propertyNumber(control, prop::Height);
    return r;
}

void WindowResizer::Init(window::Window& window) {
    window_ = &window;
    original_ = read(0);
    const auto count = static_cast<int32_t>(window.structure().controls.size());
    controls_.clear();
    for (int32_t control = 1; control <= count; ++control) controls_.push_back(read(control));
    SetMinimumSize(window.structure().width, window.structure().height);
}

void WindowResizer::SetStrategy(int32_t control, unsigned strategy) {
    if (control > 0) strategies_[control] = strategy;
}

void WindowResizer::SetMinimumSize(int32_t width, int32_t height) {
    minWidth_ = std::max(width, 0);
    minHeight_ = std::max(height, 0);
    if (!window_) return;
    window_->setProperty(0, prop::MinWidth, minWidth_);
    window_->setProperty(0, prop::MinHeight, minHeight_);
}

uint8_t WindowResizer::TakeEvent(const window::Event& event) {
    if (event.number == window::event::Sized) Resize();
    return LevelQuiet;
}

void WindowResizer::Resize() {
    if (!window_ || original_.width == window::NoValue || original_.height == window::NoValue) return;
    int32_t width = window_->propertyNumber(0, prop::Width);
    int32_t height = window_->propertyNumber(0, prop::Height);
    if (width == window::NoValue || height == window::NoValue) return;
    if (width < minWidth_) {
        width = minWidth_;
        window_->setProperty(0, prop::Width, width);
    }
    if (height < minHeight_) {
        height = minHeight_;
        window_->setProperty(0, prop::Height, height);
    }
    const int32_t dw = width - original_.width;
    const int32_t dh = height - original_.height;
    for (size_t i = 0; i < controls_.size(); ++i) {
        const auto control = static_cast<int32_t>(i + 1);
        auto it = strategies_.find(control);
        const unsigned strategy = it == strategies_.end() ? defaultStrategy_ : it->second;
        if (strategy == Keep) continue;
        const Rect& from = controls_[i];
        // A value the layer did not know at Init (a natural size) is left
        // to the layer.
        auto apply = [&](bool wanted, int prop, int32_t value, int32_t change) {
            if (wanted && value != window::NoValue) window_->setProperty(control, prop, std::max(value + change, 0));
        };
        apply(strategy & MoveX, prop::Xpos, from.x, dw);
        apply((strategy & CentreX) && !(strategy & MoveX), prop::Xpos, from.x, dw / 2);
        apply(strategy & MoveY, prop::Ypos, from.y, dh);
        apply(strategy & GrowWidth, prop::Width, from.width, dw);
        apply(strategy & GrowHeight, prop::Height, from.height, dh);
    }
}

void WindowResizer::SaveValues() {
    if (!store_ || !window_) return;
    store_->Update("Width", std::to_string(window_->propertyNumber(0, prop::Width)));
    store_->Update("Height", std::to_string(window_->propertyNumber(0, prop::Height)));
}

bool WindowResizer::RestoreValues() {
    if (!store_ || !window_) return false;
    std::string widthText, heightText;
    int32_t width = 0, height = 0;
    if (!store_->Fetch("Width", widthText) || !store_->Fetch("Height", heightText)) return false;
    if (!parseNumber(widthText, width) || !parseNumber(heightText, height)) return false;
    window_->setProperty(0, prop::Width, std::max(width, minWidth_));
    window_->setProperty(0, prop::Height, std::max(height, minHeight_));
    Resize();
    return true;
}

void WindowResizer::Kill() {
    if (!window_) return;
    SaveValues();
    window_ = nullptr;
}

}  // namespace varnok::framework
