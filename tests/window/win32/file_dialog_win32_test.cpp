// The Win32 file dialog's plan: filters from masks, flags, the start name's
// folder and file, the result from the dialog's buffer, and the dialog's
// path through its answering seam.
#include "window/win32/file_dialog_win32.h"

#include <gtest/gtest.h>

#include <vector>

namespace varnok::window::win32 {
namespace {

// A NUL-separated filter from its parts, with the final NUL.
std::wstring filterOf(std::initializer_list<const wchar_t*> parts) {
    std::wstring filter;
    for (const wchar_t* p : parts) {
        filter += p;
        filter += L'\0';
    }
    return filter + L'\0';
}

TEST(Win32FileDialogFilter, MaskPairsBecomeTheDoubleNulFilter) {
    struct Case {
        const char* masks;
        std::wstring filter;
    };
    const Case cases[] = {
        {"TXA Files|*.txa", filterOf({L"TXA Files", L"*.txa"})},
        {"TXA Files|*.txa|All Files|*.*", filterOf({L"TXA Files", L"*.txa", L"All Files", L"*.*"})},
        {"Texts|*.txa;*.txt", filterOf({L"Texts", L"*.txa;*.txt"})},
        {"Texts| *.txa ; ;*.txt ", filterOf({L"Texts", L"*.txa;*.txt"})},  // blanks and empty patterns
        {"", filterOf({L"All Files", L"*.*"})},
        {"|", filterOf({L"*.*", L"*.*"})},                     // an empty pair: every file
        {"TXA Files|*.txa|", filterOf({L"TXA Files", L"*.txa"})},  // a trailing bar
        {"Lonely", filterOf({L"Lonely", L"Lonely"})},            // a description without its pattern
        {"|*.csv", filterOf({L"*.csv", L"*.csv"})},              // no description: the patterns
        {" Spaced |*.a", filterOf({L"Spaced", L"*.a"})},
        {"A|*.a||", filterOf({L"A", L"*.a", L"*.*", L"*.*"})},
        {"Caf\xC3\xA9|*.caf", filterOf({L"Caf\u00E9", L"*.caf"})},
        {"Caf\xE9|*.caf", filterOf({L"Caf\u00E9", L"*.caf"})},  // Windows-1252 bytes
    };
    for (const Case& c : cases) EXPECT_EQ(fileDialogFilter(c.masks), c.filter) << c.masks;
}

// Every filter ends in two NULs and holds an even number of non-empty parts.
TEST(Win32FileDialogFilter, AlwaysPairsOfNonEmptyParts) {
    const char* pieces[] = {"", "|", "A", "*.a", ";", " ", "B|*.b"};
    for (const char* a : pieces)
        for (const char* b : pieces)
            for (const char* c : pieces) {
                const std::string masks = std::string(a) + b + c;
                const std::wstring filter = fileDialogFilter(masks);
                ASSERT_GE(filter.size(), 2u);
                EXPECT_EQ(filter.substr(filter.size() - 2), std::wstring(2, L'\0')) << masks;
                size_t parts = 0;
                for (size_t start = 0; start + 1 < filter.size();) {
                    const size_t end = filter.find(L'\0', start);
                    EXPECT_GT(end, start) << masks;
                    ++parts;
                    start = end + 1;
                }
                EXPECT_EQ(parts % 2, 0u) << masks;
            }
}

TEST(Win32FileDialogFlags, FromTheRequestFlags) {
    const DWORD always = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_ENABLESIZING;
    struct Case {
        unsigned flags;
        DWORD ofn;
    };
    const Case cases[] = {
        {0, always | OFN_FILEMUSTEXIST},
        {16, always | OFN_FILEMUSTEXIST},
        {16 | 8, always | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT},
        {16 | 1, always | OFN_OVERWRITEPROMPT},
        {16 | 1 | 4, always},
        {16 | 1 | 8, always | OFN_OVERWRITEPROMPT},  // several files only when opening
        {4, always | OFN_FILEMUSTEXIST},              // no overwrite prompt only matters when saving
    };
    for (const Case& c : cases) EXPECT_EQ(fileDialogFlags(c.flags), c.ofn) << c.flags;
}

TEST(Win32FileDialogPlan, StartNameSplitsIntoFolderAndFile) {
    struct Case {
        const char* name;
        const wchar_t* folder;
        const wchar_t* file;
    };
    const Case cases[] = {
        {"C:\\data\\main.txa", L"C:\\data", L"main.txa"},
        {"data/sub/main.txa", L"data\\sub", L"main.txa"},
        {"main.txa", L"", L"main.txa"},
        {"C:\\main.txa", L"C:\\", L"main.txa"},
        {"\\main.txa", L"\\", L"main.txa"},
        {"C:\\data\\", L"C:\\data", L""},
        {"  C:\\data\\x.txa  ", L"C:\\data", L"x.txa"},
        {"\\\\server\\share\\x.txa", L"\\\\server\\share", L"x.txa"},
        {"", L"", L""},
    };
    for (const Case& c : cases) {
        const FileDialogPlan plan = fileDialogPlan({"Open", c.name, "TXA Files|*.txa", 16});
        EXPECT_EQ(plan.startFolder, c.folder) << c.name;
        EXPECT_EQ(plan.startFile, c.file) << c.name;
    }
}

TEST(Win32FileDialogPlan, KindTitleAndFolder) {
    FileDialogPlan plan = fileDialogPlan({"Save TXA", "C:\\data\\main.txa", "TXA Files|*.txa", 16 | 1});
    EXPECT_TRUE(plan.save);
    EXPECT_FALSE(plan.folder);
    EXPECT_EQ(plan.title, L"Save TXA");
    EXPECT_EQ(plan.flags, fileDialogFlags(16 | 1));
    EXPECT_EQ(plan.filter, filterOf({L"TXA Files", L"*.txa"}));

    plan = fileDialogPlan({"Folder", "C:\\data\\sub", "TXA Files|*.txa", 16 | 32 | 1});
    EXPECT_TRUE(plan.folder);
    EXPECT_FALSE(plan.save);
    EXPECT_EQ(plan.startFolder, L"C:\\data\\sub");  // the whole name is the folder
    EXPECT_EQ(plan.startFile, L"");
}

TEST(Win32FileDialog, OpenFileNameCarriesThePlan) {
    const FileDialogPlan plan = fileDialogPlan({"Open TXA", "C:\\data\\main.txa", "TXA Files|*.txa", 16 | 8});
    std::wstring buffer;
    const OPENFILENAMEW ofn = openFileName(plan, nullptr, buffer);
    EXPECT_EQ(ofn.lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(ofn.lpstrFilter, plan.filter.c_str());
    EXPECT_EQ(ofn.nFilterIndex, 1u);
    EXPECT_EQ(ofn.lpstrFile, buffer.data());
    EXPECT_EQ(ofn.nMaxFile, MultiSelectBufferSize);  // several files: room for many names
    EXPECT_EQ(ofn.nMaxFile, buffer.size());
    EXPECT_STREQ(ofn.lpstrFile, L"main.txa");
    EXPECT_STREQ(ofn.lpstrInitialDir, L"C:\\data");
    EXPECT_STREQ(ofn.lpstrTitle, L"Open TXA");
    EXPECT_EQ(ofn.Flags, plan.flags);

    std::wstring single;
    const OPENFILENAMEW bare = openFileName(fileDialogPlan({"", "", "", 0}), nullptr, single);
    EXPECT_EQ(bare.nMaxFile, FileDialogBufferSize);

    // A start name longer than the buffer is cut, and still ends in NUL.
    FileDialogPlan huge = fileDialogPlan({"", "", "", 0});
    huge.startFile.assign(FileDialogBufferSize + 10, L'x');
    std::wstring small;
    const OPENFILENAMEW cut = openFileName(huge, nullptr, small);
    EXPECT_EQ(std::wstring(cut.lpstrFile).size(), FileDialogBufferSize - 1);
    EXPECT_EQ(bare.lpstrInitialDir, nullptr);
    EXPECT_EQ(bare.lpstrTitle, nullptr);  // the system's own title
    EXPECT_STREQ(bare.lpstrFile, L"");
}

TEST(Win32FileDialog, ResultFromTheBuffer) {
    struct Case {
        std::wstring buffer;
        std::string result;
    };
    const Case cases[] = {
        {std::wstring(L"C:\\data\\main.txa\0\0", 18), "C:\\data\\main.txa"},
        {L"C:\\data\\main.txa", "C:\\data\\main.txa"},
        {std::wstring(L"C:\\data\0a.txa\0b.txa\0\0", 21), "C:\\data|a.txa|b.txa"},
        {std::wstring(L"C:\\data\0a.txa\0\0junk\0\0", 21), "C:\\data|a.txa"},
        {std::wstring(L"\0\0", 2), ""},
        {L"", ""},
        {std::wstring(L"\\\\?\\C:\\long\\name.txa\0", 21), "C:\\long\\name.txa"},
        {std::wstring(L"C:\\caf\u00E9\0\u00E9t\u00E9.txa\0\0", 15), "C:\\caf\xC3\xA9|\xC3\xA9t\xC3\xA9.txa"},
    };
    for (const Case& c : cases) EXPECT_EQ(fileDialogResult(c.buffer), c.result);
}

// The dialog's own path, answered through its seam: the answer sees the
// plan, and what it leaves in the buffer becomes the request's name.
TEST(Win32FileDialog, RunThroughTheAnsweringSeam) {
    std::vector<FileDialogPlan> seen;
    std::optional<std::wstring> next = std::wstring(L"C:\\data\0a.txa\0b.txa\0\0", 21);
    FileDialogAnswer previous = answerFileDialogs([&](const FileDialogPlan& plan) {
        seen.push_back(plan);
        return next;
    });
    FileDialogRequest request{"Load", "C:\\data\\main.txa", "TXA Files|*.txa|All Files|*.*", 16 | 8};
    EXPECT_TRUE(runFileDialog(nullptr, request));
    EXPECT_EQ(request.name, "C:\\data|a.txa|b.txa");

    next = std::nullopt;  // cancelled: the name stays
    request.name = "C:\\data\\main.txa";
    EXPECT_FALSE(runFileDialog(nullptr, request));
    EXPECT_EQ(request.name, "C:\\data\\main.txa");

    next = std::wstring(L"\0", 1);  // nothing chosen
    EXPECT_FALSE(runFileDialog(nullptr, request));
    EXPECT_EQ(request.name, "C:\\data\\main.txa");

    next = L"C:\\out";
    FileDialogRequest folder{"Where", "C:\\data", "", 32};
    EXPECT_TRUE(runFileDialog(nullptr, folder));
    EXPECT_EQ(folder.name, "C:\\out");

    answerFileDialogs(std::move(previous));
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].title, L"Load");
    EXPECT_EQ(seen[0].startFolder, L"C:\\data");  // already absolute, as the dialog gets it
    EXPECT_EQ(seen[0].startFile, L"main.txa");
    EXPECT_EQ(seen[0].flags & OFN_ALLOWMULTISELECT, static_cast<DWORD>(OFN_ALLOWMULTISELECT));
    EXPECT_TRUE(seen[3].folder);
}

// A relative start folder reaches the dialog made absolute.
TEST(Win32FileDialog, RelativeStartFolderMadeAbsolute) {
    std::wstring folder;
    FileDialogAnswer previous = answerFileDialogs([&](const FileDialogPlan& plan) {
        folder = plan.startFolder;
        return std::nullopt;
    });
    FileDialogRequest request{"Load", "sub/main.txa", "", 0};
    EXPECT_FALSE(runFileDialog(nullptr, request));
    answerFileDialogs(std::move(previous));
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    std::wstring expected = current;
    if (!expected.empty() && expected.back() != L'\\') expected += L'\\';
    EXPECT_EQ(folder, expected + L"sub");
}

}  // namespace
}  // namespace varnok::window::win32
