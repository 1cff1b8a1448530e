#include "textfile/operations.h"

#include <algorithm>
#include <array>

namespace varnok::textfile {

namespace {

// Indexed by operation code.
constexpr std::array<std::string_view, op::Count> kNames = {
    "(0)",
    "ADD",
    "BOF",
    "BUILDfile",
    "APPEND",
    "BUILDdyn",
    "BUILDkey",
    "CLOSE",
    "COMMIT",
    "COPY",
    "CREATE",
    "DELETE",
    "DUPLICATE",
    "EMPTY",
    "EOF",
    "GETfilekey",
    "GETfileptr",
    "GETkeyptr",
    "HOLDfile",
    "HOLDfilesec",
    "LOCKfile",
    "LOCKfilesec",
    "LOGOUT",
    "NAME",
    "NEXT",
    "OPEN",
    "PACK",
    "POINTERfile",
    "POINTERkey",
    "FLUSH",
    "PUT",
    "PREVIOUS",
    "RECORDSfile",
    "RECORDSkey",
    "BUILDdynfilter",
    "STARTRAN",
    "RELEASE",
    "REMOVE",
    "RENAME",
    "ENDTRAN",
    "ROLLBACK",
    "SETfile",
    "SETfilekey",
    "SETfileptr",
    "SETkey",
    "SETkeykey",
    "SETkeyptr",
    "SETkeykeyptr",
    "SHARE",
    "SKIP",
    "UNLOCK",
    "ADDfilelen",
    "BYTES",
    "GETfileptrlen",
    "PUTfileptr",
    "PUTfileptrlen",
    "STREAM",
    "DUPLICATEkey",
    "WATCH",
    "APPENDlen",
    "SEND",
    "POSITIONfile",
    "POSITIONkey",
    "RESETfile",
    "RESETkey",
    "NOMEMO",
    "REGETfile",
    "REGETkey",
    "NULL",
    "SETNULL",
    "SETNONULL",
    "SET_PROPERTY",
    "GET_PROPERTY",
    "QUERY_KEY",
    "QUERY_VIEW",
    "BLOB_YIELD",
    "BLOB_TAKE",
    "BLOB_SIZE",
    "BLOB_SET_PROP",
    "BLOB_GET_PROP",
    "BUFFER",
    "SETview",
    "CLEAR",
    "RESETviewfile",
    "BUILDevent",
    "SETPROPERTYkey",
    "GETPROPERTYkey",
    "Internal87",
    "DO_PROPERTY",
    "DOPROPERTYkey",
    "DOPROPERTYblob",
    "Internal91",
    "INVIEW",
    "ENDVIEW",
    "Internal94",
    "COUNTRECORDS",
    "GETNULLS",
    "SETNULLS",
    "GETSTATE",
    "RESTORESTATE",
    "Internal100",
    "(101)",
    "FREESTATE",
    "SQLCALLBACK",
    "DESTROY",
};

}  // namespace

std::string_view operationName(int code) {
    if (code < 0 || code >= op::Count) return {};
    return kNames[static_cast<size_t>(code)];
}

int operationCode(std::string_view name) {
    auto it = std::find(kNames.begin(), kNames.end(), name);
    return it == kNames.end() ? -1 : static_cast<int>(it - kNames.begin());
}

bool transfersRecord(int code) {
    switch (code) {
    case op::ADD: case op::ADDfilelen: case op::APPEND: case op::APPENDlen:
    case op::DELETE: case op::GETfilekey: case op::GETfileptr: case op::GETfileptrlen:
    case op::GETkeyptr: case op::NEXT: case op::PREVIOUS: case op::PUT:
    case op::PUTfileptr: case op::PUTfileptrlen: case op::REGETfile: case op::REGETkey:
        return true;
    default:
        return false;
    }
}

}  // namespace varnok::textfile
