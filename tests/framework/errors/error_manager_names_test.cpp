#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "framework/errors/error_manager.h"
#include "tests/framework/errors/manager_fixture.h"
#include "window/message_box.h"

namespace varnok::framework {
namespace {

using testing::ErrorManagerTest;
using window::ButtonOk;

TEST_F(ErrorManagerTest, TheEntryAddedLastWinsForLookupCategoryAndRemoval) {
    static const std::string newer = "A newer text for %File";
    manager.AddEntry(30, newer, "Newer", LevelNotify, "");
    manager.state().setFileName("k.dat");

    boxes.expect("Newer", ButtonOk);
    EXPECT_EQ(manager.RaiseError(30), 5);
    EXPECT_EQ(boxes.shown().back().text, "A newer text for k.dat");

    manager.AssignCategory(30, "Second");
    EXPECT_EQ(manager.CategoryOf(30), "Second");
    manager.RemoveEntry(30);  // removes the newer one
    EXPECT_EQ(manager.CategoryOf(30), "KTL") << "the older entry never had a category";
    EXPECT_EQ(manager.entryCount(), 52u);

    boxes.expect("Invalid Key", ButtonOk);
    EXPECT_EQ(manager.RaiseError(30), 5);
    EXPECT_EQ(boxes.shown().back().text, "k.dat key file is invalid. Key must be rebuilt.");

    manager.RemoveEntry(30);
    EXPECT_EQ(manager.entryCount(), 51u);
    EXPECT_EQ(manager.RaiseError(30), 0) << "no entry is left";
    manager.RemoveEntry(30);
    EXPECT_EQ(manager.entryCount(), 51u) << "removing a missing id changes nothing";
    boxes.verifyDone();
}

TEST_F(ErrorManagerTest, EntriesReferToTheCallersTextsWithoutCopying) {
    static std::string message = "before";
    static const std::string title = "Referenced";
    manager.AddEntry(920, message, title, LevelNotify, "");
    ErrorEntryRecord found;
    ASSERT_EQ(manager.FindError(920, 0, &found), 0);
    EXPECT_EQ(found.Message.data(), message.data());
    EXPECT_EQ(found.Title.data(), title.data());
}

TEST_F(ErrorManagerTest, CategoriesFallBackToTheDefault) {
    EXPECT_EQ(manager.CategoryOf(-1), "KTL");
    EXPECT_EQ(manager.CategoryOf(12), "KTL");
    EXPECT_EQ(manager.CategoryOf(7777), "KTL");
    manager.AddEntry(921, "%Category", "Cat", LevelNotify, "Own");
    EXPECT_EQ(manager.CategoryOf(921), "Own");
    manager.AssignCategory(12, "Files");
    EXPECT_EQ(manager.CategoryOf(12), "Files");
    manager.AssignCategory(7777, "Nowhere");  // no entry: nothing happens
    EXPECT_EQ(manager.CategoryOf(7777), "KTL");
    manager.AssignCategory(-1, "APP");
    EXPECT_EQ(manager.GetDefaultCategory(), "APP");
    EXPECT_EQ(manager.CategoryOf(29), "APP");
    EXPECT_EQ(manager.CategoryOf(12), "Files");

    boxes.expect("Cat", ButtonOk);
    manager.RaiseError(921);
    EXPECT_EQ(boxes.shown().back().text, "Own");
}

TEST_F(ErrorManagerTest, ProcedureNamesStackPerThread) {
    EXPECT_EQ(manager.CurrentProcedureName(), "");
    manager.PopProcedureName();  // nothing to pop
    manager.PushProcedureName("Main   ");
    manager.PushProcedureName("Browse");
    EXPECT_EQ(manager.CurrentProcedureName(), "Browse");

    std::string seenByOther;
    std::string otherOwn;
    std::thread other([&] {
        seenByOther = manager.CurrentProcedureName();
        manager.PushProcedureName("Worker");
        otherOwn = manager.CurrentProcedureName();
        // Leaves its entry behind on purpose: it must not hide ours.
    });
    other.join();
    EXPECT_EQ(seenByOther, "");
    EXPECT_EQ(otherOwn, "Worker");
    EXPECT_EQ(manager.CurrentProcedureName(), "Browse");

    manager.PopProcedureName();
    EXPECT_EQ(manager.CurrentProcedureName(), "Main");
    manager.PopProcedureName();
    EXPECT_EQ(manager.CurrentProcedureName(), "");
    manager.PopProcedureName();
    EXPECT_EQ(manager.CurrentProcedureName(), "");
}

TEST_F(ErrorManagerTest, AnEmptyProcedureNameIsNeverPopped) {
    manager.PushProcedureName("Main");
    manager.PushProcedureName("   ");
    EXPECT_EQ(manager.CurrentProcedureName(), "");
    manager.PopProcedureName();
    EXPECT_EQ(manager.CurrentProcedureName(), "") << "the blank name stays on top";
}

TEST(ErrorRecords, RoundTripThroughRecordImages) {
    std::vector<uint8_t> image(errorEntryLayout().size());
    static const std::string message = "message text";
    ErrorEntryRecord entry;
    entry.ID = -70000;
    entry.Message = message;
    entry.Title = "title";
    entry.Fatality = 3;
    entry.Category = std::string(80, 'c');
    entry.write(image.data());
    ErrorEntryRecord back;
    back.read(image.data());
    EXPECT_EQ(back.ID, -70000);
    EXPECT_EQ(back.Message.data(), message.data());
    EXPECT_EQ(back.Title, "title");
    EXPECT_EQ(back.Fatality, 3);
    EXPECT_EQ(back.Category, std::string(CategorySize, 'c')) << "cut to the field";
    EXPECT_EQ(errorEntryId(image.data()), -70000);
    EXPECT_EQ(errorEntryLayout().size(), 101u);

    std::vector<uint8_t> history(historyEntryLayout().size(), 0xAB);
    HistoryRecord h;
    h.Category = "KTL";
    h.Txt = std::string(2000, 't');
    h.ID = -5;
    h.write(history.data());
    HistoryRecord hb;
    hb.read(history.data());
    EXPECT_EQ(hb.Category, "KTL");
    EXPECT_EQ(hb.Txt, std::string(1023, 't'));
    EXPECT_EQ(hb.ID, -5);
    EXPECT_EQ(historyEntryLayout().size(), 1090u);

    std::vector<uint8_t> proc(procNameEntryLayout().size());
    ProcNameRecord p;
    p.Thread = 7;
    p.Name = "Main";
    p.write(proc.data());
    ProcNameRecord pb;
    pb.read(proc.data());
    EXPECT_EQ(pb.Thread, 7);
    EXPECT_EQ(pb.Name, "Main");
}

}  // namespace
}  // namespace varnok::framework
