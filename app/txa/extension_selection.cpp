#include "app/txa/extension_selection.h"

#include <cstring>
#include <string>

#include "app/txa/txa_records.h"
#include "runtime/errors/error_codes.h"
#include "window/message_box.h"

namespace varnok::app {

int32_t toggleRow(QueueDecl* extensionQ, int32_t choice) {
    if (choice == 0) return 1;
    GET(extensionQ, choice);
    if (errorCode() != NoError) return choice;
    uint8_t* r = extensionQ->buffer;
    r[ExtRemoveThisOffset] = static_cast<uint8_t>(1 - r[ExtRemoveThisOffset]);
    storeLong(r + ExtIconOffset, 3 - loadLong(r + ExtIconOffset));
    PUT(extensionQ);
    return choice;
}

bool selectAllLike(QueueDecl* extensionQ, int32_t choice) {
    if (choice == 0) return false;
    GET(extensionQ, choice);
    if (errorCode() != NoError) return false;
    ExtensionRecord chosen;
    chosen.read(extensionQ->buffer);
    std::string name(trimmed(chosen.extensionName, ExtNameSize));
    bool ticked = chosen.removeThis == 1;
    unsigned answer = window::message(
        (ticked ? "Select all the instances of: " : "Deselect all the instances of: ") + name,
        ticked ? "Select All" : "Deselect All", window::IconQuestion, window::ButtonYes | window::ButtonNo,
        window::ButtonNo);
    if (answer != window::ButtonYes) return false;

    uint32_t count = RECORDS(extensionQ);
    uint8_t* r = extensionQ->buffer;
    for (uint32_t i = 1; i <= count; ++i) {
        GET(extensionQ, static_cast<int32_t>(i));
        if (errorCode() != NoError) continue;
        if (std::memcmp(r + ExtNameOffset, chosen.extensionName, ExtNameSize) != 0) continue;
        r[ExtRemoveThisOffset] = chosen.removeThis;
        storeLong(r + ExtIconOffset, chosen.icon);
        PUT(extensionQ);
    }
    return true;
}

uint32_t tickedCount(QueueDecl* extensionQ) {
    uint32_t ticked = 0;
    const uint32_t count = RECORDS(extensionQ);
    for (uint32_t i = 1; i <= count; ++i) {
        if (readForDisplay(extensionQ, static_cast<int32_t>(i)) != 0) continue;
        const uint8_t* r = secondView(extensionQ);
        if (r && r[ExtRemoveThisOffset] == 1) ++ticked;
    }
    return ticked;
}

bool setTicked(QueueDecl* extensionQ, int32_t row, bool ticked) {
    GET(extensionQ, row);
    if (errorCode() != NoError) return false;
    uint8_t* r = extensionQ->buffer;
    r[ExtRemoveThisOffset] = ticked ? 1 : 0;
    storeLong(r + ExtIconOffset, ticked ? 2 : 1);
    PUT(extensionQ);
    return true;
}

}  // namespace varnok::app
