// Remove and Save as the window runs it (app/window/remove_and_save.h): the
// questions and messages, in order, around the remover's result.
#include "app/window/remove_and_save.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/txa/extension_selection.h"
#include "platform/plain_file.h"
#include "tests/app/temp_folder.h"
#include "tests/app/txa_reference.h"
#include "tests/support/scripted_presenter.h"

namespace varnok::app {
namespace {

using testing::readFile;
using testing::RefInstance;
using window::ButtonNo;
using window::ButtonOk;
using window::ButtonYes;

// A 30-line file: instances on lines 3-8 ("A"), 12-20 ("B") and 23-25 ("C").
std::vector<std::string> thirtyLines() {
    std::vector<std::string> l;
    for (int i = 1; i <= 30; ++i) l.push_back("line " + std::to_string(i));
    l[0] = "[PROCEDURE]";
    l[1] = "NAME Main";
    l[2] = "[ADDITION]";
    l[3] = "NAME Tools A";
    l[8] = "[EMBED]";
    l[11] = "[ADDITION]";
    l[12] = "NAME Tools B";
    l[13] = "[PROMPTS]";
    l[20] = "[WINDOW]";
    l[22] = "[ADDITION]";
    l[23] = "NAME Other C";
    l[25] = "[CALLS]";
    return l;
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
}

struct RemoverFixture : ::testing::Test {
    testing::TempFolder dir;
    ExtensionRemover remover;
    std::string original = crlf(thirtyLines());
    std::string input;

    void SetUp() override {
        input = dir.write("main.txa", original);
        remover.FileNameTXA = input;
        ASSERT_EQ(remover.Load().status, LoadStatus::Loaded);
        ASSERT_EQ(remover.instanceCount(), 3u);
    }
    std::vector<std::string> expectedAfter(std::initializer_list<int> goneRanges) {
        std::vector<std::string> all = thirtyLines(), kept;
        std::vector<int> r(goneRanges);
        for (int i = 1; i <= 30; ++i) {
            bool gone = false;
            for (size_t k = 0; k < r.size(); k += 2) gone |= i >= r[k] && i <= r[k + 1];
            if (!gone) kept.push_back(all[i - 1]);
        }
        return kept;
    }
};

TEST_F(RemoverFixture, RemovesTheTickedRangesWritesTheCopyAndRebuildsTheList) {
    toggleRow(remover.ExtensionQ, 1);
    toggleRow(remover.ExtensionQ, 2);
    testing::ScriptedPresenter boxes;
    boxes.expect("Remove the selected extensions from the TXA", ButtonYes);
    boxes.expect("Saved", ButtonOk);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::Saved);
    boxes.verifyDone();
    const auto& confirm = boxes.shown()[0];
    EXPECT_EQ(confirm.caption, "Confirm");
    EXPECT_EQ(confirm.icon, window::IconQuestion);
    EXPECT_EQ(confirm.buttons, ButtonYes | ButtonNo);
    EXPECT_EQ(confirm.defaultButton, ButtonNo);
    const auto& saved = boxes.shown()[1];
    EXPECT_EQ(saved.text, dir.file("main_.txa"));
    EXPECT_EQ(saved.icon, window::IconInformation);
    EXPECT_EQ(saved.buttons, ButtonOk);

    EXPECT_EQ(remover.DeletedCount, 15);
    EXPECT_EQ(readFile(dir.file("main_.txa")), crlf(expectedAfter({3, 8, 12, 20})));
    EXPECT_EQ(readFile(input), original);  // the loaded file is never written
    // The list now describes the shortened lines, nothing ticked.
    auto list = testing::listOf(remover.ExtensionQ);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (RefInstance{"C", "Main", "Other", 8, 10}));
    GET(remover.ExtensionQ, 1);
    EXPECT_EQ(remover.ExtensionQ.buffer()[ExtRemoveThisOffset], 0);

    // A second run forms the same name again and asks before overwriting it.
    toggleRow(remover.ExtensionQ, 1);
    boxes.expect("Confirm", ButtonYes);
    boxes.expect("File already exists", ButtonYes);
    boxes.expect("Saved", ButtonOk);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::Saved);
    boxes.verifyDone();
    EXPECT_EQ(boxes.shown()[3].text, "Overwrite " + dir.file("main_.txa") + " ?");
    EXPECT_EQ(readFile(dir.file("main_.txa")), crlf(expectedAfter({3, 8, 12, 20, 23, 25})));
}

TEST_F(RemoverFixture, ConfirmationAnsweredNoChangesNothing) {
    toggleRow(remover.ExtensionQ, 1);
    testing::ScriptedPresenter boxes;
    boxes.expect("Confirm", ButtonNo);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::Cancelled);
    boxes.verifyDone();
    EXPECT_EQ(remover.lineCount(), 30u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("main_.txa")));
}

TEST_F(RemoverFixture, NothingTicked) {
    testing::ScriptedPresenter boxes;
    boxes.expect("Confirm", ButtonYes);
    boxes.expect("Nothing to delete", ButtonOk);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::NothingToDelete);
    boxes.verifyDone();
    const auto& m = boxes.shown()[1];
    EXPECT_EQ(m.caption, "Not saved");
    EXPECT_EQ(m.icon, window::IconExclamation);
    EXPECT_EQ(m.buttons, ButtonOk);
    EXPECT_EQ(remover.lineCount(), 30u);
}

TEST_F(RemoverFixture, AnInstanceNeverClosedDeletesNothing) {
    std::string name = dir.write("open.txa", "[ADDITION]\r\nNAME T X\r\nrest\r\n");
    remover.FileNameTXA = name;
    remover.Load();
    toggleRow(remover.ExtensionQ, 1);
    testing::ScriptedPresenter boxes;
    boxes.expect("Confirm", ButtonYes);
    boxes.expect("Nothing to delete", ButtonOk);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::NothingToDelete);
    boxes.verifyDone();
}

// The tick column, "x" ticked and "." not.
std::string ticks(ExtensionRemover& remover) {
    std::string t;
    for (uint32_t i = 1; i <= remover.instanceCount(); ++i) {
        GET(remover.ExtensionQ, static_cast<int32_t>(i));
        t += remover.ExtensionQ.buffer()[ExtRemoveThisOffset] == 1 ? 'x' : '.';
    }
    return t;
}

// Declining the overwrite writes nothing and takes nothing out of the lines:
// the list and its ticks stay, and a second run writes exactly the copy the
// first would have.
TEST_F(RemoverFixture, DecliningTheOverwriteKeepsLinesListAndTicks) {
    dir.write("main_.txa", "older copy\r\n");
    toggleRow(remover.ExtensionQ, 1);
    toggleRow(remover.ExtensionQ, 2);
    testing::ScriptedPresenter boxes;
    boxes.expect("Confirm", ButtonYes);
    boxes.expect("Overwrite", ButtonNo);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::OverwriteDeclined);
    boxes.verifyDone();
    EXPECT_EQ(boxes.shown()[1].caption, "File already exists");
    EXPECT_EQ(boxes.shown()[1].icon, window::IconQuestion);
    EXPECT_EQ(boxes.shown()[1].defaultButton, ButtonNo);
    EXPECT_EQ(readFile(dir.file("main_.txa")), "older copy\r\n");
    EXPECT_EQ(remover.lineCount(), 30u);
    EXPECT_EQ(testing::listOf(remover.ExtensionQ).size(), 3u);
    EXPECT_EQ(ticks(remover), "xx.");

    // The same ticks, answered Yes this time.
    boxes.expect("Confirm", ButtonYes);
    boxes.expect("Overwrite", ButtonYes);
    boxes.expect("Saved", ButtonOk);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::Saved);
    boxes.verifyDone();
    EXPECT_EQ(readFile(dir.file("main_.txa")), crlf(expectedAfter({3, 8, 12, 20})));
    // Rebuilt after the write, nothing ticked: a further run deletes nothing.
    EXPECT_EQ(ticks(remover), ".");
    boxes.expect("Confirm", ButtonYes);
    boxes.expect("Nothing to delete", ButtonOk);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::NothingToDelete);
    // Ticking the remaining instance removes exactly its lines.
    toggleRow(remover.ExtensionQ, 1);
    boxes.expect("Confirm", ButtonYes);
    boxes.expect("Overwrite", ButtonYes);
    boxes.expect("Saved", ButtonOk);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::Saved);
    boxes.verifyDone();
    EXPECT_EQ(readFile(dir.file("main_.txa")), crlf(expectedAfter({3, 8, 12, 20, 23, 25})));
}

TEST_F(RemoverFixture, WriteFailureKeepsTheOldFileTheLinesAndTheTicks) {
    dir.write("main_.txa", "older copy\r\n");
    toggleRow(remover.ExtensionQ, 3);
    testing::ScriptedPresenter boxes;
    boxes.expect("Confirm", ButtonYes);
    boxes.expect("Overwrite", ButtonYes);
    boxes.expect("Error WriteFile", ButtonOk);
    platform::failFileOperation(platform::FileOp::Write, 1);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::SaveFailed);
    platform::clearFileFaults();
    boxes.verifyDone();
    EXPECT_EQ(readFile(dir.file("main_.txa")), "older copy\r\n");
    EXPECT_EQ(dir.listing(), "main.txa\nmain_.txa\n");
    EXPECT_EQ(testing::listOf(remover.ExtensionQ).size(), 3u);
    EXPECT_EQ(ticks(remover), "..x");
    EXPECT_EQ(remover.lineCount(), 30u);
    // Once the write goes through, the copy lacks that instance alone.
    boxes.expect("Confirm", ButtonYes).expect("Overwrite", ButtonYes).expect("Saved", ButtonOk);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::Saved);
    boxes.verifyDone();
    EXPECT_EQ(readFile(dir.file("main_.txa")), crlf(expectedAfter({23, 25})));
}

// A read-only copy is not offered for overwriting: it is said to be read-only, and it stays.
TEST_F(RemoverFixture, AReadOnlyOutputIsNeverReplaced) {
    const std::string copy = dir.write("main_.txa", "older copy\r\n");
    std::filesystem::permissions(copy, std::filesystem::perms::owner_read);
    toggleRow(remover.ExtensionQ, 3);
    testing::ScriptedPresenter boxes;
    boxes.expect("Confirm", ButtonYes).expect("main_.txa is read-only", ButtonOk);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::SaveFailed);
    boxes.verifyDone();
    EXPECT_EQ(readFile(copy) + ticks(remover) + std::to_string(remover.lineCount()), "older copy\r\n..x30");
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
}

TEST_F(RemoverFixture, CreateFailureLeavesNoFile) {
    toggleRow(remover.ExtensionQ, 3);
    testing::ScriptedPresenter boxes;
    boxes.expect("Confirm", ButtonYes);
    boxes.expect("Error Open", ButtonOk);
    platform::failFileOperation(platform::FileOp::Open, 1);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::SaveFailed);
    platform::clearFileFaults();
    boxes.verifyDone();
    EXPECT_EQ(dir.listing(), "main.txa\n");
    EXPECT_EQ(testing::listOf(remover.ExtensionQ).size(), 3u);
    EXPECT_EQ(ticks(remover), "..x");
    EXPECT_EQ(remover.lineCount(), 30u);
}

#ifndef _WIN32  // symbolic links need a privilege on Windows
TEST_F(RemoverFixture, TheLoadedFileIsNeverTheOutput) {
    std::filesystem::create_symlink(input, dir.file("main_.txa"));
    toggleRow(remover.ExtensionQ, 1);
    testing::ScriptedPresenter boxes;
    boxes.expect("Confirm", ButtonYes);
    boxes.expect("Not saved", ButtonOk);
    EXPECT_EQ(RemoveAndSave(remover), RemoveOutcome::OutputIsLoadedFile);
    boxes.verifyDone();
    EXPECT_EQ(boxes.shown()[1].text, "The loaded TXA file is never overwritten: " + dir.file("main_.txa"));
    EXPECT_EQ(boxes.shown()[1].icon, window::IconExclamation);
    EXPECT_EQ(readFile(input), original);
    EXPECT_EQ(ticks(remover), "x..");  // nothing written, nothing changed
    EXPECT_EQ(remover.lineCount(), 30u);
    // The same through an explicit output name (a hard link).
    std::filesystem::create_hard_link(input, dir.file("copy.txa"));
    boxes.expect("Confirm", ButtonYes);
    boxes.expect("Not saved", ButtonOk);
    EXPECT_EQ(RemoveAndSave(remover, dir.file("copy.txa")), RemoveOutcome::OutputIsLoadedFile);
    boxes.verifyDone();
    EXPECT_EQ(readFile(input), original);
    EXPECT_EQ(ticks(remover), "x..");
}
#endif

}  // namespace
}  // namespace varnok::app
