#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/errors/error_manager.h"
#include "framework/errors/history_window_seam.h"
#include "tests/app/temp_folder.h"
#include "tests/framework/errors/current_folder.h"
#include "tests/framework/errors/log_line_shape.h"
#include "tests/framework/errors/manager_fixture.h"
#include "window/message_box.h"

namespace varnok::framework {
namespace {

using testing::ErrorManagerTest;
using window::ButtonHelp;
using window::ButtonNo;
using window::ButtonOk;
using window::ButtonYes;

std::vector<std::string> texts(const std::vector<HistoryRecord>& records) {
    std::vector<std::string> all;
    for (const HistoryRecord& r : records) all.push_back(r.Txt);
    return all;
}

// Records what the history window was asked to show.
struct ShowerCall {
    std::string caption;
    int32_t icon;
    unsigned buttons;
    unsigned defaultButton;
    size_t historySize;
};
std::vector<ShowerCall> showerCalls;
unsigned showerAnswer = ButtonOk;

unsigned recordingShower(ErrorManager& manager, const std::string& caption, int32_t icon, unsigned buttons,
                         unsigned defaultButton) {
    showerCalls.push_back({caption, icon, buttons, defaultButton, manager.historyRecords().size()});
    return showerAnswer;
}

class HistoryWindowTest : public ErrorManagerTest {
protected:
    HistoryWindowTest() {
        showerCalls.clear();
        showerAnswer = ButtonOk;
        previous_ = setHistoryWindowShower(recordingShower);
    }
    ~HistoryWindowTest() override { setHistoryWindowShower(previous_); }

private:
    HistoryWindowShower previous_;
};

TEST_F(ErrorManagerTest, WithoutHistoryNothingIsRecorded) {
    manager.SetSilent(true);
    manager.RaiseError(30);
    EXPECT_TRUE(manager.historyRecords().empty());
}

TEST_F(ErrorManagerTest, HistoryThresholdKeepsTheNewestOrAll) {
    manager.state().setFileName("f");
    const struct {
        int32_t threshold;
        std::vector<std::string> kept;
    } cases[] = {
        {1, {"third"}},
        {2, {"second", "third"}},
        {-1, {"first", "second", "third"}},
        {5, {"first", "second", "third"}},
    };
    manager.AddEntry(910, "first", "T", LevelNotify, "");
    manager.AddEntry(911, "second", "T", LevelNotify, "");
    manager.AddEntry(912, "third", "T", LevelNotify, "");
    for (const auto& c : cases) {
        manager.ClearHistory();
        manager.SetHistoryThreshold(c.threshold);
        // Fatality 5 is not the view level: nothing is shown, the answer stays 5.
        EXPECT_EQ(manager.RaiseError(910), 5);
        EXPECT_EQ(manager.RaiseError(911), 5);
        EXPECT_EQ(manager.RaiseError(912), 5);
        EXPECT_EQ(texts(manager.historyRecords()), c.kept) << "threshold " << c.threshold;
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ErrorManagerTest, HistoryEntriesCarryIdAndCategoryAndAreCut) {
    manager.SetHistoryThreshold(-1);
    manager.SetSilent(true);
    manager.AssignCategory(30, "Keys");
    manager.RaiseError(30);
    manager.RaiseError(10);
    manager.Report(std::string(1500, 'h'), "Long", window::IconExclamation, ButtonOk, ButtonOk, 0);
    std::vector<HistoryRecord> records = manager.historyRecords();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].ID, 30);
    EXPECT_EQ(records[0].Category, "Keys");
    EXPECT_EQ(records[0].Txt, " key file is invalid. Key must be rebuilt.");
    EXPECT_EQ(records[1].ID, 10);
    EXPECT_EQ(records[1].Category, "KTL");
    EXPECT_EQ(records[2].Txt, std::string(1023, 'h'));
    EXPECT_EQ(records[2].ID, 10) << "Report records the current entry's id";
}

TEST_F(HistoryWindowTest, TheViewLevelShowsTheHistoryWindowInsteadOfABox) {
    manager.SetHistoryThreshold(-1);
    manager.SetSilent(false);
    EXPECT_EQ(manager.RaiseError(30), 5);  // fatality 5: recorded, not shown
    EXPECT_TRUE(showerCalls.empty());
    EXPECT_EQ(manager.RaiseError(12), 3);
    ASSERT_EQ(showerCalls.size(), 1u);
    EXPECT_EQ(showerCalls[0].caption, "File Creation Error");
    EXPECT_EQ(showerCalls[0].icon, 0) << "a four-byte icon code becomes 0";
    EXPECT_EQ(showerCalls[0].buttons, ButtonOk);
    EXPECT_EQ(showerCalls[0].defaultButton, ButtonOk);
    EXPECT_EQ(showerCalls[0].historySize, 2u) << "the message is recorded before the window shows";
    EXPECT_EQ(halts.calls.size(), 1u);
    EXPECT_TRUE(boxes.shown().empty());

    // A question at the view level takes the window's answer.
    manager.SetHistoryViewLevel(1);
    showerAnswer = ButtonNo;
    EXPECT_EQ(manager.RaiseError(10), 4);
    showerAnswer = ButtonYes;
    EXPECT_EQ(manager.RaiseError(10), 0);
    EXPECT_EQ(showerCalls.back().buttons, ButtonYes | ButtonNo);
    EXPECT_EQ(manager.historyRecords().size(), 4u);
}

TEST_F(HistoryWindowTest, ResetOnViewEmptiesTheHistoryAfterShowingIt) {
    manager.SetHistoryThreshold(-1);
    manager.SetHistoryResetOnView(true);
    manager.SetHistoryViewLevel(5);
    manager.RaiseError(30);
    ASSERT_EQ(showerCalls.size(), 1u);
    EXPECT_EQ(showerCalls[0].historySize, 1u);
    EXPECT_TRUE(manager.historyRecords().empty());
}

TEST_F(HistoryWindowTest, SilentShowsNoWindowButStillRecords) {
    manager.SetHistoryThreshold(-1);
    manager.SetSilent(true);
    EXPECT_EQ(manager.RaiseError(12), 3);
    EXPECT_TRUE(showerCalls.empty());
    EXPECT_EQ(manager.historyRecords().size(), 1u);
}

TEST_F(HistoryWindowTest, ShowHistoryAsksForOkAndHelpWithOkAsDefault) {
    showerAnswer = ButtonHelp;
    EXPECT_EQ(manager.ShowHistory(), ButtonHelp);
    ASSERT_EQ(showerCalls.size(), 1u);
    EXPECT_EQ(showerCalls[0].caption, "Errors History");
    EXPECT_EQ(showerCalls[0].icon, 0);
    EXPECT_EQ(showerCalls[0].buttons, 129u);
    EXPECT_EQ(showerCalls[0].defaultButton, ButtonOk);
}

TEST_F(ErrorManagerTest, WithoutAWindowTheHistoryShowsItsNewestTextInABox) {
    ASSERT_EQ(historyWindowShower(), nullptr);
    boxes.expect("Errors History", ButtonOk);
    EXPECT_EQ(manager.ShowHistory(), ButtonOk);
    EXPECT_EQ(boxes.shown().at(0).text, "") << "an empty history";

    manager.SetHistoryThreshold(-1);
    manager.SetHistoryViewLevel(5);
    manager.state().setFileName("k.dat");
    boxes.expect("Invalid Key", ButtonOk);
    EXPECT_EQ(manager.RaiseError(30), 5);
    boxes.verifyDone();
    const window::MessageRequest& box = boxes.shown().at(1);
    EXPECT_EQ(box.text, "k.dat key file is invalid. Key must be rebuilt.");
    EXPECT_EQ(box.icon, window::IconExclamation);
    EXPECT_EQ(box.buttons, ButtonOk);
}

class ErrorLogTest : public ErrorManagerTest {
protected:
    testing::TempFolder folder;
    testing::InFolder inFolder{folder.path()};
    std::vector<std::string> lines() {
        std::vector<std::string> all;
        std::string text = testing::readFile(folder.file("KTLError.Log"));
        size_t at = 0;
        for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            all.push_back(text.substr(at, end - at));
        EXPECT_EQ(at, text.size()) << "the log ends with a whole line";
        return all;
    }
};

TEST_F(ErrorLogTest, OffAfterInitSoNothingIsWritten) {
    manager.SetSilent(true);
    manager.RaiseError(30);
    EXPECT_FALSE(std::filesystem::exists(folder.file("KTLError.Log")));
}

TEST_F(ErrorLogTest, EveryReportedMessageIsAppendedWhenOn) {
    manager.SetLogErrors(true);
    manager.SetSilent(true);
    manager.SetHistoryThreshold(-1);
    manager.state().setFileName("a.dat");
    EXPECT_EQ(manager.RaiseError(10), 0);
    EXPECT_EQ(manager.RaiseError(30), 5);
    EXPECT_EQ(manager.RaiseError(12), 3);
    EXPECT_EQ(manager.RaiseError(7777), 0) << "an unknown id reports nothing";
    manager.MessageFor(30, ButtonOk, ButtonOk);  // not logged
    const std::vector<std::string> expected = {
        "Are you sure you want to cancel?",
        "a.dat key file is invalid. Key must be rebuilt.",
        "Error: ( (0)) creating a.dat.  Press OK to end this application",
    };
    std::vector<std::string> logged = lines();
    ASSERT_EQ(logged.size(), expected.size());
    for (size_t i = 0; i < logged.size(); ++i) {
        std::string text;
        ASSERT_TRUE(testing::readLogLine(logged[i], &text)) << logged[i];
        EXPECT_EQ(text, expected[i]);
    }
    EXPECT_EQ(manager.historyRecords().size(), 3u);
    EXPECT_EQ(static_cast<ErrorLogFile*>(manager.errorLog())->usage(), 0) << "each message closes the log again";
}

TEST_F(ErrorLogTest, ALogThatCannotBeMadeDoesNotStopTheMessages) {
    manager.SetLogErrors(true);
    manager.state().setFileName("k.dat");
    std::filesystem::create_directory(folder.file("KTLError.Log"));
    boxes.expect("Invalid Key", ButtonOk);
    EXPECT_EQ(manager.RaiseError(30), 5);
    std::filesystem::remove(folder.file("KTLError.Log"));
    boxes.expect("Invalid Key", ButtonOk);
    EXPECT_EQ(manager.RaiseError(30), 5);
    boxes.verifyDone();
    ASSERT_EQ(lines().size(), 1u);
    std::string text;
    EXPECT_TRUE(testing::readLogLine(lines()[0], &text)) << lines()[0];
    EXPECT_EQ(text, "k.dat key file is invalid. Key must be rebuilt.");
}

}  // namespace
}  // namespace varnok::framework
