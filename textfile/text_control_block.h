// TextControlBlock: what the text line driver keeps for one open file, from
// OPEN to CLOSE (it lives in FileDecl::driverState meanwhile).
//
// Invariants:
//  - readBuffer.size() >= options.bufferSize + 1 (more while QUICKSCAN lets
//    refills read ahead); the byte after the valid data
//    is a Ctrl-Z, so a scan can stop on it without a bounds test;
//  - bufferFill <= readBuffer.size() - 1; bufferFill == 0 means the buffer holds
//    nothing to be trusted (any write to the file clears it);
//  - fileSize is the size the driver last learnt; it is refreshed where
//    another open may have grown the file: before reads when the file is
//    shared and QUICKSCAN is off, before every append when it is shared;
//  - nextRead is 1-based; lineStart is 0-based;
//  - lockCount counts nested LOCKfile calls; the file lock is held iff > 0;
//  - while controlBitsValid and bufferFill != 0, bit i of controlBits (i <= bufferFill) is set
//    exactly where readBuffer[i] is below 32; bit bufferFill is always set
//    (the Ctrl-Z after the data), so a search for the next set bit ends.
//    Only a refill of the buffer sets it; it is built for QUICKSCAN refills.
#pragma once
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/os_file.h"
#include "textfile/driver_options.h"
#include "textfile/file_decl.h"

namespace varnok::textfile {

// Leaves bytes added by resize() uninitialised. The read buffer is filled
// from the file before any of its bytes is looked at, so zeroing its 64 KB at
// every open would only cost time (the error log opens once per message).
template <typename T>
struct UninitializedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    UninitializedAllocator() = default;
    template <typename U>
    UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
    template <typename U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <typename U, typename... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

class TextControlBlock final : public ReadBufferHost {
public:
    std::string fileName;           // the full name, resolved at OPEN
    uint8_t* record = nullptr;      // the program's record buffer
    uint32_t recordBytes = 0;       // its size: the longest line a read returns
    uint8_t accessMode = 0;         // the byte passed to OPEN
    platform::OsFile file;
    DriverOptions options;
    std::vector<uint8_t, UninitializedAllocator<uint8_t>> readBuffer;
    uint64_t bufferStart = 0;       // file offset of readBuffer[0]
    uint32_t bufferFill = 0;        // valid bytes in readBuffer
    uint64_t lineStart = 0;         // offset of the line last read or written
    uint64_t lineLength = 0;        // bytes it occupies, terminator included
    uint64_t nextRead = 1;          // where NEXT reads, 1-based
    uint64_t fileSize = 0;
    bool haveRecord = false;
    bool readOnly = false;          // opened without write access
    bool shared = false;            // opened deny-none
    bool ctrlZLookedFor = false;    // the first append looked for a trailing Ctrl-Z
    bool oem = false;               // the file's text is in the OEM code page
    bool bytesMeansLine = false;    // BYTES answers the current line length
    uint8_t lockCount = 0;
    std::vector<uint8_t> scratch;   // line image being written; old bytes of a PUT
    std::vector<uint64_t> controlBits;  // control bytes of readBuffer, one bit each
    bool controlBitsValid = false;

    // ReadBufferHost.
    uint32_t recordSize() const override { return recordBytes; }
    bool resizeReadBuffer(uint32_t bytes) override;
    void readBufferChanged() override { bufferFill = 0; }

    // The file size must be asked of the system before positioned reads:
    // another open may append to a shared file. (Appends to a shared file
    // always ask, QUICKSCAN or not.)
    bool refreshesSize() const { return shared && !options.quickScan; }
    // Bytes one refill of the read buffer asks the system for.
    size_t refillSize() const;
    // Forgets buffered bytes that overlap [offset, offset + count).
    void invalidate(uint64_t offset, uint64_t count);
};

}  // namespace varnok::textfile
