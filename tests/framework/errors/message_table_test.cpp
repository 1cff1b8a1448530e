#include "framework/errors/message_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace varnok::framework {
namespace {

// The stored order of the default table's ids.
const std::vector<uint16_t> kStoredOrder = {30, 29, 12, 27, 19, 20, 18, 16, 34, 33, 4,  7,  8,  37, 36, 23, 41, 14,
                                            10, 15, 35, 21, 39, 40, 6,  26, 28, 13, 11, 38, 24, 1,  43, 3,  31, 5,
                                            17, 25, 2,  42, 44, 45, 46, 47, 49, 22, 51, 50, 48, 52, 53, 9};

TEST(DefaultMessageTable, HoldsTheFiftyTwoEntriesInStoredOrder) {
    std::span<const uint8_t> block = defaultMessageTable();
    ASSERT_GE(block.size(), 2u);
    EXPECT_EQ(block[0] | (block[1] << 8), 52);
    std::vector<PackedMessage> entries = decodeMessageTable(block);
    ASSERT_EQ(entries.size(), 52u);
    std::vector<uint16_t> ids;
    for (const PackedMessage& m : entries) ids.push_back(m.id);
    EXPECT_EQ(ids, kStoredOrder);
    EXPECT_EQ(std::set<uint16_t>(ids.begin(), ids.end()).size(), 52u) << "ids are distinct";
}

TEST(DefaultMessageTable, DecodesToTheWholeBlockWithNothingLeftOver) {
    std::span<const uint8_t> block = defaultMessageTable();
    size_t bytes = 2;
    for (const PackedMessage& m : decodeMessageTable(block)) bytes += 3 + 1 + m.title.size() + 1 + m.message.size();
    EXPECT_EQ(bytes, block.size());
}

TEST(DefaultMessageTable, TextsPointIntoTheBlock) {
    std::span<const uint8_t> block = defaultMessageTable();
    const char* begin = reinterpret_cast<const char*>(block.data());
    const char* end = begin + block.size();
    for (const PackedMessage& m : decodeMessageTable(block)) {
        EXPECT_GE(m.title.data(), begin);
        EXPECT_LE(m.title.data() + m.title.size(), end);
        EXPECT_GE(m.message.data(), begin);
        EXPECT_LE(m.message.data() + m.message.size(), end);
    }
}

struct Spot {
    uint16_t id;
    uint8_t fatality;
    const char* title;
    const char* message;
};

TEST(DefaultMessageTable, SpotChecksByteForByte) {
    const Spot spots[] = {
        {30, 5, "Invalid Key", "%File key file is invalid. Key must be rebuilt."},
        {12, 3, "File Creation Error", "Error: (%ErrorText) creating %File."},
        {8, 5, "Record Was Not Updated",
         "This record was changed by another station. Those changes will now be displayed. Use the Ditto Button "
         "or Ctrl+H to recall your changes."},
        {35, 1, "Auto Increment Error",
         "Attempts to automatically number this record have failed.|File: %File|Key: %Key|Error: %ErrorText.|Try "
         "Again?"},
        {21, 5, "File Load Error", "%File File Load Error.  Error: %ErrorText."},
        {42, 2, "File Usage Error", "Attempt to use file (%File) before it was opened"},
        {45, 5, "SMTP Error", "The following SMTP Error occurred: %Message "},
        {46, 5, "NNTP Error", "%Message "},
        {52, 5, "Report Writer Error", "Poorly Formed Comment String \"%Message\" at Position %Field."},
        {9, 5, "Record Retrieval Error",
         "This record was changed or deleted by another station.|Error: (%ErrorText) attempting to access a record "
         "from the %File file."},
    };
    std::vector<PackedMessage> entries = decodeMessageTable(defaultMessageTable());
    for (const Spot& s : spots) {
        SCOPED_TRACE(s.id);
        const PackedMessage* found = nullptr;
        for (const PackedMessage& m : entries)
            if (m.id == s.id) found = &m;
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->fatality, s.fatality);
        EXPECT_EQ(found->title, s.title);
        EXPECT_EQ(found->message, s.message);
    }
}

TEST(DefaultMessageTable, FatalitiesByLevel) {
    std::set<uint16_t> ask, internal, fatal;
    for (const PackedMessage& m : decodeMessageTable(defaultMessageTable())) {
        if (m.fatality == 1) ask.insert(m.id);
        if (m.fatality == 2) internal.insert(m.id);
        if (m.fatality == 3) fatal.insert(m.id);
        EXPECT_TRUE(m.fatality == 1 || m.fatality == 2 || m.fatality == 3 || m.fatality == 5) << m.id;
    }
    EXPECT_EQ(ask, (std::set<uint16_t>{37, 36, 10, 35, 39, 40, 11, 38, 3}));
    EXPECT_EQ(internal, (std::set<uint16_t>{42}));
    EXPECT_EQ(fatal, (std::set<uint16_t>{29, 12, 26, 49, 22, 51, 50, 48}));
}

std::vector<uint8_t> packed(std::initializer_list<std::pair<std::string, std::string>> texts) {
    std::vector<uint8_t> block = {static_cast<uint8_t>(texts.size()), 0};
    uint16_t id = 300;
    for (const auto& [title, message] : texts) {
        block.push_back(id & 0xFF);
        block.push_back(id >> 8);
        ++id;
        block.push_back(1);
        block.push_back(static_cast<uint8_t>(title.size()));
        block.insert(block.end(), title.begin(), title.end());
        block.push_back(static_cast<uint8_t>(message.size()));
        block.insert(block.end(), message.begin(), message.end());
    }
    return block;
}

TEST(DecodeMessageTable, ReadsLittleEndianIdsAndEmptyTexts) {
    std::vector<uint8_t> block = packed({{"", ""}, {"T", "message"}});
    std::vector<PackedMessage> entries = decodeMessageTable(block);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].id, 300);
    EXPECT_EQ(entries[0].title, "");
    EXPECT_EQ(entries[1].id, 301);
    EXPECT_EQ(entries[1].title, "T");
    EXPECT_EQ(entries[1].message, "message");
}

TEST(DecodeMessageTable, ADamagedBlockNeverReadsPastItsEnd) {
    const std::vector<uint8_t> whole = packed({{"one", "first"}, {"two", "second"}});
    // Every cut of the block decodes to the whole entries before the cut.
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        std::vector<uint8_t> part(whole.begin(), whole.begin() + cut);
        std::vector<PackedMessage> entries = decodeMessageTable(part);
        const size_t firstEnd = 2 + 3 + 4 + 6;
        const size_t expected = cut == whole.size() ? 2 : cut >= firstEnd ? 1 : 0;
        EXPECT_EQ(entries.size(), expected) << "cut at " << cut;
    }
    // A count larger than the entries present stops at the last whole one.
    std::vector<uint8_t> overCounted = whole;
    overCounted[0] = 200;
    EXPECT_EQ(decodeMessageTable(overCounted).size(), 2u);
}

}  // namespace
}  // namespace varnok::framework
