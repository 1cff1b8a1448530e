// Data type codes of record fields. The numbers are fixed: structure dumps,
// the trace log and the record layouts all share them.
#pragma once
#include <cstdint>

namespace varnok {

enum class FieldType : uint8_t {
    End = 0,
    Byte = 1,
    Short = 2,
    UShort = 3,
    Date = 4,
    Time = 5,
    Long = 6,
    ULong = 7,
    SReal = 8,
    Real = 9,
    Decimal = 10,
    PDecimal = 11,
    Dum1 = 12,
    BFloat4 = 13,
    BFloat8 = 14,
    Any = 15,
    TempUfo = 16,
    Type17 = 17,
    String = 18,
    CString = 19,
    PString = 20,
    Memo = 21,
    Group = 22,
    Class = 23,
    Array = 24,
    Field = 25,
    Queue = 26,
    Blob = 27,
    StackStr = 28,
    Picture = 29,
    StdNum = 30,
};

// Name used by structure dumps: "END", "BYTE", ... "STDNUM"; "UNKNOWN"
// for a code outside 0..30.
const char* fieldTypeName(int code);

// True for STRING, CSTRING and PSTRING.
constexpr bool isTextType(FieldType t) {
    return t == FieldType::String || t == FieldType::CString || t == FieldType::PString;
}

}  // namespace varnok
