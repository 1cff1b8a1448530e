#include "window/qt/message_presenter.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <algorithm>

#include "window/qt/icons.h"
#include "window/qt/program_text.h"

namespace varnok::window::qt {

namespace {

constexpr MessageBoxButton kButtons[] = {
    {ButtonOk, QMessageBox::Ok},         {ButtonYes, QMessageBox::Yes},       {ButtonNo, QMessageBox::No},
    {ButtonAbort, QMessageBox::Abort},   {ButtonRetry, QMessageBox::Retry},   {ButtonIgnore, QMessageBox::Ignore},
    {ButtonCancel, QMessageBox::Cancel}, {ButtonHelp, QMessageBox::Help},
};

}  // namespace

MessageBoxSpec messageBoxSpec(const MessageRequest& request) {
    MessageBoxSpec spec;
    spec.caption = fromProgram(request.caption);
    spec.text = fromProgram(messageLines(request.text));
    switch (stockIconNumber(request.icon)) {
    case StockHand: spec.icon = QMessageBox::Critical; break;
    case StockQuestion: spec.icon = QMessageBox::Question; break;
    case StockExclamation: spec.icon = QMessageBox::Warning; break;
    case StockAsterisk: spec.icon = QMessageBox::Information; break;
    default:
        if (!request.icon.empty()) spec.picture = namedIcon(request.icon);
        break;
    }
    const unsigned buttons = request.buttons ? request.buttons : ButtonOk;
    for (const MessageBoxButton& b : kButtons)
        if (buttons & b.bit) spec.buttons.push_back(b);
    if (spec.buttons.empty()) spec.buttons.push_back(kButtons[0]);  // only unknown bits
    spec.defaultBit = effectiveDefault(request);
    if (std::none_of(spec.buttons.begin(), spec.buttons.end(),
                     [&](const MessageBoxButton& b) { return b.bit == spec.defaultBit; }))
        spec.defaultBit = spec.buttons.front().bit;
    spec.escapeBit = spec.defaultBit;
    for (unsigned escape : {ButtonCancel, ButtonNo, ButtonOk}) {
        if (buttons & escape) {
            spec.escapeBit = escape;
            break;
        }
    }
    return spec;
}

std::unique_ptr<QMessageBox> buildMessageBox(const MessageBoxSpec& spec, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(spec.caption);
    box->setText(spec.text);
    box->setTextFormat(Qt::PlainText);
    if (!spec.picture.isNull()) {
        box->setIconPixmap(spec.picture.pixmap(48, 48));
    } else {
        box->setIcon(spec.icon);
    }
    for (const MessageBoxButton& b : spec.buttons) {
        QPushButton* button = box->addButton(b.standard);
        if (b.bit == spec.defaultBit) box->setDefaultButton(button);
        if (b.bit == spec.escapeBit) box->setEscapeButton(button);
    }
    return box;
}

unsigned pressedBit(const QMessageBox& box, const MessageBoxSpec& spec) {
    QAbstractButton* clicked = box.clickedButton();
    if (clicked) {
        const QMessageBox::StandardButton standard = box.standardButton(clicked);
        for (const MessageBoxButton& b : spec.buttons)
            if (b.standard == standard) return b.bit;
    }
    return spec.escapeBit;
}

unsigned QtMessagePresenter::show(const MessageRequest& request) {
    const MessageBoxSpec spec = messageBoxSpec(request);
    std::unique_ptr<QMessageBox> box = buildMessageBox(spec, QApplication::activeWindow());
    box->exec();
    return pressedBit(*box, spec);
}

}  // namespace varnok::window::qt
