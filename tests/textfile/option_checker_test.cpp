#include "textfile/option_checker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/scripted_presenter.h"
#include "textfile/text_option_window.h"

namespace varnok::textfile {
namespace {

using testing::ScriptedPresenter;
using window::ButtonOk;

// Reads a string expecting no message at all.
void readQuietly(TextOptionWindow& w, const std::string& s) {
    ScriptedPresenter boxes;
    w.read(s);
    EXPECT_TRUE(boxes.shown().empty()) << s << ": " << (boxes.shown().empty() ? "" : boxes.shown()[0].text);
}

TEST(OptionChecker, StartValues) {
    TextOptionWindow w;
    EXPECT_EQ(w.buffers(), 0u);
    EXPECT_EQ(w.quickScan(), TextOptionWindow::NotGiven);
    EXPECT_EQ(w.clip(), 1);
    EXPECT_EQ(w.ctrlZIsEof(), 1);
    EXPECT_EQ(w.tab(), 8);
    EXPECT_EQ(w.endOfRecord(), "");
    EXPECT_EQ(w.write(), "");
    readQuietly(w, "");
    EXPECT_EQ(w.count(), 0u);
}

TEST(OptionChecker, ReadsEverySwitch) {
    TextOptionWindow w;
    readQuietly(w, "  /filebuffers=4 /QuickScan = on\t/CLIP=off /CTRLZISEOF=OFF /ENDOFRECORD=1,10 /TAB=-100");
    EXPECT_EQ(w.count(), 6u);
    EXPECT_EQ(w.buffers(), 4u);
    EXPECT_EQ(w.quickScan(), 1);
    EXPECT_EQ(w.clip(), 0);
    EXPECT_EQ(w.ctrlZIsEof(), 0);
    EXPECT_EQ(w.endOfRecord(), "1,10");
    EXPECT_EQ(w.tab(), -100);
    EXPECT_EQ(w.checker().LASTTOKEN(), "TAB=-100");
    EXPECT_EQ(RECORDS(w.checker().TOKENQ()), 6u);

    // A second read starts from the start values again.
    readQuietly(w, "/TAB=3");
    EXPECT_EQ(w.count(), 1u);
    EXPECT_EQ(w.tab(), 3);
    EXPECT_EQ(w.clip(), 1);
    EXPECT_EQ(w.quickScan(), TextOptionWindow::NotGiven);
    EXPECT_EQ(w.endOfRecord(), "");
}

TEST(OptionChecker, ApostropheQuoting) {
    TextOptionWindow w;
    readQuietly(w, "/ENDOFRECORD='it''s here'");
    EXPECT_EQ(w.endOfRecord(), "it's here");
    readQuietly(w, "/ENDOFRECORD='a/b' /TAB=2");
    EXPECT_EQ(w.endOfRecord(), "a/b") << "a marker inside apostrophes does not start a switch";
    EXPECT_EQ(w.tab(), 2);
    readQuietly(w, "/ENDOFRECORD=''''");
    EXPECT_EQ(w.endOfRecord(), "'");
    readQuietly(w, "/ENDOFRECORD=" + std::string(60, 'x'));
    EXPECT_EQ(w.endOfRecord(), std::string(40, 'x'));

    EXPECT_EQ(unquoteValue("'it''s here'"), "it's here");
    EXPECT_EQ(unquoteValue("plain"), "plain");
    EXPECT_EQ(unquoteValue("'"), "'");
    EXPECT_EQ(unquoteValue("''"), "");
    EXPECT_EQ(quoteValue("it's here"), "'it''s here'");
    EXPECT_EQ(quoteValue("1,10"), "1,10");
    EXPECT_EQ(quoteValue("1,10", '/', true), "'1,10'");
    EXPECT_EQ(quoteValue("a/b"), "'a/b'");
    EXPECT_EQ(quoteValue(""), "''");
}

TEST(OptionChecker, MalformedSwitchesAreReportedAndSkipped) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"/BOGUS=1", "Poorly formed driver string.  BOGUS is not a valid switch"},
        {"/TAB=", "Poorly formed driver string.  TAB has no value"},
        {"/TAB", "Poorly formed driver string.  TAB has no value"},
        {"/ TAB =   ", "Poorly formed driver string.  TAB has no value"},
        {"/", "Poorly formed driver string.   is not a valid switch"},
        {"junk /TAB=3", "Poorly formed driver string.  junk is not a valid switch"},
        {"/CLIP=YES", "CLIP has an incorrect value of YES.  Value ignored"},
        {"/quickscan=maybe", "QUICKSCAN has an incorrect value of maybe.  Value ignored"},
    };
    for (const Case& c : cases) {
        TextOptionWindow w;
        w.setTab(5);
        ScriptedPresenter boxes;
        boxes.expect(c.message, ButtonOk);
        w.read(std::string(c.text) + " /CTRLZISEOF=OFF");
        boxes.verifyDone();
        ASSERT_EQ(boxes.shown().size(), 1u) << c.text;
        EXPECT_EQ(boxes.shown()[0].text, c.message);
        EXPECT_EQ(boxes.shown()[0].caption, "");
        EXPECT_EQ(w.ctrlZIsEof(), 0) << "reading goes on after " << c.text;
        EXPECT_EQ(w.clip(), 1) << c.text;
        EXPECT_EQ(w.quickScan(), TextOptionWindow::NotGiven) << c.text;
    }
}

TEST(OptionChecker, NumbersStayWithinTheirFields) {
    TextOptionWindow w;
    readQuietly(w, "/TAB=99999 /FILEBUFFERS=99999999999");
    EXPECT_EQ(w.tab(), 32767);
    EXPECT_EQ(w.buffers(), 4294967295u);
    readQuietly(w, "/TAB=-99999 /FILEBUFFERS=-5");
    EXPECT_EQ(w.tab(), -32768);
    EXPECT_EQ(w.buffers(), 0u);
    readQuietly(w, "/TAB=abc /FILEBUFFERS='12'");
    EXPECT_EQ(w.tab(), 0);
    EXPECT_EQ(w.buffers(), 12u);
}

TEST(OptionChecker, TwoValueSwitches) {
    RecordLayout layout = RecordLayoutBuilder().shortField("W").shortField("H").cstring("A", 20).cstring("B", 20).build();
    std::vector<uint8_t> record(layout.size(), 0);
    OptionChecker checker(layout, record.data());
    SwitchDef size;
    size.name = "SIZE";
    size.kind = SwitchKind::Short;
    size.destination = 1;
    size.destination2 = 2;
    size.twoValues = true;
    size.defaultValue = size.emptyValue = "0";
    ASSERT_TRUE(checker.declare(size));
    SwitchDef pair;
    pair.name = "PAIR";
    pair.kind = SwitchKind::Text;
    pair.destination = 3;
    pair.destination2 = 4;
    pair.twoValues = true;
    pair.maxLength = 19;
    ASSERT_TRUE(checker.declare(pair));
    EXPECT_FALSE(checker.declare(pair)) << "a name is declared once";

    {
        ScriptedPresenter boxes;
        EXPECT_EQ(checker.read("/SIZE=80,25 /PAIR='a,b','c d'"), 2);
        EXPECT_TRUE(boxes.shown().empty());
    }
    EXPECT_EQ(checker.fieldText(1), "80");
    EXPECT_EQ(checker.fieldText(2), "25");
    EXPECT_EQ(checker.fieldText(3), "a,b");
    EXPECT_EQ(checker.fieldText(4), "c d");
    std::string written = checker.write();
    EXPECT_EQ(written, "/SIZE=80,25 /PAIR='a,b','c d'");
    {
        ScriptedPresenter boxes;
        boxes.expect("SIZE has missing value", ButtonOk);
        checker.read("/SIZE=80 /PAIR=x,y");
        boxes.verifyDone();
    }
    EXPECT_EQ(checker.fieldText(1), "0");
    EXPECT_EQ(checker.fieldText(3), "x");
    EXPECT_EQ(checker.fieldText(4), "y");
}

// Whatever the fields hold, writing them and reading the result back gives
// the same fields without any message.
TEST(OptionChecker, WriteThenReadRoundTrips) {
    const char* texts[] = {"", "1,10", "it's", "a b", "'", "''", "x/y", "2,13,10", " lead", "=eq", "\t"};
    uint32_t seed = 7;
    auto next = [&] { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7FFF; };
    for (int round = 0; round < 300; ++round) {
        TextOptionWindow w;
        w.setBuffers(next() % 3 == 0 ? 0 : next() * 1000);
        w.setQuickScan(static_cast<uint8_t>(next() % 4 == 2 ? 3 : next() % 2));
        w.setClip(static_cast<uint8_t>(next() % 2));
        w.setCtrlZIsEof(static_cast<uint8_t>(next() % 2));
        w.setTab(static_cast<int16_t>(static_cast<int>(next() % 300) - 150));
        w.setEndOfRecord(texts[next() % std::size(texts)]);
        const std::vector<std::string> before = {std::to_string(w.buffers()), std::to_string(w.quickScan()),
                                                 std::to_string(w.clip()), std::to_string(w.ctrlZIsEof()),
                                                 std::to_string(w.tab()), w.endOfRecord()};
        std::string s = w.write();
        readQuietly(w, s);
        const std::vector<std::string> after = {std::to_string(w.buffers()), std::to_string(w.quickScan()),
                                                std::to_string(w.clip()), std::to_string(w.ctrlZIsEof()),
                                                std::to_string(w.tab()), w.endOfRecord()};
        ASSERT_EQ(before, after) << s;
    }
}

TEST(OptionChecker, SwitchTableIsSortedByName) {
    TextOptionWindow w;
    QueueDecl* table = w.checker().switchTable();
    ASSERT_EQ(RECORDS(table), 6u);
    std::string previous;
    for (uint32_t i = 1; i <= RECORDS(table); ++i) {
        GET(table, static_cast<int32_t>(i));
        std::string name(reinterpret_cast<const char*>(table->buffer), 32);
        name.erase(name.find_last_not_of(' ') + 1);
        EXPECT_LT(previous, name);
        previous = name;
    }
    // Writing walks the declaration order and leaves the table sorted.
    w.setTab(4);
    w.setBuffers(2);
    EXPECT_EQ(w.write(), "/FILEBUFFERS=2 /TAB=4");
    GET(table, 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(table->buffer), 4), "CLIP");
}

}  // namespace
}  // namespace varnok::textfile
