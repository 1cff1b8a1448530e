#include "app/txa/txa_scanner.h"

#include <algorithm>
#include <cstring>

#include "app/txa/txa_records.h"
#include "runtime/errors/error_codes.h"

namespace varnok::app {

namespace {

bool startsWith(const uint8_t* line, size_t size, const char* prefix) {
    size_t n = std::strlen(prefix);
    return n <= size && std::memcmp(line, prefix, n) == 0;
}

}  // namespace

TxaScanner::TxaScanner() { std::memset(CurrentProcName, ' ', sizeof CurrentProcName); }

void TxaScanner::CloseInstance(QueueDecl* extensionQ) {
    storeLong(extensionQ->buffer + ExtToOffset, LineNo - 1);
    PUT(extensionQ);
    InAddition = 0;
}

void TxaScanner::ScanTxa(QueueDecl* lineQ, QueueDecl* extensionQ) {
    HeaderLines index;
    index.build(lineQ);
    ScanTxa(lineQ, extensionQ, {*index.lines(), index.kinds()});
}

void TxaScanner::ScanTxa(QueueDecl* lineQ, QueueDecl* extensionQ, const HeaderIndex& index) {
    std::memset(CurrentProcName, ' ', sizeof CurrentProcName);
    InAddition = 0;
    SpacePos = 0;
    FREE(extensionQ);
    clean_ = lineQ ? lineQ->recordSize : 0;  // nothing known of the buffer yet
    const int32_t count = static_cast<int32_t>(RECORDS(lineQ));
    // No other line can change the list: only the header lines, and the NAME
    // lines after procedure and addition headers, are read.
    const std::vector<uint32_t>& lines = index.lines;
    const std::vector<HeaderKind>& kinds = index.kinds;
    const size_t headers = std::min(lines.size(), kinds.size());
    constexpr size_t kAhead = 8;  // NAME lines asked for ahead of their reading
    for (size_t i = 0; i < headers; ++i) {
        // The NAME lines lie scattered through the queue's memory: asking
        // for a few ahead lets their fetches overlap, and asking for their
        // references twice as far ahead keeps the asking short.
        if (i + 2 * kAhead < headers && kinds[i + 2 * kAhead] <= HeaderKind::Addition)
            prefetchReference(lineQ, static_cast<int32_t>(lines[i + 2 * kAhead]) + 1);
        if (i + kAhead < headers && kinds[i + kAhead] <= HeaderKind::Addition)
            prefetchEntry(lineQ, static_cast<int32_t>(lines[i + kAhead]) + 1);
        LineNo = static_cast<int32_t>(lines[i]);
        if (LineNo > count) break;
        examineHeader(lineQ, extensionQ, count, kinds[i]);
    }
}

void TxaScanner::examineHeader(QueueDecl* lineQ, QueueDecl* extensionQ, int32_t count, HeaderKind kind) {
    const uint8_t* line = lineQ->buffer;
    const size_t size = lineQ->recordSize;
    if (kind == HeaderKind::Procedure) {
        if (LineNo < count) {
            readLine(lineQ, LineNo + 1);
            if (errorCode() == NoError && startsWith(line, size, "NAME "))
                setFixed(CurrentProcName, sizeof CurrentProcName,
                         std::string_view(reinterpret_cast<const char*>(line) + 5, std::min<size_t>(64, size - 5)));
        }
        if (InAddition) CloseInstance(extensionQ);
    } else if (kind == HeaderKind::Addition) {
        if (InAddition) CloseInstance(extensionQ);
        if (LineNo >= count) return;
        readLine(lineQ, LineNo + 1);
        if (errorCode() != NoError || !startsWith(line, size, "NAME ")) return;
        // The template word runs from position 6 to the first space; the
        // extension name is the 64 characters after that space.
        const void* space = std::memchr(line + 5, ' ', size - 5);
        SpacePos = space ? static_cast<int32_t>(static_cast<const uint8_t*>(space) - line) + 1 : 0;
        if (SpacePos == 0) return;
        const char* text = reinterpret_cast<const char*>(line);
        ExtensionRecord rec;
        rec.removeThis = 0;
        rec.icon = 1;
        setFixed(rec.templateName, ExtTemplateSize, std::string_view(text + 5, SpacePos - 1 - 5));
        size_t after = static_cast<size_t>(SpacePos);
        setFixed(rec.extensionName, ExtNameSize, std::string_view(text + after, std::min<size_t>(64, size - after)));
        std::memcpy(rec.procName, CurrentProcName, ExtProcSize);
        rec.fromLineNo = LineNo;
        rec.toLineNo = 0;
        CLEAR(extensionQ);
        rec.write(extensionQ->buffer);
        ADD(extensionQ);
        InAddition = 1;
    } else if (kind == HeaderKind::Closes) {
        if (InAddition) CloseInstance(extensionQ);
    }
}

}  // namespace varnok::app
