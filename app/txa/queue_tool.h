// QueueTool: reads a text file into a line queue and writes a queue back as
// text. The queue's record is one text field; each entry is one line.
//
// LoadText splits the file at CR LF (a large file in two halves read at
// once, which changes nothing but the time taken); a lone CR or LF stays in the line's
// text. A file that holds no CR LF at all but does hold LF is split at LF
// instead, and SaveText writes that queue back with LF. A CR LF split between
// two read chunks is still one line end. A line longer than the record keeps
// its first bytes in the record; the rest is kept aside (LongLineTails), so
// SaveText writes the whole line, as long as the queue changed only through
// LoadText and deleteLines since it was loaded.
//
// In an LF file, a line whose text ends in CR is written with one space
// after the CR (it reads back as the same record): CR LF would make the
// copy a CR LF file with other lines.
//
// SaveText writes a temporary file beside the target and renames it over the
// target only when every line was written: a failure leaves an existing file
// as it was and no partial file behind.
//
// A file that is written while LoadText reads it (its size or time of
// change differs afterwards) is a failed read: what was read may mix two
// versions of the file.
//
// Failures are shown through window::message: "Error Open" (the file's name
// and the system's reason, open_failure.h), "Error Reading", "Error
// WriteFile".
//
// ExportCsv and ExportXml write a queue as CSV or XML (queueview/export)
// the way SaveText writes (TextSave: temporary file, rename, the same
// messages), each line as it is made; a line queue this tool loaded is
// exported with its long lines whole.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "app/txa/header_lines.h"
#include "app/txa/long_line_tails.h"
#include "platform/plain_file.h"
#include "queueview/export/export_writer.h"
#include "runtime/queue/queue.h"

namespace varnok::app {

enum class LineEnd { CrLf, Lf };

class QueueTool {
public:
    int32_t MaxBufSize = 1048575;  // largest number of bytes read in one piece
    int32_t MaxLineSize = 1024;    // kept for callers; the queue's record size rules
    // Files of at least this many bytes are read in two halves at once, the
    // second on a helper thread; the lines and the queue come out the same.
    uint64_t ParallelFromBytes = uint64_t(8) << 20;

    // Replaces the queue's entries with the file's lines. Returns 1 when the
    // file was read or no ordinary file has that name (nothing changes then),
    // 0 after a failure that was reported by a message.
    uint8_t LoadText(QueueDecl* queue, std::string_view fileName);
    // Writes every entry, trailing spaces removed, each followed by the line
    // end. Returns 1 when written, 0 after a failure reported by a message.
    uint8_t SaveText(QueueDecl* queue, std::string_view fileName);

    // The queue as CSV (title line and header with withHeader) or as XML
    // under the root element rootName. 1 when written, 0 after a failure
    // reported by a message.
    uint8_t ExportCsv(QueueDecl* queue, std::string_view fileName, std::string_view title, bool withHeader);
    uint8_t ExportXml(QueueDecl* queue, std::string_view fileName, std::string_view rootName);
    // What an export writes through: a TextSave per file, and the whole of
    // each long line of the queue LoadText filled (valid while this tool
    // lives).
    queueview::ExportWriter exportWriter();

    // The queue viewer (queueview/viewer/queue_viewer.h) on a queue, its
    // exports written through exportWriter(); returns when its window
    // closes. keepResourceTitle 0: the window is titled `title` without
    // trailing spaces; else "Queue". `title` also names export files.
    void ViewQueue(QueueDecl* queue, std::string_view title, int keepResourceTitle);
    // The viewer on the record in the queue's buffer, one field per row;
    // titled "Record" with useRecordTitle, else `title`.
    void ViewRecord(QueueDecl* queue, std::string_view title, int stripPrefix, int useRecordTitle);

    // Deletes count entries at position first (GET, then DELETE, count
    // times; a position past the end deletes nothing). Keeps the kept-aside
    // long-line tails in step. Returns the number of entries deleted.
    uint32_t deleteLines(QueueDecl* queue, int32_t first, int32_t count);

    // The line end SaveText uses for a queue.
    LineEnd lineEndOf(const QueueDecl* queue) const;
    // The file the last successful LoadText read.
    const platform::FileIdentity& loadedFile() const { return loadedFile_; }
    // errno of the last failure of LoadText or SaveText, 0 when none.
    int lastError() const { return lastError_; }
    // The last LoadText failed because the file was written while it was
    // read (its size or time of change moved): what it holds may mix two
    // versions of the file.
    bool changedWhileRead() const { return changedWhileRead_; }
    const LongLineTails& tails() const { return tails_; }
    // The lines of the queue that begin with "[" (ascending), while the
    // queue changed only through LoadText and deleteLines; else nullptr.
    const std::vector<uint32_t>* headerLines(QueueDecl* queue);
    // The kind of each of those lines, under the same condition.
    const std::vector<HeaderKind>* headerKinds(QueueDecl* queue);

private:
    bool tailsValidFor(QueueDecl* queue);

    QueueDecl* loadedQueue_ = nullptr;  // the queue tails_ and lineEnd_ belong to
    uint32_t loadedChanges_ = 0;        // its change counter when tails_ was last in step
    LongLineTails tails_;
    HeaderLines headers_;
    LineEnd lineEnd_ = LineEnd::CrLf;
    platform::FileIdentity loadedFile_;
    int lastError_ = 0;
    bool changedWhileRead_ = false;
};

}  // namespace varnok::app
