// LineSplitter: cuts a byte stream, fed in chunks of any size, into lines.
// With LineEnd::CrLf only the pair CR LF ends a line (a lone CR or LF is
// text), also when the pair is split between two chunks; with LineEnd::Lf
// every LF ends a line. The text after the last line end is the last line
// (finish). Lines inside a chunk are passed to the sink without copying;
// only a line that spans chunks is gathered in the pending buffer.
//
// LineEndDetector tells, from the same chunks, whether the stream holds a
// CR LF pair and whether it holds a LF.
#pragma once
#include <cstddef>
#include <string>

namespace varnok::app {

// The line end a text is split at and written back with.
enum class LineEnd { CrLf, Lf };

class LineSplitter {
public:
    // Receives one line without its line end; returns false to stop.
    using Sink = bool (*)(void* context, const char* line, size_t length);

    LineSplitter(LineEnd mode, Sink sink, void* context) : mode_(mode), sink_(sink), context_(context) {}

    // Splits a chunk. False once the sink asked to stop.
    bool feed(const char* chunk, size_t n);
    // Passes on the text after the last line end, if any.
    bool finish();

private:
    bool emit(const char* text, size_t length);

    LineEnd mode_;
    Sink sink_;
    void* context_;
    std::string pending_;  // start of a line that continues in the next chunk
};

class LineEndDetector {
public:
    void feed(const char* chunk, size_t n);
    bool hasCrLf() const { return crlf_; }
    bool hasLf() const { return lf_; }
    // The line end to read the stream with.
    LineEnd lineEnd() const { return (lf_ && !crlf_) ? LineEnd::Lf : LineEnd::CrLf; }

private:
    bool crlf_ = false;
    bool lf_ = false;
    bool lastWasCr_ = false;
};

}  // namespace varnok::app
