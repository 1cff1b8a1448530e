#include "framework/files/file_selector.h"

#include "platform/current_directory.h"
#include "platform/trailing_spaces.h"
#include "runtime/errors/error_codes.h"
#include "window/window_layer.h"

namespace varnok::framework {

namespace {

using platform::withoutTrailingSpaces;

std::string_view cut(std::string_view s, size_t limit) { return s.size() > limit ? s.substr(0, limit) : s; }

}  // namespace

void FileSelector::Init() {
    WindowTitle = DefaultTitle;
    Flags = ExplorerFlag;
}

void FileSelector::ReplaceMasks(std::string_view description, std::string_view pattern) {
    MaskString.clear();
    AppendMask(std::string(withoutTrailingSpaces(description)) + "|" + std::string(pattern));
}

void FileSelector::ReplaceMasks(std::string_view spec) {
    MaskString.clear();
    AppendMask(spec);
}

void FileSelector::AppendMask(std::string_view spec) {
    if (spec.empty()) return;
    const std::string_view masks = cut(MaskString, MaskLimit);
    std::string joined = masks.empty() ? std::string(withoutTrailingSpaces(spec))
                                       : std::string(masks) + "|" + std::string(withoutTrailingSpaces(spec));
    MaskString = std::string(cut(joined, MaskLimit));
}

std::string FileSelector::Choose(bool keepDirectory) {
    DialogCancelled = 0;
    if (keepDirectory) SavePath = platform::currentDirectory();
    const std::string_view directory = cut(DefaultDirectory, DirectoryLimit);
    if (!directory.empty() && !platform::setCurrentDirectory(directory)) postError(PathNotFoundErr);

    window::FileDialogRequest request;
    request.title = std::string(cut(WindowTitle, TitleLimit));
    request.name = std::string(cut(DefaultFile, DefaultFileLimit));
    const std::string_view masks = cut(MaskString, MaskLimit);
    request.masks = std::string(masks.empty() ? AllFilesMask : masks);
    request.flags = Flags;
    const std::string startName = request.name;

    std::string result;
    if (window::windowLayer().fileDialog(request)) {
        // The whole name the user chose: cutting it would name another file.
        result = std::move(request.name);
    } else {
        DialogCancelled = 1;
        if (!ClearOnCancel) result = startName;
    }
    // Back to where the call started, wherever the dialog or DefaultDirectory
    // went; SavePath keeps that directory.
    if (keepDirectory && !SavePath.empty()) platform::setCurrentDirectory(SavePath);
    return result;
}

}  // namespace varnok::framework
