#include "platform/registry_store.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <random>

#include "platform/environment.h"
#include "platform/plain_file.h"
#include "tests/app/temp_folder.h"

namespace varnok::platform {
namespace {

namespace fs = std::filesystem;
using testing::readFile;

#ifdef _WIN32
// The system's registry: every key a test writes lives below a key of its
// own in the user's hive (the machine-wide roots need rights a test cannot
// count on, so the user's root stands in for them), removed afterwards.
class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> serial{0};
        base_ = "Software\\varnok-tests\\" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++serial);
    }
    void TearDown() override {
        const std::string parent = "Software\\varnok-tests";
        std::wstring base(base_.begin(), base_.end()), top(parent.begin(), parent.end());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, top.c_str());  // only when no other run left keys there
    }
    static uint32_t root(uint32_t) { return HkeyCurrentUser; }
    std::string key(std::string_view path) const { return base_ + "\\" + std::string(path); }

    std::string base_;
};
#else
// The stand-in lives in a temporary configuration home.
class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = environmentVariable("XDG_CONFIG_HOME");
        setEnvironmentVariable("XDG_CONFIG_HOME", folder_.path());
    }
    void TearDown() override {
        clearFileFaults();
        setEnvironmentVariable("XDG_CONFIG_HOME", old_);
    }
    static uint32_t root(uint32_t r) { return r; }
    static std::string key(std::string_view path) { return std::string(path); }
    std::string path() const { return folder_.path() + "/varnok/registry.reg"; }
    void writeStore(const std::string& text) {
        fs::create_directories(folder_.path() + "/varnok");
        std::ofstream(path(), std::ios::binary) << text;
    }

    testing::TempFolder folder_;
    std::optional<std::string> old_;
};
#endif

#ifndef _WIN32
// The stand-in's file: its layout, hand edits and faults (Windows has the
// registry itself).
TEST_F(RegistryStoreTest, TheStoreIsAnExportLikeTextInTheConfigFolder) {
    EXPECT_EQ(registryStorePath(), path());
    EXPECT_EQ(readRegistryValue(HkeyClassesRoot, "varnok\\Main", "XPos"), std::nullopt);
    EXPECT_FALSE(fs::exists(path())) << "reading creates nothing";
    ASSERT_TRUE(writeRegistryValue(HkeyClassesRoot, "varnok\\Main", "XPos", "40"));
    ASSERT_TRUE(writeRegistryValue(HkeyCurrentUser, "Software\\X", "", "unnamed"));
    ASSERT_TRUE(writeRegistryValue(HkeyClassesRoot, "varnok\\Main", "Path", "C:\\a \"b\""));
    EXPECT_EQ(readFile(path()),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CLASSES_ROOT\\varnok\\Main]\n\"XPos\"=\"40\"\n\"Path\"=\"C:\\\\a \\\"b\\\"\"\n\n"
              "[HKEY_CURRENT_USER\\Software\\X]\n@=\"unnamed\"\n\n");
    EXPECT_EQ(readRegistryValue(HkeyClassesRoot, "varnok\\Main", "Path"), "C:\\a \"b\"");
    EXPECT_EQ(readRegistryValue(HkeyCurrentUser, "Software\\X", ""), "unnamed");
}

TEST_F(RegistryStoreTest, AHandEditedFileIsReadAndStrayLinesAreIgnored) {
    writeStore(
        "REGEDIT4\r\n"
        "; a comment\r\n"
        "[HKEY_CLASSES_ROOT\\app\\S]  \r\n"
        "\"A\"=\"1\"\r\n"
        "\"B\"=dword:00000001\r\n"
        "junk\r\n"
        "\"C\"=\"unclosed\r\n"
        "[HKEY_NOWHERE\\x]\r\n"
        "\"D\"=\"4\"\r\n"
        "[hkey_classes_root\\APP\\s]\r\n"
        "\"A\"=\"again\"\r\n");
    EXPECT_EQ(readRegistryValue(HkeyClassesRoot, "app\\S", "A"), "again") << "the later key wins";
    EXPECT_EQ(readRegistryValue(HkeyClassesRoot, "app\\S", "B"), std::nullopt);
    EXPECT_EQ(readRegistryValue(HkeyClassesRoot, "app\\S", "C"), std::nullopt);
    EXPECT_EQ(readRegistryValue(HkeyClassesRoot, "x", "D"), std::nullopt);
    ASSERT_TRUE(writeRegistryValue(HkeyClassesRoot, "app\\S", "A", "new"));
    EXPECT_EQ(readRegistryValue(HkeyClassesRoot, "app\\S", "A"), "new") << "every copy is replaced";
    EXPECT_EQ(readFile(path()),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CLASSES_ROOT\\app\\S]\n\"A\"=\"new\"\n\n"
              "[HKEY_CLASSES_ROOT\\APP\\s]\n\"A\"=\"new\"\n\n");
}

TEST_F(RegistryStoreTest, AFailedWriteLeavesTheOldStoreWhole) {
    ASSERT_TRUE(writeRegistryValue(HkeyClassesRoot, "A", "keep", "1"));
    const std::string before = readFile(path());
    for (FileOp op : {FileOp::Write, FileOp::Sync, FileOp::Rename}) {
        failFileOperation(op, 1);
        EXPECT_FALSE(writeRegistryValue(HkeyClassesRoot, "A", "new", "2")) << int(op);
        failFileOperation(op, 1);
        EXPECT_FALSE(deleteRegistryValue(HkeyClassesRoot, "A", "keep")) << int(op);
        clearFileFaults();
        EXPECT_EQ(readFile(path()), before) << int(op);
    }
    EXPECT_EQ(fs::directory_iterator(folder_.path() + "/varnok")->path().filename(), "registry.reg")
        << "no temporary file is left behind";
}

TEST_F(RegistryStoreTest, AStoreThatCannotBeReadIsNeverReplaced) {
    ASSERT_TRUE(writeRegistryValue(HkeyClassesRoot, "A", "keep", "1"));
    const std::string before = readFile(path());
    for (FileOp op : {FileOp::Open, FileOp::Read}) {
        failFileOperation(op, 1);
        EXPECT_FALSE(writeRegistryValue(HkeyClassesRoot, "A", "new", "2")) << int(op);
        clearFileFaults();
        EXPECT_EQ(readFile(path()), before) << int(op);
        failFileOperation(op, 1);
        EXPECT_EQ(readRegistryValue(HkeyClassesRoot, "A", "keep"), std::nullopt) << "unreadable reads as empty";
        clearFileFaults();
    }
    EXPECT_EQ(readRegistryValue(HkeyClassesRoot, "A", "keep"), "1");
}

#endif  // the stand-in

TEST_F(RegistryStoreTest, AnyValueReadsBackExactly) {
    std::mt19937 random(3);
    // Whole characters: single bytes, and UTF-8 letters of two and three
    // bytes (e acute, euro sign).
    std::vector<std::string> alphabet = {"a", "b", " ", "=", "[", "]", "\"", "\\", "@", ";", "#",
                                         "\t", "\r", "\n", ",", "\x7f", "\xC3\xA9", "\xE2\x82\xAC"};
#ifndef _WIN32
    alphabet.push_back("\xE9");  // the stand-in keeps any byte; the registry takes UTF-8 text only
#endif
    for (int i = 0; i < 60; ++i) {
        std::string value, name;
        for (size_t n = random() % 24; value.size() < n;) value += alphabet[random() % alphabet.size()];
        for (size_t n = 1 + random() % 8; name.size() < n;) name += alphabet[random() % alphabet.size()];
        ASSERT_TRUE(writeRegistryValue(root(HkeyLocalMachine), key("K"), name, value));
        EXPECT_EQ(readRegistryValue(root(HkeyLocalMachine), key("K"), name), value);
    }
}

TEST_F(RegistryStoreTest, KeysAndNamesMatchWithoutCaseAndKeepTheirSpelling) {
    const uint32_t users = root(HkeyUsers);
    ASSERT_TRUE(writeRegistryValue(users, key("Soft\\Ware"), "Name", "1"));
    ASSERT_TRUE(writeRegistryValue(users, key("SOFT\\\\ware\\"), "NAME", "2"));
    EXPECT_EQ(readRegistryValue(users, key("soft\\ware"), "name"), "2");
    EXPECT_EQ(registryValueNames(users, key("\\Soft\\Ware")), (std::vector<std::string>{"Name"}));
#ifndef _WIN32
    EXPECT_NE(readFile(path()).find("[HKEY_USERS\\Soft\\Ware]\n\"Name\"=\"2\"\n"), std::string::npos);
#endif
    EXPECT_EQ(readRegistryValue(users, key("Soft"), "Name"), std::nullopt) << "a parent key is another key";
    EXPECT_EQ(readRegistryValue(HkeyCurrentConfig, key("Soft\\Ware"), "Name"), std::nullopt);
}

TEST_F(RegistryStoreTest, DeletingTheLastValueLeavesTheKey) {
    const uint32_t classes = root(HkeyClassesRoot);
    EXPECT_FALSE(registryKeyExists(classes, key("A")));
    ASSERT_TRUE(writeRegistryValue(classes, key("A"), "v", "1"));
    EXPECT_TRUE(deleteRegistryValue(classes, key("A"), "V"));
    EXPECT_TRUE(registryKeyExists(classes, key("A")));
    EXPECT_TRUE(registryValueNames(classes, key("A")).empty());
#ifndef _WIN32
    EXPECT_EQ(readFile(path()), "Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\A]\n\n");
#endif
    EXPECT_TRUE(deleteRegistryValue(classes, key("A"), "v")) << "already gone";
    EXPECT_TRUE(deleteRegistryValue(classes, key("Missing"), "v"));
    EXPECT_FALSE(registryKeyExists(classes, key("Missing")));
}

TEST_F(RegistryStoreTest, UnknownRootsAndEmptyKeyPathsAreRefused) {
    EXPECT_FALSE(writeRegistryValue(0x80000009u, "A", "v", "1"));
    EXPECT_FALSE(writeRegistryValue(0, "A", "v", "1"));
    EXPECT_FALSE(writeRegistryValue(HkeyClassesRoot, "", "v", "1"));
    EXPECT_FALSE(writeRegistryValue(HkeyClassesRoot, "\\\\", "v", "1"));
    EXPECT_FALSE(writeRegistryValue(HkeyClassesRoot, "A\nB", "v", "1"));
    EXPECT_EQ(readRegistryValue(0x80000009u, "A", "v"), std::nullopt);
    EXPECT_TRUE(deleteRegistryValue(0x80000009u, "A", "v")) << "nothing can be there";
#ifdef _WIN32
    EXPECT_FALSE(registryKeyExists(HkeyCurrentUser, "A\nB"));
#else
    EXPECT_FALSE(fs::exists(path()));
#endif
    EXPECT_EQ(registryRootName(0x80000004u), "");
    EXPECT_EQ(registryRootName(HkeyCurrentConfig), "HKEY_CURRENT_CONFIG");
}

// Random writes and deletes against a map of what the store should hold.
TEST_F(RegistryStoreTest, RandomOperationsAgreeWithAModel) {
    std::mt19937 random(5);
    const char* keys[] = {"k1", "k1\\sub", "K2"};
    const char* names[] = {"a", "B", "", "c d"};
    std::map<std::pair<std::string, std::string>, std::string> model;
    auto lower = [](std::string s) {
        for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (int step = 0; step < 150; ++step) {
        const std::string key = keys[random() % 3];
        const std::string name = names[random() % 4];
        const auto slot = std::make_pair(lower(key), lower(name));
        if (random() % 3 == 0) {
            ASSERT_TRUE(deleteRegistryValue(HkeyCurrentUser, this->key(key), name));
            model.erase(slot);
        } else {
            const std::string value = std::to_string(random() % 1000) + (random() % 2 ? "\\\"" : "");
            ASSERT_TRUE(writeRegistryValue(HkeyCurrentUser, this->key(key), name, value));
            model[slot] = value;
        }
        for (const char* k : keys)
            for (const char* n : names) {
                auto it = model.find({lower(k), lower(n)});
                const std::optional<std::string> expected =
                    it == model.end() ? std::nullopt : std::optional<std::string>(it->second);
                ASSERT_EQ(readRegistryValue(HkeyCurrentUser, this->key(k), n), expected) << "step " << step;
            }
    }
}

// The names as listed; on Windows sorted first, as the registry promises no
// order of its own.
std::vector<std::string> listedNames(uint32_t root, const std::string& keyPath) {
    std::vector<std::string> names = registryValueNames(root, keyPath);
#ifdef _WIN32
    std::sort(names.begin(), names.end());
#endif
    return names;
}

#ifdef _WIN32
const std::vector<std::string> createdFirst = {"", "a", "b", "c"};
const std::vector<std::string> afterChanges = {"", "A", "b", "c"};
#else
const std::vector<std::string> createdFirst = {"c", "a", "", "b"};
const std::vector<std::string> afterChanges = {"c", "", "b", "A"};
#endif

TEST_F(RegistryStoreTest, ValueNamesKeepTheirSpellingAndComeInCreationOrder) {
    const uint32_t user = root(HkeyCurrentUser);
    for (const char* name : {"c", "a", "", "b"}) ASSERT_TRUE(writeRegistryValue(user, key("Order"), name, name));
    EXPECT_EQ(listedNames(user, key("Order")), createdFirst);
    ASSERT_TRUE(deleteRegistryValue(user, key("Order"), "a"));
    ASSERT_TRUE(writeRegistryValue(user, key("Order"), "C", "again"));
    ASSERT_TRUE(writeRegistryValue(user, key("Order"), "A", "back"));
    EXPECT_EQ(listedNames(user, key("Order")), afterChanges);
    EXPECT_TRUE(registryValueNames(user, key("Missing")).empty());
}

#ifdef _WIN32
// What only the registry itself shows.

// The wide path of a test key, for the registry functions themselves.
std::wstring wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

TEST_F(RegistryStoreTest, ValuesAreStringValuesOtherProgramsRead) {
    EXPECT_EQ(registryStorePath(), "") << "no stand-in file";
    const std::string value = "M\xC3\xBCller \xE2\x82\xAC \xE6\x97\xA5";  // Müller, euro, a CJK letter
    ASSERT_TRUE(writeRegistryValue(HkeyCurrentUser, key("U"), "Name", value));
    HKEY handle;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, wide(key("U")).c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &handle),
              ERROR_SUCCESS);
    wchar_t data[64] = {};
    DWORD type = 0, bytes = sizeof data;
    ASSERT_EQ(::RegQueryValueExW(handle, L"Name", nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    const std::wstring expected = L"M\u00fcller \u20ac \u65e5";
    EXPECT_EQ(bytes, (expected.size() + 1) * sizeof(wchar_t)) << "the text and its terminating zero";
    EXPECT_EQ(std::wstring(data), expected);

    // Written by another program: a string reads as UTF-8, a number as missing.
    const std::wstring other = L"Stra\u00dfe";
    ::RegSetValueExW(handle, L"Other", 0, REG_SZ, reinterpret_cast<const BYTE*>(other.c_str()),
                     DWORD((other.size() + 1) * sizeof(wchar_t)));
    const DWORD number = 7;
    ::RegSetValueExW(handle, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    // Without a terminating zero, as some programs store strings.
    ::RegSetValueExW(handle, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"xy"), 2 * sizeof(wchar_t));
    ::RegCloseKey(handle);
    EXPECT_EQ(readRegistryValue(HkeyCurrentUser, key("U"), "other"), "Stra\xC3\x9F" "e");
    EXPECT_EQ(readRegistryValue(HkeyCurrentUser, key("U"), "Number"), std::nullopt);
    EXPECT_EQ(readRegistryValue(HkeyCurrentUser, key("U"), "Bare"), "xy");
    EXPECT_EQ(listedNames(HkeyCurrentUser, key("U")), (std::vector<std::string>{"Bare", "Name", "Other"}))
        << "only string values, as reads see them";
}

TEST_F(RegistryStoreTest, TextThatIsNotUtf8IsRefused) {
    EXPECT_FALSE(writeRegistryValue(HkeyCurrentUser, key("U"), "n", "caf\xE9"));
    EXPECT_FALSE(writeRegistryValue(HkeyCurrentUser, key("U"), "\xE9", "v"));
    EXPECT_FALSE(writeRegistryValue(HkeyCurrentUser, key("\xE9"), "n", "v"));
    EXPECT_FALSE(registryKeyExists(HkeyCurrentUser, key("U"))) << "nothing was created";
    EXPECT_EQ(readRegistryValue(HkeyCurrentUser, key("U"), "\xE9"), std::nullopt);
    EXPECT_TRUE(deleteRegistryValue(HkeyCurrentUser, key("U"), "\xE9"));
}

// The registry matches names without regard to case for every letter, not
// only ASCII ones, and keeps the spelling they were created with.
TEST_F(RegistryStoreTest, TheRegistryFoldsEveryLetter) {
    ASSERT_TRUE(writeRegistryValue(HkeyCurrentUser, key("\xC3\x84pfel"), "\xC3\x9C" "ber", "1"));  // Äpfel, Über
    EXPECT_EQ(readRegistryValue(HkeyCurrentUser, key("\xC3\xA4PFEL"), "\xC3\xBC" "BER"), "1");     // äPFEL, üBER
    EXPECT_EQ(registryValueNames(HkeyCurrentUser, key("\xC3\xA4pfel")), (std::vector<std::string>{"\xC3\x9C" "ber"}));
}

// HKEY_CLASSES_ROOT, the root the program's settings use in registry mode,
// takes a user's writes (into the user's own classes).
TEST_F(RegistryStoreTest, ClassesRootTakesTheUsersWrites) {
    const std::string classesKey = "varnok-tests-" + base_.substr(base_.find_last_of('\\') + 1);
    ASSERT_TRUE(writeRegistryValue(HkeyClassesRoot, classesKey + "\\Main", "XPos", "40"));
    EXPECT_EQ(readRegistryValue(HkeyClassesRoot, classesKey + "\\Main", "xpos"), "40");
    EXPECT_EQ(::RegDeleteTreeW(HKEY_CLASSES_ROOT, wide(classesKey).c_str()), ERROR_SUCCESS);
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, wide(classesKey).c_str());
    EXPECT_FALSE(registryKeyExists(HkeyClassesRoot, classesKey));
}
#endif

}  // namespace
}  // namespace varnok::platform
