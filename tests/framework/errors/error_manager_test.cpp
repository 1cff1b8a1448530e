#include "framework/errors/error_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "runtime/errors/error_codes.h"
#include "tests/framework/errors/manager_fixture.h"
#include "window/message_box.h"

namespace varnok::framework {
namespace {

using testing::ErrorManagerTest;
using window::ButtonNo;
using window::ButtonOk;
using window::ButtonYes;

TEST_F(ErrorManagerTest, InitSetsTheDefaults) {
    EXPECT_EQ(manager.GetDefaultCategory(), "KTL");
    EXPECT_EQ(manager.GetHistoryThreshold(), 0);
    EXPECT_EQ(manager.GetHistoryViewLevel(), 3);
    EXPECT_FALSE(manager.GetHistoryResetOnView());
    EXPECT_FALSE(manager.GetLogErrors());
    EXPECT_FALSE(manager.GetSilent());
    EXPECT_EQ(manager.GetMsgStyle(), 0);
    EXPECT_EQ(manager.entryCount(), 52u);
    EXPECT_NE(manager.errorLog(), nullptr);
}

TEST_F(ErrorManagerTest, ASecondInitOnlyChangesStatus) {
    manager.AddEntry(900, "mine", "Mine", LevelNotify, "");
    manager.SetHistoryThreshold(-1);
    ThreadErrorState otherStates;
    otherStates.current().setFileName("other.dat");
    manager.Init(otherStates);
    EXPECT_EQ(manager.entryCount(), 53u);
    EXPECT_EQ(manager.GetHistoryThreshold(), -1);
    EXPECT_EQ(std::string(manager.state().V.FileName), "other.dat");
}

TEST_F(ErrorManagerTest, AnIdWithoutEntryShowsNothingAndAnswers0) {
    manager.state().V.ErrorBuffer.ID = 30;
    EXPECT_EQ(manager.RaiseError(7777), 0);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(manager.GetErrorID(), 0);
    EXPECT_EQ(manager.GetTitle(), "");
    EXPECT_EQ(manager.GetFatality(), 0);
    EXPECT_EQ(manager.state().V.PrevErrorID, 30);
}

TEST_F(ErrorManagerTest, QuestionsAnswerYes0AndOtherwise4) {
    manager.AddEntry(901, "Cancel it?", "Cancel", LevelCancel, "");
    const struct {
        int32_t id;
        unsigned answer;
        uint8_t level;
    } cases[] = {
        {10, ButtonYes, 0}, {10, ButtonNo, 4}, {901, ButtonYes, 0}, {901, ButtonNo, 4}, {10, ButtonOk, 4},
    };
    for (const auto& c : cases) {
        boxes.expect(c.id == 10 ? "Changes will be lost!" : "Cancel", c.answer);
        EXPECT_EQ(manager.RaiseError(c.id), c.level) << c.id << " answered " << c.answer;
    }
    boxes.verifyDone();
    const window::MessageRequest& box = boxes.shown().front();
    EXPECT_EQ(box.text, "Are you sure you want to cancel?");
    EXPECT_EQ(box.icon, window::IconQuestion);
    EXPECT_EQ(box.buttons, ButtonYes | ButtonNo);
    EXPECT_EQ(box.defaultButton, ButtonYes);
}

TEST_F(ErrorManagerTest, NotifyShowsAnOkBoxAndAnswers5) {
    manager.state().setFileName("customers.dat");
    boxes.expect("Invalid Key", ButtonOk);
    EXPECT_EQ(manager.RaiseError(30), 5);
    boxes.verifyDone();
    const window::MessageRequest& box = boxes.shown().at(0);
    EXPECT_EQ(box.text, "customers.dat key file is invalid. Key must be rebuilt.");
    EXPECT_EQ(box.icon, window::IconExclamation);
    EXPECT_EQ(box.buttons, ButtonOk);
    EXPECT_EQ(box.defaultButton, ButtonOk);
}

TEST_F(ErrorManagerTest, FatalInternalAndOtherLevelsShowThenHalt) {
    manager.AddEntry(902, "odd level", "Odd", 9, "");
    const struct {
        int32_t id;
        const char* title;
        const char* text;
    } cases[] = {
        {12, "File Creation Error", "Error: ( (0)) creating x.dat.  Press OK to end this application"},
        {42, "File Usage Error", "Attempt to use file (x.dat) before it was opened  Press OK to end this application"},
        {902, "Odd", "odd level  Press OK to end this application"},
    };
    manager.state().setFileName("x.dat");
    clearError();
    for (const auto& c : cases) {
        boxes.expect(c.title, ButtonOk);
        EXPECT_EQ(manager.RaiseError(c.id), 3) << c.id;
        ASSERT_FALSE(boxes.shown().empty());
        EXPECT_EQ(boxes.shown().back().text, c.text);
        EXPECT_EQ(boxes.shown().back().icon, window::IconExclamation);
        ASSERT_FALSE(halts.calls.empty());
        EXPECT_EQ(halts.calls.back().first, 1) << "a fatal error never ends the program with success";
        EXPECT_EQ(halts.calls.back().second, c.title);
    }
    EXPECT_EQ(halts.calls.size(), 3u);
    boxes.verifyDone();
}

TEST(ErrorManagerDeath, AFatalErrorEndsTheProcessWithExitStatus1) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ThreadErrorState states;
            ErrorManager manager;
            manager.Init(states);
            window::setMessagePresenter(nullptr);  // the console presenter answers OK
            manager.RaiseError(26);
        },
        ::testing::ExitedWithCode(1), "File Access Error");
}

TEST_F(ErrorManagerTest, SilentAnswersTheDefaultWithoutShowing) {
    manager.SetSilent(true);
    EXPECT_EQ(manager.RaiseError(10), 0) << "the default button Yes gives 0";
    EXPECT_EQ(manager.RaiseError(30), 5);
    EXPECT_EQ(manager.RaiseError(12), 3);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(halts.calls.size(), 1u) << "silence does not stop a fatal error from ending the program";
    EXPECT_EQ(manager.MessageFor(10, ButtonYes | ButtonNo, ButtonNo), ButtonNo);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ErrorManagerTest, MessageForAsksWithTheGivenButtons) {
    manager.state().setFileName("a.txa");
    boxes.expect("End of File Error", ButtonNo);
    EXPECT_EQ(manager.MessageFor(40, ButtonYes | ButtonNo | window::ButtonCancel, ButtonYes), ButtonNo);
    boxes.verifyDone();
    const window::MessageRequest& box = boxes.shown().at(0);
    EXPECT_EQ(box.text, "The end of the file a.txa was encountered. Do you want to start again from the beginning?");
    EXPECT_EQ(box.icon, window::IconQuestion);
    EXPECT_EQ(box.buttons, ButtonYes | ButtonNo | window::ButtonCancel);
    EXPECT_EQ(box.defaultButton, ButtonYes);
}

TEST_F(ErrorManagerTest, MessageForNeitherCapturesNorRecords) {
    manager.SetHistoryThreshold(-1);
    postError(2);
    boxes.expect("File Creation Error", ButtonOk);
    manager.MessageFor(12, ButtonOk, ButtonOk);
    EXPECT_EQ(boxes.shown().at(0).text, "Error: ( (0)) creating .") << "nothing was captured";
    EXPECT_TRUE(manager.historyRecords().empty());
    clearError();
}

TEST_F(ErrorManagerTest, TheRuntimeErrorIsCapturedIntoTheMessage) {
    manager.state().setFileName("orders.dat");
    postError(2);
    boxes.expect("File Load Error", ButtonOk);
    EXPECT_EQ(manager.RaiseError(21), 5);
    EXPECT_EQ(boxes.shown().at(0).text, "orders.dat File Load Error.  Error: File Not Found (2).");
    EXPECT_EQ(manager.state().V.SaveErrorCode, 2);
    EXPECT_STREQ(manager.state().V.SaveError, "File Not Found");

    postFileError("EX9", "  disk gone   ");
    postError(90);
    boxes.expect("File Load Error", ButtonOk);
    manager.RaiseError(21);
    EXPECT_EQ(boxes.shown().at(1).text, "orders.dat File Load Error.  Error: disk gone (EX9).");
    EXPECT_STREQ(manager.state().V.SaveFileErrorCode, "EX9");
    boxes.verifyDone();
    clearError();
}

TEST_F(ErrorManagerTest, TheCallersRuntimeErrorSurvivesRaising) {
    postFileError("EX9", "disk gone");
    postError(90);
    manager.SetHistoryThreshold(-1);
    manager.SetSilent(true);
    manager.RaiseError(21);
    manager.RaiseError(7777);
    manager.PushProcedureName("Main");
    manager.CategoryOf(21);
    EXPECT_EQ(errorCode(), 90);
    EXPECT_EQ(fileErrorCode(), "EX9");
    EXPECT_EQ(fileErrorText(), "disk gone");
    clearError();
    manager.RaiseError(21);
    EXPECT_EQ(errorCode(), 0);
}

TEST_F(ErrorManagerTest, WithoutStatusNothingIsCaptured) {
    ErrorManager bare;
    bare.state().setFileName("f");
    postError(2);
    bare.AddEntry(903, "%File %ErrorCode", "T", LevelNotify, "");  // makes the tables with the defaults
    EXPECT_EQ(bare.entryCount(), 53u);
    boxes.expect("T", ButtonOk);
    EXPECT_EQ(bare.RaiseError(903), 5);
    EXPECT_EQ(boxes.shown().at(0).text, "f 0");
    clearError();
}

TEST_F(ErrorManagerTest, PreviousIsTheStoredTextOfTheEntryBefore) {
    manager.AddEntry(904, "Again: %Previous", "Again", LevelNotify, "");
    manager.AddEntry(905, "Lower: %previous", "Lower", LevelNotify, "");
    boxes.expect("Again", ButtonOk).expect("Invalid Key", ButtonOk).expect("Again", ButtonOk).expect("Lower", ButtonOk);
    manager.RaiseError(904);  // nothing before it on this state
    manager.RaiseError(30);
    manager.RaiseError(904);
    manager.RaiseError(905);
    boxes.verifyDone();
    EXPECT_EQ(boxes.shown().at(0).text, "Again: ");
    EXPECT_EQ(boxes.shown().at(2).text, "Again: %File key file is invalid. Key must be rebuilt.");
    EXPECT_EQ(boxes.shown().at(3).text, "Lower: %previous");
}

TEST_F(ErrorManagerTest, MacroValuesComeFromTheCallersState) {
    manager.AddEntry(906, "%Field|%Key|%Message|%Procedure|%Category|%ErrorCode", "All", LevelNotify, "Mine");
    ErrorState& s = manager.state();
    s.setFieldName("CUS:Name");
    s.setKeyName("CUS:ByName");
    s.setMessageText(std::string(300, 'm'));
    manager.PushProcedureName("Browse  ");
    postError(33);
    boxes.expect("All", ButtonOk);
    manager.RaiseError(906);
    EXPECT_EQ(boxes.shown().at(0).text, "CUS:Name|CUS:ByName|" + std::string(254, 'm') + "|Browse|Mine|33");
    clearError();
}

TEST_F(ErrorManagerTest, EachThreadHasItsOwnCurrentEntry) {
    manager.SetSilent(true);
    manager.RaiseError(30);
    int32_t otherId = -1, otherPrevious = -1;
    std::thread other([&] {
        otherId = manager.GetErrorID();
        manager.RaiseError(10);
        otherPrevious = manager.state().V.PrevErrorID;
    });
    other.join();
    EXPECT_EQ(otherId, 0);
    EXPECT_EQ(otherPrevious, 0);
    EXPECT_EQ(manager.GetErrorID(), 30);
    EXPECT_EQ(manager.GetTitle(), "Invalid Key");
    EXPECT_EQ(manager.GetFatality(), 5);
}

TEST_F(ErrorManagerTest, DestroyEmptiesTheTablesAndInitMakesThemAgain) {
    manager.Destroy();
    EXPECT_EQ(manager.entryCount(), 0u);
    EXPECT_EQ(manager.errorLog(), nullptr);
    EXPECT_EQ(manager.RaiseError(30), 0) << "no table: nothing is shown";
    manager.Init(states);
    EXPECT_EQ(manager.entryCount(), 52u);
    boxes.expect("Invalid Key", ButtonOk);
    EXPECT_EQ(manager.RaiseError(30), 5);
    boxes.verifyDone();
}

TEST_F(ErrorManagerTest, FindErrorSearchesBackwardsFromAPosition) {
    manager.AddEntry(30, "second thirty", "Thirty", LevelNotify, "");
    ErrorEntryRecord found;
    ASSERT_EQ(manager.FindError(30, 0, &found), 0);
    EXPECT_EQ(found.Message, "second thirty");
    ASSERT_EQ(manager.FindError(30, 52, &found), 0);
    EXPECT_EQ(found.Message, "%File key file is invalid. Key must be rebuilt.");
    EXPECT_EQ(manager.FindError(29, 1), 5) << "29 is stored second";
    EXPECT_EQ(manager.FindError(29, 2), 0);
    EXPECT_EQ(manager.FindError(7777), 5);
}

TEST(IconNumber, NumbersAndEverythingElse) {
    const struct {
        std::string icon;
        int32_t number;
    } cases[] = {
        {window::IconExclamation, 0}, {window::IconQuestion, 0}, {"~app.ico", 0}, {"", 0},
        {"32515", 32515},             {" 12 ", 12},              {"-3", -3},      {"12x", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(iconNumber(c.icon), c.number) << c.icon;
}

}  // namespace
}  // namespace varnok::framework
