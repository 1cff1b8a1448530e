#include "textfile/dispatcher.h"

#include <atomic>
#include <cctype>
#include <string>
#include <mutex>
#include <vector>

#include "platform/ascii_text.h"
#include "runtime/errors/error_codes.h"
#include "runtime/support/per_thread.h"
#include "textfile/operations.h"
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

constexpr auto sameName = platform::sameAsciiText;

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
// the last name it looked up, until a driver is registered. The memory is
// plain data so that reaching it costs no more than a load.
struct LastLookup {
    static constexpr size_t kLongest = 31;
    char name[kLongest + 1];
    size_t size;
    FileDriver* driver;
    uint32_t generation;
};
thread_local LastLookup tLast{};

FileDriver* driverFor(const std::string& name) {
    LastLookup& last = tLast;
    const uint32_t generation = gGeneration.load(std::memory_order_acquire);
    if (last.driver && last.generation == generation && last.size == name.size()) {
        size_t i = 0;
        while (i < name.size() && name[i] == last.name[i]) ++i;
        if (i == name.size()) return last.driver;
    }
    FileDriver* driver = findDriver(name);
    if (driver && name.size() <= LastLookup::kLongest) {
        name.copy(last.name, name.size());
        last.size = name.size();
        last.driver = driver;
        last.generation = generation;
    }
    return driver;
}

}  // namespace

namespace {

// The thread's error state after an operation: its code, or cleared on
// success (left alone when already clear, the usual case).
inline void settleError(int32_t code) {
    if (code == 0) {
        if (!errorSurelyClear() && errorCode() != 0) clearError();
    } else {
        postError(code);
    }
}

// NEXT through an open text file with tracing off, the loop of nearly every
// reading program: straight to the read, the error state settled as below.
// The owner test keeps a file opened by another driver with that driver;
// NEXT takes no arguments and leaves the file's owner as it was. Answers
// false, doing nothing, for any other operation or file.
inline bool quickNext(int operation, FileDecl& file, int32_t& code) {
    if (operation != op::NEXT || !traceSurelyOff() || !TextDriver::nextOnOpenFile(file, code)) return false;
    settleError(code);
    return true;
}

}  // namespace

int32_t dispatch(int operation, FileDecl& file, FileArgs& args) {
    if (int32_t code = 0; quickNext(operation, file, code)) return code;
    // An open file stays with the driver that opened it: its control block
    // means nothing to any other, whatever the declaration names meanwhile.
    FileDriver* driver = file.driverState && file.stateOwner ? static_cast<FileDriver*>(file.stateOwner)
                                                            : driverFor(file.driverName);
    const TraceCall call = traceBegin(file, operation);
    const int32_t code = driver ? driver->call(operation, file, args) : 47;
    file.stateOwner = file.driverState ? driver : nullptr;
    if (call.active) traceEnd(file, operation, call, code);
    settleError(code);
    return code;
}

int32_t dispatch(int operation, FileDecl& file) {
    int32_t code = 0;
    if (quickNext(operation, file, code)) return code;
    // One set of arguments per thread, emptied of what the last operation
    // left in it: building a fresh one costs more than a NEXT. Drivers only
    // write the answer members, so the texts are usually empty already.
    static PerThread<FileArgs> perThread;
    FileArgs& args = perThread.get();
    args.access = 0;
    args.pointer = args.length = args.seconds = 0;
    if (!args.text.empty()) args.text.clear();
    if (!args.value.empty()) args.value.clear();
    args.position = {};
    args.state = nullptr;
    return dispatch(operation, file, args);
}

}  // namespace varnok::textfile
