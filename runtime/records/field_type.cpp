#include "runtime/records/field_type.h"

namespace varnok {

const char* fieldTypeName(int code) {
    static const char* const names[] = {
        "END",    "BYTE",     "SHORT",  "USHORT",   "DATE",    "TIME",    "LONG",   "ULONG",
        "SREAL",  "REAL",     "DECIMAL", "PDECIMAL", "DUM1",   "BFLOAT4", "BFLOAT8", "ANY",
        "TEMPUFO", "(17)",    "STRING", "CSTRING",  "PSTRING", "MEMO",    "GROUP",  "CLASS",
        "ARRAY",  "FIELD",    "QUEUE",  "BLOB",     "STACKSTR", "PICTURE", "STDNUM",
    };
    if (code < 0 || code > 30) return "UNKNOWN";
    return names[code];
}

}  // namespace varnok
