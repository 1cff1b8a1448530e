#include "window/message_box.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/scripted_presenter.h"
#include "window/console_presenter.h"

namespace varnok::window {
namespace {

std::string readAll(std::FILE* f) {
    std::rewind(f);
    std::string out;
    char buf[256];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    return out;
}

TEST(Icons, StockIconCodesAreOneMoreThanTheResourceNumber) {
    EXPECT_EQ(stockIcon(32514), IconQuestion);
    EXPECT_EQ(stockIcon(32515), IconExclamation);
    EXPECT_EQ(stockIcon(32516), IconInformation);
    EXPECT_EQ(IconQuestion.size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(IconQuestion[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(IconQuestion[1]), 0x01);
}

TEST(DefaultButton, ValidDefaultElseLowestButton) {
    MessageRequest r;
    r.buttons = ButtonYes | ButtonNo;
    r.defaultButton = ButtonNo;
    EXPECT_EQ(effectiveDefault(r), ButtonNo);
    r.defaultButton = ButtonCancel;  // not offered
    EXPECT_EQ(effectiveDefault(r), ButtonYes);
    r.defaultButton = ButtonYes | ButtonNo;  // not a single button
    EXPECT_EQ(effectiveDefault(r), ButtonYes);
    r.buttons = 0;
    r.defaultButton = 0;
    EXPECT_EQ(effectiveDefault(r), ButtonOk);
}

TEST(ConsolePresenter, WritesCaptionAndLinesToItsStream) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    ConsolePresenter console(out);
    EXPECT_EQ(console.show({"first|second", "Caption", IconInformation, ButtonOk, ButtonOk}), ButtonOk);
    EXPECT_EQ(readAll(out), "Caption: first\nsecond\n");
    std::fclose(out);
}

TEST(ConsolePresenter, AnswersQuestionsFromQueuedAnswersThenDefaults) {
    ConsolePresenter console;
    console.setEcho(false);
    MessageRequest question{"Overwrite?", "Confirm", IconQuestion, ButtonYes | ButtonNo, ButtonNo};
    console.queueAnswer(ButtonYes);
    console.queueAnswer(ButtonCancel);  // not one of the buttons: the default answers
    EXPECT_EQ(console.show(question), ButtonYes);
    EXPECT_EQ(console.show(question), ButtonNo);
    EXPECT_EQ(console.show(question), ButtonNo);  // nothing queued
    // A plain notice does not consume a queued answer.
    console.queueAnswer(ButtonYes);
    EXPECT_EQ(console.show({"Done", "Info", "", ButtonOk, 0}), ButtonOk);
    EXPECT_EQ(console.show(question), ButtonYes);
}

TEST(MessageSeam, InstalledPresenterReceivesMessagesAndIsRestored) {
    MessagePresenter* before = &messagePresenter();
    {
        testing::ScriptedPresenter boxes;
        boxes.expect("Sure", ButtonNo);
        EXPECT_EQ(&messagePresenter(), &boxes);
        EXPECT_EQ(message("Are you Sure?", "Remove", IconQuestion, ButtonYes | ButtonNo, ButtonYes), ButtonNo);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].caption, "Remove");
        EXPECT_EQ(boxes.shown()[0].icon, IconQuestion);
        boxes.verifyDone();
    }
    EXPECT_EQ(&messagePresenter(), before);
}

TEST(MessageSeam, ScriptedPresenterFailsOnUnexpectedAndMissingMessages) {
    EXPECT_NONFATAL_FAILURE(
        {
            testing::ScriptedPresenter boxes;
            message("surprise", "Oops");
        },
        "unexpected message");
    EXPECT_NONFATAL_FAILURE(
        {
            testing::ScriptedPresenter boxes;
            boxes.expect("never", ButtonOk);
            boxes.verifyDone();
        },
        "did not come");
}

}  // namespace
}  // namespace varnok::window
