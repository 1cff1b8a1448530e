#include "runtime/errors/fatal_error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>

#include "runtime/errors/error_codes.h"
#include "runtime/records/record_layout.h"

// Allocation that a test can make fail on one thread. The replacement
// holds for the whole test program, so every plain and array form is
// replaced together (a form left out would pair the library's allocation
// with this free, or the other way round).
// GCC takes the free in these deletes for a mismatch with the new it sees
// beside them; here both sides are malloc and free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
thread_local bool tFailAllocations = false;
void* allocate(std::size_t bytes) noexcept {
    return tFailAllocations ? nullptr : std::malloc(bytes ? bytes : 1);
}
}  // namespace

void* operator new(std::size_t bytes) {
    if (void* p = allocate(bytes)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t bytes) { return operator new(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return allocate(bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return allocate(bytes); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace varnok {
namespace {

TEST(FatalErrorText, CodeTextThenGivenText) {
    const struct {
        int32_t code;
        std::string text;
        std::string expected;
    } cases[] = {
        {0, "Parameter typing error", "Parameter typing error"},
        {8, "", "Insufficient Memory"},
        {8, "a queue entry", "Insufficient Memory : a queue entry"},
        {402, "", "Null pointer de-reference"},
        {123, "", "Unknown Error Posted : 123"},
        {123, "x", "Unknown Error Posted : 123 : x"},
        {0, "", ""},
        {0, std::string(1200, 'z'), std::string(FatalMessageLimit, 'z')},
        {35, std::string(1200, 'z'), "Record Not Found : " + std::string(FatalMessageLimit - 19, 'z')},
    };
    for (const auto& c : cases) EXPECT_EQ(fatalErrorText(c.code, c.text), c.expected) << c.code << " " << c.text;
}

class FatalErrorDeath : public ::testing::Test {
protected:
    FatalErrorDeath() {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        setFatalErrorHandler(nullptr);
        setFatalErrorHandlerInForce(true);
    }
};

TEST_F(FatalErrorDeath, WithoutHandlerTheQuestionGoesToStandardErrorAndTheExitCodeIs2) {
    EXPECT_EXIT(fatalRuntimeError(0, "Parameter typing error"), ::testing::ExitedWithCode(2),
                "^Runtime error\nParameter typing error\nDo you want to GPF\\?\n$");
    EXPECT_EXIT(fatalRuntimeError(8, "the thread's error state"), ::testing::ExitedWithCode(2),
                "^Runtime error\nInsufficient Memory : the thread's error state\nDo you want to GPF\\?\n$");
}

int lastHandledCode = -1;

void handlerThatChecks(int32_t code) {
    // The message is current and the code posted before the handler runs.
    std::fprintf(stderr, "handled %d [%s] posted %d\n", static_cast<int>(code), fatalErrorMessage(),
                 static_cast<int>(errorCode()));
    lastHandledCode = code;
}

TEST_F(FatalErrorDeath, AHandlerInForceGetsTheCodeAndNoBoxIsShown) {
    setFatalErrorHandler(handlerThatChecks);
    EXPECT_EXIT(fatalRuntimeError(402, "in GET"), ::testing::ExitedWithCode(2),
                "^handled 402 \\[Null pointer de-reference : in GET\\] posted 402\n$");
    setFatalErrorHandler(nullptr);
}

TEST_F(FatalErrorDeath, AHandlerNotInForceMeansNothingIsShown) {
    setFatalErrorHandler(handlerThatChecks);
    setFatalErrorHandlerInForce(false);
    EXPECT_EXIT(fatalRuntimeError(402, "in GET"), ::testing::ExitedWithCode(2), "^$");
    setFatalErrorHandlerInForce(true);
    setFatalErrorHandler(nullptr);
}

void handlerThatFailsAgain(int32_t) { fatalRuntimeError(7, "inside the handler"); }

TEST_F(FatalErrorDeath, AFatalErrorInsideTheHandlerStillEndsTheProgram) {
    setFatalErrorHandler(handlerThatFailsAgain);
    EXPECT_EXIT(fatalRuntimeError(8, ""), ::testing::ExitedWithCode(2),
                "^Runtime error\nMemory Corrupted : inside the handler\nDo you want to GPF\\?\n$");
    setFatalErrorHandler(nullptr);
}

// The runtime's own roads into the fatal error.

#ifndef _WIN32  // the Windows C runtime allocates on the way out of exit(), which this test forbids
TEST_F(FatalErrorDeath, AThreadWhoseErrorStateCannotBeMadeEndsTheProgram) {
    // The whole road, from the failed allocation to the exit, allocates nothing.
    EXPECT_EXIT(
        {
            std::thread worker([] {
                tFailAllocations = true;
                errorCode();
            });
            worker.join();
        },
        ::testing::ExitedWithCode(2),
        "^Runtime error\nInsufficient Memory : the thread's error state cannot be made\nDo you want to GPF\\?\n$");
}
#endif

TEST_F(FatalErrorDeath, ARecordOf4GBOrMoreCannotBeDeclared) {
    const char* expected = "^Runtime error\nInvalid Record Declaration : a record cannot hold 4 GB or more\n";
    EXPECT_EXIT(RecordLayoutBuilder().string("A", 0xFFFFFFF0u).string("B", 0x10).build(),
                ::testing::ExitedWithCode(2), expected);
    EXPECT_EXIT(RecordLayoutBuilder().string("A", 16).dim({65536, 65536}).build(), ::testing::ExitedWithCode(2),
                expected);
    EXPECT_EXIT(RecordLayoutBuilder().beginGroup("G", {65536}).string("A", 65536).endGroup().build(),
                ::testing::ExitedWithCode(2), expected);
    // One byte less is a record like any other.
    EXPECT_EQ(RecordLayoutBuilder().string("A", 0xFFFFFFF0u).string("B", 0x0F).build().size(), 0xFFFFFFFFu);
}

TEST(FatalErrorHandler, InstallingAnswersThePreviousOne) {
    EXPECT_EQ(setFatalErrorHandler(handlerThatChecks), nullptr);
    EXPECT_EQ(fatalErrorHandler(), &handlerThatChecks);
    EXPECT_EQ(setFatalErrorHandler(nullptr), &handlerThatChecks);
    EXPECT_TRUE(fatalErrorHandlerInForce());
    EXPECT_STREQ(fatalErrorMessage(), "") << "no fatal error in progress";
}

}  // namespace
}  // namespace varnok
