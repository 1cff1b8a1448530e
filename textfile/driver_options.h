// DriverOptions: the tunable values a text line driver keeps per open file,
// and the handling of option texts ("CLIP=OFF", "ENDOFRECORD=1,10") that set
// them, both from the file's driver string at OPEN and through SEND.
//
// Option handling never fails and never reports: an unknown option or a
// malformed value is ignored and the previous value stays. Every option
// answers with its previous value as text ("" for an unknown option):
//   FILEBUFFERS  decimal n; the read buffer becomes n * 512 bytes (at least
//                the record size); answers the buffer size in bytes
//   QUICKSCAN    ON/OFF; reads are served from the read buffer while on
//   ENDOFRECORD  n,b1,...,bn; the line terminator bytes; answers them raw
//   CTRLZISEOF   "OFF" makes Ctrl-Z ordinary; any other value makes it end
//                the file; answers ON/OFF
//   CLIP         ON/OFF; trailing spaces are not written while on
//   TAB          signed decimal; tab handling on read; answers it in decimal
// Within an option text, white space is ignored and case does not matter;
// anything after a further "/" belongs to the next option.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace varnok::textfile {

// The driver's side of the read buffer, told about option changes that
// concern it. Implemented by the driver's control block.
class ReadBufferHost {
public:
    virtual ~ReadBufferHost() = default;
    // The file's record size (a read buffer is never smaller).
    virtual uint32_t recordSize() const = 0;
    // Replaces the read buffer with one of the given size; false when memory
    // runs short (the old buffer then stays).
    virtual bool resizeReadBuffer(uint32_t bytes) = 0;
    // QUICKSCAN or the buffer changed: whatever the buffer holds is no longer
    // to be trusted.
    virtual void readBufferChanged() = 0;
};

struct DriverOptions {
    uint32_t bufferSize = 512;        // read buffer bytes
    bool quickScan = false;           // serve reads from the buffer
    bool ctrlZEndsFile = true;        // false: Ctrl-Z (26) is an ordinary byte
    bool clip = true;                 // drop trailing spaces when writing
    int32_t tab = 8;                  // 0 drop, -100 keep, >0 tab stops, <0 -t spaces
    std::string endOfRecord = "\r\n"; // line terminator, never empty

    // The values a file starts with at OPEN for an access mode byte (sharing
    // in the high four bits) and a record size: a 512-byte buffer, 1024 for
    // deny all, deny write and deny read, and at least twice the record size;
    // QUICKSCAN on for those three sharing modes, off for deny none and
    // compatible.
    static DriverOptions forOpen(uint8_t accessMode, uint32_t recordSize);

    // Handles one option text (SEND) and returns the option's previous value
    // as text. The host, when given, is asked for the buffer (FILEBUFFERS
    // halves the size until the allocation succeeds or it is 10 bytes or
    // less) and told when the buffer or QUICKSCAN changed; without a host
    // only the values change and the record size counts as 0.
    std::string send(std::string_view optionText, ReadBufferHost* host = nullptr);

    // Applies a driver string at OPEN: every "/" starts one option, handled
    // as a SEND of the text that follows it.
    void applyDriverString(std::string_view driverString, ReadBufferHost* host = nullptr);
};

// Read buffer bytes for FILEBUFFERS=n: n * 512, counted as 4,294,967,263
// when n is above 8,388,607, and never below the record size.
uint32_t fileBuffersBytes(uint64_t n, uint32_t recordSize);

}  // namespace varnok::textfile
