// TraceLog: the log of file operations. The dispatcher calls traceBegin
// before it hands an operation to a driver and traceEnd with the driver's
// answer; the text driver calls traceLockFailure for each failed attempt of
// LOCKfilesec. When tracing is off these calls cost a flag test.
//
// Every line starts with the local time of day "HH:MM:SS.hh ". One traced
// operation writes:
//   "OPEN(Lines:1) "                       name, file label, instance (hex)
//   "SETkeykey(Cust:1F,ByName[2]) "        ...with a key: label and number
//   "Error:2 File Not Found"               only when the operation failed
//   "Time Taken:0.05 secs"
//   record contents / key values           with Details, for transfers
// With Details, a file's structure dump precedes its first traced operation.
// "Internal87" and "Internal91" are never traced. Tracing never changes the
// operation's result nor the thread's error state.
#pragma once
#include <cstdint>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "textfile/file_decl.h"
#include "textfile/trace_settings.h"

namespace varnok::textfile {

// One traced call in progress, from traceBegin to traceEnd.
struct TraceCall {
    bool active = false;      // false: the call is not traced
    int32_t started = 0;      // clock in hundredths at the start (Profile)
};

// keyNumber: 1-based key of file.keys for an operation through a key, else 0.
TraceCall traceBegin(FileDecl& file, int operation, int keyNumber = 0);
void traceEnd(FileDecl& file, int operation, const TraceCall& call, int32_t result,
              int keyNumber = 0);
// "Locking failed with error <code>" while the trace is active for the file.
void traceLockFailure(const FileDecl& file, int32_t code);

// True once the settings are known and trace nothing: traceBegin would then
// answer an inactive call for any file. A constant-initialised flag, so the
// test is one load with no call; false (ask traceBegin) while not known.
inline std::atomic<bool> gTraceSurelyOff{false};
inline bool traceSurelyOff() { return gTraceSurelyOff.load(std::memory_order_acquire); }

class TraceLog {
public:
    static TraceLog& instance();

    // Reads the settings from the default profile (the first time only).
    const TraceSettings& settings();
    // Uses these settings instead of the profile's; closes the open log.
    void configure(const TraceSettings& settings);
    // Forgets the settings (read again next time), closes the log and
    // forgets which files had their structure dumped.
    void reset();

    bool tracing(const FileDecl& file);
    // Writes one line with the time prefix.
    void writeLine(const std::string& text);

private:
    TraceLog() = default;
    void writeLocked(const std::string& text);
    friend TraceCall traceBegin(FileDecl&, int, int);
    friend void traceEnd(FileDecl&, int, const TraceCall&, int32_t, int);
    friend void traceLockFailure(const FileDecl&, int32_t);

    // Whether any file can be traced: 0 not known yet, 1 no, 2 yes. Read
    // without the lock so that an untraced operation costs one load.
    enum : int { Unknown = 0, Off = 1, On = 2 };
    std::atomic<int> enabled_{Unknown};
    bool quicklyOff() const { return enabled_.load(std::memory_order_acquire) == Off; }

    std::recursive_mutex mutex_;
    bool loaded_ = false;
    TraceSettings settings_;
    std::FILE* out_ = nullptr;
    std::string outName_;
    // Files whose structure was dumped: declaration address, label, instance.
    std::set<std::tuple<const FileDecl*, std::string, uint32_t>> dumped_;
};

// Text of record contents: one line per field "LABEL=value" (arrays by
// element, "LABEL[i]"); texts byte by byte with unprintable bytes as "%02X",
// a BYTE as "%02XH", dates and times as below, numbers in decimal.
std::vector<std::string> recordContentLines(const RecordLayout& layout, const uint8_t* record);
// The values of a key's components, one line each, as recordContentLines.
std::vector<std::string> keyValueLines(const FileDecl& file, const KeyDecl& key);
// "07 Dec 2026 (82939)": day, month, year and the day number; or
// "Invalid date (n)".
std::string traceDateText(int32_t day);
// "13:05:09.07 (n)" or "Invalid time (n)".
std::string traceTimeText(int32_t time);
// "%ld.%02ld secs" of a span in hundredths.
std::string traceElapsedText(int32_t hundredths);

}  // namespace varnok::textfile
