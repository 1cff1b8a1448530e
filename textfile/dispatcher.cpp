#include "textfile/dispatcher.h"

#include <atomic>
#include <cctype>
#include <string>
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
// Moves on every registration; constant-initialised so reading it is a load.
std::atomic<uint32_t> gGeneration{0};
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
            gGeneration.fetch_add(1);
            return;
        }
    }
    t.drivers.push_back(&driver);
    gGeneration.fetch_add(1);
}

FileDriver* findDriver(std::string_view name) {
    DriverTable& t = table();
    std::lock_guard<std::mutex> guard(t.mutex);
    for (FileDriver* known : t.drivers) {
        if (sameName(known->name(), name)) return known;
    }
    return nullptr;
}

namespace {

// Programs run many operations on one file in a row: each thread remembers
// the last name it looked up, until a driver is registered.
FileDriver* driverFor(const std::string& name) {
    thread_local std::string lastName;
    thread_local FileDriver* lastDriver = nullptr;
    thread_local uint32_t lastGeneration = UINT32_MAX;
    const uint32_t generation = gGeneration.load(std::memory_order_acquire);
    if (lastDriver && generation == lastGeneration && name == lastName) return lastDriver;
    FileDriver* driver = findDriver(name);
    if (driver) {
        lastName = name;
        lastDriver = driver;
        lastGeneration = generation;
    }
    return driver;
}

}  // namespace

int32_t dispatch(int operation, FileDecl& file, FileArgs& args) {
    FileDriver* driver = driverFor(file.driverName);
    const TraceCall call = traceBegin(file, operation);
    const int32_t code = driver ? driver->call(operation, file, args) : 47;
    traceEnd(file, operation, call, code);
    if (code == 0) {
        if (errorCode() != 0) clearError();
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
