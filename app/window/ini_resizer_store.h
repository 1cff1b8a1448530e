// IniResizerStore: keeps a window resizer's values in the program's INI file
// through the IniManager, in the section of the window's procedure, each
// key with "Resize" in front ("Width" is stored as "ResizeWidth"), so they
// never meet the placement's own "Width" and "Height" in that section.
#pragma once
#include <string>

#include "framework/ini/ini_manager.h"
#include "framework/windows/resizer_store.h"

namespace varnok::app {

class IniResizerStore : public framework::ResizerStore {
public:
    IniResizerStore(framework::IniManager& ini, std::string section) : ini_(ini), section_(std::move(section)) {}

    bool Fetch(std::string_view key, std::string& value) override;
    void Update(std::string_view key, std::string_view value) override;

    static std::string entryName(std::string_view key) { return "Resize" + std::string(key); }

private:
    framework::IniManager& ini_;
    std::string section_;
};

}  // namespace varnok::app
