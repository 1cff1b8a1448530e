// FileSelector: the window layer's file dialog (windowLayer().fileDialog)
// wrapped in an object that remembers the dialog's title, its list of
// file-type masks, a directory and file to start with, and what a cancel
// gives back.
//
//   FileSelector selector;
//   selector.Init();                             // "Select A File", Flags 16
//   selector.ClearOnCancel = 1;
//   selector.ReplaceMasks("TXA Files", "*.txa");
//   std::string name = selector.Choose(true);    // "" when cancelled
//
// Choose(keepDirectory) makes DefaultDirectory current (when set) before the
// dialog opens; a folder that cannot be made current posts runtime error 3
// "Path Not Found" and the dialog opens where the process already is. With
// keepDirectory the directory current before the call is current again
// afterwards, wherever the user browsed. Nothing else is reported; a cancel
// is told from a chosen file only by DialogCancelled.
//
// Text fields hold at most the characters noted beside them; longer texts
// are cut where they are used.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "window/window_layer.h"

namespace varnok::framework {

class FileSelector {
public:
    // Fields, in this order.
    std::string DefaultDirectory;  // 259 characters; made current before the dialog; empty: left alone
    std::string DefaultFile;       // 255 characters; the name the dialog starts with
    uint8_t Flags = 0;             // 1 save, 4 no overwrite prompt, 8 several files, 16 explorer, 32 a folder
    std::string MaskString;        // 254 characters; "description|pattern|description|pattern"
    std::string SavePath;          // 259 characters; the directory Choose(true) keeps
    std::string WindowTitle;       // 79 characters
    uint8_t ClearOnCancel = 0;     // a cancelled dialog gives the empty text
    uint8_t DialogCancelled = 0;   // set by Choose when the user cancelled

    static constexpr size_t DirectoryLimit = 259;
    static constexpr size_t DefaultFileLimit = 255;
    static constexpr size_t MaskLimit = 254;
    static constexpr size_t TitleLimit = 79;
    static constexpr uint8_t ExplorerFlag = window::fileflag::Explorer;
    static constexpr std::string_view DefaultTitle = "Select A File";
    static constexpr std::string_view AllFilesMask = "All Files|*.*";

    // WindowTitle "Select A File" and Flags 16; nothing else changes.
    void Init();
    // MaskString becomes the description (without trailing blanks), "|" and
    // the pattern.
    void ReplaceMasks(std::string_view description, std::string_view pattern);
    // MaskString becomes spec alone (AppendMask of it).
    void ReplaceMasks(std::string_view spec);
    // Adds spec without trailing blanks, after a "|" when MaskString is not
    // empty; the empty spec changes nothing.
    void AppendMask(std::string_view spec);
    // Runs the dialog and gives the chosen name, or on a cancel DefaultFile
    // (the empty text with ClearOnCancel).
    std::string Choose(bool keepDirectory);
};

}  // namespace varnok::framework
