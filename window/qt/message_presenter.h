// QtMessagePresenter: message boxes as Qt message boxes, installed by the
// desktop program with setMessagePresenter (window/message_box.h).
//
// A request maps to a box in one pure step (messageBoxPlan), which tests
// check without showing anything:
// - icon: the stock codes show the style's question, exclamation,
//   information and stop icons; the program's own icon ("~varnok.ico" or
//   the application stock icon) shows as the box's picture; empty: none;
// - buttons: the bits present, in bit order (OK, Yes, No, Abort, Retry,
//   Ignore, Cancel, Help), none at all meaning OK; the default button is
//   effectiveDefault (window/message_box.h);
// - closing the box (Esc or its close box) answers Cancel when offered,
//   else No, else OK, else the default button;
// - each "|" in the text starts a new line;
// - the box is at least titleRoom wide, so that the window manager shows
//   its whole title.
// The box is modal to the window that is active and returns the bit of the
// button pressed.
#pragma once
#include <QIcon>
#include <QMessageBox>
#include <QString>
#include <memory>
#include <vector>

#include "window/message_box.h"

namespace varnok::window::qt {

struct MessageBoxButton {
    unsigned bit;
    QMessageBox::StandardButton standard;
};

struct MessageBoxPlan {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QIcon picture;  // the program's own icon in place of a standard one
    std::vector<MessageBoxButton> buttons;
    unsigned defaultBit = ButtonOk;
    unsigned escapeBit = ButtonOk;
};

MessageBoxPlan messageBoxPlan(const MessageRequest& request);
// The width (pixels) a window needs for its whole title in the title bar a
// window manager draws: the title in bold and room for the bar's icon and
// buttons.
int titleRoom(const QWidget& box, const QString& caption);
// A box set up from the plan, not yet shown.
std::unique_ptr<QMessageBox> buildMessageBox(const MessageBoxPlan& plan, QWidget* parent);
// The bit of the button clicked in a box built from the plan; escapeBit
// when none was.
unsigned pressedBit(const QMessageBox& box, const MessageBoxPlan& plan);

class QtMessagePresenter : public MessagePresenter {
public:
    unsigned show(const MessageRequest& request) override;
};

}  // namespace varnok::window::qt
