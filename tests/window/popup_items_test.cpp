// The popup item parser every window layer shares.
#include "window/popup_items.h"

#include <gtest/gtest.h>

namespace varnok::window {
namespace {

// One item in a compact form: "3 Paste ~+" is number 3, text "Paste",
// greyed and checked; "-" a separator.
std::string describe(const PopupItem& item) {
    if (item.separator) return item.number == 0 && item.text.empty() ? "-" : "bad separator";
    std::string d = std::to_string(item.number) + " " + item.text;
    if (item.disabled || item.checked) d += " ";
    if (item.disabled) d += "~";
    if (item.checked) d += "+";
    return d;
}

std::vector<std::string> describeAll(std::string_view items) {
    std::vector<std::string> out;
    for (const PopupItem& item : parsePopupItems(items)) out.push_back(describe(item));
    return out;
}

TEST(PopupItems, TextsMarksAndNumbers) {
    struct Case {
        const char* items;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"", {}},
        {"View", {"1 View"}},
        {"&Copy|-|+Wrap lines|~Paste|+~Both", {"1 &Copy", "-", "2 Wrap lines +", "3 Paste ~", "4 Both ~+"}},
        {"View|-|Export|~Close", {"1 View", "-", "2 Export", "3 Close ~"}},
        {" - |a", {"-", "1 a"}},                  // spaces around a separator
        {"--|a", {"1 --", "2 a"}},                // only a single "-" is a line
        {"a||b", {"1 a", "2 ", "3 b"}},           // an empty item keeps its number
        {"a|", {"1 a", "2 "}},
        {"|", {"1 ", "2 "}},
        {"-", {"-"}},
        {"~~+x", {"1 x ~+"}},                     // marks repeat harmlessly
        {"a ~b|c +", {"1 a ~b", "2 c +"}},        // marks count only in front
        {"&&Save && close", {"1 &&Save && close"}},  // "&" stays for the toolkit
        {"Gr\xC3\xB6\xC3\x9F" "e|\xE9t\xE9", {"1 Gr\xC3\xB6\xC3\x9F" "e", "2 \xE9t\xE9"}},  // bytes kept
    };
    for (const Case& c : cases) EXPECT_EQ(describeAll(c.items), c.expected) << c.items;
}

// Numbers run 1, 2, ... over the items that are not separators, whatever
// their marks.
TEST(PopupItems, NumbersCountEveryItemButSeparators) {
    const std::string parts[] = {"-", "a", "~b", "+c", "~+d", " - "};
    std::string text;
    int expected = 0;
    for (int i = 0; i < 40; ++i) {
        const std::string& part = parts[(i * 7 + 3) % 6];
        text += (i ? "|" : "") + part;
        const std::vector<PopupItem> items = parsePopupItems(text);
        ASSERT_EQ(items.size(), static_cast<size_t>(i + 1));
        if (!items.back().separator) ++expected;
        int last = 0;
        for (const PopupItem& item : items) {
            if (!item.separator) {
                EXPECT_EQ(item.number, ++last);
            }
        }
        EXPECT_EQ(last, expected);
    }
}

TEST(PopupItems, ChoiceOnlyOfItemsThatCanBeChosen) {
    const std::vector<PopupItem> items = parsePopupItems("One|-|Two|~Three|+Four");
    const struct {
        int command;
        int32_t number;
    } cases[] = {{1, 1}, {2, 2}, {3, 0}, {4, 4}, {5, 0}, {0, 0}, {-1, 0}};
    for (const auto& c : cases) EXPECT_EQ(popupChoiceNumber(items, c.command), c.number) << c.command;
    EXPECT_EQ(popupChoiceNumber({}, 1), 0);
}

}  // namespace
}  // namespace varnok::window
