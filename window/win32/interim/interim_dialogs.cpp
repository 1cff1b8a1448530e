// Interim stand-ins (see README.md): the system's plainest forms of the
// three, without the mappings the real dialogs library makes.
#include "window/win32/file_dialog_win32.h"
#include "window/win32/message_presenter_win32.h"
#include "window/win32/popup_menu_win32.h"

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"

namespace varnok::window::win32 {

namespace {
std::wstring wide(std::string_view text) {
    std::wstring out;
    platform::win32::toWide(text, out);
    return out;
}
}  // namespace

bool runFileDialog(HWND owner, FileDialogRequest& request) {
    std::wstring filter;
    for (wchar_t c : wide(request.masks)) filter.push_back(c == L'|' ? L'\0' : c);
    filter.append(2, L'\0');
    std::wstring name = wide(request.name);
    name.resize(32768, L'\0');
    const std::wstring title = wide(request.title);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = request.masks.empty() ? nullptr : filter.c_str();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    const bool save = request.flags & 1;
    if (save && !(request.flags & 4)) dialog.Flags |= OFN_OVERWRITEPROMPT;
    if (!save) dialog.Flags |= OFN_FILEMUSTEXIST;
    if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return false;
    request.name = platform::win32::toUtf8(name.c_str());
    return true;
}

int32_t runPopupMenu(HWND owner, std::string_view items, POINT screenAt) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return 0;
    UINT number = 0;
    size_t start = 0;
    while (start <= items.size()) {
        const size_t bar = items.find('|', start);
        const std::string_view item = items.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
        ++number;
        if (item == "-") {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu, MF_STRING, number, wide(item).c_str());
        }
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screenAt.x, screenAt.y, 0,
                                      owner ? owner : GetActiveWindow(), nullptr);
    DestroyMenu(menu);
    return chosen;
}

unsigned Win32MessagePresenter::show(const MessageRequest& request) {
    UINT type = MB_OK;
    const unsigned b = request.buttons;
    if ((b & ButtonYes) && (b & ButtonNo)) type = (b & ButtonCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if ((b & ButtonOk) && (b & ButtonCancel)) type = MB_OKCANCEL;
    if (request.icon == IconHand) type |= MB_ICONHAND;
    if (request.icon == IconQuestion) type |= MB_ICONQUESTION;
    if (request.icon == IconExclamation) type |= MB_ICONEXCLAMATION;
    if (request.icon == IconInformation) type |= MB_ICONINFORMATION;
    const int answer = MessageBoxW(GetActiveWindow(), wide(messageLines(request.text)).c_str(),
                                   wide(request.caption).c_str(), type | MB_TASKMODAL);
    switch (answer) {
    case IDYES: return ButtonYes;
    case IDNO: return ButtonNo;
    case IDCANCEL: return (b & ButtonCancel) ? ButtonCancel : (b & ButtonNo) ? ButtonNo : ButtonOk;
    default: return ButtonOk;
    }
}

}  // namespace varnok::window::win32
