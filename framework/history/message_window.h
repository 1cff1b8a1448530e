// MessageWindow: the errors history window, which the error manager shows
// instead of a message box when it keeps a history (see
// ErrorManager::ShowHistoryWindow): every message of the history with its
// category, under the box's caption, icon and buttons.
//
// The window (registered as "framework$HISTORYWINDOW"): title "Error" (the
// caption replaces it when not empty), an image ?IMAGE, the list ?LIST of
// format "217L(2)|M~Message~S(255)@s255@42L(2)|M~Category~L(1)@s255@" fed
// by a HistoryListBox, and eight hidden buttons ?BUTTON1 to ?BUTTON8.
//
// Buttons: for the bits 128, 64, 32, 16, 8, 4, 2, 1 in this order, each one
// asked for takes the next button, from ?BUTTON1 on, with its label:
//     1 "O&k"  2 "&Yes"  4 "&No"  8 "&Abort"  16 "&Retry"  32 "&Ignore"
//     64 "&Cancel"  128 "&Help"
// so Help comes first and OK last; the one whose bit is the default is the
// window's default button and has the focus. ?IMAGE shows the exclamation
// mark for icon 0, else the stock icon of that number.
//
// Pressing a button ends the window with its bit (MsgRVal); closing it any
// other way (the close box) answers the default.
//
//     unsigned answer = showHistoryWindow(errorManager(), "Errors History", 0, 129, 1);
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/history/history_list_box.h"
#include "framework/windows/window_manager.h"

namespace varnok::framework {

class ErrorManager;

constexpr std::string_view HistoryWindowName = "framework$HISTORYWINDOW";

// Control numbers of the history window.
enum HistoryControl : int32_t {
    HistoryImage = 1,
    HistoryList = 2,
    HistoryButton1 = 3,  // ?BUTTON1; ?BUTTON8 is HistoryButton1 + 7
};
constexpr int HistoryButtons = 8;

// The label of a button bit ("O&k" for 1); empty for anything else.
std::string_view historyButtonLabel(unsigned bit);
// The bits asked for, in the order their buttons are laid out.
std::vector<unsigned> historyButtonOrder(unsigned buttons);

// Registers the window structure (once per process).
void registerHistoryWindow();

class MessageWindow : public WindowManager {
public:
    MessageWindow(ErrorManager& manager, std::string caption, int32_t icon, unsigned buttons,
                  unsigned defaultButton, int16_t style = 0);

    uint8_t Init() override;
    uint8_t OnAccepted() override;

    // Fields.
    unsigned ButtonTypes = 0;       // the button bits asked for
    int32_t MsgButtons = 0;         // buttons shown
    std::array<int32_t, HistoryButtons> MsgButtonID{};  // control of each shown button, in layout order
    unsigned MsgRVal = 0;           // the answer: a button bit
    std::string Caption;
    int32_t Icon = 0;
    int16_t Style = 0;

    const HistoryListBox& list() const { return list_; }

private:
    void layOutButtons();

    ErrorManager& manager_;
    HistoryListBox list_;
};

// Shows the history window and answers the button pressed: what the error
// manager's ShowHistoryWindow calls once it is installed.
unsigned showHistoryWindow(ErrorManager& manager, const std::string& caption, int32_t icon, unsigned buttons,
                           unsigned defaultButton);

// Makes the error manager show its history in this window. The program's
// start-up calls it once.
void installHistoryWindow();

}  // namespace varnok::framework
