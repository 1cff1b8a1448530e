// TxaLines: the lines of a text file loaded into a line queue, and what the
// queue's records cannot hold or tell quickly, kept in step by one owner.
//
// The queue (any queue whose record is one text field; LineQ here) holds
// each line cut to its record. Beside it this object keeps:
//   tails_    the rest of every line longer than the record, by position;
//   headers_  the positions of the lines that begin with "[" and the kind of
//             each (header_kind.h), so that a scan reads only those;
//   lineEnd_  the line end the file uses, which a save writes back;
//   file_     the file the lines came from.
//
// Invariant, while the queue's change counter equals changes_: the entries
// are the file's lines in file order, less the ranges erase() took out, and
// tails_ and headers_ describe exactly those entries. load() and erase() are
// the only changes that keep it (check() verifies it for the tests). A
// change made to the queue any other way is noticed at the next call: the
// header index is then rebuilt from the queue when asked for, and if any
// line had a tail, the tails are lost: save() refuses (LinesOutOfStep)
// rather than write those lines cut at the record size, until the next load.
//
// Loading: only the pair CR LF ends a line (a lone CR or LF is text), but a
// file that holds no CR LF at all and does hold LF is split at LF and saved
// back with LF. A CR LF split between two read chunks is one line end. A
// file written while it is read (its size or time of change differs
// afterwards) is a failed read: what was read may mix two versions of it.
// A large file is read in two halves at once (line_reading.h).
//
// Saving writes each line without trailing spaces, then the line end, into a
// temporary file beside the target, which replaces the target only when
// whole (text_save.h). In an LF file, a line whose text ends in CR keeps one
// space after the CR: CR LF would make the copy a CR LF file with other lines.
//
// Nothing here shows a message: every operation returns what happened, and
// the caller (QueueTool, the main window, the command line) tells the user.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/txa/header_lines.h"
#include "app/txa/line_ranges.h"
#include "app/txa/line_splitter.h"
#include "app/txa/long_line_tails.h"
#include "app/txa/ordinary_file.h"
#include "app/txa/progress.h"
#include "platform/plain_file.h"
#include "queueview/export/export_writer.h"
#include "runtime/queue/queue.h"

namespace varnok::app {

enum class LoadStatus : uint8_t {
    Loaded,      // the queue holds the file's lines
    NotAFile,    // the name lists no ordinary file (kind says why); nothing changed
    OpenFailed,  // listed, but it could not be opened (error); nothing changed
    ReadFailed,  // a read failed part way (error); the lines read so far stay
    Changed,     // the file was written while it was read; the lines read stay
    NoMemory,    // memory ran out; the lines stored until then stay
};

struct LoadResult {
    LoadStatus status = LoadStatus::Loaded;
    int error = 0;                       // errno of OpenFailed and ReadFailed, when known
    FileKind kind = FileKind::Ordinary;  // why NotAFile
    // The queue's entries were replaced, by all of the file's lines or some.
    bool replacedLines() const { return status != LoadStatus::NotAFile && status != LoadStatus::OpenFailed; }
};

enum class SaveStatus : uint8_t {
    Saved,
    CreateFailed,    // the file could not be made (error); nothing written
    ReadOnly,        // the file to replace is read-only; nothing written, it stays as it was
    WriteFailed,     // writing or putting it in place failed (error); an old file stays as it was
    LinesOutOfStep,  // long lines lost their tails to a change made behind TxaLines; nothing written
};

struct SaveResult {
    SaveStatus status = SaveStatus::Saved;
    int error = 0;  // errno, when known
    bool saved() const { return status == SaveStatus::Saved; }
};

class TxaLines {
public:
    TxaLines() = default;
    explicit TxaLines(QueueDecl* queue) { attach(queue); }
    TxaLines(const TxaLines&) = delete;
    TxaLines& operator=(const TxaLines&) = delete;

    // Takes the queue's entries as they are for the lines: no tails, CR LF,
    // no file.
    void attach(QueueDecl* queue);
    QueueDecl* queue() const { return queue_; }

    // Replaces the entries with the lines of the file fileName names
    // (trailing spaces ignored), read at most maxChunk bytes at a time;
    // progress (when given) hears of each chunk read.
    LoadResult load(std::string_view fileName, size_t maxChunk, Progress* progress = nullptr);
    // Writes every line except those in `without` (ascending and apart, as
    // LineRanges::ranges gives them) to fileName. The lines do not change.
    // progress (when given) hears of the bytes written about every mebibyte.
    SaveResult save(std::string_view fileName, const std::vector<LineRange>& without = {},
                    Progress* progress = nullptr);
    // Files of at least this many bytes are loaded in two halves at once,
    // the second on a helper thread; the lines come out the same.
    void readInHalvesFrom(uint64_t bytes) { halvesFrom_ = bytes; }
    // Takes the ranges out of the lines. Returns the number of entries deleted.
    uint32_t erase(const LineRanges& gone);

    // The line end save() writes.
    LineEnd lineEnd() const { return lineEnd_; }
    // The file the last load opened (not valid before one).
    const platform::FileIdentity& file() const { return file_; }
    // The header index, in step with the queue.
    HeaderIndex headerIndex();
    // The tail of the line at a position; empty when it has none.
    std::string_view tailOf(uint32_t position);

    // An export writer whose files are written as save() writes them and
    // whose values of this queue's lines are whole. A failure is stored in
    // *result (when given) and passed to report (when given), which tells
    // the user.
    queueview::ExportWriter exportWriter(SaveResult* result, void (*report)(const SaveResult&, const std::string&) = nullptr);

    // The invariant, checked against the queue's entries (reads them all).
    bool check();

private:
    // Notices a change made to the queue behind this object.
    void sync();
    void startAfresh(const platform::FileIdentity& file);
    LoadResult readLines(platform::InputFile& file, uint64_t size, size_t maxChunk, Progress* progress);

    QueueDecl* queue_ = nullptr;
    uint32_t changes_ = 0;  // the queue's change counter when last in step
    LongLineTails tails_;
    HeaderLines headers_;
    bool tailsLost_ = false;  // lines were cut by a change behind this object
    LineEnd lineEnd_ = LineEnd::CrLf;
    platform::FileIdentity file_;
    uint64_t loadedBytes_ = 0;  // the size of the file the lines were loaded from
    uint64_t halvesFrom_ = uint64_t(8) << 20;
};

}  // namespace varnok::app
