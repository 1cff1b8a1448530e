#include "textfile/driver_options.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace varnok::textfile {

namespace {

constexpr uint8_t kSharingMask = 0xF0;
constexpr uint8_t kDenyAll = 0x10, kDenyWrite = 0x20, kDenyRead = 0x30;
constexpr uint32_t kMinimumAllocation = 10;  // FILEBUFFERS stops halving here

bool exclusiveSharing(uint8_t accessMode) {
    uint8_t sharing = accessMode & kSharingMask;
    return sharing == kDenyAll || sharing == kDenyWrite || sharing == kDenyRead;
}

// The option text without white space, upper-cased, cut at the next option.
std::string normalized(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if (c == '/') break;
        if (std::isspace(u)) continue;
        out.push_back(static_cast<char>(std::toupper(u)));
    }
    return out;
}

// Reads an unsigned decimal from the start of text, saturating; advances pos.
// A text that does not start with a digit reads as 0.
uint64_t readUnsigned(std::string_view text, size_t& pos) {
    uint64_t n = 0;
    constexpr uint64_t kCap = std::numeric_limits<uint64_t>::max() / 10 - 9;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (n < kCap) n = n * 10 + static_cast<uint64_t>(text[pos] - '0');
        ++pos;
    }
    return n;
}

// A signed decimal for TAB, saturated to the 32-bit range.
int32_t readSigned(std::string_view text) {
    size_t pos = 0;
    bool negative = !text.empty() && text[0] == '-';
    if (negative) pos = 1;
    uint64_t n = readUnsigned(text, pos);
    constexpr uint64_t kMax = std::numeric_limits<int32_t>::max();
    if (n > kMax) n = kMax;
    auto v = static_cast<int32_t>(n);
    return negative ? -v : v;
}

const char* onOff(bool on) { return on ? "ON" : "OFF"; }

bool startsWith(std::string_view text, std::string_view word) {
    return text.substr(0, word.size()) == word;
}

// Parses "n,b1,...,bn". Returns false (and leaves `bytes` alone) unless there
// are at least n byte values 0..255 and n is at least 1: an empty or partly
// given terminator could not end a line.
bool parseTerminator(std::string_view value, std::string& bytes) {
    size_t pos = 0;
    uint64_t count = readUnsigned(value, pos);
    if (count == 0 || count > value.size()) return false;
    std::string parsed;
    for (uint64_t i = 0; i < count; ++i) {
        size_t comma = value.find(',', pos);
        if (comma == std::string_view::npos) return false;
        pos = comma + 1;
        if (pos >= value.size() || value[pos] < '0' || value[pos] > '9') return false;
        uint64_t b = readUnsigned(value, pos);
        if (b > 255) return false;
        parsed.push_back(static_cast<char>(b));
    }
    bytes = parsed;
    return true;
}

}  // namespace

uint32_t fileBuffersBytes(uint64_t n, uint32_t recordSize) {
    constexpr uint64_t kLargestCount = 8'388'607;
    constexpr uint32_t kLargestBuffer = 4'294'967'263u;
    uint32_t bytes = n > kLargestCount ? kLargestBuffer : static_cast<uint32_t>(n * 512);
    return std::max(bytes, recordSize);
}

DriverOptions DriverOptions::forOpen(uint8_t accessMode, uint32_t recordSize) {
    DriverOptions o;
    bool exclusive = exclusiveSharing(accessMode);
    uint32_t base = exclusive ? 1024 : 512;
    uint64_t twice = static_cast<uint64_t>(recordSize) * 2;
    o.bufferSize = static_cast<uint32_t>(std::min<uint64_t>(
        std::max<uint64_t>(base, twice), std::numeric_limits<uint32_t>::max()));
    o.quickScan = exclusive;
    return o;
}

std::string DriverOptions::send(std::string_view optionText, ReadBufferHost* host) {
    const std::string text = normalized(optionText);
    if (text.empty()) return {};

    // Each option: its word; the rest is "=value" or something else (no change).
    auto valueAfter = [&](std::string_view word, std::string_view& value) {
        if (text.size() <= word.size() || text[word.size()] != '=') return false;
        value = std::string_view(text).substr(word.size() + 1);
        return !value.empty();
    };
    std::string_view value;

    switch (text[0]) {
    case 'F': {
        if (!startsWith(text, "FILEBUFFERS")) return {};
        std::string previous = std::to_string(bufferSize);
        if (valueAfter("FILEBUFFERS", value)) {
            size_t pos = 0;
            uint32_t record = host ? host->recordSize() : 0;
            uint32_t wanted = fileBuffersBytes(readUnsigned(value, pos), record);
            if (!host) {
                bufferSize = wanted;
            } else {
                // Halve until the allocation succeeds; the old buffer stays
                // when even a tiny one cannot be had.
                for (uint32_t size = wanted;; size /= 2) {
                    if (host->resizeReadBuffer(size)) {
                        bufferSize = size;
                        break;
                    }
                    if (size <= kMinimumAllocation) break;
                }
                host->readBufferChanged();
            }
        }
        return previous;
    }
    case 'Q': {
        if (!startsWith(text, "QUICKSCAN")) return {};
        std::string previous = onOff(quickScan);
        if (valueAfter("QUICKSCAN", value)) {
            bool changed = false;
            if (startsWith(value, "OFF")) {
                quickScan = false;
                changed = true;
            } else if (startsWith(value, "ON")) {
                quickScan = true;
                changed = true;
            }
            if (changed && host) host->readBufferChanged();
        }
        return previous;
    }
    case 'E': {
        if (!startsWith(text, "ENDOFRECORD")) return {};
        std::string previous = endOfRecord;
        if (valueAfter("ENDOFRECORD", value)) parseTerminator(value, endOfRecord);
        return previous;
    }
    case 'C': {
        if (startsWith(text, "CTRLZISEOF")) {
            std::string previous = onOff(ctrlZEndsFile);
            if (valueAfter("CTRLZISEOF", value)) ctrlZEndsFile = !startsWith(value, "OFF");
            return previous;
        }
        if (startsWith(text, "CLIP")) {
            std::string previous = onOff(clip);
            if (valueAfter("CLIP", value)) {
                if (startsWith(value, "OFF")) clip = false;
                else if (startsWith(value, "ON")) clip = true;
            }
            return previous;
        }
        return {};
    }
    case 'T': {
        if (!startsWith(text, "TAB")) return {};
        std::string previous = std::to_string(tab);
        if (valueAfter("TAB", value)) tab = readSigned(value);
        return previous;
    }
    default:
        return {};
    }
}

void DriverOptions::applyDriverString(std::string_view driverString, ReadBufferHost* host) {
    for (size_t slash = driverString.find('/'); slash != std::string_view::npos;
         slash = driverString.find('/', slash + 1)) {
        send(driverString.substr(slash + 1), host);
    }
}

}  // namespace varnok::textfile
