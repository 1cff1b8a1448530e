#include "app/txa/queue_tool.h"

#include "app/txa/open_failure.h"
#include "platform/trailing_spaces.h"
#include "queueview/export/csv_export.h"
#include "queueview/export/xml_export.h"
#include "queueview/viewer/queue_viewer.h"
#include "runtime/errors/error_codes.h"
#include "window/message_box.h"

namespace varnok::app {

void reportLoad(const LoadResult& result, const std::string& fileName) {
    switch (result.status) {
    case LoadStatus::Loaded:
    case LoadStatus::NotAFile: break;
    case LoadStatus::OpenFailed: showOpenFailure(fileName, result.error); break;
    case LoadStatus::ReadFailed:
    case LoadStatus::Changed: window::message("Error Reading"); break;
    case LoadStatus::NoMemory: window::message(errorText(InsufficientMemoryErr)); break;
    }
}

void reportSave(const SaveResult& result, const std::string& fileName) {
    switch (result.status) {
    case SaveStatus::Saved: break;
    case SaveStatus::CreateFailed: showOpenFailure(fileName, result.error); break;
    case SaveStatus::ReadOnly:
        window::message(fileName + " is read-only", std::string(OpenFailureCaption), window::IconHand);
        break;
    case SaveStatus::WriteFailed:
    case SaveStatus::LinesOutOfStep: window::message("Error WriteFile"); break;
    }
}

uint8_t QueueTool::LoadText(QueueDecl* queue, std::string_view fileName) {
    if (!queue || !queue->buffer) return 0;
    if (lines_.queue() != queue) lines_.attach(queue);
    const LoadResult result = lines_.load(fileName, maxChunk());
    reportLoad(result, std::string(platform::withoutTrailingSpaces(fileName)));
    return result.status == LoadStatus::Loaded || result.status == LoadStatus::NotAFile ? 1 : 0;
}

uint8_t QueueTool::SaveText(QueueDecl* queue, std::string_view fileName) {
    if (!queue || !queue->buffer) return 0;
    // A queue this tool did not load is written as it holds its lines.
    SaveResult result = queue == lines_.queue() ? lines_.save(fileName) : TxaLines(queue).save(fileName);
    reportSave(result, std::string(platform::withoutTrailingSpaces(fileName)));
    return result.saved() ? 1 : 0;
}

queueview::ExportWriter QueueTool::exportWriter() { return lines_.exportWriter(nullptr, &reportSave); }

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
