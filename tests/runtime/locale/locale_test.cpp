#include "runtime/locale/locale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "platform/codepage.h"
#include "platform/module_path.h"
#include "platform/profile.h"
#include "tests/support/test_system.h"
#include "runtime/locale/collating_sequence.h"
#include "runtime/locale/collation.h"
#include "runtime/locale/environment_file.h"

namespace varnok {
namespace {

namespace fs = std::filesystem;

// The invariants every state of the tables must keep.
void expectTablesConsistent() {
    const uint8_t* classes = characterClassTable();
    const uint8_t* cases = caseTable();
    for (int c = 0; c < 256; ++c) {
        if (cases[c]) {
            ASSERT_EQ(cases[cases[c]], c) << "pair of " << c;
            ASSERT_TRUE((classes[c] == ClassUpper && classes[cases[c]] == ClassLower) ||
                        (classes[c] == ClassLower && classes[cases[c]] == ClassUpper))
                << c;
        }
        if (c) {
            ASSERT_NE(upperCase(uint8_t(c)), 0) << c;
        }
        ASSERT_EQ(isLetterOrDigit(uint8_t(c)), classes[c] != 0);
    }
    for (const uint8_t* table : {ansiCollationTable(), oemCollationTable()}) {
        std::set<int> ranks(table, table + 256);
        ASSERT_EQ(ranks.size(), 256u);
    }
}

class LocaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("varnok_locale_" + std::to_string(varnok::testing::currentProcessId()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        varnok::testing::setEnvironment(varnok::testing::settingsHomeVariable(), (folder_ / "config").string());
        resetLocaleToDefaults();
    }
    void TearDown() override {
        resetLocaleToDefaults();
        resetCollationTable();
        fs::remove_all(folder_);
    }
    std::string writeFile(const std::string& name, const std::string& text) {
        std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    fs::path folder_;
};

TEST_F(LocaleTest, DefaultsWithoutEnvironmentFile) {
    reinitialiseLocale((folder_ / "missing.ENV").string());
    EXPECT_EQ(monthName(1), "January");
    EXPECT_EQ(monthName(12), "December");
    EXPECT_EQ(monthName(0), "");
    EXPECT_EQ(monthName(13), "");
    EXPECT_EQ(monthAbbreviation(9), "Sep");
    EXPECT_EQ(amText(), "AM");
    EXPECT_EQ(pmText(), "PM");
    EXPECT_EQ(upperCase('q'), 'Q');
    EXPECT_EQ(lowerCase('Q'), 'q');
    EXPECT_EQ(upperCase(uint8_t(0xE4)), 0xE4);  // no pairs above 127 by default
    EXPECT_TRUE(isDigitCharacter('7'));
    EXPECT_FALSE(isLetter('7'));
    EXPECT_TRUE(isLetterOrDigit('7'));
    EXPECT_FALSE(isLetterOrDigit('-'));
    EXPECT_EQ(collationRank('b'), 'b');
    EXPECT_FALSE(readEnvironmentFile((folder_ / "missing.ENV").string()));
    expectTablesConsistent();
}

TEST_F(LocaleTest, EnvironmentFileEdgeCases) {
    const uint32_t months = monthNamesChangeCount();
    const uint32_t ampm = amPmChangeCount();
    std::string path = writeFile("prog.ENV",
                                 "ORVMONTH=Januar,Februar,M\xE4rz\r\n"
                                 "ORVAMPM=vm,nm\n"
                                 "ORVMON=Janvier\r"
                                 "orvlfn=on\n"
                                 "ORVMSG42=<65>bc, def\n");
    reinitialiseLocale(path);
    EXPECT_EQ(monthName(1), "Januar");
    EXPECT_EQ(monthName(2), "Februar");
    EXPECT_EQ(monthName(3), "M\xE4rz");
    EXPECT_EQ(monthName(4), "April");
    EXPECT_EQ(monthAbbreviation(1), "Jan");
    EXPECT_EQ(amText(), "vm");
    EXPECT_EQ(pmText(), "nm");
    EXPECT_TRUE(longFileNames());
    EXPECT_EQ(messageOverride(42), "Abc, def");
    EXPECT_EQ(runtimeMessage(43, "built in"), "built in");
    EXPECT_EQ(monthNamesChangeCount(), months + 2);
    EXPECT_EQ(amPmChangeCount(), ampm + 1);
}

TEST_F(LocaleTest, ReaderSplitsLinesAndCleansKeysAndValues) {
    std::string longValue(1500, 'x');
    readEnvironmentText(
        "no equals sign here\n"
        " O R V M S G 7 = spaced key  \t \n"
        "ORVMSG8=" + longValue + "\n"
        "=no key\n"
        "ORVMSG9=trailing<32>\n"
        "ORVMSG10ABCDEFGHIJKLMNOPQRSTUVWXYZ=too long a key\n"
        "ORVLAYOUT=rtl\x1A"
        "ORVLFN=on\n");
    EXPECT_EQ(messageOverride(7), " spaced key");
    EXPECT_EQ(messageOverride(8), std::string(MaxEnvironmentValueLength, 'x'));
    EXPECT_EQ(messageOverride(9), "trailing ");
    EXPECT_FALSE(messageOverride(10));  // cut key keeps letters: not a number
    EXPECT_TRUE(rightToLeftLayout());
    EXPECT_FALSE(longFileNames());  // after the end-of-file character
}

TEST_F(LocaleTest, FileIsReadInPiecesWithoutLosingLines) {
    // Lines straddle the 2048-byte pieces at many offsets.
    std::string text;
    for (int i = 1; i <= 400; ++i) text += "ORVMSG" + std::to_string(i) + "=" + std::string(size_t(i % 37), 'v') + "\r\n";
    std::string path = writeFile("big.ENV", text + "ORVCHARSET=OEM\nORVMSG999=M\x84rz\n");
    ASSERT_TRUE(readEnvironmentFile(path));
    for (int i = 1; i <= 400; ++i) ASSERT_EQ(messageOverride(i), std::string(size_t(i % 37), 'v')) << i;
    EXPECT_EQ(messageOverride(999), "M\xE4rz");  // OEM text converted
    EXPECT_FALSE(oemCharacterSet());             // flag put back after the file

    // Very long lines: blanks spread through a key, a value far past its
    // 1024 characters, and a line without '=' at all.
    std::string longLines = "ORV" + std::string(7000, ' ') + "LFN=on\n" + std::string(9000, 'k') + "\n" +
                            "ORVMSG1=" + std::string(9000, 'w') + "\nORVLAYOUT=RTL";
    ASSERT_TRUE(readEnvironmentFile(writeFile("long.ENV", longLines)));
    EXPECT_TRUE(longFileNames());
    EXPECT_EQ(messageOverride(1), std::string(MaxEnvironmentValueLength, 'w'));
    EXPECT_TRUE(rightToLeftLayout());
}

// Everything the settings can change, for comparing two ways of reading.
std::string snapshot() {
    std::string s;
    for (int m = 1; m <= 12; ++m) s += monthName(m) + "|" + monthAbbreviation(m) + "|";
    s += amText() + "|" + pmText() + "|" + systemCharacterSet() + "|";
    s += std::string(reinterpret_cast<const char*>(caseTable()), 256);
    s += std::string(reinterpret_cast<const char*>(characterClassTable()), 256);
    s += std::string(reinterpret_cast<const char*>(ansiCollationTable()), 256);
    for (int n = 0; n < 20; ++n) s += messageOverride(n).value_or("-") + "|";
    for (const std::string& d : digraphs()) s += d;
    s += longFileNames() ? "L" : "l";
    s += rightToLeftLayout() ? "R" : "r";
    return s;
}

TEST_F(LocaleTest, FileReaderAgreesWithTextReader) {
    const char* keys[] = {"ORVMONTH", "ORVMON", "ORVAMPM", "ORVCASE", "ORVCOLSEQ", "ORVCHARSET",
                          "ORVLFN", "ORVMSG3", "ORVMSG17", "ORVDIGRAPH", "ORVLAYOUT", "orvmsg5"};
    const char* values[] = {"OEM", "WINDOWS", "a,b,c", "\"x y\" z", "<65><<", "\x84\x94\x81", "on",
                            "RTL", "\xC4\xD6,\xE4\xF6", "abc,def", ""};
    std::mt19937 rng(3);
    for (int round = 0; round < 40; ++round) {
        std::string text;
        for (int line = rng() % 30; line > 0; --line) {
            text += std::string(rng() % 3, ' ') + keys[rng() % 12] + "=" + values[rng() % 11];
            if (rng() % 8 == 0) text += std::string(rng() % 6000, 'q');
            const char* ends[] = {"\n", "\r\n", "\r", "\n\n"};
            text += ends[rng() % 4];
        }
        if (rng() % 5 == 0) text += "\x1AORVLFN=on\n";
        resetLocaleToDefaults();
        readEnvironmentText(text);
        std::string fromText = snapshot();
        resetLocaleToDefaults();
        ASSERT_TRUE(readEnvironmentFile(writeFile("r.ENV", text)));
        ASSERT_EQ(snapshot(), fromText) << "round " << round;
        expectTablesConsistent();
    }
}

TEST_F(LocaleTest, EscapesExpand) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"<65>", "A"},          {"<65>BC", "ABC"},       {"<65", "A"},
        {"<65x", "A"},          {"<<", "<"},             {"<<65>", "<65>"},
        {"<a", "<a"},           {"a<", "a<"},            {"<0>", "<0>"},
        {"<256>", "<256>"},     {"<99999999999>", "<99999999999>"},
        {"x<32>y", "x y"},      {"<", "<"},              {"<<<", "<<"},
    };
    for (const Case& c : cases) EXPECT_EQ(expandEscapes(c.in), c.out) << c.in;
    EXPECT_EQ(expandEscapes("<128>"), "\x80");
    EXPECT_EQ(expandEscapes("<255."), "\xFF");
    // Every character code survives its own escape.
    for (int code = 1; code < 256; ++code)
        ASSERT_EQ(expandEscapes("<" + std::to_string(code) + ">"), std::string(1, char(code))) << code;
}

TEST_F(LocaleTest, ListItemsAndQuoting) {
    using Items = std::vector<std::string>;
    EXPECT_EQ(splitListItems(""), Items{});
    EXPECT_EQ(splitListItems("a,b c,d\"e"), (Items{"a", "b c", "d\"e"}));
    EXPECT_EQ(splitListItems("a,,b,"), (Items{"a", "", "b", ""}));
    EXPECT_EQ(splitListItems("\"a b\" c,\"d,e\""), (Items{"a b", "c", "d,e"}));
    EXPECT_EQ(splitListItems("\"say \"\"hi\"\"\",x"), (Items{"say \"hi\"", "x"}));
    EXPECT_EQ(splitListItems("\"a\",,\"b\""), (Items{"a", "", "b"}));
    EXPECT_EQ(splitListItems("\"open"), (Items{"open"}));
    // Property: quoting any items and joining them splits back to the items.
    std::mt19937 rng(11);
    const char alphabet[] = "ab ,\"x\t";
    for (int round = 0; round < 500; ++round) {
        Items items(1 + rng() % 5);
        std::string value;
        for (size_t i = 0; i < items.size(); ++i) {
            for (size_t k = rng() % 6; k > 0; --k) items[i].push_back(alphabet[rng() % 7]);
            std::string quoted = "\"";
            for (char c : items[i]) quoted += c == '"' ? "\"\"" : std::string(1, c);
            value += (i ? (rng() % 2 ? ", " : " ") : "") + quoted + "\"";
        }
        ASSERT_EQ(splitListItems(value), items) << value;
    }
}

TEST_F(LocaleTest, MonthsAbbreviationsAndAmPmAreCut) {
    applySetting("ORVMONTH", "\"Sehr langer Monatsname\" , Zwei");
    EXPECT_EQ(monthName(1), "Sehr langer ");
    EXPECT_EQ(monthName(2), "Zwei");
    applySetting("orvmon", ",Fevrier,Mars");
    EXPECT_EQ(monthAbbreviation(1), "Jan");  // empty item keeps the month
    EXPECT_EQ(monthAbbreviation(2), "Fev");
    EXPECT_EQ(monthAbbreviation(3), "Mar");
    applySetting("ORVAMPM", "vorm,n");
    EXPECT_EQ(amText(), "vo");
    EXPECT_EQ(pmText(), "n");
    applySetting("ORVMONTH", "1,2,3,4,5,6,7,8,9,10,11,12,13");
    EXPECT_EQ(monthName(12), "12");
}

TEST_F(LocaleTest, CasePairsFromTheFileOrFromWindows) {
    applySetting("ORVCASE", "\xC4\xD6\xDC" "A\xC4,\xE4\xF6\xFC" "a\xE5");
    EXPECT_EQ(upperCase(uint8_t(0xE4)), 0xC4);
    EXPECT_EQ(lowerCase(uint8_t(0xDC)), 0xFC);
    EXPECT_TRUE(isLetter(0xF6));
    EXPECT_EQ(lowerCase(uint8_t(0xC4)), 0xE4);  // a second pair for the same letter is ignored
    EXPECT_EQ(upperCase(uint8_t(0xE5)), 0xE5);
    EXPECT_EQ(upperCase(uint8_t('a')), 'A');   // pairs below 128 stay
    expectTablesConsistent();

    applySetting("ORVCASE", "WINDOWS");
    EXPECT_EQ(upperCase(uint8_t(0xE9)), 0xC9);
    EXPECT_EQ(upperCase(uint8_t(0x9A)), 0x8A);
    EXPECT_EQ(upperCase(uint8_t(0xDF)), 0xDF);  // sharp s: letter class, no partner
    EXPECT_TRUE(isLetterOrDigit(0xDF));
    EXPECT_EQ(upperCase("stra\xDF" "e \xE9t\xE9"), "STRA\xDF" "E \xC9T\xC9");
    expectTablesConsistent();
    applySetting("ORVCASE", "\xC4\xD6,\xE4");  // different lengths: Windows pairs
    EXPECT_EQ(upperCase(uint8_t(0xFC)), 0xDC);
    applySetting("ORVCASE", "");
    EXPECT_EQ(upperCase(uint8_t(0xE9)), 0xE9);
    expectTablesConsistent();
}

TEST_F(LocaleTest, CollatingSequenceRanksTheGivenCharacters) {
    applySetting("ORVCOLSEQ", "aAbB");
    EXPECT_LT(collationRank('a'), collationRank('A'));
    EXPECT_LT(collationRank('A'), collationRank('b'));
    EXPECT_LT(collationRank('b'), collationRank('B'));
    EXPECT_EQ(collationRank('c'), 'c');
    // The queue's comparison follows the installed table.
    const uint8_t a[] = {'a'}, upperB[] = {'B'};
    EXPECT_GT(compareTexts(upperB, 1, a, 1), 0) << "B sorts before a with the identity table";
    resetCollationTable();
    applySetting("ORVCOLSEQ", "ba");
    EXPECT_GT(compareTexts(a, 1, upperB, 1), 0);
    EXPECT_LT(compareTexts(reinterpret_cast<const uint8_t*>("b"), 1, a, 1), 0);
    expectTablesConsistent();
    // The OEM table ranks the OEM forms of the same characters.
    applySetting("ORVCOLSEQ", "\xFC\xE4");
    EXPECT_LT(collationRank(0xFC), collationRank(0xE4));
    EXPECT_LT(oemCollationRank(0x81), oemCollationRank(0x84));
    applySetting("ORVCOLSEQ", "");
    EXPECT_EQ(collationRank(0xFC), 0xFC);
    // Model: sorting by rank puts the listed characters in list order and
    // leaves the others where they were.
    std::mt19937 rng(5);
    for (int round = 0; round < 50; ++round) {
        std::string sequence;
        for (int k = rng() % 40; k > 0; --k) sequence.push_back(char(rng() % 256));
        uint8_t table[256];
        identityCollation(table);
        collationFromSequence(sequence, table);
        std::set<uint8_t> listed(sequence.begin(), sequence.end());
        uint8_t previous = 0;
        std::set<uint8_t> seen;
        bool first = true;
        for (char ch : sequence) {
            uint8_t c = uint8_t(ch);
            if (!seen.insert(c).second) continue;
            if (!first) {
                ASSERT_GT(table[c], previous);
            }
            previous = table[c];
            first = false;
        }
        for (int c = 0; c < 256; ++c)
            if (!listed.count(uint8_t(c))) {
                ASSERT_EQ(table[c], c);
            }
    }
}

TEST_F(LocaleTest, WindowsCollatingOrder) {
    applySetting("ORVCOLSEQ", "windows");
    auto before = [](uint8_t x, uint8_t y) { return collationRank(x) < collationRank(y); };
    EXPECT_TRUE(before('a', 'A'));
    EXPECT_TRUE(before('A', 'b'));
    EXPECT_TRUE(before('Z', 0xFE));     // thorn after the Latin letters
    EXPECT_TRUE(before('A', 0xE0));     // a with grave after plain A
    EXPECT_TRUE(before(0xE0, 'b'));
    EXPECT_TRUE(before(0xE0, 0xC0));    // lower before upper
    EXPECT_TRUE(before('9', 'a'));
    EXPECT_TRUE(before('-', '0'));
    EXPECT_TRUE(before('1', 0xB9));     // superscript one after 1, before 2
    EXPECT_TRUE(before(0xB9, '2'));
    EXPECT_EQ(collationRank(0), 0);
    EXPECT_EQ(collationRank(1), 1);
    EXPECT_EQ(collationRank(255), 255);
    std::string sequence = windowsCollatingSequence();
    EXPECT_EQ(sequence.size(), 253u);
    EXPECT_EQ(std::set<char>(sequence.begin(), sequence.end()).size(), 253u);
    expectTablesConsistent();
}

TEST_F(LocaleTest, OemCharsetConvertsValuesButNotTheCollatingSequence) {
    readEnvironmentText("ORVCHARSET=OEM\nORVMONTH=M\x84rz\nORVCOLSEQ=\x84\x81\nORVCHARSET=ANSI\nORVMON=M\x84r\n");
    EXPECT_EQ(monthName(1), "M\xE4rz");
    EXPECT_LT(collationRank(0x84), collationRank(0x81));  // taken as written
    EXPECT_EQ(monthAbbreviation(1), "M\x84r");
    EXPECT_FALSE(oemCharacterSet());
    applySetting("ORVCHARSET", "OEM");
    readEnvironmentText("ORVCHARSET=ANSI\n");
    EXPECT_TRUE(oemCharacterSet());  // put back to what it was before the text
}

TEST_F(LocaleTest, DigraphsButtonsAndFlags) {
    applySetting("ORVDIGRAPH", "\xC6" "AE,\xE6" "ae,toolong,ss");
    EXPECT_EQ(digraphs(), (std::vector<std::string>{"\xC6" "AE", "\xE6" "ae"}));
    EXPECT_EQ(oemDigraphs(), (std::vector<std::string>{"\x92" "AE", "\x91" "ae"}));
    EXPECT_EQ(expandDigraphs("\xC6sop \xE6on"), "AEsop aeon");
    EXPECT_EQ(expandDigraphs("plain"), "plain");
    std::string many;
    for (int i = 0; i < 20; ++i) many += (i ? "," : "") + std::string("d") + char('a' + i) + "x";
    applySetting("ORVDIGRAPH", many);
    EXPECT_EQ(digraphs().size(), MaxDigraphs);
    applySetting("ORVBUTTON", "&Ja,&Nein,,Abbruch");
    EXPECT_EQ(messageOverride(ButtonCaptionBase + 1), "&Ja");
    EXPECT_EQ(messageOverride(ButtonCaptionBase + 2), "&Nein");
    EXPECT_FALSE(messageOverride(ButtonCaptionBase + 3));
    EXPECT_EQ(messageOverride(ButtonCaptionBase + 4), "Abbruch");
    applySetting("ORVSYSTEMCHARSET", "GREEK");
    EXPECT_EQ(systemCharacterSet(), "GREEK");
    applySetting("ORVLAYOUT", "LTR");
    EXPECT_FALSE(rightToLeftLayout());
    applySetting("ORVLFN", "off");
    EXPECT_FALSE(longFileNames());
    applySetting("ORVUNKNOWN", "x");
    applySetting("ORVMSG", "no number");
    applySetting("ORVMSG12x", "not a number");
    EXPECT_FALSE(messageOverride(12));
}

TEST_F(LocaleTest, RegionalSettingsComeFromTheDefaultProfile) {
    reinitialiseLocale("");
    EXPECT_EQ(regionalSettings().sShortDate, "MM/dd/yy");
    EXPECT_EQ(regionalSettings().iTLzero, 1);
    ASSERT_TRUE(platform::writeProfileString("intl", "s1159", "vorm"));
    ASSERT_TRUE(platform::writeProfileString("intl", "s2359", "n"));
    ASSERT_TRUE(platform::writeProfileString("intl", "sTime", "."));
    ASSERT_TRUE(platform::writeProfileString("intl", "iTime", "1"));
    ASSERT_TRUE(platform::writeProfileString("intl", "sShortDate", "dd.MM.yyyy"));
    std::string path = writeFile("p.ENV", "ORVAMPM=WINDOWS\n");
    reinitialiseLocale(path);
    RegionalSettings r = regionalSettings();
    EXPECT_EQ(r.s1159, "vo");
    EXPECT_EQ(r.s2359, "n");
    EXPECT_EQ(r.sTime, '.');
    EXPECT_EQ(r.iTime, 1);
    EXPECT_EQ(r.sShortDate, "dd.MM.yyyy");
    EXPECT_EQ(r.sLongDate, RegionalSettings{}.sLongDate);
    EXPECT_EQ(amText(), "vo");
    EXPECT_EQ(pmText(), "n");
}

TEST_F(LocaleTest, EnvironmentFileSitsBesideTheProgram) {
    EXPECT_EQ(environmentFilePath("C:\\APPS\\VARNOK.EXE"), "C:\\APPS\\VARNOK.ENV");
    EXPECT_EQ(environmentFilePath("/usr/bin/varnok"), "/usr/bin/varnok.ENV");
    EXPECT_EQ(environmentFilePath("/opt/v1.2/varnok"), "/opt/v1.2/varnok.ENV");
    EXPECT_EQ(environmentFilePath("C:prog.x.exe"), "C:prog.x.ENV");
    EXPECT_EQ(environmentFilePath("D:\\a.b\\prog"), "D:\\a.b\\prog.ENV");
    std::string self = platform::modulePath();
    ASSERT_FALSE(self.empty());
#ifdef _WIN32
    EXPECT_EQ(fs::path(self).filename(), "runtime_tests.exe");
    EXPECT_TRUE(fs::exists(self));
#else
    EXPECT_TRUE(fs::equivalent(self, "/proc/self/exe"));
#endif
}

}  // namespace
}  // namespace varnok
