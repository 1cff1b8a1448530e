// Reading lines through the read buffer.
#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/codepage.h"
#include "platform/cpu_features.h"
#include "textfile/text_line_io.h"

namespace varnok::textfile {

namespace {

constexpr uint8_t kCtrlZ = 26;
constexpr uint8_t kTab = 9;

void buildControlBits(TextControlBlock& cb);

// Makes up to `want` bytes at `offset` available in `data`; `avail` is less
// than `want` only where the file ends. The bytes come from the read buffer
// when it holds them and QUICKSCAN is on; otherwise the buffer is refilled
// from the file starting at `offset`.
int32_t windowAt(TextControlBlock& cb, uint64_t offset, size_t want, const uint8_t*& data,
                 size_t& avail) {
    const uint64_t left = offset < cb.fileSize ? cb.fileSize - offset : 0;
    if (want > left) want = static_cast<size_t>(left);
    if (cb.options.quickScan && cb.bufferFill != 0 && offset >= cb.bufferStart &&
        offset + want <= cb.bufferStart + cb.bufferFill) {
        data = cb.readBuffer.data() + (offset - cb.bufferStart);
        avail = want;
        return 0;
    }
    size_t capacity = cb.refillSize();
    if (capacity < want) {
        // A window wider than the buffer (a small FILEBUFFERS and a long
        // terminator): grow the buffer rather than read a line short. It
        // never shrinks here: a window near the end of the file is narrower.
        if (cb.readBuffer.size() < want + 1) cb.readBuffer.resize(want + 1);
        capacity = want;
    }
    size_t got = 0;
    cb.bufferFill = 0;
    cb.controlBitsValid = false;
    const int32_t code = cb.file.readAt(offset, cb.readBuffer.data(), capacity, got);
    if (code != 0) return code;
    cb.bufferStart = offset;
    cb.bufferFill = static_cast<uint32_t>(got);
    cb.readBuffer[got] = kCtrlZ;
    // A QUICKSCAN buffer serves many lines: finding its control bytes in one
    // pass is cheaper than a scan per line.
    if (cb.options.quickScan) buildControlBits(cb);
    data = cb.readBuffer.data();
    avail = std::min(want, got);
    return 0;
}

[[gnu::always_inline]] inline bool terminatorAt(const uint8_t* bytes, size_t at, size_t avail, const std::string& term) {
    const size_t n = term.size();
    if (at + n > avail) return false;
    for (size_t k = 0; k < n; ++k) {
        if (bytes[at + k] != static_cast<uint8_t>(term[k])) return false;
    }
    return true;
}

// Skips the rest of an over-long line from `offset`: up to and including the
// terminator, up to (not including) a Ctrl-Z that ends the file, or to the end
// of the file. Adds the bytes passed over to `used`.
int32_t skipRestOfLine(TextControlBlock& cb, uint64_t offset, uint64_t& used) {
    const std::string& term = cb.options.endOfRecord;
    const size_t termLen = term.size();
    const uint8_t first = static_cast<uint8_t>(term[0]);
    const bool ctrlZEnds = cb.options.ctrlZEndsFile;
    const size_t chunk = std::max(cb.readBuffer.size() - 1, termLen);
    while (offset < cb.fileSize) {
        const uint8_t* w = nullptr;
        size_t avail = 0;
        if (const int32_t code = windowAt(cb, offset, chunk, w, avail)) return code;
        if (avail == 0) return 0;  // the file is shorter than it was said to be
        size_t j = 0;
        for (; j < avail; ++j) {
            const uint8_t b = w[j];
            if (b == kCtrlZ && ctrlZEnds) {
                used += j;
                return 0;
            }
            if (b != first) continue;
            if (terminatorAt(w, j, avail, term)) {
                used += j + termLen;
                return 0;
            }
            // A terminator cut by the window's end: look again from here.
            if (j + termLen > avail && offset + j + termLen <= cb.fileSize && j > 0) break;
        }
        used += j;
        offset += j;
    }
    return 0;
}

// Expands a tab at record column `out` by the tab setting; returns the new
// column. The record is already filled with spaces.
uint32_t expandTab(int32_t tab, uint8_t* record, uint32_t out, uint32_t size) {
    if (tab == 0) return out;
    if (tab == -100) {
        record[out] = kTab;
        return out + 1;
    }
    const uint64_t spaces = tab > 0 ? static_cast<uint64_t>(tab) - out % static_cast<uint32_t>(tab)
                                    : static_cast<uint64_t>(-static_cast<int64_t>(tab));
    return static_cast<uint32_t>(std::min<uint64_t>(out + spaces, size));
}

// The index of the first of the n bytes below 32 (a control character), or
// n when there is none: sixteen bytes a step with SSE2, thirty-two with AVX2
// where the processor has it (chosen once, at start-up).
size_t firstControlPlain(const uint8_t* p, size_t n) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i limit = _mm_set1_epi8(31);
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        // v <= 31 exactly where min(v, 31) == v.
        const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(v, limit), v);
        if (const int mask = _mm_movemask_epi8(low)) return i + static_cast<size_t>(__builtin_ctz(mask));
    }
#endif
    for (; i < n; ++i) {
        if (p[i] < 32) return i;
    }
    return n;
}

#if defined(__x86_64__) && defined(__GNUC__)
// Bit k set where p[k] is below 32, for the sixty-four bytes at p: a byte is
// at most 31 exactly where min(byte, 31) equals it.
__attribute__((target("avx2"))) inline uint64_t controlMask64(const uint8_t* p) {
    const __m256i limit = _mm256_set1_epi8(31);
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    const uint64_t low = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_min_epu8(a, limit), a)));
    const uint64_t high = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_min_epu8(b, limit), b)));
    return low | high << 32;
}

// Sixty-four bytes a step: most lines end within the first step, so the
// loop's exit is usually taken at once and predicted well.
__attribute__((target("avx2"))) size_t firstControlWide(const uint8_t* p, size_t n) {
    size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        if (const uint64_t mask = controlMask64(p + i)) return i + static_cast<size_t>(__builtin_ctzll(mask));
    }
    return i + firstControlPlain(p + i, n - i);
}


inline size_t firstControl(const uint8_t* p, size_t n) {
    return platform::hasAvx2() ? firstControlWide(p, n) : firstControlPlain(p, n);
}
#else
constexpr auto firstControl = firstControlPlain;
#endif

// Bit i of bits[] is set where p[i] is below 32, for i < n; the rest of the
// last word is left clear. Thirty-two bytes a step with AVX2, sixteen with
// SSE2, one at a time for what is left.
void controlBitsPlain(const uint8_t* p, size_t n, uint64_t* bits) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i limit = _mm_set1_epi8(31);
    for (; i + 64 <= n; i += 64) {
        uint64_t word = 0;
        for (size_t k = 0; k < 64; k += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + k));
            const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(v, limit), v);
            word |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(low))) << k;
        }
        bits[i / 64] = word;
    }
#endif
    for (; i < n; i += 64) {
        uint64_t word = 0;
        const size_t end = std::min<size_t>(64, n - i);
        for (size_t k = 0; k < end; ++k) word |= static_cast<uint64_t>(p[i + k] < 32) << k;
        bits[i / 64] = word;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx2"))) void controlBitsWide(const uint8_t* p, size_t n, uint64_t* bits) {
    size_t i = 0;
    for (; i + 64 <= n; i += 64) bits[i / 64] = controlMask64(p + i);
    controlBitsPlain(p + i, n - i, bits + i / 64);
}
#endif

// Marks the control bytes of the buffer just filled, the Ctrl-Z after the
// data included (so every search for the next one ends).
void buildControlBits(TextControlBlock& cb) {
    const size_t n = static_cast<size_t>(cb.bufferFill) + 1;
    const size_t words = (n + 63) / 64;
    if (cb.controlBits.size() < words) cb.controlBits.resize(words);
#if defined(__x86_64__) && defined(__GNUC__)
    if (platform::hasAvx2()) {
        controlBitsWide(cb.readBuffer.data(), n, cb.controlBits.data());
    } else {
        controlBitsPlain(cb.readBuffer.data(), n, cb.controlBits.data());
    }
#else
    controlBitsPlain(cb.readBuffer.data(), n, cb.controlBits.data());
#endif
    cb.controlBitsValid = true;
}

// The buffer index of the first control byte at or after index k (k at most
// bufferFill): the lowest set bit from k on, which the bit for the Ctrl-Z
// after the data bounds.
[[gnu::always_inline]] inline size_t nextControlBit(const uint64_t* bits, size_t k) {
    size_t word = k / 64;
    if (const uint64_t rest = bits[word] >> (k % 64)) return k + static_cast<size_t>(__builtin_ctzll(rest));
    while (bits[++word] == 0) {
    }
    return word * 64 + static_cast<size_t>(__builtin_ctzll(bits[word]));
}

// The index of the first of the n bytes that may end or change the line: the
// terminator's first byte, a tab, or a Ctrl-Z while it ends the file; n when
// there is none. Terminators, tabs and Ctrl-Z are nearly always control
// characters, so the scan looks for those and checks each one it meets; in
// a buffer whose control bytes are marked, it reads the marks instead.
[[gnu::always_inline]] inline size_t firstLineByte(const TextControlBlock& cb, const uint8_t* p, size_t n, uint8_t first,
                                                   bool ctrlZEnds) {
    if (first >= 32) {
        for (size_t i = 0; i < n; ++i) {
            if (p[i] == first || p[i] == kTab || (ctrlZEnds && p[i] == kCtrlZ)) return i;
        }
        return n;
    }
    if (cb.controlBitsValid) {
        const size_t base = static_cast<size_t>(p - cb.readBuffer.data());
        for (size_t i = 0;; ++i) {
            i = nextControlBit(cb.controlBits.data(), base + i) - base;
            if (i >= n) return n;
            if (p[i] == first || p[i] == kTab || (ctrlZEnds && p[i] == kCtrlZ)) return i;
        }
    }
    for (size_t i = 0;; ++i) {
        i += firstControl(p + i, n - i);
        if (i >= n) return n;
        if (p[i] == first || p[i] == kTab || (ctrlZEnds && p[i] == kCtrlZ)) return i;
    }
}

// The common line: its terminator lies in the window within the record size
// and no tab and no Ctrl-Z comes before it. One scan finds the first byte of
// interest; the line is copied in one move and the rest of the record is
// filled with spaces. Answers false, changing nothing, for any other line.
[[gnu::always_inline]] inline bool copyPlainLine(TextControlBlock& cb, const uint8_t* w, size_t avail, uint64_t& used) {
    const std::string& term = cb.options.endOfRecord;
    const size_t examine = std::min<size_t>(avail, cb.recordBytes);
    const uint8_t first = static_cast<uint8_t>(term[0]);
    const bool ctrlZEnds = cb.options.ctrlZEndsFile;
    const size_t n = firstLineByte(cb, w, examine, first, ctrlZEnds);
    // A Ctrl-Z that ends the file ends it also when it begins the terminator.
    if (n == examine || w[n] != first || (ctrlZEnds && first == kCtrlZ) || !terminatorAt(w, n, avail, term))
        return false;
    std::memcpy(cb.record, w, n);
    std::memset(cb.record + n, ' ', cb.recordBytes - n);
    used = n + term.size();
    return true;
}

// Any line, byte by byte: tabs, Ctrl-Z, over-long lines, a terminator cut by
// the end of the file.
int32_t copyLine(TextControlBlock& cb, uint64_t start, const uint8_t* w, size_t avail, uint64_t& used) {
    uint8_t* record = cb.record;
    const uint32_t size = cb.recordBytes;
    const std::string& term = cb.options.endOfRecord;
    const uint8_t first = static_cast<uint8_t>(term[0]);
    const bool ctrlZEnds = cb.options.ctrlZEndsFile;
    const size_t examine = std::min<size_t>(avail, size);
    std::memset(record, ' ', size);
    size_t i = 0;
    uint32_t out = 0;
    bool ended = false;  // the terminator or a Ctrl-Z that ends the file was met
    while (i < examine && out < size) {
        const uint8_t b = w[i];
        // A Ctrl-Z that ends the file comes first, as at the start of a line
        // and in the skip phase, also when it begins the terminator.
        if (b == kCtrlZ && ctrlZEnds) {
            ended = true;
            break;
        }
        if (b == first && terminatorAt(w, i, avail, term)) {
            i += term.size();
            ended = true;
            break;
        }
        ++i;
        if (b == kTab) {
            out = expandTab(cb.options.tab, record, out, size);
        } else {
            record[out++] = b;
        }
    }
    used = i;
    if (!ended && start + used < cb.fileSize) return skipRestOfLine(cb, start + used, used);
    return 0;
}

[[gnu::always_inline]] inline void finishRead(TextControlBlock& cb, uint64_t used) {
    cb.lineLength = used;
    if (cb.oem) {
        const uint8_t* table = platform::oemToAnsiTable();
        for (uint32_t k = 0; k < cb.recordBytes; ++k) cb.record[k] = table[cb.record[k]];
    }
    cb.haveRecord = true;
}

// Reads the line at 0-based `start` (known to lie inside the file).
[[gnu::always_inline]] inline int32_t readLineFrom(TextControlBlock& cb, uint64_t start) {
    cb.lineStart = start;
    cb.lineLength = 0;
    const bool ctrlZEnds = cb.options.ctrlZEndsFile;
    uint64_t used = 0;

    // With QUICKSCAN, a whole plain line already in the buffer needs no full
    // window: the window would start with the same bytes, and the line ends
    // before the buffered part does.
    const uint64_t bufferEnd = std::min(cb.bufferStart + cb.bufferFill, cb.fileSize);
    if (cb.options.quickScan && cb.bufferFill != 0 && start >= cb.bufferStart && start < bufferEnd) {
        const uint8_t* w = cb.readBuffer.data() + (start - cb.bufferStart);
        if (w[0] == kCtrlZ && ctrlZEnds) return 33;
        if (copyPlainLine(cb, w, static_cast<size_t>(bufferEnd - start), used)) {
            finishRead(cb, used);
            return 0;
        }
    }

    const uint8_t* w = nullptr;
    size_t avail = 0;
    if (const int32_t code = windowAt(cb, start, cb.recordBytes + cb.options.endOfRecord.size(), w, avail)) {
        return code;
    }
    if (avail > 0 && w[0] == kCtrlZ && ctrlZEnds) return 33;
    if (!copyPlainLine(cb, w, avail, used)) {
        if (const int32_t code = copyLine(cb, start, w, avail, used)) return code;
    }
    finishRead(cb, used);
    return 0;
}

}  // namespace

int32_t refreshFileSize(TextControlBlock& cb) {
    if (!cb.refreshesSize()) return 0;
    uint64_t bytes = 0;
    if (const int32_t code = cb.file.size(bytes)) return code;
    cb.fileSize = bytes;
    return 0;
}

int32_t readLineAt(TextControlBlock& cb, uint64_t pointer) {
    cb.haveRecord = false;
    if (pointer == 0) return 0;
    if (const int32_t code = refreshFileSize(cb)) return code;
    if (pointer > cb.fileSize) return 33;
    return readLineFrom(cb, pointer - 1);
}

int32_t readNextLine(TextControlBlock& cb) {
    cb.haveRecord = false;
    if (const int32_t code = refreshFileSize(cb)) return code;
    // Refused at the end: the position stays, so NEXT keeps answering 33 and
    // picks up lines another process appends later.
    if (cb.nextRead > cb.fileSize) return 33;
    const int32_t code = readLineFrom(cb, cb.nextRead - 1);
    cb.nextRead = cb.lineStart + cb.lineLength + 1;
    return code;
}

int32_t atEndOfFile(TextControlBlock& cb, bool& atEnd) {
    atEnd = true;
    if (const int32_t code = refreshFileSize(cb)) return code;
    const uint64_t at = cb.nextRead - 1;
    if (at >= cb.fileSize) return 0;
    if (!cb.options.ctrlZEndsFile) {
        atEnd = false;
        return 0;
    }
    const uint8_t* w = nullptr;
    size_t avail = 0;
    if (const int32_t code = windowAt(cb, at, 1, w, avail)) return code;
    atEnd = avail == 0 || w[0] == kCtrlZ;
    return 0;
}

}  // namespace varnok::textfile
