// TraceSettings: whether and how file operations are traced. The settings are
// kept per program, in a section named after the program ("varnok") of the
// platform's default profile, and read once, when the first file that could
// be traced is set up:
//   Trace=1                    trace file operations (off by default)
//   TraceFile=<name>           the log; default "<program>.LOG"
//   Profile=1                  time each operation from its start
//   Details=1                  log record contents and each file's structure
//   Flush=1                    write each log line through at once
//   ALLOWDETAILS=0             forbid record contents whatever Details says
//   LOGFILE=<name> [L1,L2]     the log's name (wins over TraceFile); the
//                              labels in brackets limit tracing to those files
// Entry names are matched without regard to case; a flag is on when its
// value is a non-zero number or starts with Y, T or "ON".
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace varnok::textfile {

inline constexpr const char* TraceProgramName = "varnok";

struct TraceSettings {
    bool trace = false;
    std::string traceFile;            // as given by TraceFile; may be empty
    bool profile = false;
    bool details = false;
    bool flush = false;
    bool allowDetails = true;
    std::string logFile;              // LOGFILE's name part; may be empty
    std::vector<std::string> onlyLabels;  // LOGFILE's bracket list; empty = all

    // Reads the section `program` of the default profile.
    static TraceSettings load(const std::string& program = TraceProgramName);

    // The file the trace is written to: LOGFILE, else TraceFile, else the
    // program's name with ".LOG".
    std::string logFileName(const std::string& program = TraceProgramName) const;
    // Whether operations on the file with this label are traced.
    bool traces(std::string_view fileLabel) const;
    // Whether record contents and structure dumps are written.
    bool detailsWanted() const { return details && allowDetails; }
};

// The flag reading used for every on/off entry.
bool traceFlag(std::string_view value, bool absentValue);
// Splits a LOGFILE value "name [A,B]" into its name and its labels.
void splitLogFileValue(std::string_view value, std::string& name, std::vector<std::string>& labels);

}  // namespace varnok::textfile
