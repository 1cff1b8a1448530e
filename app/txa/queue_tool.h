// QueueTool: reads a text file into a line queue and writes a queue back as
// text, views a queue and exports it. The queue's record is one text field;
// each entry is one line.
//
// The operations are thin: the lines of the file loaded last are a TxaLines
// (txa_lines.h: the long lines' tails, the header index, the line end, and
// how they are read and written), and each operation tells the user what
// went wrong with a message (reportLoad, reportSave), as its callers expect:
//   LoadText  "Error Open" (the file's name and the system's reason,
//             open_failure.h), "Error Reading", or the runtime's text for
//             memory running out
//   SaveText  "Error Open" (likewise), "Error WriteFile" (text only)
// Callers that want the result itself, not a message, use lines() (the
// main window's commands and the command line do).
//
// ExportCsv and ExportXml write a queue as CSV or XML (queueview/export)
// the way SaveText writes, with the same messages; a line queue this tool
// loaded is exported with its long lines whole.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "app/txa/txa_lines.h"
#include "queueview/export/export_writer.h"
#include "runtime/queue/queue.h"

namespace varnok::app {

class QueueTool {
public:
    int32_t MaxBufSize = 1048575;  // largest number of bytes read in one piece
    int32_t MaxLineSize = 1024;    // kept for callers; the queue's record size rules

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
    // What an export writes through: files written as SaveText writes them,
    // failures reported by a message, and the whole of each long line of the
    // queue LoadText filled (valid while this tool lives).
    queueview::ExportWriter exportWriter();

    // The queue viewer (queueview/viewer/queue_viewer.h) on a queue, its
    // exports written through exportWriter(); returns when its window
    // closes. keepResourceTitle 0: the window is titled `title` without
    // trailing spaces; else "Queue". `title` also names export files.
    void ViewQueue(QueueDecl* queue, std::string_view title, int keepResourceTitle);
    // The viewer on the record in the queue's buffer, one field per row;
    // titled "Record" with useRecordTitle, else `title`.
    void ViewRecord(QueueDecl* queue, std::string_view title, int stripPrefix, int useRecordTitle);

    // The lines of the queue LoadText filled last (or the queue attached).
    TxaLines& lines() { return lines_; }
    // The largest read, as MaxBufSize says.
    size_t maxChunk() const { return static_cast<size_t>(MaxBufSize > 0 ? MaxBufSize : 1); }

private:
    TxaLines lines_;
};

// The messages of LoadText for a load's result; fileName is the name as
// loaded (without trailing spaces). A load that read the file, or found no
// ordinary file of that name, shows nothing.
void reportLoad(const LoadResult& result, const std::string& fileName);
// The message of SaveText for a save's result; nothing for a saved file.
// fileName is the file being written (named when it cannot be made).
void reportSave(const SaveResult& result, const std::string& fileName);

}  // namespace varnok::app
