// Properties of a window and its controls, read and written by number
// (window/properties.h). Places and sizes travel in dialog units of the
// window's font: a window's place is its frame's top-left corner, its size
// the client area without the status bar. Moved, a control keeps its pixel
// size; resized, its pixel place.
#include <algorithm>

#include "window/core/window_core.h"
#include "window/list_column_properties.h"

namespace varnok::window {

namespace {
std::string numberText(int32_t value) { return std::to_string(value); }
}  // namespace

std::string WindowCore::property(int32_t control, int prop, int32_t index) const {
    if (!nativeAlive()) return std::string();
    if (control == 0) return windowProperty(prop, index);
    const Control* c = find(control);
    if (!c) return std::string();
    if (c->list) {
        std::string value = listProperty(*c, prop, index);
        if (!value.empty() || prop >= prop::Format) return value;
    }
    return controlProperty(*c, prop);
}

std::string WindowCore::controlProperty(const Control& c, int prop) const {
    const int32_t number = numberOf(c);
    const PixelRect r = nativeRect(number);
    switch (prop) {
    case prop::Xpos: return numberText(pixelsToUnitsX(r.x, base_));
    case prop::Ypos: return numberText(pixelsToUnitsY(r.y, base_));
    case prop::Width: return numberText(pixelsToUnitsX(r.width, base_));
    case prop::Height: return numberText(pixelsToUnitsY(r.height, base_));
    case prop::Type: return numberText(static_cast<int32_t>(c.spec.kind));
    case prop::Text:
        switch (c.spec.kind) {
        case ControlKind::Prompt:
        case ControlKind::Entry:
        case ControlKind::Button:
        case ControlKind::Group: return nativeText(number);
        default: return std::string();
        }
    case prop::Hide: return flagPropertyText(nativeHidden(number));
    case prop::Disable: return flagPropertyText(nativeDisabled(number));
    case prop::Icon: return c.icon;
    case prop::Default: return flagPropertyText(c.spec.kind == ControlKind::Button && defaultButton_ == number);
    case prop::Touched: return flagPropertyText(c.touched);
    case prop::Picture: return c.picture;
    default: return std::string();
    }
}

std::string WindowCore::windowProperty(int prop, int32_t index) const {
    const bool zone = index >= 1 && static_cast<size_t>(index) <= zones_.size();
    switch (prop) {
    case prop::Xpos: return numberText(pixelsToUnitsX(nativeFrameRect().x, base_));
    case prop::Ypos: return numberText(pixelsToUnitsY(nativeFrameRect().y, base_));
    case prop::Width: return numberText(pixelsToUnitsX(nativeClientSize().width, base_));
    case prop::Height: return numberText(pixelsToUnitsY(nativeClientSize().height, base_));
    case prop::Maximize: return flagPropertyText(nativeFrameState() == FrameState::Maximized);
    case prop::Iconize: return flagPropertyText(nativeFrameState() == FrameState::Minimized);
    case prop::Resize: return flagPropertyText(structure_.resizable);
    case prop::Text: return nativeText(0);
    case prop::Hide: return flagPropertyText(!showPending_ && nativeHidden(0));
    case prop::Disable: return flagPropertyText(nativeDisabled(0));
    case prop::Icon: return icon_;
    case prop::MinWidth: return numberText(minWidth_);
    case prop::MinHeight: return numberText(minHeight_);
    case prop::StatusText: return zone ? zones_[static_cast<size_t>(index - 1)].text : std::string();
    case prop::StatusProgress: {
        const int32_t percent = zone ? zones_[static_cast<size_t>(index - 1)].percent : -1;
        return percent >= 0 ? numberText(percent) : std::string();
    }
    default: return std::string();
    }
}

std::string WindowCore::listProperty(const Control& c, int prop, int32_t index) const {
    const ListData& list = *c.list;
    if (std::optional<std::string> text = columnProperty(list.cells.columns(), prop, index)) return *text;
    const int32_t number = numberOf(c);
    switch (prop) {
    case prop::Items: return numberText(nativeListItems(number));
    case prop::LineHeight: return numberText(pixelsToUnitsY(nativeLineHeight(number), base_));
    case prop::IconList: return list.iconName(index);
    case prop::Selected: return numberText(nativeListRow(number));
    case prop::MouseDownColumn: return numberText(list.mouseDownColumn);
    case prop::MouseDownRow: return numberText(list.mouseDownRow);
    default: return std::string();
    }
}

void WindowCore::setProperty(int32_t control, int prop, std::string_view value, int32_t index) {
    if (!nativeAlive()) return;
    if (control == 0) {
        setWindowProperty(prop, value, index);
        return;
    }
    Control* c = find(control);
    if (!c) return;
    if (c->list && setListProperty(*c, prop, value, index)) return;
    setControlProperty(*c, prop, value);
}

void WindowCore::setControlProperty(Control& c, int prop, std::string_view value) {
    const int32_t number = numberOf(c);
    switch (prop) {
    case prop::Xpos:
    case prop::Ypos:
    case prop::Width:
    case prop::Height: setControlPlace(c, prop, propertyTextNumber(value)); break;
    case prop::Text: setControlText(c, value); break;
    case prop::Hide: setNativeHidden(number, propertyTextIsSet(value)); break;
    case prop::Disable: setNativeDisabled(number, propertyTextIsSet(value)); break;
    case prop::Icon:
        c.icon = std::string(value);
        if (c.spec.kind == ControlKind::Image) setNativeIcon(number, c.icon);
        break;
    case prop::Default:
        if (c.spec.kind == ControlKind::Button) setDefaultButton(c, propertyTextIsSet(value));
        break;
    case prop::Touched: c.touched = propertyTextIsSet(value); break;
    case prop::Picture:
        c.picture = std::string(value);
        if (c.spec.kind == ControlKind::Entry) setNativeEntryLength(number, entryLength(c.picture));
        break;
    default: break;
    }
}

void WindowCore::setControlPlace(Control& c, int prop, int32_t number) {
    const int32_t control = numberOf(c);
    PixelRect r = nativeRect(control);
    switch (prop) {
    case prop::Xpos: r.x = unitsToPixelsX(number, base_); break;
    case prop::Ypos: r.y = unitsToPixelsY(number, base_); break;
    case prop::Width: r.width = std::max(0, unitsToPixelsX(number, base_)); break;
    default: r.height = std::max(0, unitsToPixelsY(number, base_)); break;
    }
    setNativeRect(control, r);
}

void WindowCore::setControlText(Control& c, std::string_view value) {
    const int32_t number = numberOf(c);
    switch (c.spec.kind) {
    case ControlKind::Prompt: {
        setNativeText(number, value);
        // A prompt of natural width keeps fitting its text.
        if (c.spec.width != NoValue) break;
        PixelRect r = nativeRect(number);
        r.width = nativeNaturalWidth(number);
        setNativeRect(number, r);
        break;
    }
    case ControlKind::Entry: {
        ProgramChange change(*this);
        setNativeText(number, value);
        break;
    }
    case ControlKind::Button:
    case ControlKind::Group: setNativeText(number, value); break;
    default: break;
    }
}

void WindowCore::setDefaultButton(Control& c, bool set) {
    const int32_t number = numberOf(c);
    // One default button per window.
    if (set && defaultButton_ && defaultButton_ != number) setNativeDefault(defaultButton_, false);
    if (set) {
        defaultButton_ = number;
    } else if (defaultButton_ == number) {
        defaultButton_ = 0;
    }
    setNativeDefault(number, set);
}

void WindowCore::setWindowProperty(int prop, std::string_view value, int32_t index) {
    const bool set = propertyTextIsSet(value);
    switch (prop) {
    case prop::Xpos:
    case prop::Ypos:
    case prop::Width:
    case prop::Height: setWindowPlace(prop, propertyTextNumber(value)); break;
    case prop::Maximize: setNativeFrameState(FrameState::Maximized, set); break;
    case prop::Iconize: setNativeFrameState(FrameState::Minimized, set); break;
    case prop::Text: setNativeText(0, value); break;
    case prop::Hide:
    case prop::Disable: setFrameFlag(prop, set); break;
    case prop::Icon:
        icon_ = std::string(value);
        setNativeIcon(0, icon_);
        break;
    case prop::MinWidth:
    case prop::MinHeight:
        (prop == prop::MinWidth ? minWidth_ : minHeight_) = std::max(0, propertyTextNumber(value));
        setNativeMinimumSize(unitsToPixelsX(minWidth_, base_), unitsToPixelsY(minHeight_, base_));
        break;
    case prop::StatusText:
    case prop::StatusProgress: setZone(prop, value, index); break;
    default: break;
    }
}

void WindowCore::setWindowPlace(int prop, int32_t number) {
    if (number == NoValue) return;
    if (prop == prop::Xpos || prop == prop::Ypos) {
        const PixelRect frame = nativeFrameRect();
        if (prop == prop::Xpos) moveNativeFrame(unitsToPixelsX(number, base_), frame.y);
        else moveNativeFrame(frame.x, unitsToPixelsY(number, base_));
        placed_ = true;
        return;
    }
    const PixelSize client = nativeClientSize();
    if (prop == prop::Width) resizeNativeClient(unitsToPixelsX(number, base_), client.height);
    else resizeNativeClient(client.width, unitsToPixelsY(number, base_));
}

void WindowCore::setFrameFlag(int prop, bool set) {
    if (prop == prop::Disable) {
        setNativeDisabled(0, set);
    } else if (showPending_ && set) {
        showPending_ = false;  // the program keeps it hidden
    } else if (showPending_) {
        showOnce();
    } else {
        setNativeHidden(0, set);
    }
}

void WindowCore::setZone(int prop, std::string_view value, int32_t index) {
    if (index < 1 || static_cast<size_t>(index) > zones_.size()) return;
    Zone& zone = zones_[static_cast<size_t>(index - 1)];
    if (prop == prop::StatusText) {
        zone.text = std::string(value);
    } else {
        // "" or a negative number takes the bar away; past 100 shows 100.
        const int32_t number = propertyTextNumber(value);
        zone.percent = !value.empty() && number >= 0 ? std::min(number, 100) : -1;
    }
    showNativeZone(index, zone.text, zone.percent);
}

bool WindowCore::setListProperty(Control& c, int prop, std::string_view value, int32_t index) {
    ListData& list = *c.list;
    const int32_t number = numberOf(c);
    std::vector<ListColumn> columns = list.cells.columns();
    switch (setColumnProperty(columns, prop, value, index)) {
    case ColumnWrite::Written:
        list.setColumns(std::move(columns));
        layOutColumns(c);
        return true;
    case ColumnWrite::Ignored: return true;
    case ColumnWrite::NotAColumnProperty: break;
    }
    switch (prop) {
    case prop::Items: setNativeListItems(number, propertyTextNumber(value)); return true;
    case prop::LineHeight:
        setNativeLineHeight(number, std::max(1, unitsToPixelsY(propertyTextNumber(value), base_)));
        return true;
    case prop::IconList:
        if (list.setIconName(index, std::string(value))) applyNativeIcons(number);
        return true;
    case prop::Selected: setListRow(c, propertyTextNumber(value)); return true;
    case prop::MouseDownColumn:
    case prop::MouseDownRow: return true;  // read only
    default: return false;
    }
}

}  // namespace varnok::window
