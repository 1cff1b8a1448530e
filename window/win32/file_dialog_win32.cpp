#include "window/win32/file_dialog_win32.h"

#include <commctrl.h>
#include <dlgs.h>
#include <shobjidl.h>

#include <algorithm>
#include <vector>

#include "platform/win32/wide_text.h"
#include "window/win32/message_presenter_win32.h"
#include "window/win32/win32_text.h"

namespace varnok::window::win32 {

namespace {

bool isSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

std::wstring trimmed(std::wstring_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return std::wstring(text);
}

std::vector<std::wstring_view> split(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring_view> parts;
    for (;;) {
        const size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::wstring_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

// The patterns of one pair, ";"-separated, blanks around each dropped;
// every file when there are none.
std::wstring patternsOf(std::wstring_view text) {
    std::wstring patterns;
    for (std::wstring_view part : split(text, L';')) {
        const std::wstring p = trimmed(part);
        if (p.empty()) continue;
        if (!patterns.empty()) patterns += L';';
        patterns += p;
    }
    return patterns.empty() ? std::wstring(L"*.*") : patterns;
}

FileDialogAnswer& currentAnswer() {
    static FileDialogAnswer answer;
    return answer;
}

// The system's folder picker; the chosen folder's path, nullopt when
// cancelled or the picker is not available.
std::optional<std::wstring> pickFolder(const FileDialogPlan& plan, HWND owner) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    std::optional<std::wstring> chosen;
    IFileOpenDialog* dialog = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                   reinterpret_cast<void**>(&dialog)))) {
        FILEOPENDIALOGOPTIONS options = 0;
        dialog->GetOptions(&options);
        dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
        if (!plan.title.empty()) dialog->SetTitle(plan.title.c_str());
        IShellItem* start = nullptr;
        if (!plan.startFolder.empty() &&
            SUCCEEDED(SHCreateItemFromParsingName(plan.startFolder.c_str(), nullptr, IID_IShellItem,
                                                  reinterpret_cast<void**>(&start)))) {
            dialog->SetFolder(start);
            start->Release();
        }
        IShellItem* result = nullptr;
        if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&result))) {
            PWSTR path = nullptr;
            if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
                chosen = std::wstring(path);
                CoTaskMemFree(path);
            }
            result->Release();
        }
        dialog->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

// The edit box the file name is typed into: inside the name combo box
// (cmb13, in Wine an extended combo box), or edt1 in older dialogs.
HWND fileNameEdit(HWND dialog) {
    HWND box = GetDlgItem(dialog, cmb13);
    if (!box) return GetDlgItem(dialog, edt1);
    wchar_t kind[32] = L"";
    GetClassNameW(box, kind, 32);
    if (wcscmp(kind, WC_COMBOBOXEXW) == 0) return reinterpret_cast<HWND>(SendMessageW(box, CBEM_GETEDITCONTROL, 0, 0));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(box, &info) ? info.hwndItem : nullptr;
}

// The system's dialog (Wine's, as older Windows') joins the folder it shows
// and the name typed into a buffer of MAX_PATH characters on its own stack
// when OK is pressed, and a longer pair overruns it: the program ends
// inside the dialog without a word, whatever our buffer holds. So its name
// box takes no more than fits beside the folder shown, set again whenever
// the folder changes.
UINT_PTR CALLBACK limitTypedName(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) return 0;
    const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
    if (code != CDN_INITDONE && code != CDN_FOLDERCHANGE) return 0;
    HWND dialog = GetParent(hook);
    wchar_t folder[MAX_PATH] = L"";
    const LRESULT got = SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    const size_t used = got > 0 ? wcsnlen(folder, MAX_PATH) + 1 : 0;  // the folder and a ""
    const WPARAM room = used + 2 < MAX_PATH ? MAX_PATH - 1 - used : 1;
    if (HWND edit = fileNameEdit(dialog)) SendMessageW(edit, EM_LIMITTEXT, room, 0);
    return 0;
}

}  // namespace

std::wstring fileDialogFilter(std::string_view masks) {
    const std::wstring text = programWide(masks);
    const std::vector<std::wstring_view> parts = split(text, L'|');
    std::wstring filter;
    for (size_t i = 0; i < parts.size(); i += 2) {
        const std::wstring description = trimmed(parts[i]);
        const bool hasPattern = i + 1 < parts.size();
        if (description.empty() && !hasPattern) continue;  // nothing, or a trailing "|"
        const std::wstring patterns = patternsOf(hasPattern ? parts[i + 1] : std::wstring_view(description));
        filter += description.empty() ? patterns : description;
        filter += L'\0';
        filter += patterns;
        filter += L'\0';
    }
    if (filter.empty()) filter.append(L"All Files\0*.*\0", 14);
    filter += L'\0';
    return filter;
}

DWORD fileDialogFlags(unsigned flags) {
    DWORD ofn = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_ENABLESIZING;
    if (flags & fileflag::Save) {
        if (!(flags & fileflag::NoOverwritePrompt)) ofn |= OFN_OVERWRITEPROMPT;
    } else {
        ofn |= OFN_FILEMUSTEXIST;
        if (flags & fileflag::MultiSelect) ofn |= OFN_ALLOWMULTISELECT;
    }
    return ofn;
}

FileDialogPlan fileDialogPlan(const FileDialogRequest& request) {
    FileDialogPlan plan;
    plan.folder = (request.flags & fileflag::Folder) != 0;
    plan.save = !plan.folder && (request.flags & fileflag::Save) != 0;
    plan.title = programWide(request.title);
    std::wstring start = trimmed(programWide(request.name));
    for (wchar_t& c : start)
        if (c == L'/') c = L'\\';
    if (plan.folder) {
        plan.startFolder = start;
        return plan;
    }
    plan.flags = fileDialogFlags(request.flags);
    plan.filter = fileDialogFilter(request.masks);
    const size_t slash = start.rfind(L'\\');
    if (slash == std::wstring::npos) {
        plan.startFile = start;
    } else {
        // A root keeps its backslash ("C:\", "\"); other folders lose it.
        const bool root = slash == 0 || start[slash - 1] == L':';
        plan.startFolder = start.substr(0, root ? slash + 1 : slash);
        plan.startFile = start.substr(slash + 1);
    }
    return plan;
}

OPENFILENAMEW openFileName(const FileDialogPlan& plan, HWND owner, std::wstring& buffer) {
    const size_t size = (plan.flags & OFN_ALLOWMULTISELECT) ? MultiSelectBufferSize : FileDialogBufferSize;
    buffer.assign(std::max(buffer.size(), size), L'\0');
    buffer.replace(0, std::min(plan.startFile.size(), buffer.size() - 1), plan.startFile, 0,
                   std::min(plan.startFile.size(), buffer.size() - 1));
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = plan.filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = plan.startFolder.empty() ? nullptr : plan.startFolder.c_str();
    ofn.lpstrTitle = plan.title.empty() ? nullptr : plan.title.c_str();
    ofn.Flags = plan.flags;
    return ofn;
}

std::string fileDialogResult(std::wstring_view buffer) {
    std::vector<std::wstring_view> names;
    for (std::wstring_view name : split(buffer, L'\0')) {
        if (name.empty()) break;
        names.push_back(name);
    }
    if (names.empty()) return std::string();
    std::string result = platform::win32::pathFromWide(names.front());
    for (size_t i = 1; i < names.size(); ++i) result += "|" + platform::win32::toUtf8(names[i]);
    return result;
}

FileDialogAnswer answerFileDialogs(FileDialogAnswer answer) {
    FileDialogAnswer previous = std::move(currentAnswer());
    currentAnswer() = std::move(answer);
    return previous;
}

bool runFileDialog(HWND owner, FileDialogRequest& request) {
    FileDialogPlan plan = fileDialogPlan(request);
    if (!plan.startFolder.empty()) plan.startFolder = platform::win32::fullPath(plan.startFolder);
    std::optional<std::wstring> chosen;
    if (currentAnswer()) {
        chosen = currentAnswer()(plan);
    } else if (plan.folder) {
        chosen = pickFolder(plan, owner);
    } else {
        std::wstring buffer;
        OPENFILENAMEW ofn = openFileName(plan, owner, buffer);
        ofn.Flags |= OFN_ENABLEHOOK;
        ofn.lpfnHook = limitTypedName;
        if (plan.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn)) chosen = std::move(buffer);
    }
    if (!chosen) return false;
    std::string name = fileDialogResult(*chosen);
    if (name.empty()) return false;
    request.name = std::move(name);
    return true;
}

}  // namespace varnok::window::win32
