#include "window/window_structure.h"

#include <map>
#include <mutex>

namespace varnok::window {

ControlStructure makeControl(ControlKind kind, std::string_view useName, std::string_view text, int32_t x,
                             int32_t y, int32_t width, int32_t height) {
    ControlStructure c;
    c.kind = kind;
    c.useName = useName;
    c.text = text;
    c.x = x;
    c.y = y;
    c.width = width;
    c.height = height;
    return c;
}

int32_t WindowStructure::controlNumber(std::string_view useName) const {
    for (size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].useName == useName) return static_cast<int32_t>(i + 1);
    }
    return 0;
}

namespace {
struct Registry {
    std::mutex lock;
    std::map<std::string, WindowStructure, std::less<>> structures;
};
Registry& registry() {
    static Registry r;
    return r;
}
}  // namespace

void registerWindowStructure(WindowStructure structure) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    std::string name = structure.resourceName;
    r.structures.insert_or_assign(std::move(name), std::move(structure));
}

const WindowStructure* findWindowStructure(std::string_view resourceName) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    auto it = r.structures.find(resourceName);
    // Entries are never removed, only replaced in place, so the address
    // stays valid for the program's run.
    return it == r.structures.end() ? nullptr : &it->second;
}

}  // namespace varnok::window
