#include "textfile/trace_log.h"

#include <cinttypes>
#include <cstring>

#include "platform/local_time.h"
#include "runtime/records/raw_field.h"
#include "runtime/calendar/dates.h"
#include "runtime/errors/error_codes.h"
#include "textfile/operations.h"
#include "textfile/structure_dump.h"

namespace varnok::textfile {

namespace {

constexpr int32_t kDayHundredths = 8'640'000;
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool neverTraced(int operation) {
    return operation == op::Internal87 || operation == op::Internal91;
}

// Record contents (not the structure) may be logged unless the file is protected by a password
// or encrypted: its data must not leak into a plain log.
bool fileAllowsDetails(const FileDecl& file) { return file.owner.empty() && !file.encrypt; }

std::string timePrefix() {
    platform::LocalTime now = platform::localTime();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%02d ", now.hour, now.minute, now.second,
                  now.hundredths);
    return buf;
}

// The text of an error for the "Error:" line; a file system error or a
// declaration error carries its own message in the file error text.
std::string errorLineText(int32_t code) {
    if ((code == FileSystemErr || code == InvalidRecordDeclarationErr) && errorCode() == code) {
        std::string own = fileErrorText();
        if (!own.empty()) return own;
    }
    if (const char* text = errorTableText(code)) return text;
    return std::string(errorTableText(UnknownErrorPostedErr)) + " : " + std::to_string(code);
}

std::string operationLine(const FileDecl& file, int operation, int keyNumber) {
    char instance[16];
    std::snprintf(instance, sizeof instance, "%" PRIX32, file.instance);
    std::string line = std::string(operationName(operation)) + "(" + file.label + ":" + instance;
    if (keyNumber > 0 && static_cast<size_t>(keyNumber) <= file.keys.size()) {
        const KeyDecl& key = file.keys[static_cast<size_t>(keyNumber) - 1];
        line += "," + (key.label.empty() ? key.name : key.label) + "[" + std::to_string(keyNumber) + "]";
    }
    return line + ") ";
}

void appendBytes(std::string& out, const uint8_t* p, size_t n) {
    char hex[4];
    for (size_t i = 0; i < n; ++i) {
        if (p[i] >= 0x20 && p[i] < 0x7F) {
            out.push_back(static_cast<char>(p[i]));
        } else {
            std::snprintf(hex, sizeof hex, "%02X", p[i]);
            out += hex;
        }
    }
}

// Text fields without their padding: a STRING without trailing spaces, a
// CSTRING up to its terminator, a PSTRING by its length byte.
void appendText(std::string& out, const FieldDesc& f, const uint8_t* p) {
    size_t n = f.size;
    if (f.type == FieldType::CString) {
        const void* nul = std::memchr(p, 0, n);
        if (nul) n = static_cast<size_t>(static_cast<const uint8_t*>(nul) - p);
    } else if (f.type == FieldType::PString) {
        if (n == 0) return;
        size_t len = p[0];
        appendBytes(out, p + 1, len < n ? len : n - 1);
        return;
    } else {
        while (n > 0 && p[n - 1] == ' ') --n;
    }
    appendBytes(out, p, n);
}

std::string valueText(const FieldDesc& f, const uint8_t* p) {
    std::string out;
    char buf[64];
    switch (f.type) {
    case FieldType::Byte:
        std::snprintf(buf, sizeof buf, "%02XH", p[0]);
        return buf;
    case FieldType::Short:
        if (f.size >= 2) return std::to_string(loadRaw<int16_t>(p));
        break;
    case FieldType::UShort:
        if (f.size >= 2) return std::to_string(loadRaw<uint16_t>(p));
        break;
    case FieldType::Long:
        if (f.size >= 4) return std::to_string(loadRaw<int32_t>(p));
        break;
    case FieldType::ULong:
        if (f.size >= 4) return std::to_string(loadRaw<uint32_t>(p));
        break;
    case FieldType::SReal:
        if (f.size >= 4) {
            std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(loadRaw<float>(p)));
            return buf;
        }
        break;
    case FieldType::Real:
        if (f.size >= 8) {
            std::snprintf(buf, sizeof buf, "%.15g", loadRaw<double>(p));
            return buf;
        }
        break;
    case FieldType::Date:
        if (f.size >= 4) {
            int32_t day = packedToDate(p);
            bool empty = loadRaw<uint32_t>(p) == 0;
            return traceDateText(day == 0 && !empty ? loadRaw<int32_t>(p) : day);
        }
        break;
    case FieldType::Time:
        if (f.size >= 4) {
            int32_t time = packedToTime(p);
            bool empty = loadRaw<uint32_t>(p) == 0;
            return traceTimeText(time == 0 && !empty ? loadRaw<int32_t>(p) : time);
        }
        break;
    case FieldType::String:
    case FieldType::CString:
    case FieldType::PString:
        appendText(out, f, p);
        return out;
    default:
        break;
    }
    appendBytes(out, p, f.size);
    return out;
}

void appendFieldLines(const FieldDesc& f, const uint8_t* record, std::vector<std::string>& lines) {
    for (uint32_t e = 0; e < f.elements; ++e) {
        std::string label = f.name;
        if (f.elements > 1) label += "[" + std::to_string(e + 1) + "]";
        lines.push_back(label + "=" + valueText(f, record + f.offset + static_cast<size_t>(e) * f.size));
    }
}

}  // namespace

std::string traceDateText(int32_t day) {
    CalendarDate c;
    if (day < FirstStandardDate || day > LastStandardDate || dateToCalendar(day, c) != 0)
        return "Invalid date (" + std::to_string(day) + ")";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d %s %d (%ld)", c.day, kMonths[c.month - 1],
                  static_cast<int>(c.year), static_cast<long>(day));
    return buf;
}

std::string traceTimeText(int32_t time) {
    TimeRecord r;
    if (time < 1 || time > LastStandardTime || timeToRecord(time, r) != 0)
        return "Invalid time (" + std::to_string(time) + ")";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%02d (%ld)", r.hours, r.minutes, r.seconds,
                  r.hundredths, static_cast<long>(time));
    return buf;
}

std::string traceElapsedText(int32_t hundredths) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%ld.%02ld secs", static_cast<long>(hundredths / 100),
                  static_cast<long>(hundredths % 100));
    return buf;
}

std::vector<std::string> recordContentLines(const RecordLayout& layout, const uint8_t* record) {
    std::vector<std::string> lines;
    const auto& fields = layout.fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const FieldDesc& f = fields[i];
        if (f.type != FieldType::Group) {
            appendFieldLines(f, record, lines);
        } else if (f.elements > 1) {
            // The members describe the first element only: show the whole
            // group's bytes instead and skip them.
            appendFieldLines(f, record, lines);
            i += f.groupFieldCount;
        }
        // A single group's members follow it and are shown one by one.
    }
    return lines;
}

std::vector<std::string> keyValueLines(const FileDecl& file, const KeyDecl& key) {
    std::vector<std::string> lines;
    if (!file.record || !file.buffer) return lines;
    for (int32_t c : key.components) {
        int64_t number = c < 0 ? -static_cast<int64_t>(c) : c;
        if (number > INT32_MAX) continue;
        if (const FieldDesc* f = file.record->field(static_cast<int>(number)))
            appendFieldLines(*f, file.buffer, lines);
    }
    return lines;
}

TraceLog& TraceLog::instance() {
    static TraceLog log;
    return log;
}

const TraceSettings& TraceLog::settings() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    if (!loaded_) {
        settings_ = TraceSettings::load();
        loaded_ = true;
        enabled_.store(settings_.trace ? On : Off, std::memory_order_release);
        gTraceSurelyOff.store(!settings_.trace, std::memory_order_release);
    }
    return settings_;
}

void TraceLog::configure(const TraceSettings& settings) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    if (out_) std::fclose(out_);
    out_ = nullptr;
    settings_ = settings;
    loaded_ = true;
    enabled_.store(settings_.trace ? On : Off, std::memory_order_release);
    gTraceSurelyOff.store(!settings_.trace, std::memory_order_release);
}

void TraceLog::reset() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    if (out_) std::fclose(out_);
    out_ = nullptr;
    loaded_ = false;
    enabled_.store(Unknown, std::memory_order_release);
    gTraceSurelyOff.store(false, std::memory_order_release);
    settings_ = TraceSettings();
    dumped_.clear();
}

bool TraceLog::tracing(const FileDecl& file) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    return settings().traces(file.label);
}

void TraceLog::writeLine(const std::string& text) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    writeLocked(text);
}

void TraceLog::writeLocked(const std::string& text) {
    const TraceSettings& s = settings();
    std::string name = s.logFileName();
    if (out_ && name != outName_) {
        std::fclose(out_);
        out_ = nullptr;
    }
    if (!out_) {
        // A log that cannot be opened is skipped: tracing must not make the
        // traced operation fail.
        out_ = std::fopen(name.c_str(), "ab");
        if (!out_) return;
        outName_ = name;
    }
    std::string line = timePrefix() + text + "\n";
    std::fwrite(line.data(), 1, line.size(), out_);
    if (s.flush) std::fflush(out_);
}

TraceCall traceBegin(FileDecl& file, int operation, int keyNumber) {
    if (neverTraced(operation)) return {};
    TraceLog& log = TraceLog::instance();
    if (log.quicklyOff()) return {};
    std::lock_guard<std::recursive_mutex> guard(log.mutex_);
    if (!log.tracing(file)) return {};
    const TraceSettings& s = log.settings();
    if (s.detailsWanted()) {
        auto id = std::make_tuple(static_cast<const FileDecl*>(&file), file.label, file.instance);
        if (log.dumped_.insert(id).second) {
            for (const std::string& line : structureDumpLines(file)) log.writeLocked(line);
        }
    }
    log.writeLocked(operationLine(file, operation, keyNumber));
    TraceCall call;
    call.active = true;
    if (s.profile) call.started = platform::clockHundredths();
    return call;
}

void traceEnd(FileDecl& file, int operation, const TraceCall& call, int32_t result, int keyNumber) {
    if (!call.active) return;
    TraceLog& log = TraceLog::instance();
    std::lock_guard<std::recursive_mutex> guard(log.mutex_);
    const TraceSettings& s = log.settings();
    int32_t ended = platform::clockHundredths();
    int32_t started = s.profile ? call.started : ended;
    int32_t elapsed = ended - started;
    if (elapsed < 0) elapsed += kDayHundredths;  // the operation ran past midnight

    if (result != 0) log.writeLocked("Error:" + std::to_string(result) + " " + errorLineText(result));
    log.writeLocked("Time Taken:" + traceElapsedText(elapsed));

    if (!s.detailsWanted() || !fileAllowsDetails(file) || !file.record || !file.buffer) return;
    std::vector<std::string> lines;
    if (transfersRecord(operation)) {
        lines = recordContentLines(*file.record, file.buffer);
    } else if ((operation == op::SETkeykey || operation == op::SETkeykeyptr) && keyNumber > 0 &&
               static_cast<size_t>(keyNumber) <= file.keys.size()) {
        lines = keyValueLines(file, file.keys[static_cast<size_t>(keyNumber) - 1]);
    }
    for (const std::string& line : lines) log.writeLocked("  " + line);
}

void traceLockFailure(const FileDecl& file, int32_t code) {
    TraceLog& log = TraceLog::instance();
    if (log.quicklyOff()) return;
    std::lock_guard<std::recursive_mutex> guard(log.mutex_);
    if (!log.tracing(file)) return;
    log.writeLocked("Locking failed with error " + std::to_string(code));
}

}  // namespace varnok::textfile
