#include "window/qt/message_presenter.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>
#include <QStyle>
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

int titleRoom(const QWidget& box, const QString& caption) {
    // The title in a bold face of the box's font (window managers draw
    // titles bold), and a title bar's height for each of the icon, the
    // buttons (minimize, maximize, close) and the bar's two ends.
    QFont bold = box.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int bar = std::max(box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box), metrics.height() + 6);
    return metrics.horizontalAdvance(caption) + 5 * bar;
}

MessageBoxPlan messageBoxPlan(const MessageRequest& request) {
    MessageBoxPlan plan;
    plan.caption = fromProgram(request.caption);
    plan.text = fromProgram(messageLines(request.text));
    switch (stockIconNumber(request.icon)) {
    case StockHand: plan.icon = QMessageBox::Critical; break;
    case StockQuestion: plan.icon = QMessageBox::Question; break;
    case StockExclamation: plan.icon = QMessageBox::Warning; break;
    case StockAsterisk: plan.icon = QMessageBox::Information; break;
    default:
        if (!request.icon.empty()) plan.picture = namedIcon(request.icon);
        break;
    }
    const unsigned buttons = request.buttons ? request.buttons : ButtonOk;
    for (const MessageBoxButton& b : kButtons)
        if (buttons & b.bit) plan.buttons.push_back(b);
    if (plan.buttons.empty()) plan.buttons.push_back(kButtons[0]);  // only unknown bits
    plan.defaultBit = effectiveDefault(request);
    if (std::none_of(plan.buttons.begin(), plan.buttons.end(),
                     [&](const MessageBoxButton& b) { return b.bit == plan.defaultBit; }))
        plan.defaultBit = plan.buttons.front().bit;
    plan.escapeBit = escapeButton(buttons, plan.defaultBit);
    return plan;
}

std::unique_ptr<QMessageBox> buildMessageBox(const MessageBoxPlan& plan, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(plan.caption);
    box->setText(plan.text);
    box->setTextFormat(Qt::PlainText);
    if (!plan.picture.isNull()) {
        box->setIconPixmap(plan.picture.pixmap(48, 48));
    } else {
        box->setIcon(plan.icon);
    }
    for (const MessageBoxButton& b : plan.buttons) {
        QPushButton* button = box->addButton(b.standard);
        if (b.bit == plan.defaultBit) box->setDefaultButton(button);
        if (b.bit == plan.escapeBit) box->setEscapeButton(button);
    }
    // A box sizes itself by its text and buttons; a row of the title's width
    // at the bottom of its layout keeps it wide enough for the window
    // manager to show the whole title.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        const QMargins margins = grid->contentsMargins();
        const int room = titleRoom(*box, plan.caption) - margins.left() - margins.right();
        grid->addItem(new QSpacerItem(std::max(0, room), 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(),
                      0, 1, grid->columnCount());
    }
    return box;
}

unsigned pressedBit(const QMessageBox& box, const MessageBoxPlan& plan) {
    QAbstractButton* clicked = box.clickedButton();
    if (clicked) {
        const QMessageBox::StandardButton standard = box.standardButton(clicked);
        for (const MessageBoxButton& b : plan.buttons)
            if (b.standard == standard) return b.bit;
    }
    return plan.escapeBit;
}

unsigned QtMessagePresenter::show(const MessageRequest& request) {
    const MessageBoxPlan plan = messageBoxPlan(request);
    std::unique_ptr<QMessageBox> box = buildMessageBox(plan, QApplication::activeWindow());
    box->exec();
    return pressedBit(*box, plan);
}

}  // namespace varnok::window::qt
