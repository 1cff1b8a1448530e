#include "platform/profile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace varnok::platform {
namespace {

namespace fs = std::filesystem;

// A private folder that also serves as the configuration home, so the
// default profile of these tests never touches the user's own.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("varnok_profile_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        const char* old = std::getenv("XDG_CONFIG_HOME");
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        ::setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
    }
    void TearDown() override {
        if (hadOld_) ::setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
        else ::unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(folder_);
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
    fs::path folder_;
    std::string old_;
    bool hadOld_ = false;
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
    EXPECT_EQ(resolveProfilePath(".\\remtxa.ini"), "./remtxa.ini");
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

}  // namespace
}  // namespace varnok::platform
