// The pieces a load reads a text file with: the appender that turns lines
// into queue entries (or into a batch of them), the reading of a stretch of
// the file through a line splitter, and the second half of a large file
// read on a helper thread while the loading thread reads the first.
//
// Two halves load exactly as one stretch would: the second begins at a line
// start (just past a line end of the file's own kind), so each half splits
// into the lines the whole file holds there; the second half's lines go
// into a batch coded as ADD would store them, with their long-line tails
// and header lines numbered from 1, and are appended after the first half's
// lines, renumbered. A half that fails to read or runs out of memory makes
// the whole load fail as the same failure of one stretch would.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "app/txa/header_lines.h"
#include "app/txa/line_splitter.h"
#include "app/txa/long_line_tails.h"
#include "app/txa/progress.h"
#include "platform/plain_file.h"
#include "runtime/queue/queue.h"
#include "runtime/queue/queue_batch.h"

namespace varnok::app {

// Appends lines to a queue: copies each into its record, pads only what the
// previous line left behind, and keeps the tails of long lines and the
// header lines. With a batch, the lines go into the batch instead (on any
// thread; the record is then a copy of the appender's own).
struct LineAppender {
    QueueDecl* queue;
    LongLineTails* tails;
    HeaderLines* headers;
    uint8_t* record;             // the queue's buffer, or the batch's own record
    QueueBatch* batch = nullptr;
    size_t filled = 0;           // bytes of the record that may differ from spaces
    uint32_t lines = 0;          // entries appended so far
    bool failed = false;         // memory ran out
    bool spacePadded = false;    // the cleared record holds only spaces

    // A LineSplitter sink.
    static bool add(void* context, const char* text, size_t length);
};

// How a stretch's reading ended.
enum class ReadEnd { Done, Failed, Stopped };

// Bytes read so far, shared by the two threads of a load in halves.
using BytesRead = std::atomic<uint64_t>;

// Feeds the bytes [from, to) of the file to the splitter in chunks of the
// buffer's size, then the last line if it has no line end (also after a
// failed read: the part read stays). Failed when a read failed (*error is
// then the file's errno), Stopped when the sink refused a line. Each chunk
// is added to *read; progress (when given) hears of *read against total.
ReadEnd readStretch(platform::InputFile& file, uint64_t from, uint64_t to, std::vector<char>& buffer,
                    LineSplitter& splitter, const LineAppender& appender, BytesRead& read, Progress* progress,
                    uint64_t total, int* error);

// The second half of a large file, read into a batch on a helper thread.
class SecondHalf {
public:
    // Starts reading the file from the first line start at or after its
    // middle; nullptr (and no thread) when there is none, or no second
    // handle or thread can be had: the file is then read in one stretch.
    static std::unique_ptr<SecondHalf> start(platform::InputFile& file, QueueDecl* queue, uint64_t size, size_t chunk,
                                             LineEnd lineEnd, bool spacePadded, BytesRead& read);
    ~SecondHalf();  // waits for the helper

    // Where the second half begins: the first half ends there.
    uint64_t from() const { return from_; }
    // Waits for the helper, then appends its lines after the appender's,
    // with their tails and header lines; the queue's buffer ends up holding
    // the last line. How the second half's reading ended.
    ReadEnd appendTo(LineAppender& appender, int* error);

private:
    SecondHalf(QueueDecl* queue, uint64_t from, uint64_t to);
    void join();

    QueueBatch batch_;
    LongLineTails tails_;
    HeaderLines headers_;
    std::vector<uint8_t> record_;  // the helper's record
    platform::InputFile file_;
    uint64_t from_, to_;
    ReadEnd end_ = ReadEnd::Done;
    int error_ = 0;
    bool failed_ = false;  // memory ran out
    std::thread helper_;
};

}  // namespace varnok::app
