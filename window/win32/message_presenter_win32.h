// Win32MessagePresenter: message boxes as the system's own MessageBox,
// installed by the Windows desktop program with setMessagePresenter
// (window/message_box.h).
//
// A request maps to a box in one pure step (messageBoxPlan), which tests
// check without showing anything:
// - text: UTF-16, each "|" a line break; bytes that are not UTF-8 read as
//   Windows-1252 (a TXA name quoted in a message);
// - icon: the stock codes IconHand, IconQuestion, IconExclamation and
//   IconInformation give MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION
//   and MB_ICONINFORMATION; any other stock code that system icon
//   (MB_USERICON, loaded from the system); "~name" the program's icon
//   resource of that name without the "~" (MB_USERICON; no icon when the
//   program has none of that name); empty: none;
// - buttons: the bits that form a set the system box has (OK; OK Cancel;
//   Yes No; Yes No Cancel; Retry Cancel; Abort Retry Ignore) show as that
//   set with the system's own labels; Help adds MB_HELP;
// - any other set (OK Yes, Yes Cancel, Ignore alone, four buttons...), which
//   the Qt layer shows as asked, shows as the system box with as many
//   buttons (up to three) carrying the requested labels, so the user is
//   asked exactly the question the program asks: the buttons in bit order,
//   except the one that closing the box answers (Cancel, else No, else OK,
//   else the default), which goes last, on the box's Cancel place, so that
//   Esc and the close box answer it as in the Qt layer. More than three
//   buttons besides Help: the default, that closing one and the lowest
//   others up to three; the rest are not offered (the box can never
//   answer a bit the program did not offer). Help alone is one "&Help"
//   button;
// - the default button is effectiveDefault (window/message_box.h),
//   MB_DEFBUTTON1..4 by its place among the buttons shown (Help is last);
//   when it is not shown, the first button.
//
// The system box ends only by its buttons other than Help (Help sends
// WM_HELP and stays open; Wine's does nothing). The program's boxes end by
// every button, Help included, and answer its bit, so while the box is
// shown its window procedure is wrapped: Help ends it with IDHELP. F1
// still sends WM_HELP to the owner, as with any system box.
//
// The box is MessageBoxIndirectW (MessageBoxW with room for an icon of the
// program's own), owned by the calling thread's active window (task modal
// when the thread has none); a CBT hook of the calling thread finds the
// box's window as it is activated, to put the requested labels on its
// buttons and wrap its procedure. It returns the bit of the button pressed.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "window/message_box.h"

namespace varnok::window::win32 {

// One button of a box: the dialog id the box returns for it and the bit
// that id answers.
struct MessageBoxButton {
    int id = IDOK;
    unsigned bit = ButtonOk;
    friend bool operator==(const MessageBoxButton&, const MessageBoxButton&) = default;
};

struct MessageBoxPlan {
    std::wstring caption;
    std::wstring text;
    UINT style = MB_OK;        // MB_ buttons, icon, default button, MB_HELP
    std::wstring userIcon;     // MB_USERICON: the program's icon resource name
    int stockIcon = 0;         // MB_USERICON: a system icon's resource number
    // In the order the box shows them, Help last.
    std::vector<MessageBoxButton> buttons;
    // The buttons carry the requested labels (buttonLabel), not the
    // system's, because the set is not one the system box has.
    bool relabel = false;
    unsigned defaultBit = ButtonOk;
    unsigned escapeBit = ButtonOk;  // what Esc or the close box answers
};

MessageBoxPlan messageBoxPlan(const MessageRequest& request);
// The bit the box answers for the id it returned: the bit of the button with
// that id; escapeBit for any other (0 when the box could not be shown).
unsigned answerBit(const MessageBoxPlan& plan, int id);
// A button's label where the box carries requested labels.
const wchar_t* buttonLabel(unsigned bit);

// Tests: answers in the user's place. Gets the plan the box would be shown
// from and returns the id the box would (IDOK, IDYES, ... IDHELP).
using MessageBoxAnswer = std::function<int(const MessageBoxPlan&)>;

class Win32MessagePresenter : public MessagePresenter {
public:
    Win32MessagePresenter() = default;
    // Tests only: every box goes to `answer` instead of the screen.
    explicit Win32MessagePresenter(MessageBoxAnswer answer) : answer_(std::move(answer)) {}

    unsigned show(const MessageRequest& request) override;

private:
    MessageBoxAnswer answer_;
};

// Shows the plan's box owned by `owner` (nullptr: task modal) and returns
// the id it ended with, 0 when it could not be shown.
int showMessageBox(const MessageBoxPlan& plan, HWND owner);

}  // namespace varnok::window::win32
