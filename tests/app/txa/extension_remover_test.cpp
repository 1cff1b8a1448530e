// The remover's commands as results, without a question or a message: what
// the window and the command line turn into messages and exit statuses.
#include "app/txa/extension_remover.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/txa/extension_selection.h"
#include "app/txa/txa_records.h"
#include "tests/app/temp_folder.h"
#include "tests/app/txa_reference.h"
#include "tests/support/scripted_presenter.h"

namespace varnok::app {
namespace {

using testing::readFile;

const std::string kTxa =
    "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Tools A\r\nx\r\n[EMBED]\r\n[ADDITION]\r\nNAME Tools B\r\ny\r\n[END]\r\n";

struct RemoverResults : ::testing::Test {
    testing::TempFolder dir;
    testing::ScriptedPresenter boxes;  // any message fails the test
    ExtensionRemover remover;
    std::string input;

    void SetUp() override {
        input = dir.write("main.txa", kTxa);
        ASSERT_EQ(remover.Load(input).status, LoadStatus::Loaded);
        ASSERT_EQ(remover.instanceCount(), 2u);
    }
    void TearDown() override { boxes.verifyDone(); }
};

TEST_F(RemoverResults, LoadingAMissingNameKeepsTheLines) {
    const uint32_t listChanges = CHANGES(remover.ExtensionQ);
    EXPECT_EQ(remover.Load(dir.file("nothing.txa")).status, LoadStatus::NotAFile);
    EXPECT_EQ(remover.lineCount(), 10u);
    EXPECT_EQ(remover.instanceCount(), 2u);
    EXPECT_EQ(CHANGES(remover.ExtensionQ), listChanges);  // not even rebuilt
    EXPECT_EQ(remover.FileNameTXA, input);                // the lines' name stays
    // A file that is listed but cannot be opened keeps the lines and the name.
    platform::failFileOperation(platform::FileOp::Open, 1);
    EXPECT_EQ(remover.Load(dir.write("other.txa", "a\r\n")).status, LoadStatus::OpenFailed);
    platform::clearFileFaults();
    EXPECT_EQ(remover.lineCount(), 10u);
    EXPECT_EQ(remover.FileNameTXA, input);
}

// Each result of Remove and Save, and when the plan asks before replacing
// a file: never when nothing is to be deleted or the output is the input.
TEST_F(RemoverResults, EachCaseItsResult) {
    struct Case {
        const char* what;
        bool tick;
        std::string output;
        bool outputExists;
        Overwrite overwrite;
        RemoveStatus status;
        bool asks;
    };
    const std::string copy = dir.file("copy.txa");
    const Case cases[] = {
        {"nothing ticked", false, copy, true, Overwrite::Yes, RemoveStatus::NothingToDelete, false},
        {"output is the input", true, input, true, Overwrite::Yes, RemoveStatus::OutputIsInput, false},
        {"output exists, kept", true, copy, true, Overwrite::No, RemoveStatus::OutputExists, true},
        {"output exists, replaced", true, copy, true, Overwrite::Yes, RemoveStatus::Saved, true},
        {"new output", true, copy, false, Overwrite::No, RemoveStatus::Saved, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(remover.Load(input).status, LoadStatus::Loaded);
        if (c.tick) setTicked(remover.ExtensionQ, 2, true);
        std::filesystem::remove(copy);
        if (c.outputExists && c.output == copy) dir.write("copy.txa", "older\r\n");
        const Removal removal = remover.PlanRemoval(remover.outputFor(c.output + "  "));
        EXPECT_EQ(removal.output, c.output);
        EXPECT_EQ(removal.lines(), c.tick ? 3 : 0);
        EXPECT_EQ(removal.asksToOverwrite(), c.asks);
        const RemoveResult result = remover.RemoveAndSave(removal, c.overwrite);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.deleted, c.tick ? 3 : 0);
        EXPECT_EQ(readFile(input), kTxa);  // the loaded file is never written
        if (c.status == RemoveStatus::Saved) {
            EXPECT_EQ(readFile(copy), "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Tools A\r\nx\r\n[EMBED]\r\n[END]\r\n");
            EXPECT_EQ(remover.NewFileName, copy);
        } else if (c.outputExists && c.output == copy) {
            EXPECT_EQ(readFile(copy), "older\r\n");
        } else {
            EXPECT_FALSE(std::filesystem::exists(copy));
        }
    }
    // A write that fails gives its error number with the result.
    ASSERT_EQ(remover.Load(input).status, LoadStatus::Loaded);
    setTicked(remover.ExtensionQ, 1, true);
    platform::failFileOperation(platform::FileOp::Write, 1);
    const RemoveResult failed = remover.RemoveAndSave(remover.PlanRemoval(copy), Overwrite::Yes);
    platform::clearFileFaults();
    EXPECT_EQ(failed.status, RemoveStatus::SaveFailed);
    EXPECT_EQ(failed.save.status, SaveStatus::WriteFailed);
    EXPECT_NE(failed.save.error, 0);
}

// Nothing leaves the lines unless the copy is written: after an output that
// is the input, a kept existing output, or a copy that cannot be made or
// written, the lines (long ones whole), the list and its ticks are as they
// were, and a later run writes the copy the first one would have.
TEST_F(RemoverResults, NoCopyWrittenLeavesLinesListAndTicksAsTheyWere) {
    const std::string longLine = std::string(1100, 'L') + "end";
    const std::string txa = kTxa + "[ADDITION]\r\nNAME Tools C\r\n" + longLine + "\r\n[END]\r\n";
    const std::string expected = "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Tools A\r\nx\r\n[EMBED]\r\n[END]\r\n"
                                 "[ADDITION]\r\nNAME Tools C\r\n" + longLine + "\r\n[END]\r\n";
    const std::string copy = dir.file("copy.txa");
    struct Case {
        const char* what;
        std::string output;
        Overwrite overwrite;
        std::optional<platform::FileOp> failing;  // none: nothing fails
        RemoveStatus status;
    };
    const Case cases[] = {
        {"output is the input", input, Overwrite::Yes, std::nullopt, RemoveStatus::OutputIsInput},
        {"existing output kept", copy, Overwrite::No, std::nullopt, RemoveStatus::OutputExists},
        {"copy cannot be made", copy, Overwrite::Yes, platform::FileOp::Open, RemoveStatus::SaveFailed},
        {"write fails", copy, Overwrite::Yes, platform::FileOp::Write, RemoveStatus::SaveFailed},
        {"rename fails", copy, Overwrite::Yes, platform::FileOp::Rename, RemoveStatus::SaveFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(remover.Load(dir.write("main.txa", txa)).status, LoadStatus::Loaded);
        dir.write("copy.txa", "older\r\n");
        setTicked(remover.ExtensionQ, 2, true);
        const std::vector<std::string> lines = testing::linesOf(remover.LineQ);
        const std::vector<testing::RefInstance> list = testing::listOf(remover.ExtensionQ);
        const uint32_t lineChanges = CHANGES(remover.LineQ), listChanges = CHANGES(remover.ExtensionQ);
        if (c.failing) platform::failFileOperation(*c.failing, 1);
        EXPECT_EQ(remover.RemoveAndSave(remover.PlanRemoval(c.output), c.overwrite).status, c.status);
        platform::clearFileFaults();
        EXPECT_EQ(readFile(copy), "older\r\n");
        EXPECT_EQ(testing::linesOf(remover.LineQ), lines);
        EXPECT_EQ(testing::listOf(remover.ExtensionQ), list);
        EXPECT_EQ(CHANGES(remover.LineQ), lineChanges);
        EXPECT_EQ(CHANGES(remover.ExtensionQ), listChanges);
        GET(remover.ExtensionQ, 2);
        EXPECT_EQ(remover.ExtensionQ.buffer()[ExtRemoveThisOffset], 1);  // still ticked
        EXPECT_TRUE(remover.lines().check());
        // Run again, this time writing: the copy lacks instance 2 only.
        const RemoveResult again = remover.RemoveAndSave(remover.PlanRemoval(copy), Overwrite::Yes);
        EXPECT_EQ(again.status, RemoveStatus::Saved);
        EXPECT_EQ(again.deleted, 3);
        EXPECT_TRUE(readFile(copy) == expected);
        EXPECT_EQ(remover.lineCount(), 11u);
        EXPECT_EQ(remover.instanceCount(), 2u);
        EXPECT_TRUE(remover.lines().check());
    }
}

}  // namespace
}  // namespace varnok::app
