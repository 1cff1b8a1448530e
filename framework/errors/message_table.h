// Packed message tables: the form in which a program carries a table of
// error messages as one constant block. All integers are little-endian:
//
//     count      u16          number of entries
//     per entry: id          u16
//                fatality    u8
//                title       u8 length, then that many characters
//                message     u8 length, then that many characters
//
// No category is stored. Decoding gives views into the block, so the block
// must outlive what is decoded from it.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace varnok::framework {

struct PackedMessage {
    uint16_t id = 0;
    uint8_t fatality = 0;
    std::string_view title;    // inside the block
    std::string_view message;  // inside the block
};

// The entries of a block in stored order. Reading stops at the first entry
// that would run past the end of the block (or after `count` entries), so a
// damaged block never reads beyond its bytes.
std::vector<PackedMessage> decodeMessageTable(std::span<const uint8_t> block);

// The default table: 52 messages of the framework, in one block that lives
// for the whole run.
std::span<const uint8_t> defaultMessageTable();

}  // namespace varnok::framework
