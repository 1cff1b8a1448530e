#include "app/txa/extension_selection.h"

#include <gtest/gtest.h>

#include "app/txa/txa_records.h"
#include "app/txa/txa_scanner.h"
#include "tests/app/txa_reference.h"
#include "tests/support/scripted_presenter.h"

namespace varnok::app {
namespace {

using window::ButtonNo;
using window::ButtonYes;

struct SelectionFixture : ::testing::Test {
    Queue lineQ{lineLayout()};
    Queue extensionQ{extensionLayout()};

    void SetUp() override {
        // Rows: 1 Logger/Tools, 2 Resizer, 3 Logger/Other, 4 logger, 5 Logger/Tools
        testing::fillLines(lineQ, {"[ADDITION]", "NAME Tools Logger", "[ADDITION]", "NAME Tools Resizer", "[ADDITION]",
                                   "NAME Other Logger", "[ADDITION]", "NAME Tools logger", "[ADDITION]",
                                   "NAME Tools Logger", "[END]"});
        TxaScanner scanner;
        scanner.ScanTxa(lineQ, extensionQ);
        ASSERT_EQ(RECORDS(extensionQ), 5u);
    }
    std::string ticks() {
        std::string t;
        for (uint32_t i = 1; i <= RECORDS(extensionQ); ++i) {
            GET(extensionQ, static_cast<int32_t>(i));
            ExtensionRecord r;
            r.read(extensionQ.buffer());
            EXPECT_EQ(r.icon, 1 + r.removeThis);  // the icon always follows the tick
            t += r.removeThis ? 'x' : '.';
        }
        return t;
    }
};

TEST_F(SelectionFixture, ToggleFlipsTheHighlightedRow) {
    EXPECT_EQ(toggleRow(extensionQ, 2), 2);
    EXPECT_EQ(ticks(), ".x...");
    EXPECT_EQ(toggleRow(extensionQ, 2), 2);
    EXPECT_EQ(ticks(), ".....");
    EXPECT_EQ(toggleRow(extensionQ, 0), 1);  // nothing highlighted: highlight row 1
    EXPECT_EQ(ticks(), ".....");
    EXPECT_EQ(toggleRow(extensionQ, 9), 9);  // no such row: nothing changes
    EXPECT_EQ(ticks(), ".....");
}

TEST_F(SelectionFixture, SelectAllSpreadsTheChosenRowsStateByExactName) {
    toggleRow(extensionQ, 1);
    testing::ScriptedPresenter boxes;
    boxes.expect("Select all the instances of: Logger", ButtonYes);
    EXPECT_TRUE(selectAllLike(extensionQ, 1));
    boxes.verifyDone();
    const auto& q = boxes.shown()[0];
    EXPECT_EQ(q.text, "Select all the instances of: Logger");
    EXPECT_EQ(q.caption, "Select All");
    EXPECT_EQ(q.icon, window::IconQuestion);
    EXPECT_EQ(q.buttons, ButtonYes | ButtonNo);
    EXPECT_EQ(q.defaultButton, ButtonNo);
    EXPECT_EQ(ticks(), "x.x.x");  // both templates; "logger" is another name

    toggleRow(extensionQ, 2);
    toggleRow(extensionQ, 3);  // now unticked: its state goes to every "Logger"
    boxes.expect("Deselect all the instances of: Logger", ButtonYes);
    EXPECT_TRUE(selectAllLike(extensionQ, 3));
    boxes.verifyDone();
    EXPECT_EQ(ticks(), ".x...");
}

TEST_F(SelectionFixture, DeselectAllAndNo) {
    toggleRow(extensionQ, 1);
    toggleRow(extensionQ, 3);
    testing::ScriptedPresenter boxes;
    boxes.expect("Deselect all the instances of: Logger", ButtonNo);
    EXPECT_FALSE(selectAllLike(extensionQ, 5));
    EXPECT_EQ(ticks(), "x.x..");  // No changes nothing
    boxes.expect("Deselect All", ButtonYes);
    EXPECT_TRUE(selectAllLike(extensionQ, 5));
    EXPECT_EQ(ticks(), ".....");
    EXPECT_FALSE(selectAllLike(extensionQ, 0));  // no row: no question
    boxes.verifyDone();
}

}  // namespace
}  // namespace varnok::app
