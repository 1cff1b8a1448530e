// The file dialog of the Windows window layer: the system's common dialog
// (GetOpenFileNameW, GetSaveFileNameW) for files, the system's folder
// picker (IFileOpenDialog with FOS_PICKFOLDERS) for a folder, both owned by
// the given window.
//
// A request (window/window_layer.h FileDialogRequest) maps to a dialog in
// one pure step (fileDialogPlan), which tests check without showing
// anything:
// - masks are description and pattern pairs separated by "|": "TXA
//   Files|*.txa|All Files|*.*" becomes the filter "TXA Files\0*.txa\0All
//   Files\0*.*\0\0". As in the Qt layer: several patterns of a pair are
//   separated by ";"; a trailing "|" adds nothing; a description without
//   its pattern is its own pattern; an empty description shows the
//   patterns. Without masks the dialog offers "All Files" (*.*);
// - flags: 1 a save dialog, which asks before replacing a file unless 4 is
//   set too; 8 several existing files may be chosen; 32 a folder is chosen;
//   16 (the explorer-style dialog) is what every dialog here is. An open
//   dialog takes only existing files; no dialog changes the current
//   directory;
// - the start name splits into the folder the dialog shows and the file
//   name it proposes ("C:\data\main.txa", "data/main.txa"; "main.txa" only
//   proposes a name; "C:\data\" only shows the folder).
//
// The result is the chosen path; with several files (the dialog gives the
// folder and then each name, NUL-separated) the folder followed by each
// file name, all separated by "|" as in the Qt layer; one file chosen
// where several could be is its path.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "window/window_layer.h"

namespace varnok::window::win32 {

// Characters of the buffer the dialog writes the chosen names into: room
// for a path of the longest the system has (32767 characters), and where
// several files may be chosen, for tens of thousands of names. A choice
// that does not fit fails the dialog (FNERR_BUFFERTOOSMALL), which then
// counts as cancelled.
inline constexpr size_t FileDialogBufferSize = 1 << 16;
inline constexpr size_t MultiSelectBufferSize = 1 << 20;

struct FileDialogPlan {
    bool save = false;
    bool folder = false;
    DWORD flags = 0;         // OFN_ flags (files)
    std::wstring filter;     // pairs, each part NUL-ended, a final NUL
    std::wstring title;
    std::wstring startFolder;
    std::wstring startFile;
};

std::wstring fileDialogFilter(std::string_view masks);
DWORD fileDialogFlags(unsigned flags);
FileDialogPlan fileDialogPlan(const FileDialogRequest& request);
// The common dialog's structure for the plan, writing into `buffer` (which
// gets the start file name; at least FileDialogBufferSize characters, or
// MultiSelectBufferSize where several files may be chosen). It
// points into the plan and the buffer, which must outlive it.
OPENFILENAMEW openFileName(const FileDialogPlan& plan, HWND owner, std::wstring& buffer);
// The program's result from what the dialog left in its buffer: up to the
// first empty name of a NUL-separated list.
std::string fileDialogResult(std::wstring_view buffer);

// Tests: answers in the user's place. Gets the plan the dialog would be
// shown from and returns what it would leave in its buffer (a path, or the
// folder and names NUL-separated; for a folder, its path), nullopt when
// cancelled. Returns the previous answer; an empty one shows the dialogs.
using FileDialogAnswer = std::function<std::optional<std::wstring>(const FileDialogPlan&)>;
FileDialogAnswer answerFileDialogs(FileDialogAnswer answer);

// Runs the dialog owned by `owner` (may be nullptr): true with the chosen
// name in request.name, false when cancelled or the dialog failed
// (request.name unchanged).
bool runFileDialog(HWND owner, FileDialogRequest& request);

}  // namespace varnok::window::win32
