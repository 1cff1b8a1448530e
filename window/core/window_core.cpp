// The window core's life cycle, bound variables, focus and lists. Input
// is in window_core_input.cpp, properties in window_core_properties.cpp.
#include "window/core/window_core.h"

#include <algorithm>
#include <cstring>

#include "platform/trailing_spaces.h"
#include "runtime/pictures/picture.h"
#include "window/events.h"
#include "window/list_format.h"

namespace varnok::window {

int entryLength(const std::string& picture) {
    if (picture.empty()) return 255;
    const CompiledPicture compiled = compileEntryPicture(picture);
    return compiled.valid() ? std::max<int>(1, compiled.width) : 255;
}

WindowCore::WindowCore(WindowStructure structure) : structure_(std::move(structure)) {
    icon_ = structure_.icon;
    zones_.resize(structure_.statusZones.size());
    controls_.reserve(structure_.controls.size());
    for (const ControlStructure& spec : structure_.controls) {
        Control c;
        c.spec = spec;
        if (spec.kind == ControlKind::Entry) c.picture = spec.picture;
        if (spec.kind == ControlKind::Image) c.icon = spec.text;
        if (spec.kind == ControlKind::List) {
            c.list = std::make_unique<ListData>();
            c.list->cells.setColumns(parseListFormat(spec.format));
        }
        if (spec.kind == ControlKind::Button && spec.isDefault && !defaultButton_)
            defaultButton_ = static_cast<int32_t>(controls_.size() + 1);
        controls_.push_back(std::move(c));
    }
    placed_ = structure_.x != NoValue && structure_.y != NoValue;
}

void WindowCore::opened() {
    for (Control& c : controls_) {
        if (c.list) layOutColumns(c);
    }
    open_ = true;
    push({event::OpenWindow, 0, 0});
}

void WindowCore::lostNatively() {
    if (!open_) return;
    open_ = false;
    queue_.clear();
}

WindowCore::Control* WindowCore::find(int32_t control) {
    return control >= 1 && static_cast<size_t>(control) <= controls_.size() ? &controls_[static_cast<size_t>(control - 1)]
                                                                             : nullptr;
}

const WindowCore::Control* WindowCore::find(int32_t control) const {
    return const_cast<WindowCore*>(this)->find(control);
}

ListData* WindowCore::listData(int32_t control) {
    Control* c = find(control);
    return c ? c->list.get() : nullptr;
}

void WindowCore::push(Event event) {
    if (!open_) return;
    queue_.push(std::move(event));
    wakeUp();
}

bool WindowCore::nextEvent(Event& event) {
    showOnce();
    followAllLists();
    while (open_ && queue_.empty()) {
        if (!waitForInput()) break;
    }
    return open_ && queue_.take(event);
}

void WindowCore::defaultAction(const Event& event) {
    if (event.number == event::CloseWindow || event.number == event::CloseDown) close();
    followAllLists();
}

void WindowCore::post(uint16_t number, int32_t control) { push({number, control, 0}); }

void WindowCore::close() {
    if (!open_) return;
    open_ = false;
    queue_.clear();
    closeNative();
}

void WindowCore::showOnce() {
    if (!showPending_ || !open_ || !nativeAlive()) return;
    showPending_ = false;
    // Over the window it opens from, centred, unless the program placed it.
    if (below_ && below_->open_ && below_->nativeAlive() && !placed_) {
        const PixelRect owner = below_->nativeFrameRect();
        const PixelRect own = nativeFrameRect();
        moveNativeFrame(owner.x + owner.width / 2 - own.width / 2, owner.y + owner.height / 2 - own.height / 2);
    }
    showNative();
}

void WindowCore::bindText(int32_t control, TextVariable variable) {
    Control* c = find(control);
    if (!c || c->spec.kind != ControlKind::Entry) return;
    c->variable = variable;
    showVariable(*c);
}

void WindowCore::showVariable(Control& c) {
    if (c.spec.kind != ControlKind::Entry || !c.variable.data) return;
    std::string value(platform::withoutTrailingSpaces(std::string_view(c.variable.data, c.variable.size)));
    // What the user is typing stays until it is accepted, unless the
    // program has given the variable another value since it was shown (a
    // redisplay after a resize must not wipe a name being typed).
    const int32_t number = numberOf(c);
    if (nativeModified(number) && value == c.shown) return;
    {
        ProgramChange change(*this);
        setNativeText(number, value);
    }
    c.shown = std::move(value);
}

void WindowCore::writeVariable(Control& c) {
    if (c.spec.kind != ControlKind::Entry || !c.variable.data) return;
    const std::string text = nativeText(numberOf(c));
    size_t length = std::min(text.size(), c.variable.size);
    // Never cut a character of more than one byte in two.
    if (length < text.size()) {
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(c.variable.data, text.data(), length);
    std::memset(c.variable.data + length, ' ', c.variable.size - length);
    c.shown = std::string(platform::withoutTrailingSpaces(std::string_view(c.variable.data, c.variable.size)));
}

void WindowCore::display(int32_t control) {
    {
        ProgramChange change(*this);
        for (Control& c : controls_) {
            if (control != 0 && control != numberOf(c)) continue;
            showVariable(c);
            if (c.list) refreshList(c, false);
        }
    }
    repaintNative();
}

void WindowCore::update(int32_t control) {
    for (Control& c : controls_) {
        if (control == 0 || control == numberOf(c)) writeVariable(c);
    }
}

void WindowCore::select(int32_t control, int32_t row) {
    Control* c = find(control);
    if (!c) return;
    if (c->list) {
        // The rows the program just changed are there to be highlighted.
        {
            ProgramChange change(*this);
            refreshList(*c, true);
        }
        if (row > 0) setListRow(*c, row);
    }
    // A control that takes no focus passes it to the next one that does.
    for (int32_t n = control; static_cast<size_t>(n) <= controls_.size(); ++n) {
        if (nativeTakesFocus(n)) {
            setNativeFocus(n);
            return;
        }
    }
}

int32_t WindowCore::choice(int32_t control) const {
    const Control* c = find(control);
    return c && c->list ? nativeListRow(control) : 0;
}

void WindowCore::alert(int32_t control, uint32_t keyCode) {
    std::vector<uint32_t>* keys = control == 0 ? &windowAlerts_ : nullptr;
    if (Control* c = find(control)) keys = &c->alerts;
    if (keys && std::find(keys->begin(), keys->end(), keyCode) == keys->end()) keys->push_back(keyCode);
}

bool WindowCore::alerted(int32_t control, uint32_t keyCode) const {
    const std::vector<uint32_t>* keys = control == 0 ? &windowAlerts_ : nullptr;
    if (const Control* c = find(control)) keys = &c->alerts;
    return keys && std::find(keys->begin(), keys->end(), keyCode) != keys->end();
}

void WindowCore::acceptDrops(int32_t control) {
    if (control == 0) {
        windowDrops_ = true;
    } else if (Control* c = find(control)) {
        c->acceptsDrops = true;
    } else {
        return;
    }
    enableNativeDrops(control);
}

void WindowCore::acceptAll() {
    // Entries need no validation beyond their pictures' lengths, which
    // typing already keeps; the accept-all state ends at once.
    update();
    queue_.startAcceptingAll();
    post(event::Completed);
}

// Lists.

void WindowCore::bindList(int32_t control, ListSource* source) {
    Control* c = find(control);
    if (!c || !c->list) return;
    ProgramChange change(*this);
    ListData& list = *c->list;
    list.source = source;
    list.stamp = 0;
    list.rows = list.reread();
    setNativeRowCount(control);
    setListRow(*c, 0);
    fitColumns(*c);
}

void WindowCore::layOutColumns(Control& c) {
    const int32_t number = numberOf(c);
    {
        ProgramChange change(*this);
        c.list->columnPixels = columnPixels(c.list->cells.columns(), base_, nativeDefaultColumnWidth(number));
        applyNativeColumns(number);
    }
    fitColumns(c);
}

void WindowCore::fitColumns(Control& c) {
    const int32_t number = numberOf(c);
    ProgramChange change(*this);
    int total = 0;
    for (int width : c.list->columnPixels) total += width;
    setNativeHorizontalBar(number, total > nativeListWidths(number).list);
    // The bar's coming or going may change the room left to the rows.
    const ListWidths room = nativeListWidths(number);
    setNativeColumnWidths(number, window::fitColumns(c.list->columnPixels, room.list, room.view, room.mayShrink).widths);
}

void WindowCore::refreshList(Control& c, bool onlyWhenChanged) {
    ListData& list = *c.list;
    if (onlyWhenChanged && (!list.source || list.source->changeStamp() == list.stamp)) return;
    const int32_t number = numberOf(c);
    const int32_t row = nativeListRow(number);
    const int32_t rows = list.reread();
    if (rows == list.rows) {
        redrawNativeList(number);
        return;
    }
    list.rows = rows;
    setNativeRowCount(number);
    // The highlight moves to the nearest row left.
    setListRow(c, std::min(row, rows));
    fitColumns(c);
}

void WindowCore::followLists() {
    for (Control& c : controls_) {
        if (!c.list || !c.list->source) continue;
        ProgramChange change(*this);
        refreshList(c, true);
    }
}

void WindowCore::setListRow(Control& c, int32_t row) {
    ProgramChange change(*this);
    setNativeListRow(numberOf(c), row >= 1 && row <= c.list->rows ? row : 0);
}

}  // namespace varnok::window
