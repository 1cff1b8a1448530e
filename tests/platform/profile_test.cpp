#include "platform/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "platform/directory.h"
#include "platform/environment.h"
#include "platform/plain_file.h"
#include "tests/support/config_home.h"

namespace varnok::platform {
namespace {

namespace fs = std::filesystem;

// The configuration home's variable (XDG_CONFIG_HOME, or APPDATA on Windows).
const std::string ConfigVariable = testing::settingsHomeVariable();

// A private folder that also serves as the configuration home, so the
// default profile of these tests never touches the user's own.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(temp_.path());
        old_ = environmentVariable(ConfigVariable);
        setEnvironmentVariable(ConfigVariable, (folder_ / "config").string());
    }
    void TearDown() override {
        clearFileFaults();
        setEnvironmentVariable(ConfigVariable, old_);
    }
    std::string file(const char* name) const { return (folder_ / name).string(); }
    static std::string contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    testing::TempFolder temp_;
    fs::path folder_;
    std::optional<std::string> old_;
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
    std::string ini = file("a.ini");
    EXPECT_EQ(getPrivateProfileString("S", "K", "dflt  ", ini), "dflt");
    EXPECT_EQ(getPrivateProfileInt("S", "K", 42, ini), 42);
    write(ini, "[S]\nOther=1\n");
    EXPECT_EQ(getPrivateProfileString("S", "K", "d", ini), "d");
    EXPECT_EQ(getPrivateProfileString("T", "Other", "d", ini), "d");
    EXPECT_FALSE(fs::exists(ini + ".tmp"));
}

TEST_F(ProfileTest, ReadsMatchWithoutCaseAndTrimValues) {
    std::string ini = file("b.ini");
    write(ini, "; comment=not a key\r\n[Intl]\r\n  sTime = .  \r\nsShortDate=\"dd.MM.yyyy\"\r\n"
               "iTime=1\r\nneg=-17x\r\nword=abc\r\n[other]\r\nsTime=wrong\r\n[INTL]\r\nlate=yes\r\n");
    EXPECT_EQ(getPrivateProfileString("intl", "STIME", "", ini), ".");
    EXPECT_EQ(getPrivateProfileString("INTL", "sshortdate", "", ini), "dd.MM.yyyy");
    EXPECT_EQ(getPrivateProfileInt("intl", "iTime", 0, ini), 1);
    EXPECT_EQ(getPrivateProfileInt("intl", "neg", 0, ini), -17);
    EXPECT_EQ(getPrivateProfileInt("intl", "word", 5, ini), 0);
    EXPECT_EQ(getPrivateProfileString("intl", "late", "no", ini), "yes");
    EXPECT_EQ(getPrivateProfileString("", "; comment", "none", ini), "none");
    EXPECT_EQ(privateProfileSections(ini), (std::vector<std::string>{"Intl", "other", "INTL"}));
    EXPECT_EQ(privateProfileKeys("intl", ini),
              (std::vector<std::string>{"sTime", "sShortDate", "iTime", "neg", "word", "late"}));
}

TEST_F(ProfileTest, WriteCreatesFileAndSectionAndKeepsEverythingElse) {
    std::string ini = file("c.ini");
    ASSERT_TRUE(writePrivateProfileString("TXA", "FileName", "a.txa   ", ini));
    EXPECT_EQ(contents(ini), "[TXA]\nFileName=a.txa\n");
    ASSERT_TRUE(writePrivateProfileString("txa", "filename", "b.txa", ini));
    ASSERT_TRUE(writePrivateProfileString("TXA", "Other", "1", ini));
    ASSERT_TRUE(writePrivateProfileString("Main", "XPos", "10", ini));
    EXPECT_EQ(contents(ini), "[TXA]\nFileName=b.txa\nOther=1\n\n[Main]\nXPos=10\n");
    ASSERT_TRUE(writePrivateProfileString("TXA", "Other", std::nullopt, ini));
    EXPECT_EQ(getPrivateProfileString("TXA", "Other", "gone", ini), "gone");
    ASSERT_TRUE(removePrivateProfileSection("main", ini));
    EXPECT_EQ(contents(ini), "[TXA]\nFileName=b.txa\n\n");

    // Comments and CR LF line ends survive a rewrite.
    std::string dos = file("dos.ini");
    write(dos, ";keep me\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(writePrivateProfileString("A", "z", "3", dos));
    EXPECT_EQ(contents(dos), ";keep me\r\n[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
}

TEST_F(ProfileTest, WritesThatWouldBreakTheFileAreRefused) {
    std::string ini = file("d.ini");
    ASSERT_TRUE(writePrivateProfileString("S", "K", "v", ini));
    std::string before = contents(ini);
    EXPECT_FALSE(writePrivateProfileString("S", "K", "two\nlines", ini));
    EXPECT_FALSE(writePrivateProfileString("S", "a=b", "v", ini));
    EXPECT_FALSE(writePrivateProfileString("S]", "K", "v", ini));
    EXPECT_FALSE(writePrivateProfileString("S", "", "v", ini));
    EXPECT_FALSE(writePrivateProfileString("", "K", "v", ini));
    EXPECT_EQ(contents(ini), before);
    // A folder that cannot exist: the write fails and reports it.
    std::string blocked = (folder_ / "d.ini" / "inner.ini").string();
    EXPECT_FALSE(writePrivateProfileString("S", "K", "v", blocked));
    EXPECT_EQ(contents(ini), before);
}

TEST_F(ProfileTest, DefaultProfileAndBareNamesLiveInTheConfigurationFolder) {
    EXPECT_EQ(defaultProfilePath(), (folder_ / "config" / "varnok" / "win.ini").string());
    EXPECT_EQ(getProfileString("intl", "s1159", "AM"), "AM");
    ASSERT_TRUE(writeProfileString("intl", "s1159", "vm"));
    EXPECT_EQ(getProfileString("INTL", "S1159", "AM"), "vm");
    EXPECT_EQ(getPrivateProfileString("intl", "s1159", "", ""), "vm");
    EXPECT_EQ(getProfileInt("intl", "iTime", 7), 7);
    EXPECT_EQ(resolveProfilePath("varnok.INI"), (folder_ / "config" / "varnok" / "varnok.INI").string());
    EXPECT_EQ(resolveProfilePath(".\\remtxa.ini"), std::string(".") + PathSeparator + "remtxa.ini");
    EXPECT_EQ(resolveProfilePath("sub/x.ini"), std::string("sub") + PathSeparator + "x.ini");
    ASSERT_TRUE(writePrivateProfileString("Main", "Maximize", "No", "varnok.INI"));
    EXPECT_EQ(getPrivateProfileString("main", "maximize", "", "varnok.INI"), "No");
}

// Random writes and removals agree with a map model, and every value reads
// back as written (less trailing blanks).
TEST_F(ProfileTest, RandomEditsAgreeWithAMapModel) {
    std::string ini = file("model.ini");
    std::map<std::pair<std::string, std::string>, std::string> model;
    std::mt19937 rng(7);
    const char* sections[] = {"Main", "TXA", "intl", "__Dont_Touch_Me__"};
    const char* keys[] = {"a", "B", "Sectors_1", "x y"};
    auto lower = [](std::string s) {
        for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (int step = 0; step < 300; ++step) {
        std::string section = sections[rng() % 4];
        std::string key = keys[rng() % 4];
        if (rng() % 2) section = lower(section);
        auto id = std::make_pair(lower(section), lower(key));
        if (rng() % 5 == 0) {
            ASSERT_TRUE(writePrivateProfileString(section, key, std::nullopt, ini));
            model.erase(id);
        } else {
            std::string value = "v" + std::to_string(rng() % 1000) + (rng() % 2 ? " , x" : "");
            ASSERT_TRUE(writePrivateProfileString(section, key, value + "  ", ini));
            model[id] = value;
        }
        for (const char* s : sections)
            for (const char* k : keys) {
                auto it = model.find({lower(s), lower(k)});
                ASSERT_EQ(getPrivateProfileString(s, k, "<none>", ini), it == model.end() ? "<none>" : it->second)
                    << "step " << step << " " << s << "/" << k;
            }
    }
}

// Found by fuzzing: values with leading blanks or enclosing quotes, and names
// with blanks around them, did not read back as written.
TEST_F(ProfileTest, EveryValueWrittenReadsBackAsWritten) {
    const std::string path = file("round.ini");
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        const char* stored;  // the line in the file
    };
    const Case cases[] = {
        {"A", "k", " lead", "k=\" lead\""},
        {"A", "q", "\"both\"", "q=\"\"both\"\""},
        {"A", "s", "'single'", "s=\"'single'\""},
        {"A", "t", "\ttab first", "t=\"\ttab first\""},
        {"A", "h", "\"half", "h=\"half"},
        {"A", "e", "\"\"", "e=\"\"\"\""},
        {"A", "plain", "v  ", "plain=v"},
        {" A ", " spaced ", "x", "spaced=x"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(writePrivateProfileString(c.section, c.key, std::string_view(c.value), path)) << c.key;
        std::string expected = c.value;
        expected.erase(expected.find_last_not_of(" \t") + 1);
        EXPECT_EQ(getPrivateProfileString(c.section, c.key, "-", path), expected) << c.key;
        EXPECT_NE(contents(path).find(std::string("\n") + c.stored + "\n"), std::string::npos) << contents(path);
    }
    // Names are found whatever blanks surround them, also for removal.
    EXPECT_EQ(getPrivateProfileString("A", "spaced", "-", path), "x");
    ASSERT_TRUE(writePrivateProfileString("  a", "spaced  ", std::nullopt, path));
    EXPECT_EQ(getPrivateProfileString("A", "spaced", "-", path), "-");
    EXPECT_EQ(privateProfileKeys(" A ", path).size(), 7u);
    ASSERT_TRUE(removePrivateProfileSection(" a ", path));
    EXPECT_TRUE(privateProfileSections(path).empty());
}

// Every way the rewrite can fail leaves the old file as it was and no
// temporary file behind.
TEST_F(ProfileTest, AFailedRewriteLeavesTheOldFileWhole) {
    const std::string ini = file("keep.ini");
    write(ini, "; mine\r\n[S]\r\nK=old\r\n");
    const std::string before = contents(ini);
    for (FileOp op : {FileOp::Open, FileOp::Write, FileOp::Sync, FileOp::Rename}) {
        // The first Open is the read; the rewrite's own open comes second.
        failFileOperation(op, op == FileOp::Open ? 2 : 1);
        EXPECT_FALSE(writePrivateProfileString("S", "K", "new", ini)) << int(op);
        failFileOperation(op, op == FileOp::Open ? 2 : 1);
        EXPECT_FALSE(writePrivateProfileString("S", "K", std::nullopt, ini)) << int(op);
        failFileOperation(op, op == FileOp::Open ? 2 : 1);
        EXPECT_FALSE(removePrivateProfileSection("S", ini)) << int(op);
        clearFileFaults();
        EXPECT_EQ(contents(ini), before) << int(op);
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder_)) left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"keep.ini"});
    ASSERT_TRUE(writePrivateProfileString("S", "K", "new", ini));
    EXPECT_EQ(contents(ini), "; mine\r\n[S]\r\nK=new\r\n");
}

// A file that exists but cannot be read gives the defaults, and is never
// replaced by a file that would lack what could not be read.
TEST_F(ProfileTest, AFileThatCannotBeReadIsNeverReplaced) {
    const std::string ini = file("unread.ini");
    write(ini, "[S]\nK=v\n");
    for (FileOp op : {FileOp::Open, FileOp::Read}) {
        failFileOperation(op, 1);
        EXPECT_EQ(getPrivateProfileString("S", "K", "dflt", ini), "dflt") << int(op);
        failFileOperation(op, 1);
        EXPECT_FALSE(writePrivateProfileString("S", "Other", "1", ini)) << int(op);
        failFileOperation(op, 1);
        EXPECT_FALSE(writePrivateProfileString("S", "Missing", std::nullopt, ini)) << int(op);
        failFileOperation(op, 1);
        EXPECT_FALSE(removePrivateProfileSection("T", ini)) << int(op);
        clearFileFaults();
        EXPECT_EQ(contents(ini), "[S]\nK=v\n") << int(op);
    }
    // Without faults the same calls succeed.
    EXPECT_TRUE(writePrivateProfileString("S", "Missing", std::nullopt, ini));
    EXPECT_TRUE(removePrivateProfileSection("T", ini));
}

// Values are bytes: the program's UTF-8 goes into the file unchanged, on
// every system (no code page conversion on Windows).
TEST_F(ProfileTest, Utf8ValuesAreStoredAsTheyAre) {
    const std::string ini = file("utf8.ini");
    const std::string value = "M\xC3\xBCller \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC";  // Müller, euro, two CJK letters
    ASSERT_TRUE(writePrivateProfileString("TXA", "FileName", value, ini));
    EXPECT_EQ(contents(ini), "[TXA]\nFileName=" + value + "\n");
    EXPECT_EQ(getPrivateProfileString("txa", "filename", "", ini), value);
}

#ifdef _WIN32
// %APPDATA% decides where bare names and the default profile live; without
// it the system's own roaming folder does.
TEST_F(ProfileTest, BareNamesLiveUnderAppData) {
    const std::string appData = (folder_ / "roaming").string();
    setEnvironmentVariable("APPDATA", appData + "\\");
    EXPECT_EQ(profileFolder(), appData + "\\varnok") << "one separator, whatever APPDATA ends with";
    setEnvironmentVariable("APPDATA", appData);
    EXPECT_EQ(resolveProfilePath("varnok.INI"), appData + "\\varnok\\varnok.INI");
    EXPECT_EQ(resolveProfilePath("C:varnok.INI"), "C:varnok.INI") << "a drive is a directory part";
    ASSERT_TRUE(writePrivateProfileString("Main", "XPos", "40", "varnok.INI"));
    EXPECT_EQ(contents(appData + "\\varnok\\varnok.INI"), "[Main]\nXPos=40\n");

    setEnvironmentVariable("APPDATA", std::nullopt);
    const std::string system = profileFolder();
    ASSERT_GT(system.size(), 10u) << system;
    EXPECT_EQ(system.substr(1, 2), ":\\") << system;
    EXPECT_EQ(system.substr(system.size() - 7), "\\varnok") << system;
}

// A settings folder with letters outside any ANSI code page, deeper than the
// classic 260 characters: the folder is created and the file found again.
TEST_F(ProfileTest, LongAndNonAsciiSettingsFolders) {
    std::string appData = folder_.string() + "\\\xC3\x84rger-\xE6\x97\xA5\xE6\x9C\xAC";  // Ärger-日本
    while (appData.size() < 300) appData += "\\" + std::string(40, 'd');
    setEnvironmentVariable("APPDATA", appData);
    ASSERT_TRUE(writePrivateProfileString("Main", "Maximize", "No", "varnok.INI"));
    EXPECT_EQ(getPrivateProfileString("main", "maximize", "", "varnok.INI"), "No");
    std::vector<DirectoryEntry> listing;
    ASSERT_EQ(listDirectory(appData + "\\varnok\\*.INI", listing), 1u);
    EXPECT_EQ(listing[0].name, "varnok.INI");
    EXPECT_EQ(listing[0].size, std::string("[Main]\nMaximize=No\n").size());
}
#endif

}  // namespace
}  // namespace varnok::platform
