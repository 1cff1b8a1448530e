#include "framework/ini/ini_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>

#include "framework/ini/sector_entry.h"
#include "framework/ini/text_assign.h"
#include "platform/profile.h"
#include "platform/registry_store.h"
#include "runtime/records/record_reflection.h"
#include "tests/support/config_home.h"
#include "tests/framework/ini/fake_window.h"

namespace varnok::framework {
namespace {

namespace fs = std::filesystem;
using testing::ConfigHome;
using testing::FakeWindow;
using testing::readFile;
namespace prop = window::prop;

class IniManagerTest : public ::testing::Test {
protected:
#ifdef _WIN32
    // Windows keeps registry-mode settings in its real registry, which
    // outlives the test program: each test starts and ends with the keys
    // these tests use emptied.
    IniManagerTest() { clearRegistryKeys(); }
    ~IniManagerTest() override { clearRegistryKeys(); }
    static void clearRegistryKeys() {
        const std::pair<uint32_t, const char*> keys[] = {
            {platform::HkeyClassesRoot, "varnok\\Main"},         {platform::HkeyClassesRoot, "varnok\\__Dont_Touch_Me__"},
            {platform::HkeyClassesRoot, "Software\\varnok\\Main"}, {platform::HkeyClassesRoot, "Mine\\S"},
            {platform::HkeyClassesRoot, "Theirs\\S"},             {platform::HkeyCurrentUser, "Sect"},
        };
        for (const auto& [root, key] : keys)
            for (const std::string& name : platform::registryValueNames(root, key)) platform::deleteRegistryValue(root, key, name);
    }
#endif
    std::string iniText() const { return readFile(home.inVarnokFolder("varnok.INI")); }
    void addSector(IniManager& ini, const char* family, const char* item, const char* type) {
        QueueDecl* q = ini.Sectors->decl();
        assignFieldText(*q->layout, q->buffer, SectorFamily, family);
        assignFieldText(*q->layout, q->buffer, SectorItem, item);
        assignFieldText(*q->layout, q->buffer, SectorType, type);
        ADD(q);
    }
    static std::vector<std::string> sectors(IniManager& ini) {
        std::vector<std::string> rows;
        QueueDecl* q = ini.Sectors->decl();
        for (uint32_t i = 1; i <= RECORDS(q); ++i) {
            GET(q, int32_t(i));
            rows.push_back(reflectFieldValue(q, SectorFamily) + "|" + reflectFieldValue(q, SectorItem) + "|" +
                           reflectFieldValue(q, SectorType));
        }
        return rows;
    }

    ConfigHome home;
};

// ---- INI file text ------------------------------------------------------

TEST_F(IniManagerTest, ReleaseOfAnEmptyRunWritesTheSectorsCountInTheConfigFolder) {
    IniManager ini;
    ini.Init("varnok.INI", 0, 0);
    ASSERT_TRUE(ini.Sectors);
    EXPECT_EQ(RECORDS(ini.Sectors->decl()), 0u);
    EXPECT_FALSE(fs::exists(home.varnokFolder())) << "reading alone creates nothing";
    ini.BeforeRelease();
    ini.Release();
    EXPECT_FALSE(ini.Sectors);
    EXPECT_EQ(iniText(), "[__Dont_Touch_Me__]\nSectors=0\n");
    EXPECT_FALSE(fs::exists(home.work() + "/varnok.INI"));
}

TEST_F(IniManagerTest, SectorsAreStoredNumberedFromOneAndReadBack) {
    {
        IniManager ini;
        ini.Init("varnok.INI");
        addSector(ini, "Fam", "It", "Ty");
        addSector(ini, "A", "", "C c");
        ini.Release();
    }
    EXPECT_EQ(iniText(), "[__Dont_Touch_Me__]\nSectors=2\nSectors_1=Fam,It,Ty\nSectors_2=A,,C c\n");
    IniManager again;
    again.Init("varnok.INI");
    EXPECT_EQ(sectors(again), (std::vector<std::string>{"Fam|It|Ty", "A||C c"}));
}

TEST_F(IniManagerTest, ACommaInsideASectorFieldSplitsItOnReading) {
    {
        IniManager ini;
        ini.Init("varnok.INI");
        addSector(ini, "x,y", "It", "Ty");
        ini.Release();
    }
    EXPECT_EQ(iniText(), "[__Dont_Touch_Me__]\nSectors=1\nSectors_1=x,y,It,Ty\n");
    IniManager again;
    again.Init("varnok.INI");
    EXPECT_EQ(sectors(again), (std::vector<std::string>{"x|y|It"}));
}

TEST_F(IniManagerTest, PlacementSaveAndReleaseGiveTheExactFileText) {
    IniManager ini;
    ini.Init("varnok.INI");
    FakeWindow window(10, -20, 300, 200, true);
    ini.SaveWindow("Main", window);
    EXPECT_EQ(iniText(), "[Main]\nMaximize=No\nMinimize=No\nXPos=10\nYPos=-20\nWidth=300\nHeight=200\n");
    ini.Release();
    EXPECT_EQ(iniText(),
              "[Main]\nMaximize=No\nMinimize=No\nXPos=10\nYPos=-20\nWidth=300\nHeight=200\n"
              "\n[__Dont_Touch_Me__]\nSectors=0\n");
    EXPECT_TRUE(window.writes().empty()) << "saving only reads the window";
}

TEST_F(IniManagerTest, AMaximizedSaveStoresYesAndRemovesOlderPositionAndSize) {
    IniManager ini;
    ini.Init("varnok.INI");
    FakeWindow window(10, 20, 300, 200, true);
    ini.SaveWindow("Main", window);
    window.set(prop::Maximize, "1");
    ini.SaveWindow("Main", window);
    EXPECT_EQ(iniText(), "[Main]\nMaximize=Yes\nMinimize=No\n");
}

TEST_F(IniManagerTest, AMinimizedSaveStoresYesAndNoPosition) {
    IniManager ini;
    ini.Init("varnok.INI");
    FakeWindow window(10, 20, 300, 200, true);
    window.set(prop::Iconize, "1");
    ini.SaveWindow("Main", window);
    EXPECT_EQ(iniText(), "[Main]\nMaximize=No\nMinimize=Yes\n");
}

TEST_F(IniManagerTest, AWindowThatCannotBeResizedNeverKeepsWidthOrHeight) {
    IniManager ini;
    ini.Init("varnok.INI");
    ini.WriteEntry("Main", "Width", "640");
    ini.WriteEntry("Main", "Height", "480");
    FakeWindow window(7, 8, 300, 200, false);
    ini.SaveWindow("Main", window);
    EXPECT_EQ(iniText(), "[Main]\nMaximize=No\nMinimize=No\nXPos=7\nYPos=8\n");
}

// ---- placement round trips ------------------------------------------------

TEST_F(IniManagerTest, ANormalPlacementRestoresWhatWasSaved) {
    IniManager ini;
    ini.Init("varnok.INI");
    FakeWindow saved(-5, 30, 420, 310, true);
    ini.SaveWindow("Main", saved);
    FakeWindow opened(0, 0, 100, 100, true);
    ini.RestoreWindow("Main", opened);
    using W = FakeWindow::Write;
    EXPECT_EQ(opened.writes(), (std::vector<W>{{prop::Xpos, "-5"},
                                               {prop::Ypos, "30"},
                                               {prop::Width, "420"},
                                               {prop::Height, "310"},
                                               {prop::Iconize, "0"}}));
    for (int p : {prop::Xpos, prop::Ypos, prop::Width, prop::Height, prop::Maximize, prop::Iconize})
        EXPECT_EQ(opened.property(0, p, 0), saved.property(0, p, 0)) << p;
}

TEST_F(IniManagerTest, RestoringMaximizedPassesTheNoValueMarkerThroughAndMaximizesLast) {
    IniManager ini;
    ini.Init("varnok.INI");
    FakeWindow saved(10, 20, 300, 200, true);
    saved.set(prop::Maximize, "1");
    ini.SaveWindow("Main", saved);
    FakeWindow opened(1, 2, 100, 100, true);
    ini.RestoreWindow("Main", opened);
    const std::string marker = std::to_string(window::NoValue);
    using W = FakeWindow::Write;
    EXPECT_EQ(opened.writes(), (std::vector<W>{{prop::Xpos, marker},
                                               {prop::Ypos, marker},
                                               {prop::Maximize, "1"},
                                               {prop::Iconize, "0"}}));
    // Already maximized: left as it is.
    opened.clearWrites();
    ini.RestoreWindow("Main", opened);
    EXPECT_EQ(opened.writes(), (std::vector<W>{{prop::Xpos, marker}, {prop::Ypos, marker}, {prop::Iconize, "0"}}));
}

TEST_F(IniManagerTest, StoredNoUnmaximizesAMaximizedWindowBeforeMovingIt) {
    IniManager ini;
    ini.Init("varnok.INI");
    ini.WriteEntry("Main", "Maximize", "No");
    ini.WriteEntry("Main", "XPos", "11");
    ini.WriteEntry("Main", "YPos", "12");
    ini.WriteEntry("Main", "Width", "13");
    FakeWindow opened(0, 0, 100, 100, true);
    opened.set(prop::Maximize, "1");
    ini.RestoreWindow("Main", opened);
    using W = FakeWindow::Write;
    EXPECT_EQ(opened.writes(), (std::vector<W>{{prop::Maximize, "0"},
                                               {prop::Xpos, "11"},
                                               {prop::Ypos, "12"},
                                               {prop::Width, "13"},
                                               {prop::Iconize, "0"}}));
    EXPECT_FALSE(opened.propertyFlag(0, prop::Maximize));
    EXPECT_EQ(opened.property(0, prop::Height, 0), "100") << "a missing Height leaves the window's";
}

TEST_F(IniManagerTest, ASectionWithoutMaximizeRestoresNothing) {
    IniManager ini;
    ini.Init("varnok.INI");
    for (const char* maximize : {"", "yes", "1"}) {
        if (*maximize) ini.WriteEntry("Main", "Maximize", maximize);
        ini.WriteEntry("Main", "XPos", "50");
        ini.WriteEntry("Main", "YPos", "60");
        FakeWindow opened(0, 0, 100, 100, true);
        ini.RestoreWindow("Main", opened);
        EXPECT_TRUE(opened.writes().empty()) << '"' << maximize << '"';
        WindowPlacement p;
        p.X = 123;
        p.Got = 1;
        ini.ReadPlacement("Main", p);
        EXPECT_EQ(p.Got, 0);
        EXPECT_EQ(p.X, 123) << "a failed read leaves the rest alone";
    }
}

TEST_F(IniManagerTest, ANotResizableWindowIsNeverSizedOnRestore) {
    IniManager ini;
    ini.Init("varnok.INI");
    FakeWindow saved(3, 4, 500, 400, true);
    saved.set(prop::Iconize, "");
    ini.SaveWindow("Main", saved);
    FakeWindow opened(0, 0, 100, 100, false);
    ini.RestoreWindow("Main", opened);
    EXPECT_EQ(opened.property(0, prop::Width, 0), "100");
    EXPECT_EQ(opened.property(0, prop::Xpos, 0), "3");
}

TEST_F(IniManagerTest, AMinimizedPlacementIconizesOnRestore) {
    IniManager ini;
    ini.Init("varnok.INI");
    FakeWindow saved(3, 4, 500, 400, true);
    saved.set(prop::Iconize, "1");
    ini.SaveWindow("Main", saved);
    FakeWindow opened(0, 0, 100, 100, true);
    ini.RestoreWindow("Main", opened);
    EXPECT_TRUE(opened.propertyFlag(0, prop::Iconize));
    EXPECT_EQ(opened.writes().back(), (FakeWindow::Write{prop::Iconize, "1"}));
}

TEST_F(IniManagerTest, PlacementsRoundTripThroughWriteAndRead) {
    IniManager ini;
    ini.Init("varnok.INI");
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    for (int round = 0; round < 40; ++round) {
        WindowPlacement in;
        in.Maximized = uint8_t(random() & 1);
        in.Minimized = uint8_t(random() & 1);
        int32_t* fields[] = {&in.X, &in.Y, &in.W, &in.H};
        for (int32_t* f : fields) *f = random() % 3 == 0 ? window::NoValue : any(random);
        ini.WritePlacement("Round", in);
        WindowPlacement out;
        ini.ReadPlacement("Round", out);
        EXPECT_EQ(out.Got, 1);
        EXPECT_EQ(out.Maximized, in.Maximized);
        EXPECT_EQ(out.Minimized, in.Minimized);
        EXPECT_EQ(out.X, in.X);
        EXPECT_EQ(out.Y, in.Y);
        EXPECT_EQ(out.W, in.W);
        EXPECT_EQ(out.H, in.H);
    }
}

// ---- entries and fields -----------------------------------------------------

TEST_F(IniManagerTest, ReadFieldSplitsAtCommasAndStartsOverWhenOneIsMissing) {
    IniManager ini;
    ini.Init("varnok.INI");
    struct Case {
        const char* value;  // nullptr: no entry
        int n;
        const char* field;
    } cases[] = {
        {"a,b,c", 1, "a"},  {"a,b,c", 2, "b"},   {"a,b,c", 3, "c"},  {"a,b", 3, "a"},
        {"a,b", 4, "b"},    {"a", 2, "a"},       {"a,", 2, ""},      {",x", 1, ""},
        {",x", 2, "x"},     {"a,,c", 2, ""},     {"a,,c", 3, "c"},   {"abc", 0, "abc"},
        {"abc", -3, "abc"}, {nullptr, 1, "---Unknown---"}, {nullptr, 2, "---Unknown---"},
    };
    for (const Case& c : cases) {
        if (c.value) ini.WriteEntry("F", "E", c.value);
        else ini.RemoveEntry("F", "E");
        EXPECT_EQ(ini.ReadField("F", "E", c.n), c.field) << (c.value ? c.value : "(none)") << " field " << c.n;
    }
}

TEST_F(IniManagerTest, ReadFieldSeesOnly999Characters) {
    IniManager ini;
    ini.Init("varnok.INI");
    const std::string head(999, 'h');
    ini.WriteEntry("F", "E", head + ",tail");
    EXPECT_EQ(ini.ReadField("F", "E", 1), head);
    EXPECT_EQ(ini.ReadField("F", "E", 2), head) << "the comma lies past the cut, so field 2 starts over";
    ini.WriteEntry("F", "E", std::string(998, 'h') + ",tail");
    EXPECT_EQ(ini.ReadField("F", "E", 2), "");
}

TEST_F(IniManagerTest, ValuesAreCutTo1023CharactersAndLoseTrailingBlanks) {
    IniManager ini;
    ini.Init("varnok.INI");
    const std::string longValue(1500, 'v');
    ini.WriteEntry("S  ", "K  ", longValue);
    EXPECT_EQ(platform::getPrivateProfileString("S", "K", "", home.inVarnokFolder("varnok.INI")),
              std::string(1023, 'v'));
    ini.WriteEntry("S", "K2", "text   ");
    EXPECT_EQ(iniText(), "[S]\nK=" + std::string(1023, 'v') + "\nK2=text\n");
    EXPECT_EQ(ini.ReadEntry("S", "missing", "dflt   ", ini.FileName), "dflt");
    EXPECT_EQ(ini.ReadEntry("S", "missing"), "");
    EXPECT_EQ(ini.ReadEntry("S  ", "K2  "), "text");
}

TEST_F(IniManagerTest, ReadIntoKeepsTheVariableWhenTheEntryIsMissing) {
    IniManager ini;
    ini.Init("varnok.INI");
    int32_t number = 77;
    std::string text = "kept";
    ini.ReadInto("S", "N", number);
    ini.ReadInto("S", "T", text);
    EXPECT_EQ(number, 77);
    EXPECT_EQ(text, "kept");
    struct Case {
        const char* stored;
        int32_t number;
    } cases[] = {{"-12", -12}, {" 42 ", 42}, {"7.9", 7}, {"abc", 0}, {"99999999999", INT32_MAX},
                 {"-2147483648", INT32_MIN}};
    for (const Case& c : cases) {
        ini.WriteEntry("S", "N", c.stored);
        ini.ReadInto("S", "N", number);
        EXPECT_EQ(number, c.number) << c.stored;
    }
    ini.WriteEntry("S", "T", "new text");
    ini.ReadInto("S", "T", text);
    EXPECT_EQ(text, "new text");
}

TEST_F(IniManagerTest, ReadIntoAFieldConvertsToTheFieldsType) {
    IniManager ini;
    ini.Init("varnok.INI");
    RecordLayout layout = RecordLayoutBuilder().string("Name", 6).longField("Count").build();
    std::vector<uint8_t> record(layout.size());
    assignFieldText(layout, record.data(), 1, "old");
    assignFieldText(layout, record.data(), 2, "5");
    ini.ReadInto("S", "Name", layout, record.data(), 1);
    ini.ReadInto("S", "Count", layout, record.data(), 2);
    EXPECT_EQ(reflectFieldValue(layout, record.data(), 1), "old");
    EXPECT_EQ(reflectFieldValue(layout, record.data(), 2), "5");
    ini.WriteEntry("S", "Name", "a longer name");
    ini.WriteEntry("S", "Count", "-31");
    ini.ReadInto("S", "Name", layout, record.data(), 1);
    ini.ReadInto("S", "Count", layout, record.data(), 2);
    EXPECT_EQ(reflectFieldValue(layout, record.data(), 1), "a long");
    EXPECT_EQ(reflectFieldValue(layout, record.data(), 2), "-31");
}

TEST_F(IniManagerTest, RemoveEntryTakesTheEntryOutOfTheFile) {
    IniManager ini;
    ini.Init("varnok.INI");
    ini.WriteEntry("S", "A", "1");
    ini.WriteEntry("S", "B", "2");
    ini.RemoveEntry("S", "A");
    EXPECT_EQ(iniText(), "[S]\nB=2\n");
    EXPECT_EQ(ini.ReadEntry("S", "A", "gone", ini.FileName), "gone");
    ini.WriteEntry("S", "B", "");
    EXPECT_EQ(iniText(), "[S]\nB=\n") << "in a file the empty value stays an entry";
}

TEST_F(IniManagerTest, FileNamesResolveInTheConfigFolderOrAsPaths) {
    IniManager ini;
    ini.Init(".\\remtxa.ini");
    ini.WriteEntry("TXA", "FileName", "c:\\apps\\main.txa");
    EXPECT_EQ(readFile(home.work() + "/remtxa.ini"), "[TXA]\nFileName=c:\\apps\\main.txa\n");
    fs::create_directories(home.work() + "/sub");
    ini.WriteEntry("S", "K", "v", "sub\\other.ini");
    EXPECT_EQ(readFile(home.work() + "/sub/other.ini"), "[S]\nK=v\n");
    ini.WriteEntry("S", "K", "w", "bare.ini");
    EXPECT_EQ(readFile(home.inVarnokFolder("bare.ini")), "[S]\nK=w\n");
    ini.WriteEntry("S", "K", "x", "");
    EXPECT_EQ(readFile(home.inVarnokFolder("win.ini")), "[S]\nK=x\n") << "the empty name is the default profile";
    EXPECT_EQ(ini.ReadEntry("S", "K", "", ""), "x");
    ini.Release();
    EXPECT_EQ(readFile(home.work() + "/remtxa.ini"),
              "[TXA]\nFileName=c:\\apps\\main.txa\n\n[__Dont_Touch_Me__]\nSectors=0\n");
}

TEST_F(IniManagerTest, NowhereReadsEmptyTextAndWritesNothing) {
    IniManager ini;
    ini.Init("varnok.INI", 2, 0);
    ini.WriteEntry("S", "K", "v");
    EXPECT_EQ(ini.ReadEntry("S", "K", "default", ini.FileName), "");
    FakeWindow window(1, 2, 3, 4, true);
    ini.SaveWindow("Main", window);
    ini.RestoreWindow("Main", window);
    EXPECT_TRUE(window.writes().empty());
    ini.Release();
    EXPECT_FALSE(fs::exists(home.varnokFolder()));
    EXPECT_FALSE(fs::exists(platform::registryStorePath()));
    int32_t kept = 5;
    IniManager other;
    other.Init("varnok.INI", 99, 0);
    other.ReadInto("S", "K", kept);
    EXPECT_EQ(kept, 0) << "any other type is nowhere too: the read is empty, so the variable becomes 0";
}

// ---- queues -------------------------------------------------------------

// A record with one field of each kind a settings queue might hold.
RecordLayout sampleLayout() {
    return RecordLayoutBuilder()
        .string("Name", 20)
        .longField("Number")
        .cstring("Path", 40)
        .shortField("Small")
        .build();
}

std::string randomText(std::mt19937& random, size_t maxLength) {
    static const std::string chars = "abcXYZ019 .;:\\/_-";
    std::uniform_int_distribution<size_t> length(0, maxLength);
    std::string text;
    for (size_t n = length(random); text.size() < n;) text += chars[random() % chars.size()];
    // Settings values lose blanks at both ends on reading.
    while (!text.empty() && text.back() == ' ') text.pop_back();
    while (!text.empty() && text.front() == ' ') text.erase(0, 1);
    return text;
}

std::vector<std::string> rows(Queue& q, std::span<const int> fields) {
    std::vector<std::string> all;
    for (uint32_t i = 1; i <= RECORDS(q); ++i) {
        GET(q, int32_t(i));
        std::string row;
        for (int f : fields) row += reflectFieldValue(q, f) + "\x1f";
        all.push_back(row);
    }
    return all;
}

TEST_F(IniManagerTest, QueuesRoundTripThroughStoreAndLoad) {
    IniManager ini;
    ini.Init("varnok.INI");
    std::mt19937 random(11);
    const std::vector<std::vector<int>> fieldLists = {{1}, {2, 1}, {1, 2, 3}, {4, 3, 2, 1}, {3, 3}};
    for (int round = 0; round < 30; ++round) {
        const std::vector<int>& fields = fieldLists[round % fieldLists.size()];
        Queue stored(sampleLayout());
        const int count = int(random() % 12);
        for (int i = 0; i < count; ++i) {
            CLEAR(stored);
            assignFieldText(stored.layout(), stored.buffer(), 1, randomText(random, 20));
            assignFieldText(stored.layout(), stored.buffer(), 2, std::to_string(int32_t(random())));
            assignFieldText(stored.layout(), stored.buffer(), 3, randomText(random, 39));
            assignFieldText(stored.layout(), stored.buffer(), 4, std::to_string(int16_t(random())));
            ADD(stored);
        }
        ini.StoreQueue("Queues", "Q", stored, fields);
        Queue loaded(sampleLayout());
        ini.LoadQueue("Queues", "Q", loaded, fields);
        ASSERT_EQ(RECORDS(loaded), RECORDS(stored)) << "round " << round;
        EXPECT_EQ(rows(loaded, fields), rows(stored, fields)) << "round " << round;
    }
}

TEST_F(IniManagerTest, AShorterStoreLeavesHigherEntriesThatAreNotLoaded) {
    IniManager ini;
    ini.Init("varnok.INI");
    Queue q(RecordLayoutBuilder().cstring("T", 10).build());
    for (const char* t : {"one", "two", "three"}) {
        assignFieldText(q.layout(), q.buffer(), 1, t);
        ADD(q);
    }
    ini.StoreQueue("S", "L", q, {1});
    GET(q, 1);
    DELETE(q);
    GET(q, 1);
    DELETE(q);
    ini.StoreQueue("S", "L", q, {1});
    EXPECT_EQ(iniText(), "[S]\nL=1\nL_1=three\nL_2=two\nL_3=three\n");
    Queue loaded(RecordLayoutBuilder().cstring("T", 10).build());
    ini.LoadQueue("S", "L", loaded, {1});
    ASSERT_EQ(RECORDS(loaded), 1u);
    EXPECT_EQ(reflectFieldValue(loaded, 1), "three");
}

TEST_F(IniManagerTest, MissingNumberedEntriesLoadAsUnknown) {
    IniManager ini;
    ini.Init("varnok.INI");
    ini.WriteEntry("S", "L", "2");
    ini.WriteEntry("S", "L_1", "a,b");
    Queue loaded(RecordLayoutBuilder().cstring("A", 20).cstring("B", 20).build());
    ini.LoadQueue("S", "L", loaded, {1, 2});
    EXPECT_EQ(rows(loaded, std::vector<int>{1, 2}),
              (std::vector<std::string>{"a\x1f" "b\x1f", "---Unknown---\x1f---Unknown---\x1f"}));
}

TEST_F(IniManagerTest, AFieldListThatIsEmptyTooLongOrWrongDoesNothing) {
    IniManager ini;
    ini.Init("varnok.INI");
    ini.WriteEntry("S", "L", "1");
    ini.WriteEntry("S", "L_1", "a");
    const std::vector<std::vector<int>> bad = {{}, {1, 1, 1, 1, 1}, {5}, {0}, {1, -1}};
    for (const std::vector<int>& fields : bad) {
        Queue q(sampleLayout());
        ini.LoadQueue("S", "L", q, fields);
        EXPECT_EQ(RECORDS(q), 0u);
        ADD(q);
        ini.StoreQueue("S", "L", q, fields);
    }
    ini.LoadQueue("S", "L", nullptr, {1});
    ini.StoreQueue("S", "L", nullptr, {1});
    EXPECT_EQ(iniText(), "[S]\nL=1\nL_1=a\n");
}

// A manager whose store stops taking writes after a given number, as if the
// process ended there.
class CutShortManager : public IniManager {
public:
    explicit CutShortManager(int writesLeft) : writesLeft_(writesLeft) {}
    using IniManager::ReadEntry;
    using IniManager::WriteEntry;
    void WriteEntry(std::string_view section, std::string_view entry, std::string_view value,
                    std::string_view fileName) override {
        if (writesLeft_ <= 0) return;
        --writesLeft_;
        IniManager::WriteEntry(section, entry, value, fileName);
    }

private:
    int writesLeft_;
};

TEST_F(IniManagerTest, AStoreCutShortNeverLeavesACountBeyondTheRecordsWritten) {
    const RecordLayout layout = RecordLayoutBuilder().cstring("T", 10).build();
    auto fill = [&](Queue& q, const std::vector<std::string>& texts) {
        for (const std::string& t : texts) {
            assignFieldText(layout, q.buffer(), 1, t);
            ADD(q);
        }
    };
    const std::vector<std::string> before = {"old1", "old2"};
    const std::vector<std::string> grown = {"new1", "new2", "new3", "new4", "new5"};
    for (int cut = 0; cut <= 8; ++cut) {
        fs::remove_all(home.varnokFolder());
        {
            IniManager ini;
            ini.Init("varnok.INI");
            Queue q(layout);
            fill(q, before);
            ini.StoreQueue("S", "L", q, {1});
        }
        {
            CutShortManager ini(cut);
            ini.Init("varnok.INI");
            Queue q(layout);
            fill(q, grown);
            ini.StoreQueue("S", "L", q, {1});
        }
        IniManager ini;
        ini.Init("varnok.INI");
        Queue loaded(layout);
        ini.LoadQueue("S", "L", loaded, {1});
        const uint32_t n = RECORDS(loaded);
        EXPECT_GE(n, before.size()) << "cut after " << cut;
        for (uint32_t i = 1; i <= n; ++i) {
            GET(loaded, int32_t(i));
            const std::string t = reflectFieldValue(loaded, 1);
            EXPECT_TRUE(t == grown[i - 1] || (i <= before.size() && t == before[i - 1]))
                << "cut after " << cut << ", record " << i << ": " << t;
        }
        if (cut >= 7) {
            EXPECT_EQ(n, grown.size());
        }
    }
}

// ---- registry -------------------------------------------------------------

TEST_F(IniManagerTest, RegistryEntriesLiveUnderFileNameAndSection) {
    IniManager ini;
    ini.Init("Software\\varnok", 1, 0);
    ini.WriteEntry("Main", "XPos", "40");
    EXPECT_EQ(platform::readRegistryValue(platform::HkeyClassesRoot, "Software\\varnok\\Main", "XPos"), "40");
    EXPECT_EQ(ini.ReadEntry("Main", "XPos"), "40");
    EXPECT_EQ(ini.ReadEntry("Main", "YPos", "dflt", ini.FileName), "dflt");
    ini.WriteEntry("Main", "Empty", "");
    EXPECT_EQ(platform::readRegistryValue(platform::HkeyClassesRoot, "Software\\varnok\\Main", "Empty"), std::nullopt);
    // A value that is there but empty reads as the default.
    platform::writeRegistryValue(platform::HkeyClassesRoot, "Software\\varnok\\Main", "Blank", "");
    EXPECT_EQ(ini.ReadEntry("Main", "Blank", "dflt", ini.FileName), "dflt");
    // Values keep their blanks and quotes.
    ini.WriteEntry("Main", "Odd", " \"quoted\" ");
    EXPECT_EQ(ini.ReadEntry("Main", "Odd"), " \"quoted\" ");
}

TEST_F(IniManagerTest, RegistryWritesOfEmptyTextAndRemoveEntryDeleteTheValue) {
    IniManager ini;
    ini.Init("", 1, int32_t(platform::HkeyCurrentUser));
    ini.WriteEntry("Sect", "A", "1");
    ini.WriteEntry("Sect", "B", "2");
    EXPECT_EQ(platform::registryValueNames(platform::HkeyCurrentUser, "Sect"), (std::vector<std::string>{"A", "B"}));
    ini.WriteEntry("Sect", "A", "");
    EXPECT_EQ(platform::registryValueNames(platform::HkeyCurrentUser, "Sect"), (std::vector<std::string>{"B"}));
    ini.RemoveEntry("Sect", "B");
    EXPECT_TRUE(platform::registryValueNames(platform::HkeyCurrentUser, "Sect").empty());
    EXPECT_TRUE(platform::registryKeyExists(platform::HkeyCurrentUser, "Sect"));
    EXPECT_FALSE(platform::registryKeyExists(platform::HkeyClassesRoot, "Sect"));
}

TEST_F(IniManagerTest, AnEmptyRegistryWriteDeletesInTheKeyItNames) {
    IniManager ini;
    ini.Init("Mine", 1, 0);
    ini.WriteEntry("S", "K", "mine");
    ini.WriteEntry("S", "K", "theirs", "Theirs");
    ini.WriteEntry("S", "K", "", "Theirs");
    EXPECT_EQ(platform::readRegistryValue(platform::HkeyClassesRoot, "Mine\\S", "K"), "mine");
    EXPECT_EQ(platform::readRegistryValue(platform::HkeyClassesRoot, "Theirs\\S", "K"), std::nullopt);
}

TEST_F(IniManagerTest, RegistryPlacementAndSectorsGiveTheExactStoreText) {
    IniManager ini;
    ini.Init("varnok", 1, 0);
    addSector(ini, "F", "I", "T");
    FakeWindow window(5, 6, 70, 80, true);
    ini.SaveWindow("Main", window);
    window.set(prop::Maximize, "1");
    ini.SaveWindow("Main", window);
    ini.Release();
#ifndef _WIN32  // the store's text is the Linux stand-in's file; Windows keeps the values in its registry
    EXPECT_EQ(readFile(platform::registryStorePath()),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CLASSES_ROOT\\varnok\\Main]\n\"Maximize\"=\"Yes\"\n\"Minimize\"=\"No\"\n\n"
              "[HKEY_CLASSES_ROOT\\varnok\\__Dont_Touch_Me__]\n\"Sectors\"=\"1\"\n\"Sectors_1\"=\"F,I,T\"\n\n");
#endif
    IniManager again;
    again.Init("varnok", 1, 0);
    EXPECT_EQ(sectors(again), (std::vector<std::string>{"F|I|T"}));
    FakeWindow opened(0, 0, 10, 10, true);
    again.RestoreWindow("Main", opened);
    EXPECT_TRUE(opened.propertyFlag(0, prop::Maximize));
}

// ---- life cycle and lock --------------------------------------------------

TEST_F(IniManagerTest, InitAgainReplacesSectorsWithWhatIsStored) {
    IniManager ini;
    ini.Init("varnok.INI");
    addSector(ini, "unsaved", "x", "y");
    ini.Init("varnok.INI");
    EXPECT_EQ(RECORDS(ini.Sectors->decl()), 0u);
    ini.Release();
    ini.Release();  // a second Release finds no Sectors and writes nothing
    EXPECT_EQ(iniText(), "[__Dont_Touch_Me__]\nSectors=0\n");
}

TEST_F(IniManagerTest, InitCutsTheFileNameTo259Characters) {
    IniManager ini;
    ini.Init(std::string(300, 'n'), 2, 0);
    EXPECT_EQ(ini.FileName, std::string(259, 'n'));
    EXPECT_EQ(ini.NVType, 2);
}

TEST_F(IniManagerTest, AfterDestroyNothingIsReadOrWritten) {
    IniManager ini;
    ini.Init("varnok.INI");
    ini.WriteEntry("S", "K", "v");
    ini.Destroy();
    EXPECT_FALSE(ini.CritSect);
    EXPECT_EQ(ini.ReadEntry("S", "K"), "");
    ini.WriteEntry("S", "K", "changed");
    ini.Release();
    EXPECT_EQ(iniText(), "[S]\nK=v\n");
    ini.Destroy();  // twice is harmless
}

// A window whose every property read and write first asks, from another
// thread, whether the INI manager's lock is free at that moment.
class LockProbeWindow : public FakeWindow {
public:
    explicit LockProbeWindow(std::recursive_mutex& lock) : FakeWindow(1, 2, 3, 4, true), lock_(lock) {}

    std::string property(int32_t control, int prop, int32_t index) const override {
        probe();
        return FakeWindow::property(control, prop, index);
    }
    using FakeWindow::setProperty;
    void setProperty(int32_t control, int prop, std::string_view value, int32_t index) override {
        probe();
        FakeWindow::setProperty(control, prop, value, index);
    }

    int probes() const { return probes_; }
    int foundFree() const { return foundFree_; }

private:
    // try_lock from this thread would succeed on a re-entrant lock this
    // thread holds; another thread sees whether anyone holds it.
    void probe() const {
        ++probes_;
        std::thread([this] {
            if (lock_.try_lock()) {
                lock_.unlock();
                ++foundFree_;
            }
        }).join();
    }

    std::recursive_mutex& lock_;
    mutable int probes_ = 0;
    mutable int foundFree_ = 0;
};

// While an operation works on a window, it holds the lock: no other thread
// can take it then, so an operation started elsewhere waits.
TEST_F(IniManagerTest, OperationsHoldTheLockWhileTheyWork) {
    IniManager ini;
    ini.Init("varnok.INI");
    LockProbeWindow window(*ini.CritSect);
    ini.SaveWindow("Main", window);
    const int saveProbes = window.probes();
    EXPECT_GT(saveProbes, 0);
    ini.RestoreWindow("Main", window);
    EXPECT_GT(window.probes(), saveProbes) << "the restore set the window's place";
    EXPECT_EQ(window.foundFree(), 0) << "of " << window.probes() << " probes";
    EXPECT_EQ(ini.ReadEntry("Main", "XPos"), "1");
}

// A thread that holds the lock can still run every operation, including
// those that call others while holding it (a plain mutex would deadlock).
TEST_F(IniManagerTest, OperationsTakeTheLockAgainInside) {
    IniManager ini;
    ini.Init("varnok.INI");
    ini.CritSect->lock();
    FakeWindow window(1, 2, 3, 4, true);
    ini.SaveWindow("Main", window);
    window.clearWrites();
    ini.RestoreWindow("Main", window);
    EXPECT_FALSE(window.writes().empty());
    EXPECT_EQ(ini.ReadEntry("Main", "Width"), "3");
    ini.CritSect->unlock();
}

TEST_F(IniManagerTest, ConcurrentWritersLoseNoEntry) {
    IniManager ini;
    ini.Init("varnok.INI");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&ini, t] {
            for (int i = 0; i < 15; ++i) ini.WriteEntry("T" + std::to_string(t), "K" + std::to_string(i), std::to_string(i));
        });
    for (std::thread& t : threads) t.join();
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(ini.ReadEntry("T" + std::to_string(t), "K" + std::to_string(i)), std::to_string(i));
}

TEST_F(IniManagerTest, TheProgramsManagerIsOneObject) {
    EXPECT_EQ(&iniManager(), &iniManager());
    EXPECT_TRUE(iniManager().CritSect);
}

}  // namespace
}  // namespace varnok::framework
