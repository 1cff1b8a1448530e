#include "window/window_layer.h"

#include <charconv>

namespace varnok::window {

int32_t propertyTextNumber(std::string_view text) {
    int32_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    while (first < last && *first == ' ') ++first;
    if (first < last && *first == '+') ++first;
    std::from_chars(first, last, value);
    return value;
}

int32_t Window::propertyNumber(int32_t control, int prop, int32_t index) const {
    return propertyTextNumber(property(control, prop, index));
}

bool Window::propertyFlag(int32_t control, int prop, int32_t index) const {
    return propertyTextIsSet(property(control, prop, index));
}

void Window::setProperty(int32_t control, int prop, int32_t value, int32_t index) {
    setProperty(control, prop, std::string_view(std::to_string(value)), index);
}

namespace {
// Without a display: no window opens, dialogs and popups are cancelled.
class HeadlessLayer : public WindowLayer {
public:
    std::unique_ptr<Window> open(std::string_view, Window*) override { return nullptr; }
    bool fileDialog(FileDialogRequest&) override { return false; }
    int32_t popup(std::string_view) override { return 0; }
    void setCursor(Cursor) override {}
};

HeadlessLayer headless;
WindowLayer* current = nullptr;
}  // namespace

WindowLayer& windowLayer() { return current ? *current : headless; }

WindowLayer* setWindowLayer(WindowLayer* layer) {
    WindowLayer* previous = current;
    current = layer;
    return previous;
}

}  // namespace varnok::window
