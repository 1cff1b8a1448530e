#include "app/txa/txa_scanner.h"

#include <gtest/gtest.h>

#include "app/txa/txa_records.h"
#include "tests/app/txa_reference.h"

namespace varnok::app {
namespace {

using testing::RefInstance;

struct ScanFixture : ::testing::Test {
    Queue lineQ{lineLayout()};
    Queue extensionQ{extensionLayout()};
    TxaScanner scanner;

    std::vector<RefInstance> scan(const std::vector<std::string>& lines) {
        testing::fillLines(lineQ, lines);
        scanner.ScanTxa(lineQ, extensionQ);
        return testing::listOf(extensionQ);
    }
};

TEST_F(ScanFixture, TheExampleInstance) {
    auto list = scan({"[PROCEDURE]", "NAME Main", "[ADDITION]", "NAME Tools Logger", "[INSTANCE]", "INSTANCE 1",
                      "[PROMPTS]", "%Prompt LONG (1)", "[WINDOW]"});
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (RefInstance{"Logger", "Main", "Tools", 3, 8}));
    GET(extensionQ, 1);
    ExtensionRecord r;
    r.read(extensionQ.buffer());
    EXPECT_EQ(r.removeThis, 0);
    EXPECT_EQ(r.icon, 1);
}

TEST_F(ScanFixture, NameLineForms) {
    auto list = scan({"[ADDITION]", "NAME  X", "[ADDITION]", "NAME Tools", "[ADDITION]",
                      "NAME " + std::string(50, 'T') + " " + std::string(70, 'E'), "[END]"});
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], (RefInstance{"X", "", "", 1, 2}));
    EXPECT_EQ(list[1], (RefInstance{"", "", "Tools", 3, 4}));
    EXPECT_EQ(list[2], (RefInstance{std::string(64, 'E'), "", std::string(40, 'T'), 5, 6}));
}

TEST_F(ScanFixture, HeadersThatContinueCloseOrOpen) {
    auto list = scan({"[PROCEDURE]", "NAME P1", "[ADDITION]", "NAME T A", "[prompts]", "[Instance]  ",
                      "[FIELDPROMPT]", "x", "[Addition]", "NAME T B", "[ADDITION]", "no name line",
                      "[ADDITION]", "NAME T C", "[PROCEDURE]", "NAME P2", "[ADDITION]", "NAME T D", "more"});
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], (RefInstance{"A", "P1", "T", 3, 8}));  // "[Addition]" closes and opens nothing
    EXPECT_EQ(list[1], (RefInstance{"C", "P1", "T", 13, 14}));
    EXPECT_EQ(list[2], (RefInstance{"D", "P2", "T", 17, 0}));  // open at the end
}

TEST_F(ScanFixture, AnAdditionWithoutNameClosesTheOpenInstance) {
    auto list = scan({"[ADDITION]", "NAME T A", "a", "[ADDITION]", "b", "[PROMPTS]"});
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].to, 3);
}

TEST_F(ScanFixture, ProcedureWithoutNameKeepsThePreviousOneAndLastLineHeaders) {
    auto list = scan({"[PROCEDURE]", "NAME P1", "[PROCEDURE]", "NAMEX", "[ADDITION]", "NAME T A", "[PROCEDURE]"});
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (RefInstance{"A", "P1", "T", 5, 6}));
    EXPECT_TRUE(scan({"[ADDITION]"}).empty());
    EXPECT_TRUE(scan({}).empty());
}

TEST_F(ScanFixture, EveryScanStartsAfresh) {
    scan({"[PROCEDURE]", "NAME P1", "[ADDITION]", "NAME T A"});
    auto list = scan({"[ADDITION]", "NAME T B", "[END]"});
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (RefInstance{"B", "", "T", 1, 2}));  // no procedure carried over
}

}  // namespace
}  // namespace varnok::app
