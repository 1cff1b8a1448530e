// Run-length packing of record images, used by queues whose records are
// 128 bytes or more.
//
// Coding: a sequence of blocks, each a control byte and its data. Bit 7 set:
// a literal block, the count bytes that follow are copied. Bit 7 clear: a run,
// the single byte that follows is repeated count times. The count sits in the
// control byte's bits 0-5 when bit 6 is clear (0..63). With bit 6 set, bits
// 0-5 below 0x30 are the high part of a count whose low byte follows (the
// packer uses this form up to 8191); 0x3F means a 16-bit little-endian count
// follows; 0x30 means a 32-bit little-endian count follows. The packer always
// uses the shortest form. A stretch of four or more equal bytes is a run
// (three or more when it ends the record); shorter stretches stay literal.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/records/record_layout.h"

namespace varnok {

// Codes n bytes of src into out, which has room for `room` bytes. Returns the
// coded length, or room + 1 when the coding does not fit.
//
// `uniformFrom` is the caller's promise that src[uniformFrom..n) all equal
// src[n - 1] (a text padded with spaces): a stretch that reaches it is known
// to run to the end without reading the padding. The coding is the same as
// without the promise.
size_t packRecord(const uint8_t* src, size_t n, uint8_t* out, size_t room, size_t uniformFrom);
inline size_t packRecord(const uint8_t* src, size_t n, uint8_t* out, size_t room) {
    return packRecord(src, n, out, room, n);
}

// Decodes `length` coded bytes into out (n bytes). Stops once `limit` bytes
// (<= n) are written, so a caller that needs only a record's first fields
// decodes only those. False when the coding is damaged or does not fill
// `limit` bytes; out may then be partly written.
bool unpackRecord(const uint8_t* in, size_t length, uint8_t* out, size_t n, size_t limit);

// Decodes a whole record into out (n bytes), whose bytes from `clean` on
// already all equal out[n - 1] (a text buffer padded with spaces, as the
// previous record left it; pass n for no such promise). A record that ends
// in a run of that byte is written only as far as needed. Returns where the
// record's last run begins (from there on out holds only its last byte; n
// when it ends otherwise), SIZE_MAX when the coding is damaged.
size_t unpackRecordOver(const uint8_t* in, size_t length, uint8_t* out, size_t n, size_t clean);

// Decodes a record (n bytes) as text: into out, which has room for n bytes,
// up to where the record's last run of `pad` begins, which is not written.
// Returns the bytes written (the record is those and pad to the end; n when
// it does not end in such a run), SIZE_MAX when the coding is damaged.
size_t unpackText(const uint8_t* in, size_t length, uint8_t* out, size_t n, uint8_t pad);

// Bytes the shortest control form takes for a block of `count` bytes.
size_t packHeaderSize(size_t count);

// The string fields whose slack bytes are tidied before packing, so that
// records with equal values pack to equal codings.
struct TidyField {
    uint32_t offset;
    uint32_t size;
    bool zeroTerminated;  // CSTRING; else PSTRING
};

// Lists the CSTRING and PSTRING fields of a layout, every element of arrays
// and of group arrays included, restricted to the first recordSize bytes.
std::vector<TidyField> tidyFields(const RecordLayout& layout, uint32_t recordSize);

// Tidies a record image in place: in a CSTRING every byte after the first
// zero becomes zero; in a PSTRING every byte after the text becomes the
// text's last byte (the length byte when the text is empty).
void tidyRecord(const std::vector<TidyField>& fields, uint8_t* record);

}  // namespace varnok
