// File operation codes: every file operation a program performs reaches a
// file driver as one of these numbers, 0 to 104. Drivers, the dispatcher, the
// trace log and error reports share the codes and their names.
//
// The constants are named after the operations ("GETfileptr", "SETfile"),
// except where the name is a C macro or not an identifier: EOF_ and NULL_,
// NoOperation for "(0)" and Reserved101 for "(101)".
#pragma once
#include <string_view>

namespace varnok::textfile::op {

inline constexpr int NoOperation = 0;
inline constexpr int ADD = 1;
inline constexpr int BOF = 2;
inline constexpr int BUILDfile = 3;
inline constexpr int APPEND = 4;
inline constexpr int BUILDdyn = 5;
inline constexpr int BUILDkey = 6;
inline constexpr int CLOSE = 7;
inline constexpr int COMMIT = 8;
inline constexpr int COPY = 9;
inline constexpr int CREATE = 10;
inline constexpr int DELETE = 11;
inline constexpr int DUPLICATE = 12;
inline constexpr int EMPTY = 13;
inline constexpr int EOF_ = 14;
inline constexpr int GETfilekey = 15;
inline constexpr int GETfileptr = 16;
inline constexpr int GETkeyptr = 17;
inline constexpr int HOLDfile = 18;
inline constexpr int HOLDfilesec = 19;
inline constexpr int LOCKfile = 20;
inline constexpr int LOCKfilesec = 21;
inline constexpr int LOGOUT = 22;
inline constexpr int NAME = 23;
inline constexpr int NEXT = 24;
inline constexpr int OPEN = 25;
inline constexpr int PACK = 26;
inline constexpr int POINTERfile = 27;
inline constexpr int POINTERkey = 28;
inline constexpr int FLUSH = 29;
inline constexpr int PUT = 30;
inline constexpr int PREVIOUS = 31;
inline constexpr int RECORDSfile = 32;
inline constexpr int RECORDSkey = 33;
inline constexpr int BUILDdynfilter = 34;
inline constexpr int STARTRAN = 35;
inline constexpr int RELEASE = 36;
inline constexpr int REMOVE = 37;
inline constexpr int RENAME = 38;
inline constexpr int ENDTRAN = 39;
inline constexpr int ROLLBACK = 40;
inline constexpr int SETfile = 41;
inline constexpr int SETfilekey = 42;
inline constexpr int SETfileptr = 43;
inline constexpr int SETkey = 44;
inline constexpr int SETkeykey = 45;
inline constexpr int SETkeyptr = 46;
inline constexpr int SETkeykeyptr = 47;
inline constexpr int SHARE = 48;
inline constexpr int SKIP = 49;
inline constexpr int UNLOCK = 50;
inline constexpr int ADDfilelen = 51;
inline constexpr int BYTES = 52;
inline constexpr int GETfileptrlen = 53;
inline constexpr int PUTfileptr = 54;
inline constexpr int PUTfileptrlen = 55;
inline constexpr int STREAM = 56;
inline constexpr int DUPLICATEkey = 57;
inline constexpr int WATCH = 58;
inline constexpr int APPENDlen = 59;
inline constexpr int SEND = 60;
inline constexpr int POSITIONfile = 61;
inline constexpr int POSITIONkey = 62;
inline constexpr int RESETfile = 63;
inline constexpr int RESETkey = 64;
inline constexpr int NOMEMO = 65;
inline constexpr int REGETfile = 66;
inline constexpr int REGETkey = 67;
inline constexpr int NULL_ = 68;
inline constexpr int SETNULL = 69;
inline constexpr int SETNONULL = 70;
inline constexpr int SET_PROPERTY = 71;
inline constexpr int GET_PROPERTY = 72;
inline constexpr int QUERY_KEY = 73;
inline constexpr int QUERY_VIEW = 74;
inline constexpr int BLOB_YIELD = 75;
inline constexpr int BLOB_TAKE = 76;
inline constexpr int BLOB_SIZE = 77;
inline constexpr int BLOB_SET_PROP = 78;
inline constexpr int BLOB_GET_PROP = 79;
inline constexpr int BUFFER = 80;
inline constexpr int SETview = 81;
inline constexpr int CLEAR = 82;
inline constexpr int RESETviewfile = 83;
inline constexpr int BUILDevent = 84;
inline constexpr int SETPROPERTYkey = 85;
inline constexpr int GETPROPERTYkey = 86;
inline constexpr int Internal87 = 87;
inline constexpr int DO_PROPERTY = 88;
inline constexpr int DOPROPERTYkey = 89;
inline constexpr int DOPROPERTYblob = 90;
inline constexpr int Internal91 = 91;
inline constexpr int INVIEW = 92;
inline constexpr int ENDVIEW = 93;
inline constexpr int Internal94 = 94;
inline constexpr int COUNTRECORDS = 95;
inline constexpr int GETNULLS = 96;
inline constexpr int SETNULLS = 97;
inline constexpr int GETSTATE = 98;
inline constexpr int RESTORESTATE = 99;
inline constexpr int Internal100 = 100;
inline constexpr int Reserved101 = 101;
inline constexpr int FREESTATE = 102;
inline constexpr int SQLCALLBACK = 103;
inline constexpr int DESTROY = 104;

inline constexpr int Count = 105;  // codes run from 0 to Count - 1

}  // namespace varnok::textfile::op

namespace varnok::textfile {

// The operation's name ("ADD", "GETfileptr", "(0)"); "" outside 0..104.
std::string_view operationName(int code);

// The code of an operation name (exact, case-sensitive match), or -1.
int operationCode(std::string_view name);

// Operations after which the trace shows the record buffer: the ones that
// transfer one record between the file and the buffer.
bool transfersRecord(int code);

}  // namespace varnok::textfile
