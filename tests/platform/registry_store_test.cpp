#include "platform/registry_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

#include "platform/plain_file.h"
#include "tests/app/temp_folder.h"

namespace varnok::platform {
namespace {

namespace fs = std::filesystem;
using testing::readFile;

// The store lives in a temporary configuration home.
class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        ::setenv("XDG_CONFIG_HOME", folder_.path().c_str(), 1);
    }
    void TearDown() override {
        clearFileFaults();
        if (hadOld_) ::setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
        else ::unsetenv("XDG_CONFIG_HOME");
    }
    std::string path() const { return folder_.path() + "/varnok/registry.reg"; }
    void writeStore(const std::string& text) {
        fs::create_directories(folder_.path() + "/varnok");
        std::ofstream(path(), std::ios::binary) << text;
    }

    testing::TempFolder folder_;
    std::string old_;
    bool hadOld_ = false;
};

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

TEST_F(RegistryStoreTest, AnyValueReadsBackExactly) {
    std::mt19937 random(3);
    const std::string alphabet = std::string("ab =[]\"\\@;#\t\r\n,") + char(0x7f) + char(0xe9);
    for (int i = 0; i < 60; ++i) {
        std::string value, name;
        for (size_t n = random() % 24; value.size() < n;) value += alphabet[random() % alphabet.size()];
        for (size_t n = 1 + random() % 8; name.size() < n;) name += alphabet[random() % alphabet.size()];
        ASSERT_TRUE(writeRegistryValue(HkeyLocalMachine, "K", name, value));
        EXPECT_EQ(readRegistryValue(HkeyLocalMachine, "K", name), value);
    }
}

TEST_F(RegistryStoreTest, KeysAndNamesMatchWithoutCaseAndKeepTheirSpelling) {
    ASSERT_TRUE(writeRegistryValue(HkeyUsers, "Soft\\Ware", "Name", "1"));
    ASSERT_TRUE(writeRegistryValue(HkeyUsers, "SOFT\\\\ware\\", "NAME", "2"));
    EXPECT_EQ(readRegistryValue(HkeyUsers, "soft\\ware", "name"), "2");
    EXPECT_EQ(registryValueNames(HkeyUsers, "\\Soft\\Ware"), (std::vector<std::string>{"Name"}));
    EXPECT_NE(readFile(path()).find("[HKEY_USERS\\Soft\\Ware]\n\"Name\"=\"2\"\n"), std::string::npos);
    EXPECT_EQ(readRegistryValue(HkeyUsers, "Soft", "Name"), std::nullopt) << "a parent key is another key";
    EXPECT_EQ(readRegistryValue(HkeyCurrentConfig, "Soft\\Ware", "Name"), std::nullopt);
}

TEST_F(RegistryStoreTest, DeletingTheLastValueLeavesTheKey) {
    ASSERT_TRUE(writeRegistryValue(HkeyClassesRoot, "A", "v", "1"));
    EXPECT_TRUE(deleteRegistryValue(HkeyClassesRoot, "A", "V"));
    EXPECT_TRUE(registryKeyExists(HkeyClassesRoot, "A"));
    EXPECT_TRUE(registryValueNames(HkeyClassesRoot, "A").empty());
    EXPECT_EQ(readFile(path()), "Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\A]\n\n");
    EXPECT_TRUE(deleteRegistryValue(HkeyClassesRoot, "A", "v")) << "already gone";
    EXPECT_TRUE(deleteRegistryValue(HkeyClassesRoot, "Missing", "v"));
}

TEST_F(RegistryStoreTest, UnknownRootsAndEmptyKeyPathsAreRefused) {
    EXPECT_FALSE(writeRegistryValue(0x80000009u, "A", "v", "1"));
    EXPECT_FALSE(writeRegistryValue(0, "A", "v", "1"));
    EXPECT_FALSE(writeRegistryValue(HkeyClassesRoot, "", "v", "1"));
    EXPECT_FALSE(writeRegistryValue(HkeyClassesRoot, "\\\\", "v", "1"));
    EXPECT_FALSE(writeRegistryValue(HkeyClassesRoot, "A\nB", "v", "1"));
    EXPECT_EQ(readRegistryValue(0x80000009u, "A", "v"), std::nullopt);
    EXPECT_FALSE(fs::exists(path()));
    EXPECT_EQ(registryRootName(0x80000004u), "");
    EXPECT_EQ(registryRootName(HkeyCurrentConfig), "HKEY_CURRENT_CONFIG");
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
            ASSERT_TRUE(deleteRegistryValue(HkeyCurrentUser, key, name));
            model.erase(slot);
        } else {
            const std::string value = std::to_string(random() % 1000) + (random() % 2 ? "\\\"" : "");
            ASSERT_TRUE(writeRegistryValue(HkeyCurrentUser, key, name, value));
            model[slot] = value;
        }
        for (const char* k : keys)
            for (const char* n : names) {
                auto it = model.find({lower(k), lower(n)});
                const std::optional<std::string> expected =
                    it == model.end() ? std::nullopt : std::optional<std::string>(it->second);
                ASSERT_EQ(readRegistryValue(HkeyCurrentUser, k, n), expected) << "step " << step;
            }
    }
}

}  // namespace
}  // namespace varnok::platform
