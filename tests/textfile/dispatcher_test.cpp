// The operation dispatcher: finding drivers by name, handing over the
// operation and its arguments, posting the answer, tracing around the call.
#include "textfile/dispatcher.h"

#include <gtest/gtest.h>

#include "runtime/errors/error_codes.h"
#include "tests/textfile/text_file_fixture.h"
#include "textfile/operations.h"
#include "textfile/text_driver.h"
#include "textfile/trace_log.h"

namespace varnok::testing {
namespace {

using namespace textfile;

// A driver that records what it was given and answers a set code.
class RecordingDriver final : public FileDriver {
public:
    explicit RecordingDriver(const char* name) : name_(name) {}
    const char* name() const override { return name_; }
    const char* description() const override { return "Recording"; }
    std::span<const uint8_t> supportedOperations() const override { return {}; }
    int32_t call(int operation, FileDecl& file, FileArgs& args) override {
        lastOperation = operation;
        lastFile = &file;
        lastPointer = args.pointer;
        args.answer = "seen";
        return answer;
    }
    int lastOperation = -1;
    FileDecl* lastFile = nullptr;
    uint32_t lastPointer = 0;
    int32_t answer = 0;

private:
    const char* name_;
};

TEST(Dispatcher, HandsTheOperationToTheNamedDriverAndPostsItsAnswer) {
    static RecordingDriver recorder("RECORDER");
    registerDriver(recorder);
    EXPECT_EQ(findDriver("recorder"), &recorder);
    EXPECT_EQ(findDriver("ascii"), &TextDriver::instance());
    EXPECT_EQ(findDriver("nosuch"), nullptr);

    FileDecl file;
    file.driverName = "Recorder";
    FileArgs args;
    args.pointer = 77;
    recorder.answer = 33;
    EXPECT_EQ(dispatch(op::GETfileptr, file, args), 33);
    EXPECT_EQ(recorder.lastOperation, op::GETfileptr);
    EXPECT_EQ(recorder.lastFile, &file);
    EXPECT_EQ(recorder.lastPointer, 77u);
    EXPECT_EQ(args.answer, "seen");
    EXPECT_EQ(errorCode(), 33);
    EXPECT_EQ(errorText(), "Record Not Available");
    // Success clears what an earlier operation posted.
    recorder.answer = 0;
    EXPECT_EQ(dispatch(op::NEXT, file), 0);
    EXPECT_EQ(errorCode(), 0);

    // A later driver of the same name replaces the first.
    static RecordingDriver replacement("recorder");
    registerDriver(replacement);
    dispatch(op::SETfile, file);
    EXPECT_EQ(replacement.lastOperation, op::SETfile);
    EXPECT_EQ(recorder.lastOperation, op::NEXT);
}

TEST(Dispatcher, UnknownDriverIsAnInvalidDeclaration) {
    FileDecl file;
    file.driverName = "NOSUCHDRIVER";
    EXPECT_EQ(dispatch(op::OPEN, file), 47);
    EXPECT_EQ(errorCode(), 47);
}

TEST(Dispatcher, TracesEachOperationWithItsResult) {
    ScratchDir dir;
    TraceSettings settings;
    settings.trace = true;
    settings.logFile = dir.file("trace.log");
    TraceLog::instance().configure(settings);
    {
        TextFile missing(dir.file("missing.txt"));
        EXPECT_EQ(missing.open(), 2);
    }
    TraceLog::instance().reset();
    const std::string log = readBytes(settings.logFile);
    EXPECT_NE(log.find("OPEN(Lines:0)"), std::string::npos) << log;
    EXPECT_NE(log.find("Error:2"), std::string::npos) << log;
    EXPECT_NE(log.find("Time Taken:"), std::string::npos) << log;
}

TEST(Dispatcher, LockFailuresAreTraced) {
    ScratchDir dir;
    const std::string path = dir.file("locked.txt");
    writeBytes(path, "");
    TraceSettings settings;
    settings.trace = true;
    settings.logFile = dir.file("trace.log");
    TraceLog::instance().configure(settings);
    {
        TextFile a(path), b(path);
        ASSERT_EQ(a.open(ReadWriteDenyNone), 0);
        ASSERT_EQ(b.open(ReadWriteDenyNone), 0);
        ASSERT_EQ(a.run(op::LOCKfile), 0);
        FileArgs none;
        none.seconds = 0;
        EXPECT_EQ(b.run(op::LOCKfilesec, none), 32);
    }
    TraceLog::instance().reset();
    const std::string log = readBytes(settings.logFile);
    EXPECT_NE(log.find("Locking failed with error"), std::string::npos) << log;
}

// A driver that keeps a control block of its own for an open file.
class OwningDriver final : public FileDriver {
public:
    const char* name() const override { return "OWNER"; }
    const char* description() const override { return "Owning"; }
    std::span<const uint8_t> supportedOperations() const override { return {}; }
    int32_t call(int operation, FileDecl& file, FileArgs&) override {
        if (operation == op::OPEN) file.driverState = &block;
        if (operation == op::CLOSE) file.driverState = nullptr;
        if (operation == op::NEXT) ++nexts;
        return 0;
    }
    int block = 0;
    int nexts = 0;
};

// With tracing known to be off, NEXT on an open file takes a short path: it
// must still reach the driver that opened the file, answer what the full path
// answers and leave the thread's error state the same way.
TEST(Dispatcher, NextWithTracingOffKeepsOwnerAndErrorState) {
    TraceSettings off;
    off.trace = false;
    TraceLog::instance().configure(off);

    static OwningDriver owner;
    registerDriver(owner);
    FileDecl other;
    other.driverName = "OWNER";
    ASSERT_EQ(dispatch(op::OPEN, other), 0);
    other.driverName = "ASCII";  // the open file stays with its driver
    EXPECT_EQ(dispatch(op::NEXT, other), 0);
    FileArgs args;
    EXPECT_EQ(dispatch(op::NEXT, other, args), 0);
    EXPECT_EQ(owner.nexts, 2);
    EXPECT_EQ(dispatch(op::CLOSE, other), 0);

    ScratchDir dir;
    const std::string path = dir.file("lines.txt");
    writeBytes(path, "one\r\ntwo\r\n");
    TextFile lines(path);
    ASSERT_EQ(lines.open(ReadOnlyDenyWrite), 0);
    EXPECT_EQ(dispatch(op::NEXT, lines.decl()), 0);
    EXPECT_EQ(lines.record(), "one");
    EXPECT_EQ(dispatch(op::NEXT, lines.decl()), 0);
    EXPECT_EQ(lines.record(), "two");
    EXPECT_EQ(dispatch(op::NEXT, lines.decl()), 33);
    EXPECT_EQ(errorCode(), 33);
    EXPECT_EQ(dispatch(op::NEXT, lines.decl()), 33);
    EXPECT_EQ(lines.run(op::SETfile), 0);
    EXPECT_EQ(errorCode(), 0);
    EXPECT_EQ(dispatch(op::NEXT, lines.decl()), 0);
    postError(5);
    EXPECT_EQ(dispatch(op::NEXT, lines.decl()), 0);
    EXPECT_EQ(errorCode(), 0);  // success clears what was posted before
    EXPECT_EQ(lines.close(), 0);

    // Write-only: NEXT is refused on the short path too.
    TextFile writer(path);
    ASSERT_EQ(writer.open(0x11), 0);
    EXPECT_EQ(dispatch(op::NEXT, writer.decl()), 5);
    EXPECT_EQ(errorCode(), 5);
    TraceLog::instance().reset();
}

}  // namespace
}  // namespace varnok::testing
