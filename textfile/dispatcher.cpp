#include "textfile/dispatcher.h"

#include <cctype>
#include <mutex>
#include <vector>

#include "runtime/error_codes.h"
#include "textfile/text_driver.h"
#include "textfile/trace_log.h"

namespace varnok::textfile {

namespace {

struct DriverTable {
    std::mutex mutex;
    std::vector<FileDriver*> drivers{&TextDriver::instance()};
};
DriverTable& table() {
    static DriverTable drivers;
    return drivers;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

void registerDriver(FileDriver& driver) {
    DriverTable& t = table();
    std::lock_guard<std::mutex> guard(t.mutex);
    for (FileDriver*& known : t.drivers) {
        if (sameName(known->name(), driver.name())) {
            known = &driver;
            return;
        }
    }
    t.drivers.push_back(&driver);
}

FileDriver* findDriver(std::string_view name) {
    DriverTable& t = table();
    std::lock_guard<std::mutex> guard(t.mutex);
    for (FileDriver* known : t.drivers) {
        if (sameName(known->name(), name)) return known;
    }
    return nullptr;
}

int32_t dispatch(int operation, FileDecl& file, FileArgs& args) {
    FileDriver* driver = findDriver(file.driverName);
    const TraceCall call = traceBegin(file, operation);
    const int32_t code = driver ? driver->call(operation, file, args) : 47;
    traceEnd(file, operation, call, code);
    if (code == 0) {
        clearError();
    } else {
        postError(code);
    }
    return code;
}

int32_t dispatch(int operation, FileDecl& file) {
    FileArgs args;
    return dispatch(operation, file, args);
}

}  // namespace varnok::textfile
