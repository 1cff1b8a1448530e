#include "runtime/records/record_pack.h"

#include "platform/cpu_features.h"
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace varnok {

namespace {

constexpr uint8_t kLiteral = 0x80;

// Position of the first byte of `word` that differs from the pattern (diff
// is word ^ pattern, not zero).
inline size_t firstDifferentByte(uint64_t diff) {
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<size_t>(std::countr_zero(diff) / 8);
    else
        return static_cast<size_t>(std::countl_zero(diff) / 8);
}

inline uint64_t loadWord(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

// Index of the first byte at or after `from` that differs from b (n when the
// stretch reaches the end), comparing eight bytes per word.
inline size_t stretchEndWords(const uint8_t* src, size_t k, size_t n, uint8_t b) {
    const uint64_t pattern = 0x0101010101010101ull * b;
    while (k + 32 <= n) {
        const uint64_t d0 = loadWord(src + k) ^ pattern;
        const uint64_t d1 = loadWord(src + k + 8) ^ pattern;
        const uint64_t d2 = loadWord(src + k + 16) ^ pattern;
        const uint64_t d3 = loadWord(src + k + 24) ^ pattern;
        if ((d0 | d1 | d2 | d3) != 0) {
            if (d0) return k + firstDifferentByte(d0);
            if (d1) return k + 8 + firstDifferentByte(d1);
            if (d2) return k + 16 + firstDifferentByte(d2);
            return k + 24 + firstDifferentByte(d3);
        }
        k += 32;
    }
    while (k + 8 <= n) {
        const uint64_t diff = loadWord(src + k) ^ pattern;
        if (diff != 0) return k + firstDifferentByte(diff);
        k += 8;
    }
    while (k < n && src[k] == b) ++k;
    return k;
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same, sixty-four bytes a step: the padding of a text record (hundreds
// of spaces after a short line) is most of what a packer reads.
__attribute__((target("avx2"))) size_t stretchEndWide(const uint8_t* src, size_t k, size_t n, uint8_t b) {
    const __m256i pattern = _mm256_set1_epi8(static_cast<char>(b));
    while (k + 64 <= n) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + k));
        const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + k + 32));
        const uint32_t ex = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, pattern)));
        const uint32_t ey = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(y, pattern)));
        const uint64_t differ = ~(uint64_t(ex) | uint64_t(ey) << 32);
        if (differ != 0) return k + static_cast<size_t>(std::countr_zero(differ));
        k += 64;
    }
    return stretchEndWords(src, k, n, b);
}

// The same, one hundred and twenty-eight bytes a step, with 512-bit compares.
__attribute__((target("avx512bw"))) size_t stretchEndWidest(const uint8_t* src, size_t k, size_t n, uint8_t b) {
    const __m512i pattern = _mm512_set1_epi8(static_cast<char>(b));
    while (k + 128 <= n) {
        const uint64_t ex = _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(src + k), pattern);
        const uint64_t ey = _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(src + k + 64), pattern);
        if ((ex & ey) != ~uint64_t(0)) {
            if (ex != ~uint64_t(0)) return k + static_cast<size_t>(std::countr_zero(~ex));
            return k + 64 + static_cast<size_t>(std::countr_zero(~ey));
        }
        k += 128;
    }
    return stretchEndWide(src, k, n, b);
}

#endif

// Index of the first byte at or after `from` that differs from b (n when the
// stretch reaches the end).
inline size_t stretchEnd(const uint8_t* src, size_t from, size_t n, uint8_t b) {
    size_t k = from;
    if (k >= n || src[k] != b) return k;
    ++k;
#if defined(__x86_64__) && defined(__GNUC__)
    if (platform::hasAvx512bw() && n - k >= 128) return stretchEndWidest(src, k, n, b);
    if (platform::hasAvx2() && n - k >= 64) return stretchEndWide(src, k, n, b);
#endif
    return stretchEndWords(src, k, n, b);
}

// Skips literal bytes eight at a time: returns the first index >= i at which
// four equal bytes start, or an index near the end from which the caller goes
// on byte by byte (backed up to the start of the stretch it stands in, so a
// stretch of three that ends the record is still seen whole).
inline size_t skipLiteral(const uint8_t* src, size_t i, size_t n, size_t literalStart) {
    if constexpr (std::endian::native != std::endian::little) {
        return i;
    } else {
        constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
        constexpr uint64_t kStarts = 0x0000008080808080ull;  // bytes 0..4 can start a run of 4 here
        while (i + 8 <= n) {
            const uint64_t word = loadWord(src + i);
            const uint64_t pairs = word ^ (word >> 8);  // byte j zero: src[i+j] == src[i+j+1]
            const uint64_t zero = ~(((pairs & kLow7) + kLow7) | pairs | kLow7);  // high bit per zero byte
            const uint64_t runs = zero & (zero >> 8) & (zero >> 16) & kStarts;
            if (runs != 0) return i + static_cast<size_t>(std::countr_zero(runs) / 8);
            i += 5;
        }
        while (i > literalStart && src[i - 1] == src[i]) --i;
        return i;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
// Thirty-two possible run starts a step: a start j has src[j] == src[j + 1]
// == src[j + 2] == src[j + 3]. Stops where fewer than 35 bytes remain and
// leaves the rest to skipLiteral.
__attribute__((target("avx2"))) size_t skipLiteralWide(const uint8_t* src, size_t i, size_t n) {
    while (i + 35 <= n) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 1));
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 2));
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 3));
        const __m256i starts =
            _mm256_and_si256(_mm256_cmpeq_epi8(a, b), _mm256_and_si256(_mm256_cmpeq_epi8(b, c), _mm256_cmpeq_epi8(c, d)));
        const uint32_t mask = static_cast<uint32_t>(_mm256_movemask_epi8(starts));
        if (mask != 0) return i + static_cast<size_t>(std::countr_zero(mask));
        i += 32;
    }
    return i;
}
#endif

// The first index >= i at which four equal bytes start, or one near the end
// (see skipLiteral).
inline size_t nextRunStart(const uint8_t* src, size_t i, size_t n, size_t literalStart) {
#if defined(__x86_64__) && defined(__GNUC__)
    if (platform::hasAvx2() && i + 35 <= n) {
        i = skipLiteralWide(src, i, n);
        if (i + 35 <= n) return i;  // a run starts here
    }
#endif
    return skipLiteral(src, i, n, literalStart);
}

// Writes the control bytes of a block; returns the bytes written.
inline size_t writeHeader(uint8_t* out, uint8_t kind, size_t count) {
    if (count <= 63) {
        out[0] = static_cast<uint8_t>(kind | count);
        return 1;
    }
    if (count <= 8191) {
        out[0] = static_cast<uint8_t>(kind | 0x40 | (count >> 8));
        out[1] = static_cast<uint8_t>(count);
        return 2;
    }
    if (count <= 0xFFFF) {
        out[0] = static_cast<uint8_t>(kind | 0x7F);
        out[1] = static_cast<uint8_t>(count);
        out[2] = static_cast<uint8_t>(count >> 8);
        return 3;
    }
    out[0] = static_cast<uint8_t>(kind | 0x70);
    for (int i = 0; i < 4; ++i) out[1 + i] = static_cast<uint8_t>(count >> (8 * i));
    return 5;
}

}  // namespace

size_t packHeaderSize(size_t count) {
    if (count <= 63) return 1;
    if (count <= 8191) return 2;
    if (count <= 0xFFFF) return 3;
    return 5;
}

size_t packRecord(const uint8_t* src, size_t n, uint8_t* out, size_t room, size_t uniformFrom) {
    if (uniformFrom > n) uniformFrom = n;
    const uint8_t tail = n > 0 ? src[n - 1] : 0;
    size_t used = 0;
    size_t literalStart = 0;
    size_t i = 0;
    auto flushLiteral = [&](size_t end) -> bool {
        const size_t count = end - literalStart;
        if (count == 0) return true;
        const size_t need = packHeaderSize(count) + count;
        if (used + need > room) return false;
        used += writeHeader(out + used, kLiteral, count);
        std::memcpy(out + used, src + literalStart, count);
        used += count;
        return true;
    };
    while (i < n) {
        i = nextRunStart(src, i, n, literalStart);
        if (i >= n) break;
        const uint8_t b = src[i];
        // A stretch of the padding byte that reaches the promised uniform
        // tail runs on to the end; only the bytes before the tail are read.
        size_t end;
        if (i < uniformFrom) {
            end = stretchEnd(src, i + 1, uniformFrom, b);
            if (end == uniformFrom && b == tail) end = n;
        } else {
            end = b == tail ? n : stretchEnd(src, i + 1, n, b);
        }
        const size_t length = end - i;
        if (length >= 4 || (length == 3 && end == n)) {
            if (!flushLiteral(i)) return room + 1;
            const size_t need = packHeaderSize(length) + 1;
            if (used + need > room) return room + 1;
            used += writeHeader(out + used, 0, length);
            out[used++] = b;
            literalStart = end;
        }
        // A short stretch stays in the literal that is being collected; the
        // stretch is maximal, so no run can start inside it.
        i = end;
    }
    if (!flushLiteral(n)) return room + 1;
    return used;
}

namespace {

// The decoder behind unpackRecord, unpackRecordOver and unpackText.
// `clean`: out[clean..n) already all equal out[n - 1], so a last run of that
// byte need only be written below `clean`. A last run of `skip` (when 0 to
// 255) is not written at all. *mark: where the last run of the record's last
// byte begins (n when the record does not end in a run). Returns the bytes
// decoded up to where decoding stopped (n, or limit, or where a skipped run
// begins), SIZE_MAX when the coding is damaged or falls short of `limit`.
size_t unpackInto(const uint8_t* in, size_t length, uint8_t* out, size_t n, size_t limit, size_t clean, int skip,
                  size_t* mark) {
    if (limit > n) limit = n;
    size_t pos = 0;
    size_t written = 0;
    *mark = n;
    while (written < limit) {
        if (pos >= length) return SIZE_MAX;
        const uint8_t control = in[pos++];
        size_t count = control & 0x3F;
        if (control & 0x40) {
            const uint8_t low6 = control & 0x3F;
            if (low6 == 0x3F) {
                if (pos + 2 > length) return SIZE_MAX;
                count = size_t(in[pos]) | size_t(in[pos + 1]) << 8;
                pos += 2;
            } else if (low6 == 0x30) {
                if (pos + 4 > length) return SIZE_MAX;
                count = 0;
                for (int k = 0; k < 4; ++k) count |= size_t(in[pos + k]) << (8 * k);
                pos += 4;
            } else if (low6 < 0x30) {
                if (pos + 1 > length) return SIZE_MAX;
                count = size_t(low6) << 8 | in[pos];
                pos += 1;
            } else {
                return SIZE_MAX;  // 0x31..0x3E are not a count form
            }
        }
        if (count > n - written) return SIZE_MAX;
        const size_t take = count < limit - written ? count : limit - written;
        if (control & kLiteral) {
            if (count > length - pos) return SIZE_MAX;
            std::memcpy(out + written, in + pos, take);
            pos += count;
        } else {
            if (pos >= length) return SIZE_MAX;
            const uint8_t fill = in[pos];
            pos += 1;
            if (written + count == n) {
                // The record's last run: what the buffer already holds of it
                // past `clean` need not be written again.
                *mark = written;
                if (fill == skip) return written;
                if (clean < n && out[n - 1] == fill && clean < written + take) {
                    if (clean > written) std::memset(out + written, fill, clean - written);
                    written += take;
                    continue;
                }
            }
            std::memset(out + written, fill, take);
        }
        written += take;
    }
    return written;
}

}  // namespace

bool unpackRecord(const uint8_t* in, size_t length, uint8_t* out, size_t n, size_t limit) {
    size_t mark;
    return unpackInto(in, length, out, n, limit, n, -1, &mark) != SIZE_MAX;
}

size_t unpackRecordOver(const uint8_t* in, size_t length, uint8_t* out, size_t n, size_t clean) {
    size_t mark;
    if (unpackInto(in, length, out, n, n, clean, -1, &mark) == SIZE_MAX) return SIZE_MAX;
    return mark;
}

size_t unpackText(const uint8_t* in, size_t length, uint8_t* out, size_t n, uint8_t pad) {
    size_t mark;
    return unpackInto(in, length, out, n, n, n, pad, &mark);
}

namespace {

void collectTidy(const std::vector<FieldDesc>& fields, size_t first, size_t last, uint32_t base,
                 uint32_t recordSize, std::vector<TidyField>& out) {
    size_t i = first;
    while (i < last) {
        const FieldDesc& f = fields[i];
        if (f.type == FieldType::Group) {
            const size_t membersEnd = i + 1 + f.groupFieldCount;
            for (uint32_t e = 0; e < f.elements; ++e) {
                const uint32_t elementBase = base + e * f.size;
                collectTidy(fields, i + 1, membersEnd < last ? membersEnd : last,
                            elementBase, recordSize, out);
            }
            i = membersEnd;
            continue;
        }
        if (f.type == FieldType::CString || f.type == FieldType::PString) {
            for (uint32_t e = 0; e < f.elements; ++e) {
                const uint64_t offset = uint64_t(base) + f.offset + uint64_t(e) * f.size;
                if (f.size == 0 || offset + f.size > recordSize) continue;
                out.push_back({static_cast<uint32_t>(offset), f.size, f.type == FieldType::CString});
            }
        }
        ++i;
    }
}

}  // namespace

std::vector<TidyField> tidyFields(const RecordLayout& layout, uint32_t recordSize) {
    std::vector<TidyField> out;
    collectTidy(layout.fields(), 0, layout.fields().size(), 0, recordSize, out);
    return out;
}

void tidyRecord(const std::vector<TidyField>& fields, uint8_t* record) {
    for (const TidyField& f : fields) {
        uint8_t* p = record + f.offset;
        if (f.zeroTerminated) {
            auto* zero = static_cast<uint8_t*>(std::memchr(p, 0, f.size));
            if (zero) std::memset(zero, 0, f.size - static_cast<uint32_t>(zero - p));
        } else {
            uint32_t length = p[0];
            if (length > f.size - 1) length = f.size - 1;
            const uint8_t fill = p[length];  // the text's last byte, or the length byte
            std::memset(p + 1 + length, fill, f.size - 1 - length);
        }
    }
}

}  // namespace varnok
