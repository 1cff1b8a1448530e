#include "app/txa/line_reading.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "runtime/errors/error_codes.h"

namespace varnok::app {

bool LineAppender::add(void* context, const char* text, size_t length) {
    auto* self = static_cast<LineAppender*>(context);
    uint8_t* record = self->record;
    const size_t recordSize = self->queue->recordSize;
    const size_t n = std::min(length, recordSize);
    std::memcpy(record, text, n);
    if (self->filled > n) std::memset(record + n, ' ', self->filled - n);
    self->filled = n;
    // When everything past the line is padding, packing stops there.
    const uint32_t significant = static_cast<uint32_t>(self->spacePadded ? n : recordSize);
    bool added;
    if (self->batch) {
        added = self->batch->add(record, significant);
    } else {
        if (self->spacePadded)
            ADDPadded(self->queue, significant);
        else
            ADD(self->queue);
        added = errorCode() == NoError;
    }
    if (!added) {
        self->failed = true;
        return false;
    }
    ++self->lines;
    if (n > 0 && text[0] == '[') self->headers->append(self->lines, headerKindOf(record, recordSize));
    if (length > n) self->tails->append(self->lines, std::string_view(text + n, length - n));
    return true;
}

ReadEnd readStretch(platform::InputFile& file, uint64_t from, uint64_t to, std::vector<char>& buffer,
                    LineSplitter& splitter, const LineAppender& appender, BytesRead& read, Progress* progress,
                    uint64_t total, int* error) {
    ReadEnd end = ReadEnd::Done;
    for (uint64_t done = from; done < to;) {
        const int64_t got =
            file.readAt(done, buffer.data(), static_cast<size_t>(std::min<uint64_t>(buffer.size(), to - done)));
        if (got < 0) {
            *error = file.error();
            end = ReadEnd::Failed;
            break;
        }
        if (got == 0) break;  // the file became shorter than its size said
        done += static_cast<uint64_t>(got);
        const uint64_t sum = read.fetch_add(static_cast<uint64_t>(got), std::memory_order_relaxed) +
                             static_cast<uint64_t>(got);
        if (!splitter.feed(buffer.data(), static_cast<size_t>(got))) return ReadEnd::Stopped;
        if (progress) progress->advanced(sum, total);
    }
    if (!appender.failed && !splitter.finish()) return ReadEnd::Stopped;
    return end;
}

namespace {

// The start of the first line that begins at or after `at`: just past the
// first line end found from there, or `size` when there is none (or the
// file cannot be read there). Every CR LF ends a line in a CR LF file, and
// every LF in an LF file, so the stretches before and after split exactly
// as the whole file would.
uint64_t lineStartFrom(platform::InputFile& file, uint64_t at, uint64_t size, LineEnd lineEnd) {
    constexpr size_t kWindow = 64 * 1024;
    std::vector<char> window(kWindow);
    while (at < size) {
        const int64_t got = file.readAt(at, window.data(), static_cast<size_t>(std::min<uint64_t>(kWindow, size - at)));
        if (got <= 0) return size;
        const char* w = window.data();
        for (int64_t i = 0; i < got; ++i) {
            if (w[i] != '\n') continue;
            if (lineEnd == LineEnd::Lf) return at + static_cast<uint64_t>(i) + 1;
            if (i > 0 && w[i - 1] == '\r') return at + static_cast<uint64_t>(i) + 1;
        }
        // Windows overlap by one byte, so a CR LF across two is seen.
        at += got > 1 ? static_cast<uint64_t>(got) - 1 : 1;
    }
    return size;
}

}  // namespace

SecondHalf::SecondHalf(QueueDecl* queue, uint64_t from, uint64_t to)
    : batch_(queue), record_(queue->buffer, queue->buffer + queue->recordSize), from_(from), to_(to) {}

SecondHalf::~SecondHalf() { join(); }

void SecondHalf::join() {
    if (helper_.joinable()) helper_.join();
}

std::unique_ptr<SecondHalf> SecondHalf::start(platform::InputFile& file, QueueDecl* queue, uint64_t size,
                                              size_t chunk, LineEnd lineEnd, bool spacePadded, BytesRead& read) {
    const uint64_t split = lineStartFrom(file, size / 2, size, lineEnd);
    if (split >= size) return nullptr;
    std::unique_ptr<SecondHalf> half(new SecondHalf(queue, split, size));
    if (!half->file_.duplicate(file)) return nullptr;
    SecondHalf* h = half.get();
    try {
        h->helper_ = std::thread([h, queue, chunk, lineEnd, spacePadded, &read] {
            LineAppender appender{queue, &h->tails_, &h->headers_, h->record_.data(), &h->batch_};
            appender.spacePadded = spacePadded;
            std::vector<char> buffer(chunk);
            LineSplitter splitter(lineEnd, &LineAppender::add, &appender);
            // Only the loading thread tells the progress; it reads `read`.
            h->end_ = readStretch(h->file_, h->from_, h->to_, buffer, splitter, appender, read, nullptr, 0, &h->error_);
            h->failed_ = appender.failed;
        });
    } catch (const std::system_error&) {
        return nullptr;  // no thread: one stretch after all
    }
    return half;
}

ReadEnd SecondHalf::appendTo(LineAppender& appender, int* error) {
    join();
    QueueDecl* queue = appender.queue;
    const uint32_t before = RECORDS(queue);
    ADDBatch(queue, batch_);
    const bool batchFailed = errorCode() != NoError;
    const uint32_t added = RECORDS(queue) - before;
    appender.lines = before + added;
    appender.tails->appendFrom(std::move(tails_), before, added);
    appender.headers->appendFrom(headers_, before, added);
    std::memcpy(queue->buffer, record_.data(), queue->recordSize);
    if (failed_ || batchFailed) appender.failed = true;
    if (end_ == ReadEnd::Failed) *error = error_;
    return end_;
}

}  // namespace varnok::app
