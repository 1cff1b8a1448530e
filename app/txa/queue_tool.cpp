#include "app/txa/queue_tool.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "app/txa/line_splitter.h"
#include "app/txa/open_failure.h"
#include "app/txa/text_save.h"
#include "app/txa/txa_records.h"
#include "platform/directory.h"
#include "platform/output_buffers.h"
#include "platform/trailing_spaces.h"
#include "queueview/export/csv_export.h"
#include "queueview/export/xml_export.h"
#include "queueview/viewer/queue_viewer.h"
#include "runtime/errors/error_codes.h"
#include "runtime/queue/queue_batch.h"
#include "window/message_box.h"

namespace varnok::app {

namespace {

// Appends lines to a queue: copies each into the record buffer, pads only
// what the previous line left behind, and keeps the tails of long lines.
// With a batch, the lines go into the batch instead of the queue (on
// another thread; the record is then the appender's own copy).
struct LineAppender {
    QueueDecl* queue;
    LongLineTails* tails;
    HeaderLines* headers;
    uint8_t* record;
    size_t recordSize;
    QueueBatch* batch = nullptr;
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
        const uint32_t significant = static_cast<uint32_t>(self->spacePadded ? n : self->recordSize);
        bool added;
        if (self->batch) {
            added = self->batch->add(self->record, significant);
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
        if (n > 0 && text[0] == '[') self->headers->append(self->lines, headerKindOf(self->record, self->recordSize));
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

namespace {

// How reading a stretch of the file ended.
enum class ReadEnd { Done, Failed, Stopped };

// Feeds the bytes [from, to) of the file to a splitter in chunks, then passes
// on a last line without line end. Failed when a read failed (*error is
// then its errno), Stopped when the sink refused a line.
ReadEnd readStretch(platform::InputFile& file, uint64_t from, uint64_t to, std::vector<char>& buffer,
                    LineSplitter& splitter, const LineAppender& appender, int* error) {
    ReadEnd end = ReadEnd::Done;
    for (uint64_t done = from; done < to;) {
        int64_t got = file.readAt(done, buffer.data(), static_cast<size_t>(std::min<uint64_t>(buffer.size(), to - done)));
        if (got < 0) {
            *error = file.error();
            end = ReadEnd::Failed;
            break;
        }
        if (got == 0) break;  // the file became shorter than its listing said
        done += static_cast<uint64_t>(got);
        if (!splitter.feed(buffer.data(), static_cast<size_t>(got))) return ReadEnd::Stopped;
    }
    if (!appender.failed && !splitter.finish()) return ReadEnd::Stopped;
    return end;
}

// The start of the first line that begins at or after `at`: just past the
// first line end found from there, or `size` when there is none (or the
// file cannot be read there). Every CR LF ends a line in a CR LF file, and
// every LF in an LF file, so the stretches before and after split exactly
// as the whole file would.
uint64_t lineStartFrom(platform::InputFile& file, uint64_t at, uint64_t size, LineEnd lineEnd) {
    constexpr size_t kWindow = 64 * 1024;
    std::vector<char> window(kWindow);
    while (at < size) {
        int64_t got = file.readAt(at, window.data(), static_cast<size_t>(std::min<uint64_t>(kWindow, size - at)));
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

// The second half of a large file, read into a batch on a helper thread.
struct SecondHalf {
    explicit SecondHalf(QueueDecl* queue) : batch(queue), record(queue->buffer, queue->buffer + queue->recordSize) {}
    QueueBatch batch;
    LongLineTails tails;
    HeaderLines headers;
    std::vector<uint8_t> record;  // the helper's record buffer
    platform::InputFile file;
    uint64_t from = 0, to = 0;    // the stretch of the file
    ReadEnd end = ReadEnd::Done;
    int error = 0;
    bool failed = false;  // memory ran out
};

// Finds where the second half of the file starts and starts the helper
// thread that reads it; nullptr (and no thread) when the file has no line
// start past its middle or no thread can be had.
std::unique_ptr<SecondHalf> startSecondHalf(platform::InputFile& file, QueueDecl* queue, uint64_t size, size_t chunk,
                                            LineEnd lineEnd, bool spacePadded, std::thread& helper) {
    const uint64_t split = lineStartFrom(file, size / 2, size, lineEnd);
    if (split >= size) return nullptr;
    auto half = std::make_unique<SecondHalf>(queue);
    if (!half->file.duplicate(file)) return nullptr;
    half->from = split;
    half->to = size;
    try {
        helper = std::thread([queue, chunk, spacePadded, lineEnd, h = half.get()] {
            LineAppender a{queue, &h->tails, &h->headers, h->record.data(), queue->recordSize, &h->batch};
            a.spacePadded = spacePadded;
            std::vector<char> buffer(chunk);
            LineSplitter splitter(lineEnd, &LineAppender::add, &a);
            h->end = readStretch(h->file, h->from, h->to, buffer, splitter, a, &h->error);
            h->failed = a.failed;
        });
    } catch (const std::system_error&) {
        return nullptr;  // no thread: one stretch after all
    }
    return half;
}

// Appends the second half's lines after the first's, with their long-line
// tails and header lines; the buffer ends up holding the last line.
void appendSecondHalf(SecondHalf& half, QueueDecl* queue, LineAppender& appender, LongLineTails& tails,
                      HeaderLines& headers) {
    const uint32_t before = appender.lines;
    ADDBatch(queue, half.batch);
    const bool batchFailed = errorCode() != NoError;
    const uint32_t added = RECORDS(queue) - before;
    appender.lines = before + added;
    tails.appendFrom(half.tails, before, added);
    headers.appendFrom(half.headers, before, added);
    std::memcpy(queue->buffer, half.record.data(), queue->recordSize);
    if (half.failed || batchFailed) appender.failed = true;
}

}  // namespace

uint8_t QueueTool::LoadText(QueueDecl* queue, std::string_view fileName) {
    if (!queue || !queue->buffer) return 0;
    std::string name(platform::withoutTrailingSpaces(fileName));
    std::vector<platform::DirectoryEntry> listing;
    if (platform::listDirectory(name, listing) == 0) return 1;  // no such ordinary file: silent
    changedWhileRead_ = false;

    platform::InputFile file;
    if (!file.open(name)) {
        lastError_ = file.error();
        showOpenFailure(name, lastError_);
        return 0;
    }
    lastError_ = 0;
    loadedFile_ = file.identity();
    // The size of the file opened (the name may have been given to another
    // file since it was listed), and its stamp, to tell afterwards whether
    // it was written while it was read.
    const platform::FileStamp stamp = file.stamp();
    const uint64_t size = stamp.valid ? stamp.size : listing.front().size;

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

    // The line end is known from the first chunk (or from reading ahead).
    int64_t first = size > 0 ? file.readAt(0, buffer.data(), chunk) : 0;
    if (first > 0) lineEnd_ = lineEndOfFile(file, buffer.data(), static_cast<size_t>(first), size, chunk);

    // A large file is read in two stretches at once, split at a line start
    // near the middle; a helper thread reads the second.
    std::unique_ptr<SecondHalf> second;
    std::thread helper;
    uint64_t split = size;
    if (first > 0 && size >= ParallelFromBytes && size >= 2) {
        second = startSecondHalf(file, queue, size, buffer.size(), lineEnd_, appender.spacePadded, helper);
        if (second) split = second->from;
    }

    // With a helper at work, this thread codes its lines into a batch too:
    // cheaper per line than ADD, and both batches are appended in one copy.
    std::optional<QueueBatch> firstBatch;
    if (helper.joinable()) {
        firstBatch.emplace(queue);
        appender.batch = &*firstBatch;
    }
    LineSplitter splitter(lineEnd_, &LineAppender::add, &appender);
    uint8_t result = 1;
    int readError = 0;
    ReadEnd end = ReadEnd::Done;
    if (first < 0) {
        end = ReadEnd::Failed;
        readError = file.error();
    } else if (first > 0) {
        // The first chunk is at hand; the rest of the stretch follows.
        const uint64_t head = std::min<uint64_t>(static_cast<uint64_t>(first), split);
        if (!splitter.feed(buffer.data(), static_cast<size_t>(head))) end = ReadEnd::Stopped;
        if (end == ReadEnd::Done) end = readStretch(file, head, split, buffer, splitter, appender, &readError);
    }
    if (helper.joinable()) helper.join();
    if (firstBatch) {
        ADDBatch(queue, *firstBatch);
        if (errorCode() != NoError) appender.failed = true;
        appender.lines = RECORDS(queue);
    }
    // The second stretch counts only when the first was read to its end.
    if (second && end == ReadEnd::Done && !appender.failed) {
        appendSecondHalf(*second, queue, appender, tails_, headers_);
        if (second->end == ReadEnd::Failed) {
            end = ReadEnd::Failed;
            readError = second->error;
        }
    }
    // A file written meanwhile (cut short, grown, rewritten) may have given
    // lines of two versions: that is no load of the file.
    if (end == ReadEnd::Done && !(file.stamp() == stamp)) {
        changedWhileRead_ = true;
        end = ReadEnd::Failed;
        readError = 0;
    }
    if (end == ReadEnd::Failed) {
        lastError_ = readError;
        window::message("Error Reading");
        result = 0;
    }
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

const std::vector<HeaderKind>* QueueTool::headerKinds(QueueDecl* queue) {
    return headerLines(queue) ? &headers_.kinds() : nullptr;
}

LineEnd QueueTool::lineEndOf(const QueueDecl* queue) const {
    return queue == loadedQueue_ ? lineEnd_ : LineEnd::CrLf;
}

uint32_t QueueTool::deleteLines(QueueDecl* queue, int32_t first, int32_t count) {
    bool tracked = tailsValidFor(queue);
    uint32_t deleted = 0;
    uint32_t clean = queue ? queue->recordSize : 0;  // GET rewrites only what differs
    for (int32_t k = 0; k < count; ++k) {
        clean = GETPadded(queue, first, clean);
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
    std::string name(platform::withoutTrailingSpaces(fileName));
    bool withTails = tailsValidFor(queue) && !tails_.empty();
    const bool lfEnds = lineEndOf(queue) == LineEnd::Lf;
    std::string_view lineEnd = lfEnds ? std::string_view("\n") : std::string_view("\r\n");

    const size_t recordSize = queue->recordSize;
    // Room for a whole record and its line end, at least a mebibyte.
    TextSave save(std::max<size_t>(size_t(1) << 20, recordSize + 1 + lineEnd.size()));
    if (!save.create(name)) {
        lastError_ = save.error();
        return 0;
    }
    platform::OutputBuffers& output = save.output();
    LongLineTails::Cursor tailCursor(tails_);
    uint32_t count = RECORDS(queue);
    bool ok = true;
    // Each line is copied from its entry straight into the output buffer,
    // without the padding after its text.
    for (uint32_t i = 1; i <= count && ok; ++i) {
        // The record, a space that may have to stay after a CR, the line end.
        auto* line = reinterpret_cast<uint8_t*>(output.reserve(recordSize + 1 + lineEnd.size()));
        if (!line) {
            ok = false;
            break;
        }
        size_t n = GETText(queue, static_cast<int32_t>(i), line, ' ');
        if (!errorSurelyClear()) continue;
        std::string_view tail = withTails ? tailCursor.tailOf(i) : std::string_view();
        size_t tailLength = tail.empty() ? 0 : trimmedLength(reinterpret_cast<const uint8_t*>(tail.data()), tail.size());
        if (tailLength > 0) {
            // The whole record, spaces included, then the rest of the line.
            std::memset(line + n, ' ', recordSize - n);
            output.used(recordSize);
            const bool keepSpace = lfEnds && tail[tailLength - 1] == '\r';
            ok = output.put(tail.data(), tailLength) && (!keepSpace || output.put(" ", 1)) &&
                 output.put(lineEnd.data(), lineEnd.size());
            continue;
        }
        // The padding usually begins right after the text.
        n = n > 0 && line[n - 1] == ' ' ? trimmedLength(line, n) : n;
        // A CR before an LF line end would make a CR LF pair, and the file
        // would read back as a CR LF file with other lines: one of the
        // trailing spaces stays between them (the record reads the same).
        if (lfEnds && n > 0 && line[n - 1] == '\r') line[n++] = ' ';
        // Room for the line end was reserved with the line.
        std::memcpy(line + n, lineEnd.data(), lineEnd.size());
        output.used(n + lineEnd.size());
    }
    // The buffer holds the last line afterwards, as it would after GETs.
    if (ok && count > 0) GET(queue, static_cast<int32_t>(count));
    const bool saved = save.finish(ok);
    lastError_ = save.error();
    return saved ? 1 : 0;
}

namespace {

// An export file written as SaveText writes: CR LF after each line, no
// trailing spaces, a temporary file renamed into place at the end.
class SavedExport final : public queueview::ExportOutput {
public:
    SavedExport(int& lastError) : lastError_(lastError), save_(size_t(1) << 20) {}
    bool create(const std::string& name) {
        if (save_.create(name)) return true;
        lastError_ = save_.error();
        return false;
    }
    bool add(std::string_view line) override {
        const size_t end = line.find_last_not_of(' ');
        line = end == std::string_view::npos ? std::string_view() : line.substr(0, end + 1);
        platform::OutputBuffers& output = save_.output();
        ok_ = ok_ && output.put(line.data(), line.size()) && output.put("\r\n", 2);
        return ok_;
    }
    uint8_t finish() override {
        const bool saved = save_.finish(ok_);
        lastError_ = save_.error();
        return saved ? 1 : 0;
    }

private:
    int& lastError_;
    TextSave save_;
    bool ok_ = true;
};

}  // namespace

queueview::ExportWriter QueueTool::exportWriter() {
    queueview::ExportWriter writer;
    writer.create = [this](std::string_view fileName) -> std::unique_ptr<queueview::ExportOutput> {
        auto out = std::make_unique<SavedExport>(lastError_);
        if (!out->create(std::string(platform::withoutTrailingSpaces(fileName)))) return nullptr;
        return out;
    };
    // A line longer than the record: the record, spaces included, and the
    // tail kept aside, as SaveText writes it.
    writer.completeValue = [this](QueueDecl* queue, uint32_t position, int field, std::string& value) {
        if (tails_.empty() || field != 1 || fieldCount(queue) != 1 || !tailsValidFor(queue)) return;
        const std::string_view tail = tails_.tailOf(position);
        if (tail.empty()) return;
        value.assign(reinterpret_cast<const char*>(queue->buffer), queue->recordSize);
        value += tail;
    };
    return writer;
}

void QueueTool::ViewQueue(QueueDecl* queue, std::string_view title, int keepResourceTitle) {
    const queueview::ExportWriter writer = exportWriter();
    queueview::ViewQueue(queue, title, keepResourceTitle, writer);
}

void QueueTool::ViewRecord(QueueDecl* queue, std::string_view title, int stripPrefix, int useRecordTitle) {
    const queueview::ExportWriter writer = exportWriter();
    queueview::ViewRecord(queue, title, stripPrefix, useRecordTitle, writer);
}

uint8_t QueueTool::ExportCsv(QueueDecl* queue, std::string_view fileName, std::string_view title, bool withHeader) {
    return queueview::ExportCsv(queue, fileName, title, withHeader, exportWriter());
}

uint8_t QueueTool::ExportXml(QueueDecl* queue, std::string_view fileName, std::string_view rootName) {
    return queueview::ExportXml(queue, fileName, rootName, exportWriter());
}

}  // namespace varnok::app
