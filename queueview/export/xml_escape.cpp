#include "queueview/export/xml_escape.h"

#include <array>
#include <string>
#include <cstdint>

#include "platform/cp1252.h"

namespace varnok::queueview {

namespace {

// Five 6-character slots, each used without its trailing spaces.
constexpr std::string_view entityTable = "&amp; &lt;  &gt;  &quot;&apos;";
constexpr std::string_view specials = "&<>\"'";

std::string_view entity(size_t slot) {
    std::string_view e = entityTable.substr(slot * 6, 6);
    return e.substr(0, e.find_last_not_of(' ') + 1);
}

// What each byte becomes: 0 copied, 1 to 5 the entity of that slot, 6 left
// out, 7 the character reference of a carriage return, 8 the character
// reference of its Windows-1252 character.
enum : uint8_t { Copy = 0, Drop = 6, CarriageReturn = 7, Reference = 8 };

constexpr std::array<uint8_t, 256> byteActions() {
    std::array<uint8_t, 256> actions{};
    for (unsigned c = 0; c < 0x20; ++c) actions[c] = Drop;
    actions['\t'] = Copy;
    actions['\n'] = Copy;
    actions['\r'] = CarriageReturn;
    for (unsigned c = 0x80; c < 0xA0; ++c) actions[c] = Reference;
    for (size_t slot = 0; slot < specials.size(); ++slot)
        actions[static_cast<uint8_t>(specials[slot])] = static_cast<uint8_t>(slot + 1);
    return actions;
}

constexpr std::array<uint8_t, 256> actions = byteActions();

}  // namespace

void appendXmlEscaped(std::string& out, std::string_view text) {
    const size_t start = out.size();
    const size_t end = text.find_last_not_of(' ');
    text = end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
    size_t run = 0;  // start of the bytes copied as they are
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t action = actions[static_cast<uint8_t>(text[i])];
        if (action == Copy) continue;
        out.append(text.data() + run, i - run);
        run = i + 1;
        if (action == CarriageReturn) {
            out += "&#13;";
        } else if (action == Reference) {
            out += "&#" + std::to_string(platform::codePointOf(static_cast<unsigned char>(text[i]))) + ";";
        } else if (action != Drop) {
            out += entity(action - 1u);
        }
    }
    out.append(text.data() + run, text.size() - run);
    // A left-out byte may have come after the last spaces.
    while (out.size() > start && out.back() == ' ') out.pop_back();
}

std::string XmlEscape(std::string_view text) {
    std::string out;
    appendXmlEscaped(out, text);
    return out;
}

}  // namespace varnok::queueview
