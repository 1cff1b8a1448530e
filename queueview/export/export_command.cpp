#include "queueview/export/export_command.h"

#include "queueview/export/csv_export.h"
#include "queueview/export/export_names.h"
#include "queueview/export/xml_export.h"
#include "window/message_box.h"
#include "window/window_layer.h"

namespace varnok::queueview {

std::string exportFileName(std::string_view title, ExportFormat format) {
    switch (format) {
    case ExportFormat::Csv: return exportBaseName(title) + ".csv";
    case ExportFormat::Xml: return exportBaseName(title) + ".xml";
    case ExportFormat::None: break;
    }
    return {};
}

uint8_t exportQueue(QueueDecl* queue, std::string_view title, ExportFormat format, std::string_view fileName,
                    const ExportWriter& writer) {
    switch (format) {
    case ExportFormat::Csv: return ExportCsv(queue, fileName, title, true, writer);
    case ExportFormat::Xml: return ExportXml(queue, fileName, ExportRootName, writer);
    case ExportFormat::None: break;
    }
    return 0;
}

std::string exportCommand(QueueDecl* queue, std::string_view title, const ExportWriter& writer) {
    const int32_t item = window::windowLayer().popup(ExportMenu);
    if (item != int32_t(ExportFormat::Csv) && item != int32_t(ExportFormat::Xml)) return {};
    const auto format = static_cast<ExportFormat>(item);
    const std::string name = exportFileName(title, format);
    if (!exportQueue(queue, title, format, name, writer)) return {};
    window::message(name, "Exported", window::IconInformation);
    return name;
}

}  // namespace varnok::queueview
