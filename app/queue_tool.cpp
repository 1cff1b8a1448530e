#include "app/queue_tool.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/line_splitter.h"
#include "app/txa_records.h"
#include "platform/directory.h"
#include "runtime/error_codes.h"
#include "window/message_box.h"

namespace varnok::app {

namespace {

std::string withoutTrailingSpaces(std::string_view name) {
    size_t end = name.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(name.substr(0, end + 1));
}

// Appends lines to a queue: copies each into the record buffer, pads only
// what the previous line left behind, and keeps the tails of long lines.
struct LineAppender {
    QueueDecl* queue;
    LongLineTails* tails;
    HeaderLines* headers;
    uint8_t* record;
    size_t recordSize;
    size_t filled = 0;     // bytes of the buffer that may differ from spaces
    uint32_t lines = 0;    // entries appended so far
    bool failed = false;   // ADD failed
    bool spacePadded = false;  // the cleared buffer holds only spaces

    static bool add(void* context, const char* text, size_t length) {
        auto* self = static_cast<LineAppender*>(context);
        size_t n = std::min(length, self->recordSize);
        std::memcpy(self->record, text, n);
        if (self->filled > n) std::memset(self->record + n, ' ', self->filled - n);
        self->filled = n;
        // When everything past the line is padding, packing stops there.
        if (self->spacePadded)
            ADDPadded(self->queue, static_cast<uint32_t>(n));
        else
            ADD(self->queue);
        if (errorCode() != NoError) {
            self->failed = true;
            return false;
        }
        ++self->lines;
        if (n > 0 && text[0] == '[') self->headers->append(self->lines);
        if (length > n) self->tails->append(self->lines, std::string_view(text + n, length - n));
        return true;
    }
};

// The line end of a file whose first chunk is at hand: CR LF as soon as one
// pair shows up, LF only when the whole file holds no pair but does hold LF.
// The rest of the file is read ahead only while no pair has been seen.
LineEnd lineEndOfFile(platform::InputFile& file, const char* first, size_t n, uint64_t size, size_t chunk) {
    LineEndDetector detector;
    detector.feed(first, n);
    if (detector.hasCrLf() || n >= size) return detector.lineEnd();
    std::vector<char> scan(chunk);
    for (uint64_t at = n; at < size && !detector.hasCrLf();) {
        int64_t more = file.readAt(at, scan.data(), static_cast<size_t>(std::min<uint64_t>(chunk, size - at)));
        if (more <= 0) break;  // a failing read is reported by the load itself
        detector.feed(scan.data(), static_cast<size_t>(more));
        at += static_cast<uint64_t>(more);
    }
    return detector.lineEnd();
}

}  // namespace

uint8_t QueueTool::LoadText(QueueDecl* queue, std::string_view fileName) {
    if (!queue || !queue->buffer) return 0;
    std::string name = withoutTrailingSpaces(fileName);
    std::vector<platform::DirectoryEntry> listing;
    if (platform::listDirectory(name, listing) == 0) return 1;  // no such ordinary file: silent
    uint64_t size = listing.front().size;

    platform::InputFile file;
    if (!file.open(name)) {
        lastError_ = file.error();
        window::message(name, "Error Open");
        return 0;
    }
    lastError_ = 0;
    loadedFile_ = file.identity();

    size_t chunk = static_cast<size_t>(std::min<uint64_t>(size, static_cast<uint64_t>(std::max(MaxBufSize, 1))));
    std::vector<char> buffer(std::max<size_t>(chunk, 1));
    FREE(queue);
    CLEAR(queue);
    tails_.clear();
    headers_.clear();
    loadedQueue_ = queue;
    lineEnd_ = LineEnd::CrLf;

    LineAppender appender{queue, &tails_, &headers_, queue->buffer, queue->recordSize};
    // A text line queue clears to spaces; then the bytes past each line are
    // all spaces, which lets ADD skip reading them. Any other layout gets the
    // plain ADD.
    appender.spacePadded = std::all_of(queue->buffer, queue->buffer + queue->recordSize, [](uint8_t c) { return c == ' '; });
    LineSplitter splitter(LineEnd::CrLf, &LineAppender::add, &appender);
    uint8_t result = 1;
    uint64_t done = 0;
    while (done < size) {
        int64_t got = file.readAt(done, buffer.data(), static_cast<size_t>(std::min<uint64_t>(chunk, size - done)));
        if (got < 0) {
            lastError_ = file.error();
            window::message("Error Reading");
            result = 0;
            break;
        }
        if (got == 0) break;  // the file became shorter than its listing said
        if (done == 0) {
            lineEnd_ = lineEndOfFile(file, buffer.data(), static_cast<size_t>(got), size, chunk);
            splitter = LineSplitter(lineEnd_, &LineAppender::add, &appender);
        }
        done += static_cast<uint64_t>(got);
        if (!splitter.feed(buffer.data(), static_cast<size_t>(got))) break;
    }
    if (!appender.failed) splitter.finish();
    if (appender.failed) {
        window::message(errorText(InsufficientMemoryErr));
        result = 0;
    }
    loadedChanges_ = CHANGES(queue);
    return result;
}

bool QueueTool::tailsValidFor(QueueDecl* queue) {
    return queue == loadedQueue_ && queue && CHANGES(queue) == loadedChanges_;
}

const std::vector<uint32_t>* QueueTool::headerLines(QueueDecl* queue) {
    return tailsValidFor(queue) ? headers_.lines() : nullptr;
}

LineEnd QueueTool::lineEndOf(const QueueDecl* queue) const {
    return queue == loadedQueue_ ? lineEnd_ : LineEnd::CrLf;
}

uint32_t QueueTool::deleteLines(QueueDecl* queue, int32_t first, int32_t count) {
    bool tracked = tailsValidFor(queue);
    uint32_t deleted = 0;
    for (int32_t k = 0; k < count; ++k) {
        GET(queue, first);
        if (errorCode() != NoError) break;  // past the end: nothing more to delete
        DELETE(queue);
        if (errorCode() == NoError) ++deleted;
    }
    if (tracked) {
        tails_.eraseLines(static_cast<uint32_t>(first), deleted);
        headers_.erase(static_cast<uint32_t>(first), deleted);
        loadedChanges_ = CHANGES(queue);
    }
    return deleted;
}

uint8_t QueueTool::SaveText(QueueDecl* queue, std::string_view fileName) {
    if (!queue || !queue->buffer) return 0;
    std::string name = withoutTrailingSpaces(fileName);
    bool withTails = tailsValidFor(queue) && !tails_.empty();
    std::string_view lineEnd = lineEndOf(queue) == LineEnd::Lf ? std::string_view("\n") : std::string_view("\r\n");

    platform::SafeOutputFile out;
    if (!out.create(name)) {
        lastError_ = out.error();
        window::message("Error Open");
        return 0;
    }
    constexpr size_t outSize = size_t(1) << 20;
    std::vector<char> buffer(outSize);
    size_t used = 0;
    // Gathers bytes into the output buffer, writing it out when full.
    auto put = [&](const char* bytes, size_t n) {
        if (used + n > outSize) {
            if (!out.write(buffer.data(), used)) return false;
            used = 0;
            if (n > outSize) return out.write(bytes, n);
        }
        std::memcpy(buffer.data() + used, bytes, n);
        used += n;
        return true;
    };

    LongLineTails::Cursor tailCursor(tails_);
    uint32_t count = RECORDS(queue);
    size_t recordSize = queue ? queue->recordSize : 0;
    bool ok = true;
    for (uint32_t i = 1; i <= count && ok; ++i) {
        GET(queue, static_cast<int32_t>(i));
        if (errorCode() != NoError) continue;
        const uint8_t* record = queue->buffer;
        std::string_view tail = withTails ? tailCursor.tailOf(i) : std::string_view();
        size_t tailLength = tail.empty() ? 0 : trimmedLength(reinterpret_cast<const uint8_t*>(tail.data()), tail.size());
        if (tailLength > 0) {
            ok = put(reinterpret_cast<const char*>(record), recordSize) && put(tail.data(), tailLength);
        } else {
            ok = put(reinterpret_cast<const char*>(record), trimmedLength(record, recordSize));
        }
        ok = ok && put(lineEnd.data(), lineEnd.size());
    }
    if (ok && used > 0) ok = out.write(buffer.data(), used);
    if (ok) ok = out.commit();
    if (!ok) {
        lastError_ = out.error();
        out.abandon();
        window::message("Error WriteFile");
        return 0;
    }
    lastError_ = 0;
    return 1;
}

}  // namespace varnok::app
