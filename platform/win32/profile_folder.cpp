#include <windows.h>
#include <shlobj.h>

#include "platform/environment.h"
#include "platform/profile.h"
#include "platform/win32/wide_text.h"

namespace varnok::platform {

std::string profileFolder() {
    std::string base;
    if (std::optional<std::string> appData = environmentVariable("APPDATA"); appData && !appData->empty()) {
        base = *appData;
    } else {
        wchar_t folder[MAX_PATH];
        if (::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK)
            base = win32::pathFromWide(folder);
        else
            base = ".";
    }
    while (base.size() > 1 && (base.back() == '\\' || base.back() == '/')) base.pop_back();
    return base + "\\varnok";
}

}  // namespace varnok::platform
