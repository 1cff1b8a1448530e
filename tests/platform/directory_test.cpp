// Directory listings against folders made for each test: what is listed,
// how names match, and paths with non-ASCII letters or past 260 characters.
#include "platform/directory.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/wide_text.h"
#endif

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/app/temp_folder.h"

namespace varnok::platform {
namespace {

namespace fs = std::filesystem;

constexpr char Sep = PathSeparator;

// Writes a file under a UTF-8 path of any length.
void writeFile(const std::string& path, const std::string& bytes) {
#ifdef _WIN32
    HANDLE h = ::CreateFileW(win32::widePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
    ASSERT_EQ(written, bytes.size());
#else
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
#endif
}

std::vector<std::string> names(const std::string& pattern) {
    std::vector<DirectoryEntry> listing;
    const size_t count = listDirectory(pattern, listing);
    std::vector<std::string> out;
    for (const DirectoryEntry& e : listing) out.push_back(e.name);
    EXPECT_EQ(count, out.size());
    return out;
}

using Names = std::vector<std::string>;

class DirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = folder_.path();
        for (char& c : root_)
            if (c == '/') c = Sep;
    }
    std::string at(const std::string& name) const { return root_ + Sep + name; }

    testing::TempFolder folder_;
    std::string root_;
};

TEST_F(DirectoryTest, WildcardsListVisibleOrdinaryFilesSortedByName) {
    writeFile(at("b.txa"), "bbb");
    writeFile(at("a.txa"), "a");
    writeFile(at("a.txab"), "");
    writeFile(at("c.txt"), "");
    writeFile(at(".hidden.txa"), "");
    ASSERT_TRUE(createDirectories(at("folder.txa")));

    EXPECT_EQ(names(at("*.txa")), (Names{"a.txa", "b.txa"})) << "whole names only, no folder, nothing hidden";
    EXPECT_EQ(names(at("?.txa")), (Names{"a.txa", "b.txa"}));
    EXPECT_EQ(names(at("*")), (Names{"a.txa", "a.txab", "b.txa", "c.txt"}));
    EXPECT_EQ(names(at("*.tx?")), (Names{"a.txa", "b.txa", "c.txt"}));
    EXPECT_EQ(names(at(".*")), Names{}) << "hidden files are never listed";
    EXPECT_EQ(names(at("missing") + Sep + "*"), Names{});
    EXPECT_EQ(names(at("")), Names{}) << "a pattern without a name";

    std::vector<DirectoryEntry> listing;
    ASSERT_EQ(listDirectory(at("*.txa"), listing), 2u);
    EXPECT_EQ(listing[0].size, 1u);
    EXPECT_EQ(listing[1].size, 3u);
}

// "*" takes any run, backtracking where a later part does not fit.
TEST_F(DirectoryTest, StarsMatchAnyRun) {
    for (const char* name : {"abc", "aXbYc", "ab", "acb", "abcabc", "bc"}) writeFile(at(name), "");
    struct Case {
        const char* pattern;
        Names expected;
    };
    const Case cases[] = {
        {"a*b*c", {"aXbYc", "abc", "abcabc"}},
        {"*c", {"aXbYc", "abc", "abcabc", "bc"}},
        {"a*", {"aXbYc", "ab", "abc", "abcabc", "acb"}},
        {"*b", {"ab", "acb"}},
        {"a**c", {"aXbYc", "abc", "abcabc"}},
        {"?b*", {"ab", "abc", "abcabc"}},
        {"*abc", {"abc", "abcabc"}},
        {"??", {"ab", "bc"}},
    };
    for (const Case& c : cases) EXPECT_EQ(names(at(c.pattern)), c.expected) << c.pattern;
}

TEST_F(DirectoryTest, ANameWithoutWildcardsListsThatFileOrNothing) {
    writeFile(at("one.txa"), "12345");
    writeFile(at(".dot.txa"), "");
    ASSERT_TRUE(createDirectories(at("sub")));
    EXPECT_EQ(names(at("one.txa")), Names{"one.txa"});
    EXPECT_EQ(names(at("two.txa")), Names{});
    EXPECT_EQ(names(at("sub")), Names{}) << "a folder";
    EXPECT_EQ(names(at(".dot.txa")), Names{}) << "hidden";
    EXPECT_EQ(names(at("one.txa") + Sep + "x"), Names{}) << "below a file";
}

TEST_F(DirectoryTest, EntriesDescribeTheFile) {
    const std::time_t before = std::time(nullptr);
    writeFile(at("w.txa"), std::string(1000, 'x'));
    writeFile(at("r.txa"), "r");
    fs::permissions(fs::path(at("r.txa")), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    std::vector<DirectoryEntry> listing;
    ASSERT_EQ(listDirectory(at("*.txa"), listing), 2u);
    EXPECT_EQ(listing[0].name, "r.txa");
    EXPECT_TRUE(listing[0].readOnly);
    EXPECT_EQ(listing[1].name, "w.txa");
    EXPECT_FALSE(listing[1].readOnly);
    EXPECT_EQ(listing[1].size, 1000u);
    // Seconds since 1970 in UTC, the same clock as time().
    EXPECT_GE(listing[1].modified, int64_t(before) - 5);
    EXPECT_LE(listing[1].modified, int64_t(std::time(nullptr)) + 5);
    fs::permissions(fs::path(at("r.txa")), fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(DirectoryTest, HiddenNames) {
    struct Case {
        std::string path;
        bool hidden;
    };
    std::vector<Case> cases = {
        {".x", true},      {"a/.x", true}, {".", false},      {"..", false}, {"a", false},
        {"a/..", false},   {"a/.", false}, {".a/b", false},   {"..x", true}, {"", false},
    };
#ifdef _WIN32
    cases.push_back({"a\\.x", true});
    cases.push_back({"C:.x", true});
#endif
    for (const Case& c : cases) EXPECT_EQ(isHiddenName(c.path), c.hidden) << c.path;
}

// Names are UTF-8 texts, also with letters outside any ANSI code page.
TEST_F(DirectoryTest, NonAsciiNames) {
    const std::string mueller = "M\xC3\xBCller.txa";              // Müller
    const std::string japan = "\xE6\x97\xA5\xE6\x9C\xAC.txa";      // 日本
    const std::string folder = at("\xE2\x82\xAC-folder");           // €-folder
    ASSERT_TRUE(createDirectories(folder));
    writeFile(folder + Sep + mueller, "m");
    writeFile(folder + Sep + japan, "jj");
    EXPECT_EQ(names(folder + Sep + "*.txa"), (Names{mueller, japan}));
    EXPECT_EQ(names(folder + Sep + mueller), Names{mueller});
    std::vector<DirectoryEntry> listing;
    ASSERT_EQ(listDirectory(folder + Sep + japan, listing), 1u);
    EXPECT_EQ(listing[0].size, 2u);
}

// Paths past the classic 260 characters are listed like any other.
TEST_F(DirectoryTest, PathsPastTheClassicLimit) {
    std::string deep = root_;
    while (deep.size() < 300) deep += Sep + std::string(60, 'd');
    ASSERT_TRUE(createDirectories(deep));
    const std::string file = deep + Sep + std::string(40, 'f') + ".txa";
    ASSERT_GT(file.size(), 340u);
    writeFile(file, "long");
    std::vector<DirectoryEntry> listing;
    ASSERT_EQ(listDirectory(deep + Sep + "*.txa", listing), 1u);
    EXPECT_EQ(listing[0].name, std::string(40, 'f') + ".txa");
    EXPECT_EQ(listing[0].size, 4u);
    EXPECT_EQ(names(file), Names{std::string(40, 'f') + ".txa"});
}

TEST_F(DirectoryTest, CreateDirectoriesMakesEveryLevel) {
    const std::string nested = at("x") + Sep + "y" + Sep + "z";
    EXPECT_TRUE(createDirectories(nested));
    EXPECT_TRUE(fs::is_directory(fs::path(nested)));
    EXPECT_TRUE(createDirectories(nested)) << "already there";
    EXPECT_TRUE(createDirectories(at("trailing") + Sep)) << "a final separator";
    EXPECT_TRUE(fs::is_directory(fs::path(at("trailing"))));
    writeFile(at("file"), "");
    EXPECT_FALSE(createDirectories(at("file"))) << "a file is in the way";
    EXPECT_FALSE(createDirectories(at("file") + Sep + "below"));
    EXPECT_FALSE(createDirectories(""));
}

#ifdef _WIN32
// Windows file names do not tell case apart, and neither does matching.
TEST_F(DirectoryTest, WindowsMatchesWithoutCase) {
    writeFile(at("\xC3\x84rger.TXA"), "");  // Ärger.TXA
    writeFile(at("plain.txa"), "");
    EXPECT_EQ(names(at("*.txa")), (Names{"plain.txa", "\xC3\x84rger.TXA"}));
    EXPECT_EQ(names(at("\xC3\xA4*")), Names{"\xC3\x84rger.TXA"}) << "a-umlaut matches A-umlaut";
    EXPECT_EQ(names(at("PLAIN.TXA")), Names{"PLAIN.TXA"}) << "an exact name keeps the spelling asked for";
}

// The hidden attribute hides a file as a leading "." does.
TEST_F(DirectoryTest, WindowsHiddenAttribute) {
    writeFile(at("shown.txa"), "");
    writeFile(at("secret.txa"), "");
    ASSERT_TRUE(::SetFileAttributesW(win32::widePath(at("secret.txa")).c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(names(at("*.txa")), Names{"shown.txa"});
    EXPECT_EQ(names(at("secret.txa")), Names{});
    EXPECT_TRUE(isHiddenName(at("secret.txa")));
    EXPECT_FALSE(isHiddenName(at("shown.txa")));
    EXPECT_FALSE(isHiddenName(at("missing.txa")));
    ::SetFileAttributesW(win32::widePath(at("secret.txa")).c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

}  // namespace
}  // namespace varnok::platform
