#include "framework/errors/message_table.h"

namespace varnok::framework {

std::vector<PackedMessage> decodeMessageTable(std::span<const uint8_t> block) {
    std::vector<PackedMessage> entries;
    if (block.size() < 2) return entries;
    const size_t count = block[0] | (block[1] << 8);
    entries.reserve(count);
    size_t at = 2;
    auto text = [&](std::string_view& out) {
        if (at >= block.size()) return false;
        const size_t length = block[at];
        if (block.size() - at - 1 < length) return false;
        out = std::string_view(reinterpret_cast<const char*>(block.data() + at + 1), length);
        at += 1 + length;
        return true;
    };
    for (size_t i = 0; i < count; ++i) {
        if (block.size() - at < 3) break;
        PackedMessage m;
        m.id = static_cast<uint16_t>(block[at] | (block[at + 1] << 8));
        m.fatality = block[at + 2];
        at += 3;
        if (!text(m.title) || !text(m.message)) break;
        entries.push_back(m);
    }
    return entries;
}

}  // namespace varnok::framework
