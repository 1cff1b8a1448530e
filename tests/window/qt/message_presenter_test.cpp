#include "window/qt/message_presenter.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QPushButton>
#include <QTimer>

#include "tests/support/scripted_presenter.h"
#include "tests/window/qt/qt_test_support.h"

namespace varnok::window::qt {
namespace {

using testing::application;

TEST(MessageBoxPlan, IconsFromTheirCodes) {
    application();
    struct Case {
        std::string icon;
        QMessageBox::Icon expected;
        bool picture;
    };
    const Case cases[] = {
        {IconQuestion, QMessageBox::Question, false},
        {IconExclamation, QMessageBox::Warning, false},
        {IconInformation, QMessageBox::Information, false},
        {IconHand, QMessageBox::Critical, false},
        {"", QMessageBox::NoIcon, false},
        {"~varnok.ico", QMessageBox::NoIcon, true},   // the program's own, as a picture
        {stockIcon(32512), QMessageBox::NoIcon, true},
        {"~nothing.ico", QMessageBox::NoIcon, false},
    };
    for (const Case& c : cases) {
        MessageRequest request{"text", "caption", c.icon, ButtonOk, 0};
        MessageBoxPlan plan = messageBoxPlan(request);
        EXPECT_EQ(plan.icon, c.expected) << c.icon;
        EXPECT_EQ(!plan.picture.isNull(), c.picture) << c.icon;
    }
}

TEST(MessageBoxPlan, ButtonsInBitOrderWithDefaultAndEscape) {
    struct Case {
        unsigned buttons, defaultButton;
        std::vector<QMessageBox::StandardButton> shown;
        unsigned defaultBit, escapeBit;
    };
    const Case cases[] = {
        {ButtonOk, 0, {QMessageBox::Ok}, ButtonOk, ButtonOk},
        {0, 0, {QMessageBox::Ok}, ButtonOk, ButtonOk},  // none asked: OK
        {ButtonYes | ButtonNo, ButtonNo, {QMessageBox::Yes, QMessageBox::No}, ButtonNo, ButtonNo},
        {ButtonYes | ButtonNo, 0, {QMessageBox::Yes, QMessageBox::No}, ButtonYes, ButtonNo},
        {ButtonYes | ButtonNo | ButtonCancel, ButtonCancel,
         {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}, ButtonCancel, ButtonCancel},
        {ButtonAbort | ButtonRetry | ButtonIgnore, ButtonRetry,
         {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}, ButtonRetry, ButtonRetry},
        {ButtonHelp | ButtonOk, ButtonOk, {QMessageBox::Ok, QMessageBox::Help}, ButtonOk, ButtonOk},
        {ButtonOk | ButtonCancel, ButtonHelp, {QMessageBox::Ok, QMessageBox::Cancel}, ButtonOk, ButtonCancel},
        {256, 0, {QMessageBox::Ok}, ButtonOk, ButtonOk},  // only unknown bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.buttons);
        MessageBoxPlan plan = messageBoxPlan({"t", "c", "", c.buttons, c.defaultButton});
        ASSERT_EQ(plan.buttons.size(), c.shown.size());
        for (size_t i = 0; i < c.shown.size(); ++i) EXPECT_EQ(plan.buttons[i].standard, c.shown[i]);
        EXPECT_EQ(plan.defaultBit, c.defaultBit);
        EXPECT_EQ(plan.escapeBit, c.escapeBit);
    }
}

TEST(MessageBoxPlan, BarsStartNewLines) {
    MessageBoxPlan plan = messageBoxPlan({"Column: NAME has 2 dimensions|Cannot view it", "Exit", "", ButtonOk, 0});
    EXPECT_EQ(plan.text, "Column: NAME has 2 dimensions\nCannot view it");
    EXPECT_EQ(plan.caption, "Exit");
}

TEST(MessageBox, BuiltBoxAnswersWithTheBitOfTheButtonClicked) {
    application();
    const MessageBoxPlan plan =
        messageBoxPlan({"Select all the instances of: Logger", "Select All", IconQuestion, ButtonYes | ButtonNo, ButtonNo});
    std::unique_ptr<QMessageBox> box = buildMessageBox(plan, nullptr);
    EXPECT_EQ(box->windowTitle(), "Select All");
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(box->standardButton(box->defaultButton()), QMessageBox::No);
    EXPECT_EQ(box->standardButton(box->escapeButton()), QMessageBox::No);
    EXPECT_EQ(pressedBit(*box, plan), ButtonNo);  // closed without a click
    box->show();
    box->button(QMessageBox::Yes)->click();
    EXPECT_EQ(pressedBit(*box, plan), ButtonYes);
}

// Every box of the program is wide enough for its whole title: the title
// in bold and, for the title bar's icon and three buttons and its ends, at
// least five times the height of a line of it; a box whose text is wider
// than that keeps the width its text needs.
TEST(MessageBox, WideEnoughForItsWholeTitle) {
    application();
    const MessageRequest requests[] = {
        {"main_.txa", "Saved", IconInformation, ButtonOk, 0},
        {"Overwrite main_.txa ?", "File already exists", IconQuestion, ButtonYes | ButtonNo, ButtonNo},
        {"Nothing to delete", "Not saved", IconExclamation, ButtonOk, 0},
        {"Cannot open missing.txa: No such file or directory", "Error Open", IconHand, ButtonOk, 0},
        {"Remove the selected extensions from the TXA", "Confirm", IconQuestion, ButtonYes | ButtonNo, ButtonNo},
        {"Deselect all the instances of: Logger", "Deselect All", IconQuestion, ButtonYes | ButtonNo, ButtonNo},
        {"x", "A title much longer than the text of its message", "", ButtonOk, 0},
        {"Error Open", "", "", ButtonOk, 0},
    };
    for (const MessageRequest& request : requests) {
        SCOPED_TRACE(request.caption);
        const MessageBoxPlan plan = messageBoxPlan(request);
        std::unique_ptr<QMessageBox> box = buildMessageBox(plan, nullptr);
        box->show();
        QApplication::processEvents();
        QFont bold = box->font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        EXPECT_GE(titleRoom(*box, plan.caption), metrics.horizontalAdvance(plan.caption) + 5 * metrics.height());
        EXPECT_GE(box->width(), titleRoom(*box, plan.caption));
        // The text is never squeezed below its own width either.
        const QFontMetrics text(box->font());
        EXPECT_GT(box->width(), text.horizontalAdvance(plan.text));
        EXPECT_TRUE(box->grab().save(QString::fromStdString(
            testing::screenshotPath("message-box-" + (request.caption.empty() ? std::string("untitled") : request.caption) +
                                    ".png"))));
        box->hide();
    }
}

// The presenter's own path: a modal box, answered by a click on it.
TEST(QtMessagePresenter, ShowsAModalBoxAndReturnsThePressedButton) {
    application();
    QtMessagePresenter presenter;
    MessagePresenter* previous = setMessagePresenter(&presenter);
    QString seenText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        box->button(QMessageBox::Retry)->click();
    });
    const unsigned answer = message("Disk full|Try again?", "Save", IconExclamation,
                                    ButtonAbort | ButtonRetry | ButtonIgnore, ButtonIgnore);
    setMessagePresenter(previous);
    EXPECT_EQ(answer, ButtonRetry);
    EXPECT_EQ(seenText, "Disk full\nTry again?");
}

// Tests of windows answer boxes through the scripted presenter, which
// replaces the Qt one the same way the program installs it.
TEST(QtMessagePresenter, ScriptedPresenterTakesItsPlace) {
    QtMessagePresenter presenter;
    MessagePresenter* previous = setMessagePresenter(&presenter);
    {
        varnok::testing::ScriptedPresenter boxes;
        boxes.expect("Deselect all", ButtonYes);
        EXPECT_EQ(message("Deselect all the instances of: Logger", "Deselect All", IconQuestion,
                          ButtonYes | ButtonNo, ButtonNo),
                  ButtonYes);
        boxes.verifyDone();
    }
    EXPECT_EQ(&messagePresenter(), &presenter);
    setMessagePresenter(previous);
}

}  // namespace
}  // namespace varnok::window::qt
