// HistoryListBox as the list's source: row n is entry n of its private copy,
// column 1 the text, column 2 the category, nothing else; and the copy is
// the manager's history as it was when the window was made.
#include "framework/history/history_list_box.h"

#include <gtest/gtest.h>

#include "framework/errors/error_manager.h"
#include "framework/history/message_window.h"
#include "tests/support/scripted_presenter.h"
#include "tests/support/scripted_window_layer.h"

namespace varnok::framework {
namespace {

TEST(HistoryListBox, AnswersRowsAndColumnsOfItsCopy) {
    WindowManager owner;
    HistoryListBox list(owner, 2, {{"KTL", "first", 1}, {"Files", std::string(1023, 'x'), 2}});
    EXPECT_EQ(list.rowCount(), 2);
    struct Case {
        int32_t row;
        int field;
        std::string text;
    };
    const Case cases[] = {
        {1, 1, "first"}, {1, 2, "KTL"}, {2, 1, std::string(1023, 'x')}, {2, 2, "Files"},
        {1, 3, ""},      {1, 0, ""},    {0, 1, ""},                     {3, 1, ""},
        {-1, 1, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(list.fieldText(c.row, c.field), c.text) << c.row << "," << c.field;
    const uint32_t stamp = list.changeStamp();
    list.fieldText(1, 1);
    EXPECT_EQ(list.changeStamp(), stamp) << "the copy never changes";
    EXPECT_FALSE(list.NeedsRefresh());
}

TEST(HistoryListBox, CopyIsTakenWhenTheWindowIsMadeAndTheNewestRowIsHighlighted) {
    varnok::testing::ScriptedWindowLayer layer;
    varnok::testing::ScriptedPresenter boxes;
    ThreadErrorState states;
    ErrorManager manager;
    manager.Init(states);
    manager.SetHistoryThreshold(2);  // the newest two
    manager.SetHistoryViewLevel(9);
    for (int id : {25, 2, 27}) manager.RaiseError(id);

    MessageWindow window(manager, "", 0, 1, 1);
    manager.ClearHistory();  // later changes do not reach the window's copy
    layer.onOpen(HistoryWindowName)
        .call([&](window::Window& w) {
            EXPECT_EQ(window.list().history().size(), 2u);
            EXPECT_EQ(window.list().history()[1].Txt, "The Procedure  has not been defined.");
            EXPECT_EQ(w.propertyNumber(HistoryList, window::prop::Selected), 2);
            EXPECT_EQ(w.focus(), HistoryButton1);
        })
        .accept("?BUTTON1");
    window.Run();
    EXPECT_EQ(window.MsgRVal, 1u);
    EXPECT_EQ(window.MsgButtons, 1);
    EXPECT_EQ(window.MsgButtonID[0], HistoryButton1);
    layer.verifyDone();
}

}  // namespace
}  // namespace varnok::framework
