// TxaScanner: rebuilds the list of extension instances from the lines.
//
// An instance starts at an "[ADDITION]" line followed by a "NAME template
// extension" line; "[INSTANCE]", "[PROMPTS]" and "[FIELDPROMPT]" headers (any
// case, trailing spaces ignored) continue it; any other line starting with
// "[" ends it on the line before. A "[PROCEDURE]" line followed by "NAME x"
// makes x the procedure of the instances after it. Header names are matched
// byte for byte except for the three continuation headers. An instance still
// open after the last line keeps ToLineNo 0.
#pragma once
#include <cstdint>
#include <vector>

#include "app/txa/header_lines.h"
#include "runtime/queue/queue.h"

namespace varnok::app {

class TxaScanner {
public:
    // Empties extensionQ and fills it from lineQ, one entry per instance in
    // file order, none ticked. The index lists every line of lineQ that
    // begins with "[" and its kind (as headerKindOf tells it from the line):
    // no other line can change the result, so only those lines and the NAME
    // lines after procedure and addition headers are read.
    void ScanTxa(QueueDecl* lineQ, QueueDecl* extensionQ, const HeaderIndex& index);
    // The same for lines without an index: it is built first (every line read).
    void ScanTxa(QueueDecl* lineQ, QueueDecl* extensionQ);

    // Scanner state, reset at the start of every scan.
    int32_t LineNo = 0;
    char CurrentProcName[64];
    uint8_t InAddition = 0;
    int32_t SpacePos = 0;

    TxaScanner();

private:
    // Acts on line LineNo, which begins with "[" and is of the given kind.
    void examineHeader(QueueDecl* lineQ, QueueDecl* extensionQ, int32_t count, HeaderKind kind);
    // GET of a line that rewrites only what the previous line left behind.
    void readLine(QueueDecl* lineQ, int32_t position) { clean_ = GETPadded(lineQ, position, clean_); }
    uint32_t clean_ = 0;  // from here on the line buffer holds only its last byte
    // Ends the open instance on the line before LineNo.
    void CloseInstance(QueueDecl* extensionQ);
};

}  // namespace varnok::app
