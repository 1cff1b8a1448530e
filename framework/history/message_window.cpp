#include "framework/history/message_window.h"

#include <mutex>

#include "framework/errors/error_manager.h"
#include "framework/errors/history_window_seam.h"
#include "window/events.h"
#include "window/message_box.h"
#include "window/window_structure.h"

namespace varnok::framework {

namespace prop = window::prop;

std::string_view historyButtonLabel(unsigned bit) {
    switch (bit) {
    case window::ButtonOk: return "O&k";
    case window::ButtonYes: return "&Yes";
    case window::ButtonNo: return "&No";
    case window::ButtonAbort: return "&Abort";
    case window::ButtonRetry: return "&Retry";
    case window::ButtonIgnore: return "&Ignore";
    case window::ButtonCancel: return "&Cancel";
    case window::ButtonHelp: return "&Help";
    default: return {};
    }
}

std::vector<unsigned> historyButtonOrder(unsigned buttons) {
    std::vector<unsigned> order;
    for (unsigned bit = window::ButtonHelp; bit != 0; bit >>= 1) {
        if (buttons & bit) order.push_back(bit);
    }
    return order;
}

namespace {

window::WindowStructure historyStructure() {
    using window::ControlKind;
    window::WindowStructure s;
    s.resourceName = std::string(HistoryWindowName);
    s.label = "HISTORYWINDOW";
    s.title = "Error";
    s.fontName = "MS Sans Serif";
    s.fontSize = 8;
    s.width = 356;
    s.height = 154;
    s.modal = true;

    s.controls.push_back(window::makeControl(ControlKind::Image, "?IMAGE", "", 8, 8, 24, 24));

    window::ControlStructure list = window::makeControl(ControlKind::List, "?LIST", "", 40, 8, 308, 118);
    list.format = "217L(2)|M~Message~S(255)@s255@42L(2)|M~Category~L(1)@s255@";
    s.controls.push_back(list);

    for (int i = 1; i <= HistoryButtons; ++i) {
        window::ControlStructure button =
            window::makeControl(ControlKind::Button, "?BUTTON" + std::to_string(i), "Button " + std::to_string(i),
                                40 + (i - 1) * 39, 133, 36, 14);
        button.hidden = true;
        s.controls.push_back(button);
    }
    return s;
}

}  // namespace

void registerHistoryWindow() {
    static std::once_flag once;
    std::call_once(once, [] { window::registerWindowStructure(historyStructure()); });
}

MessageWindow::MessageWindow(ErrorManager& manager, std::string caption, int32_t icon, unsigned buttons,
                             unsigned defaultButton, int16_t style)
    : ButtonTypes(buttons), MsgRVal(defaultButton), Caption(std::move(caption)), Icon(icon), Style(style),
      manager_(manager), list_(*this, HistoryList, manager.historyRecords()) {
    Errors = &manager;
}

uint8_t MessageWindow::Init() {
    if (uint8_t r = WindowManager::Init()) return r;
    AddComponent(&list_);
    registerHistoryWindow();
    OpenWindow(HistoryWindowName);
    if (!Opened) return LevelFatal;
    if (!Caption.empty()) MyWindow->setProperty(0, prop::Text, Caption);
    layOutButtons();
    MyWindow->setProperty(HistoryImage, prop::Icon,
                          Icon == 0 ? window::IconExclamation : window::stockIcon(static_cast<uint16_t>(Icon)));
    RegisterAlerts();
    return LevelQuiet;
}

void MessageWindow::layOutButtons() {
    MsgButtons = 0;
    MsgButtonID.fill(0);
    int32_t focus = 0;
    for (unsigned bit : historyButtonOrder(ButtonTypes)) {
        const int32_t control = HistoryButton1 + MsgButtons;
        MsgButtonID[static_cast<size_t>(MsgButtons)] = control;
        ++MsgButtons;
        MyWindow->setProperty(control, prop::Text, historyButtonLabel(bit));
        MyWindow->setProperty(control, prop::Hide, 0);
        if (bit == MsgRVal) {
            MyWindow->setProperty(control, prop::Default, 1);
            focus = control;
        }
    }
    // The focus goes to the default button once the window is shown.
    FirstField = focus;
}

uint8_t MessageWindow::OnAccepted() {
    if (uint8_t r = WindowManager::OnAccepted()) return r;
    // The buttons shown are HistoryButton1, 2, ... in layout order.
    const int32_t shown = currentEvent().control - HistoryButton1;
    if (shown >= 0 && shown < MsgButtons) {
        MsgRVal = historyButtonOrder(ButtonTypes)[static_cast<size_t>(shown)];
        MyWindow->post(window::event::CloseWindow);
        return LevelNotify;
    }
    return LevelQuiet;
}

unsigned showHistoryWindow(ErrorManager& manager, const std::string& caption, int32_t icon, unsigned buttons,
                           unsigned defaultButton) {
    MessageWindow window(manager, caption, icon, buttons, defaultButton);
    window.Run();
    return window.MsgRVal;
}

void installHistoryWindow() { setHistoryWindowShower(&showHistoryWindow); }

}  // namespace varnok::framework
