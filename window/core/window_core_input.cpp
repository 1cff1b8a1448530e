// Native input, reported by a toolkit adapter in neutral terms, becomes the
// window's events here:
//   a button clicked              -> EVENT:Accepted on the button
//   an entry left after a change, or Enter in it (or unchanged with Touched
//   set)                          -> the bound variable written, EVENT:Accepted
//   the list's highlighted row moved by the user -> EVENT:NewSelection
//   a mouse press below the rows  -> no row highlighted (no event)
//   alerted keys: left press on a list's row 1, right button 2, left
//   double click 5, Enter 13, Space 32, plus
//   0x100 Shift, 0x200 Ctrl, 0x400 Alt -> EVENT:AlertKey
//   Enter not alerted             -> the default button's EVENT:Accepted
//   Esc                           -> the cancel button's EVENT:Accepted
//   a control gets the focus      -> EVENT:Selected
//   files dropped where drops are accepted -> EVENT:Drop with their names
//   the close box                 -> EVENT:CloseWindow (the window stays open
//                                    until defaultAction or close())
//   resized, moved                -> EVENT:Sized, EVENT:Moved (once a change)
//   maximized, minimized, restored -> EVENT:Maximized, Iconized, Restored
//   activated, deactivated        -> EVENT:GainFocus, LoseFocus
#include "window/core/window_core.h"

#include "window/events.h"

namespace varnok::window {

void WindowCore::buttonClicked(int32_t control) {
    const Control* c = find(control);
    if (c && c->spec.kind == ControlKind::Button && !refusesInput()) push({event::Accepted, control, 0});
}

void WindowCore::regionClicked(int32_t control) {
    const Control* c = find(control);
    if (c && c->spec.kind == ControlKind::Region) push({event::Accepted, control, 0});
}

void WindowCore::entryDone(int32_t control) {
    Control* c = find(control);
    if (!c || c->spec.kind != ControlKind::Entry || !open_) return;
    if (!nativeModified(control) && !c->touched) return;
    writeVariable(*c);
    clearNativeModified(control);
    c->touched = false;
    push({event::Accepted, control, 0});
}

bool WindowCore::pressDefaultButton() {
    if (!find(defaultButton_) || nativeHidden(defaultButton_) || nativeDisabled(defaultButton_)) return false;
    push({event::Accepted, defaultButton_, 0});
    return true;
}

bool WindowCore::pressCancelButton() {
    for (const Control& c : controls_) {
        const int32_t number = numberOf(c);
        if (c.spec.kind == ControlKind::Button && c.spec.isCancel && !nativeHidden(number) && !nativeDisabled(number)) {
            push({event::Accepted, number, 0});
            return true;
        }
    }
    return false;
}

bool WindowCore::enterPressed(int32_t control, uint32_t modifiers) {
    const uint32_t code = key::Enter | modifiers;
    if (control && alerted(control, code)) {
        push({event::AlertKey, control, code});
        return true;
    }
    if (const Control* c = find(control); c && c->spec.kind == ControlKind::Entry) entryDone(control);
    if (alerted(0, code)) {
        push({event::AlertKey, 0, code});
        return true;
    }
    return pressDefaultButton();
}

bool WindowCore::escapePressed(uint32_t modifiers) { return modifiers == 0 && pressCancelButton(); }

bool WindowCore::spacePressed(int32_t control, uint32_t modifiers) {
    const uint32_t code = key::Space | modifiers;
    if (!alerted(control, code)) return false;
    push({event::AlertKey, control, code});
    return true;
}

bool WindowCore::listPressed(int32_t control, MouseButton button, int32_t column, int32_t row, uint32_t modifiers) {
    Control* c = find(control);
    if (!c || !c->list) return false;
    c->list->mouseDownColumn = column;
    c->list->mouseDownRow = row;
    // A press on no row leaves no row highlighted, nor a current row that
    // Enter or a command could still act on.
    if (row == 0 && button != MouseButton::Other) setListRow(*c, 0);
    if (button == MouseButton::Left && row > 0 && alerted(control, key::MouseLeft | modifiers)) {
        setNativeListRow(control, row);
        push({event::AlertKey, control, key::MouseLeft | modifiers});
        return false;
    }
    const uint32_t code = key::MouseRight | modifiers;
    if (button != MouseButton::Right || !alerted(control, code)) return false;
    // The row under the mouse becomes the highlighted one, as the user's
    // own choice.
    if (row > 0) setNativeListRow(control, row);
    setNativeFocus(control);
    push({event::AlertKey, control, code});
    return true;
}

bool WindowCore::rightPressed(int32_t control, uint32_t modifiers) {
    const uint32_t code = key::MouseRight | modifiers;
    if (!alerted(control, code)) return false;
    push({event::AlertKey, control, code});
    return true;
}

bool WindowCore::doubleClicked(int32_t control, uint32_t modifiers) {
    const uint32_t code = key::MouseLeft2 | modifiers;
    if (!alerted(control, code)) return false;
    push({event::AlertKey, control, code});
    return true;
}

void WindowCore::controlFocused(int32_t control) { push({event::Selected, control, 0}); }

void WindowCore::listRowMoved(int32_t control) {
    if (!programChange_ && !refusesInput()) push({event::NewSelection, control, 0});
}

void WindowCore::columnDragged(int32_t control, int column, int pixels) {
    Control* c = find(control);
    if (programChange_ || !c || !c->list) return;
    std::vector<ListColumn> columns = c->list->cells.columns();
    if (column < 0 || static_cast<size_t>(column) >= columns.size() ||
        static_cast<size_t>(column) >= c->list->columnPixels.size())
        return;
    columns[static_cast<size_t>(column)].width = pixelsToUnitsX(pixels, base_);
    c->list->setColumns(std::move(columns));
    c->list->columnPixels[static_cast<size_t>(column)] = pixels;
    fitColumns(*c);
    push({event::ColumnResize, control, 0});
}

void WindowCore::listResized(int32_t control) {
    if (Control* c = find(control); c && c->list) fitColumns(*c);
}

int32_t WindowCore::dropTarget(int32_t control) const {
    const Control* c = find(control);
    if (c && c->acceptsDrops) return control;
    return windowDrops_ ? 0 : -1;
}

void WindowCore::filesDropped(int32_t target, std::vector<std::string> files) {
    if (target >= 0 && !files.empty() && !refusesInput()) push({event::Drop, target, 0, std::move(files)});
}

void WindowCore::closeBoxPressed() {
    if (!refusesInput()) push({event::CloseWindow, 0, 0});
}

void WindowCore::frameSized(PixelSize size) {
    if (size == lastSize_) return;
    lastSize_ = size;
    push({event::Sized, 0, 0});
}

void WindowCore::frameMoved(int x, int y) {
    if (x == lastX_ && y == lastY_) return;
    lastX_ = x;
    lastY_ = y;
    push({event::Moved, 0, 0});
}

void WindowCore::frameStateChanged(FrameState state) {
    const FrameState was = lastState_;
    lastState_ = state;
    if (state == was) return;
    if (state == FrameState::Minimized) {
        push({event::Iconized, 0, 0});
    } else if (state == FrameState::Maximized) {
        push({event::Maximized, 0, 0});
    } else {
        push({event::Restored, 0, 0});
    }
}

void WindowCore::frameActivated(bool active) {
    if (active == active_) return;
    active_ = active;
    push({active ? event::GainFocus : event::LoseFocus, 0, 0});
}

}  // namespace varnok::window
