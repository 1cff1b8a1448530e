// The Win32 popup menu built from the shared item parser, and its path
// through the answering seam.
#include "window/win32/popup_menu_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnok::window::win32 {
namespace {

// One menu entry in a compact form: "2 Wrap lines +" (id, text, "~"
// greyed, "+" checked), "-" a separator.
std::vector<std::string> describeMenu(HMENU menu) {
    std::vector<std::string> out;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 64;
        if (!GetMenuItemInfoW(menu, i, TRUE, &info)) {
            out.push_back("?");
            continue;
        }
        if (info.fType & MFT_SEPARATOR) {
            out.push_back("-");
            continue;
        }
        std::string d = std::to_string(info.wID) + " ";
        for (const wchar_t* c = text; *c; ++c) d += *c < 128 ? static_cast<char>(*c) : '?';
        if (info.fState & (MFS_GRAYED | MFS_CHECKED)) d += " ";
        if (info.fState & MFS_GRAYED) d += "~";
        if (info.fState & MFS_CHECKED) d += "+";
        out.push_back(d);
    }
    return out;
}

TEST(Win32PopupMenu, MenuHoldsTheParsedItems) {
    struct Case {
        const char* items;
        std::vector<std::string> menu;
    };
    const Case cases[] = {
        {"&Copy|-|+Wrap lines|~Paste|+~Both", {"1 &Copy", "-", "2 Wrap lines +", "3 Paste ~", "4 Both ~+"}},
        {"View|-|Export|~Close", {"1 View", "-", "2 Export", "3 Close ~"}},
        {"Caf\xC3\xA9", {"1 Caf?"}},
        {"-|-", {"-", "-"}},
    };
    for (const Case& c : cases) {
        HMENU menu = buildPopupMenu(parsePopupItems(c.items));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(describeMenu(menu), c.menu) << c.items;
        DestroyMenu(menu);
    }
}

TEST(Win32PopupMenu, SeamSeesTheMenuAndTheChoiceIsChecked) {
    std::vector<std::vector<std::string>> menus;
    POINT place{};
    int command = 0;
    PopupAnswer previous = answerPopups([&](HMENU menu, POINT at) {
        menus.push_back(describeMenu(menu));
        place = at;
        return command;
    });
    const struct {
        int command;
        int32_t chosen;
    } cases[] = {{1, 1}, {2, 2}, {3, 0} /* greyed */, {0, 0}, {9, 0} /* no such item */};
    for (const auto& c : cases) {
        command = c.command;
        EXPECT_EQ(runPopupMenu(nullptr, "View|-|Export|~Close", POINT{40, 50}), c.chosen) << c.command;
    }
    const size_t asked = menus.size();
    EXPECT_EQ(runPopupMenu(nullptr, "", POINT{}), 0);  // nothing to choose from: no menu
    EXPECT_EQ(menus.size(), asked);
    answerPopups(std::move(previous));
    ASSERT_EQ(menus.size(), 5u);
    EXPECT_EQ(menus[0], (std::vector<std::string>{"1 View", "-", "2 Export", "3 Close ~"}));
    EXPECT_EQ(place.x, 40);
    EXPECT_EQ(place.y, 50);
}

}  // namespace
}  // namespace varnok::window::win32
