// Writing lines: appends, rewrites in place and truncation.
#include <algorithm>
#include <cstring>

#include "platform/codepage.h"
#include "textfile/text_line_io.h"

namespace varnok::textfile {

namespace {

constexpr uint8_t kCtrlZ = 26;

// The first append of a shared open whose file held data at OPEN: one read
// from the last byte known then tells both what the file ends with now and,
// when it grew by less than the read asks for, how long it is, so the size
// query and the look for a Ctrl-Z cost one system call together. Answers
// false (and learns nothing) when the file shrank or grew further.
bool peekAtEnd(TextControlBlock& cb, uint64_t& size, uint8_t& last) {
    uint8_t tail[256];
    size_t got = 0;
    if (cb.file.readSomeAt(cb.fileSize - 1, tail, sizeof tail, got) != 0) return false;
    if (got == 0 || got == sizeof tail) return false;
    size = cb.fileSize - 1 + got;
    last = tail[got - 1];
    return true;
}

// The size of a shared file, asked before every append: another open may
// have appended since this one last looked. QUICKSCAN lets positioned reads
// go without asking, never appends; an append runs under the file lock, so
// the size asked here holds until its write.
int32_t sizeBeforeAppend(TextControlBlock& cb) {
    if (!cb.shared) return 0;
    uint64_t bytes = 0;
    if (const int32_t code = cb.file.size(bytes)) return code;
    cb.fileSize = bytes;
    return 0;
}

// The write position of an append: the end of the file, or the trailing
// Ctrl-Z the first append of this open finds there (the new line replaces it).
int32_t appendPosition(TextControlBlock& cb, uint64_t& position) {
    const bool lookForCtrlZ = !cb.ctrlZLookedFor && cb.options.ctrlZEndsFile && cb.file.readable();
    uint64_t peekedSize = 0;
    uint8_t last = 0;
    bool lastKnown = false;
    if (lookForCtrlZ && cb.shared && cb.fileSize > 0 && cb.file.isRegular() && peekAtEnd(cb, peekedSize, last)) {
        cb.fileSize = peekedSize;
        lastKnown = true;
    } else if (const int32_t code = sizeBeforeAppend(cb)) {
        return code;
    }
    position = cb.fileSize;
    if (lookForCtrlZ && !lastKnown && position > 0) {
        size_t got = 0;
        if (const int32_t code = cb.file.readAt(position - 1, &last, 1, got)) return code;
        lastKnown = got == 1;
    }
    if (lookForCtrlZ && lastKnown && position > 0 && last == kCtrlZ) --position;
    cb.ctrlZLookedFor = true;  // once per open, whatever the options say now
    return 0;
}

// Builds the line image (text and terminator) in cb.scratch.
void buildLineImage(TextControlBlock& cb, uint32_t textBytes) {
    const std::string& term = cb.options.endOfRecord;
    cb.scratch.resize(textBytes + term.size());
    uint8_t* out = cb.scratch.data();
    if (cb.oem) {
        const uint8_t* table = platform::ansiToOemTable();
        for (uint32_t k = 0; k < textBytes; ++k) out[k] = table[cb.record[k]];
    } else {
        std::memcpy(out, cb.record, textBytes);
    }
    std::memcpy(out + textBytes, term.data(), term.size());
}

// Writes cb.scratch at `position`; when the write fails part way, the bytes
// it replaced are put back and the file is cut to its old end, so the file
// never holds part of a line.
int32_t writeWhole(TextControlBlock& cb, uint64_t position, uint64_t oldEnd) {
    const size_t count = cb.scratch.size();
    const size_t overlap =
        position < oldEnd ? static_cast<size_t>(std::min<uint64_t>(count, oldEnd - position)) : 0;
    std::vector<uint8_t> old(overlap);
    if (overlap > 0) {
        size_t got = 0;
        if (!cb.file.readable()) return 5;
        if (const int32_t code = cb.file.readAt(position, old.data(), overlap, got)) return code;
        old.resize(got);
    }
    size_t written = 0;
    const int32_t code = cb.file.writeAt(position, cb.scratch.data(), count, written);
    if (code == 0) return 0;
    // A failed write may still have changed bytes it does not own up to.
    cb.invalidate(position, UINT64_MAX);
    size_t restored = 0;
    if (!old.empty()) cb.file.writeAt(position, old.data(), old.size(), restored);
    if (position + count > oldEnd) cb.file.truncate(oldEnd);
    return code;
}

int32_t writeLocked(TextControlBlock& cb, WritePlace place, uint64_t pointer, uint32_t length,
                    bool hasLength) {
    if (place == WritePlace::CurrentLine && !cb.haveRecord) return 33;
    uint64_t position = 0;
    uint64_t oldEnd = 0;
    if (place == WritePlace::End || (place == WritePlace::Pointer && pointer == 0)) {
        if (const int32_t code = appendPosition(cb, position)) return code;
        oldEnd = cb.fileSize;
    } else {
        position = place == WritePlace::Pointer ? pointer - 1 : cb.lineStart;
        if (const int32_t code = cb.file.size(oldEnd)) return code;
    }
    cb.haveRecord = false;
    cb.lineStart = position;
    cb.lineLength = 0;

    if (hasLength && length == 0) {
        if (const int32_t code = cb.file.truncate(position)) return code;
        cb.fileSize = position;
        cb.invalidate(position, UINT64_MAX);
        return 0;
    }

    uint32_t textBytes = hasLength ? std::min(length, cb.recordBytes) : cb.recordBytes;
    if (cb.options.clip) {
        while (textBytes > 0 && cb.record[textBytes - 1] == ' ') --textBytes;
    }
    buildLineImage(cb, textBytes);
    if (const int32_t code = writeWhole(cb, position, oldEnd)) return code;
    cb.lineLength = cb.scratch.size();
    cb.fileSize = std::max(cb.fileSize, position + cb.lineLength);
    cb.invalidate(position, cb.lineLength);
    cb.haveRecord = true;
    return 0;
}

// Runs a write under the file lock when the file is shared and the program
// does not hold the lock already.
template <typename Write>
int32_t underWriteLock(TextControlBlock& cb, Write write) {
    if (!cb.shared || cb.lockCount > 0) return write();
    if (waitForWriteLock(cb.file) != 0) return 5;
    const int32_t code = write();
    cb.file.unlock();
    return code;
}

}  // namespace

int32_t writeLine(TextControlBlock& cb, WritePlace place, uint64_t pointer, uint32_t length,
                  bool hasLength) {
    if (cb.readOnly) return 5;
    return underWriteLock(cb, [&] { return writeLocked(cb, place, pointer, length, hasLength); });
}

int32_t emptyFile(TextControlBlock& cb) {
    if (cb.readOnly) return 5;
    return underWriteLock(cb, [&]() -> int32_t {
        if (cb.file.truncate(0) != 0) return 5;
        cb.fileSize = 0;
        cb.invalidate(0, UINT64_MAX);
        cb.haveRecord = false;
        return 0;
    });
}

}  // namespace varnok::textfile
