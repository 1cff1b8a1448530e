#include "app/window/ini_resizer_store.h"

namespace varnok::app {

bool IniResizerStore::Fetch(std::string_view key, std::string& value) {
    value = ini_.ReadEntry(section_, entryName(key));
    return !value.empty();
}

void IniResizerStore::Update(std::string_view key, std::string_view value) {
    ini_.WriteEntry(section_, entryName(key), value);
}

}  // namespace varnok::app
