#include "app/txa/txa_lines.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "app/txa/line_reading.h"
#include "app/txa/text_save.h"
#include "app/txa/txa_records.h"
#include "platform/output_buffers.h"
#include "platform/trailing_spaces.h"
#include "runtime/errors/error_codes.h"

namespace varnok::app {

namespace {

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

void TxaLines::attach(QueueDecl* queue) {
    queue_ = queue;
    tails_.clear();
    headers_.clear();
    headers_.invalidate();  // built from the entries when first asked for
    tailsLost_ = false;
    lineEnd_ = LineEnd::CrLf;
    file_ = {};
    loadedBytes_ = 0;
    changes_ = queue ? CHANGES(queue) : 0;
}

void TxaLines::sync() {
    if (!queue_) return;
    const uint32_t now = CHANGES(queue_);
    if (now == changes_) return;
    if (!tails_.empty()) {
        tailsLost_ = true;
        tails_.clear();
    }
    headers_.invalidate();
    changes_ = now;
}

// ---- loading: the name, the file, the lines, the file once more

LoadResult TxaLines::load(std::string_view fileName, size_t maxChunk, Progress* progress) {
    if (!queue_ || !queue_->buffer) return {LoadStatus::OpenFailed, EINVAL};
    const std::string name(platform::withoutTrailingSpaces(fileName));
    const FileCheck check = checkOrdinaryFile(name);
    if (!check.ordinary()) return {LoadStatus::NotAFile, 0, check.kind};

    platform::InputFile file;
    if (!file.open(name)) return {LoadStatus::OpenFailed, file.error()};
    // The size of the file opened (the name may have been given to another
    // file since it was listed), and its stamp, to tell afterwards whether
    // it was written while it was read.
    const platform::FileStamp stamp = file.stamp();
    startAfresh(file.identity());
    loadedBytes_ = stamp.valid ? stamp.size : check.size;
    LoadResult result = readLines(file, loadedBytes_, maxChunk, progress);
    // A file written meanwhile (cut short, grown, rewritten) may have given
    // lines of two versions: that is no load of the file.
    if (result.status == LoadStatus::Loaded && !(file.stamp() == stamp)) result = {LoadStatus::Changed};
    changes_ = CHANGES(queue_);
    return result;
}

void TxaLines::startAfresh(const platform::FileIdentity& file) {
    FREE(queue_);
    CLEAR(queue_);
    tails_.clear();
    headers_.clear();
    tailsLost_ = false;
    lineEnd_ = LineEnd::CrLf;
    file_ = file;
}

LoadResult TxaLines::readLines(platform::InputFile& file, uint64_t size, size_t maxChunk, Progress* progress) {
    const size_t chunk = static_cast<size_t>(std::min<uint64_t>(size, std::max<size_t>(maxChunk, 1)));
    std::vector<char> buffer(std::max<size_t>(chunk, 1));
    LineAppender appender{queue_, &tails_, &headers_, queue_->buffer};
    // A text line queue clears to spaces; then the bytes past each line are
    // all spaces, which lets ADD skip reading them. Any other layout gets the
    // plain ADD.
    appender.spacePadded =
        std::all_of(queue_->buffer, queue_->buffer + queue_->recordSize, [](uint8_t c) { return c == ' '; });

    const int64_t first = size > 0 ? file.readAt(0, buffer.data(), chunk) : 0;
    if (first < 0) return {LoadStatus::ReadFailed, file.error()};
    if (first == 0) return {LoadStatus::Loaded};
    // The line end is known from the first chunk (or from reading ahead).
    lineEnd_ = lineEndOfFile(file, buffer.data(), static_cast<size_t>(first), size, chunk);

    // A large file is read in two halves at once, split at a line start near
    // the middle; a helper thread reads the second. (Declared in this order,
    // the helper is done before the count it adds to goes.)
    BytesRead read{0};
    std::unique_ptr<SecondHalf> second;
    if (size >= halvesFrom_)
        second = SecondHalf::start(file, queue_, size, buffer.size(), lineEnd_, appender.spacePadded, read);
    const uint64_t split = second ? second->from() : size;
    // With a helper at work, this thread codes its lines into a batch too:
    // cheaper per line than ADD, and both batches are appended in one copy.
    std::optional<QueueBatch> firstBatch;
    if (second) {
        firstBatch.emplace(queue_);
        appender.batch = &*firstBatch;
    }

    LineSplitter splitter(lineEnd_, &LineAppender::add, &appender);
    const uint64_t head = std::min<uint64_t>(static_cast<uint64_t>(first), split);
    const uint64_t headRead = read.fetch_add(head) + head;
    if (progress) progress->advanced(headRead, size);
    int error = 0;
    ReadEnd end = splitter.feed(buffer.data(), static_cast<size_t>(head))
                      ? readStretch(file, head, split, buffer, splitter, appender, read, progress, size, &error)
                      : ReadEnd::Stopped;
    if (firstBatch) {
        ADDBatch(queue_, *firstBatch);
        if (errorCode() != NoError) appender.failed = true;
        appender.lines = RECORDS(queue_);
    }
    // The second half counts only when the first was read to its end.
    if (second && end == ReadEnd::Done && !appender.failed) {
        end = second->appendTo(appender, &error);
        if (progress) progress->advanced(read.load(), size);
    }
    if (appender.failed) return {LoadStatus::NoMemory};
    if (end == ReadEnd::Failed) return {LoadStatus::ReadFailed, error};
    return {LoadStatus::Loaded};
}

// ---- saving and erasing

namespace {

// Why a save could not even start: a read-only file in the way, or the
// system's error.
SaveResult createFailure(const TextSave& save) {
    return {save.targetReadOnly() ? SaveStatus::ReadOnly : SaveStatus::CreateFailed, save.error()};
}

}  // namespace

SaveResult TxaLines::save(std::string_view fileName, const std::vector<LineRange>& without, Progress* progress) {
    if (!queue_ || !queue_->buffer) return {SaveStatus::CreateFailed, EINVAL};
    sync();
    if (tailsLost_) return {SaveStatus::LinesOutOfStep};
    const std::string name(platform::withoutTrailingSpaces(fileName));
    const bool lfEnds = lineEnd_ == LineEnd::Lf;
    const std::string_view lineEnd = lfEnds ? std::string_view("\n") : std::string_view("\r\n");

    const size_t recordSize = queue_->recordSize;
    // Room for a whole record and its line end, at least a mebibyte.
    TextSave save(std::max<size_t>(size_t(1) << 20, recordSize + 1 + lineEnd.size()));
    if (!save.create(name)) return createFailure(save);
    platform::OutputBuffers& output = save.output();
    LongLineTails::Cursor tailCursor(tails_);
    const uint32_t count = RECORDS(queue_);
    auto skip = without.begin();
    uint32_t last = 0;  // the last line written
    bool ok = true;
    // Bytes written so far (counted by the buffer positions handed over),
    // and when the progress hears of them next.
    constexpr uint64_t kProgressStep = uint64_t(1) << 20;
    uint64_t written = 0;
    uint64_t reportAt = kProgressStep;
    // Each line is copied from its entry straight into the output buffer,
    // without the padding after its text.
    for (uint32_t i = 1; i <= count && ok; ++i) {
        if (progress && written >= reportAt) {
            progress->advanced(written, std::max(loadedBytes_, written));
            reportAt = written + kProgressStep;
        }
        if (skip != without.end() && i == skip->first) {
            i += skip->count - 1;
            ++skip;
            continue;
        }
        // The record, a space that may have to stay after a CR, the line end.
        auto* line = reinterpret_cast<uint8_t*>(output.reserve(recordSize + 1 + lineEnd.size()));
        if (!line) {
            ok = false;
            break;
        }
        size_t n = GETText(queue_, static_cast<int32_t>(i), line, ' ');
        if (!errorSurelyClear()) continue;
        last = i;
        const std::string_view tail = tails_.empty() ? std::string_view() : tailCursor.tailOf(i);
        const size_t tailLength =
            tail.empty() ? 0 : trimmedLength(reinterpret_cast<const uint8_t*>(tail.data()), tail.size());
        if (tailLength > 0) {
            // The whole record, spaces included, then the rest of the line.
            std::memset(line + n, ' ', recordSize - n);
            output.used(recordSize);
            const bool keepSpace = lfEnds && tail[tailLength - 1] == '\r';
            ok = output.put(tail.data(), tailLength) && (!keepSpace || output.put(" ", 1)) &&
                 output.put(lineEnd.data(), lineEnd.size());
            written += recordSize + tailLength + (keepSpace ? 1 : 0) + lineEnd.size();
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
        written += n + lineEnd.size();
    }
    // The buffer holds the last line written afterwards, as it would after GETs.
    if (ok && last > 0) GET(queue_, static_cast<int32_t>(last));
    if (!save.finish(ok)) return {SaveStatus::WriteFailed, save.error()};
    if (progress) progress->advanced(written, written);
    return {SaveStatus::Saved};
}

uint32_t TxaLines::erase(const LineRanges& gone) {
    if (!queue_) return 0;
    sync();
    uint32_t deleted = 0;
    uint32_t clean = queue_->recordSize;  // GETPadded rewrites only what differs
    // From the last range to the first: the ranges still to go keep their numbers.
    for (const LineRange& range : gone.descending()) {
        uint32_t here = 0;
        for (uint32_t k = 0; k < range.count; ++k) {
            clean = GETPadded(queue_, static_cast<int32_t>(range.first), clean);
            if (errorCode() != NoError) break;  // past the end: nothing more to delete
            DELETE(queue_);
            if (errorCode() == NoError) ++here;
        }
        tails_.eraseLines(range.first, here);
        headers_.erase(range.first, here);
        deleted += here;
    }
    changes_ = CHANGES(queue_);
    return deleted;
}

// ---- what the scan and the exports read

HeaderIndex TxaLines::headerIndex() {
    sync();
    if (!headers_.lines()) {
        headers_.build(queue_);
        changes_ = CHANGES(queue_);
    }
    return {*headers_.lines(), headers_.kinds()};
}

std::string_view TxaLines::tailOf(uint32_t position) {
    if (tails_.empty()) return {};
    sync();
    return tails_.tailOf(position);
}

namespace {

// An export file written as TxaLines::save writes: CR LF after each line, no
// trailing spaces, a temporary file renamed into place at the end.
class SavedExport final : public queueview::ExportOutput {
public:
    SavedExport(SaveResult* result, void (*report)(const SaveResult&, const std::string&))
        : result_(result), report_(report), save_(size_t(1) << 20) {}
    bool create(const std::string& name) {
        name_ = name;
        if (save_.create(name)) return true;
        fail(createFailure(save_));
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
        if (save_.finish(ok_)) {
            if (result_) *result_ = {SaveStatus::Saved};
            return 1;
        }
        fail({SaveStatus::WriteFailed, save_.error()});
        return 0;
    }

private:
    void fail(const SaveResult& failure) {
        if (result_) *result_ = failure;
        if (report_) report_(failure, name_);
    }
    SaveResult* result_;
    void (*report_)(const SaveResult&, const std::string&);
    std::string name_;
    TextSave save_;
    bool ok_ = true;
};

}  // namespace

queueview::ExportWriter TxaLines::exportWriter(SaveResult* result, void (*report)(const SaveResult&, const std::string&)) {
    queueview::ExportWriter writer;
    writer.create = [result, report](std::string_view fileName) -> std::unique_ptr<queueview::ExportOutput> {
        auto out = std::make_unique<SavedExport>(result, report);
        if (!out->create(std::string(platform::withoutTrailingSpaces(fileName)))) return nullptr;
        return out;
    };
    // A line longer than the record: the record, spaces included, and the
    // tail kept aside, as save() writes it.
    writer.completeValue = [this](QueueDecl* queue, uint32_t position, int field, std::string& value) {
        if (queue != queue_ || tails_.empty() || field != 1 || fieldCount(queue) != 1) return;
        const std::string_view tail = tailOf(position);
        if (tail.empty()) return;
        value.assign(reinterpret_cast<const char*>(queue->buffer), queue->recordSize);
        value += tail;
    };
    return writer;
}

bool TxaLines::check() {
    if (!queue_) return true;
    sync();
    // No tail past the last entry.
    if (tails_.lastLine() > RECORDS(queue_)) return false;
    // The header index is what the entries say.
    if (const std::vector<uint32_t>* lines = headers_.lines()) {
        HeaderLines fresh;
        fresh.build(queue_);
        if (*fresh.lines() != *lines || fresh.kinds() != headers_.kinds()) return false;
    }
    return true;
}

}  // namespace varnok::app
