#include "window/qt/popup_menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "tests/window/qt/qt_test_support.h"

namespace varnok::window::qt {
namespace {

TEST(PopupItems, NumbersSeparatorsGreyedAndChecked) {
    std::vector<PopupItem> items = parsePopupItems("&Copy|-|+Wrap lines|~Paste|+~Both");
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].text, "&Copy");
    EXPECT_EQ(items[0].number, 1);
    EXPECT_TRUE(items[1].separator);
    EXPECT_EQ(items[1].number, 0);
    EXPECT_EQ(items[2].text, "Wrap lines");
    EXPECT_TRUE(items[2].checked);
    EXPECT_EQ(items[2].number, 2);
    EXPECT_TRUE(items[3].disabled);
    EXPECT_EQ(items[3].text, "Paste");
    EXPECT_EQ(items[3].number, 3);
    EXPECT_TRUE(items[4].disabled && items[4].checked);
    EXPECT_EQ(items[4].number, 4);
    EXPECT_TRUE(parsePopupItems("").empty());
}

TEST(PopupMenu, ChosenActionGivesItsNumber) {
    testing::application();
    QMenu menu;
    buildPopupMenu(menu, parsePopupItems("One|-|Two|~Three"));
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(popupChoice(actions[0]), 1);
    EXPECT_EQ(popupChoice(actions[1]), 0);  // the separator
    EXPECT_EQ(popupChoice(actions[2]), 2);
    EXPECT_EQ(popupChoice(actions[3]), 0);  // greyed: cannot be chosen
    EXPECT_EQ(popupChoice(nullptr), 0);
}

}  // namespace
}  // namespace varnok::window::qt
