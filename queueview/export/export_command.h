// The viewer's Export command, and the one export step it shares with the
// command line (varnok export).
//
// exportCommand runs when the viewer's Export button is accepted:
//   1. the popup menu "Csv|Xml"; choosing nothing ends the command;
//   2. the file name: exportFileName(title, format), in the current directory;
//   3. CSV with the title line and the header, or XML with the root "Queue";
//   4. when the file was written, the message "Exported" (information icon)
//      with the file name as its text. A failure was already reported by
//      the writer; nothing more is shown.
// Selecting the list again afterwards is the viewer's.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "queueview/export/export_writer.h"
#include "runtime/queue/queue.h"

namespace varnok::queueview {

// The popup's items, numbered as the popup answers.
enum class ExportFormat : int32_t { None = 0, Csv = 1, Xml = 2 };
constexpr std::string_view ExportMenu = "Csv|Xml";
constexpr std::string_view ExportRootName = "Queue";

// exportBaseName(title) & ".csv" or ".xml"; empty for None.
std::string exportFileName(std::string_view title, ExportFormat format);

// Writes the queue to fileName as the viewer does: CSV with the title and the
// header, XML with the root "Queue". 1 when written, 0 when not (reported).
uint8_t exportQueue(QueueDecl* queue, std::string_view title, ExportFormat format, std::string_view fileName,
                    const ExportWriter& writer);

// The Export command. Returns the name of the file written; empty when
// nothing was chosen or the export failed.
std::string exportCommand(QueueDecl* queue, std::string_view title, const ExportWriter& writer);

}  // namespace varnok::queueview
