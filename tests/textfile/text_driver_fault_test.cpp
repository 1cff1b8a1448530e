// Fault injection: the driver's system calls fail one at a time, the Nth call
// for N = 1, 2, ... until a run passes with no fault. Every operation must end
// in success or one of its documented errors, and the file must hold whole
// lines only: each added line present exactly when its ADD succeeded, a
// rewritten line either old or new.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "platform/os_file.h"
#include "tests/textfile/text_file_fixture.h"

namespace varnok::testing {
namespace {

using namespace textfile;

// Fails the call numbered failAt (counting every system call of the file
// layer): a write that fails has put half of its bytes, a close that fails
// has released the file (platform/os_file.h).
struct FaultPlan {
    int failAt = 0;
    int calls = 0;
    bool fired = false;
    bool failNow() {
        if (++calls != failAt) return false;
        fired = true;
        return true;
    }
};
FaultPlan gPlan;

class FaultInjection {
public:
    explicit FaultInjection(int failAt) {
        gPlan = FaultPlan{failAt};
        platform::setOsFaultHook([](platform::OsCall) { return gPlan.failNow(); });
    }
    ~FaultInjection() { platform::setOsFaultHook(nullptr); }
};

std::string lineText(int id, const char* tag) {
    char text[32];
    std::snprintf(text, sizeof text, "line-%04d-%s", id, tag);
    return text;
}

std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = bytes.find("\r\n", start)) != std::string::npos; start = at + 2) {
        lines.push_back(bytes.substr(start, at - start));
    }
    if (start != bytes.size()) lines.push_back("PARTIAL:" + bytes.substr(start));
    return lines;
}

struct Outcome {
    std::vector<int32_t> addCodes;
    int32_t putCode = -1;
};

// Opens, appends three lines, reads everything, rewrites line 2, closes.
// Checks each answer against the operation's documented errors.
Outcome runScenario(const std::string& path, uint8_t mode) {
    // 329/330: write and read faults; 5: no lock for a shared write; 33: the
    // end, or no current line; 37: the file did not open.
    const std::set<int32_t> documented = {0, 5, 33, 37, 329, 330};
    Outcome outcome;
    TextFile f(path, 20);
    const int32_t opened = f.open(mode);
    EXPECT_TRUE(opened == 0 || opened == 330) << opened;
    for (int id = 100; id < 103; ++id) {
        const int32_t code = f.add(lineText(id, "add"));
        EXPECT_TRUE(documented.count(code)) << "ADD " << code;
        outcome.addCodes.push_back(code);
    }
    f.run(op::SETfile);
    for (int guard = 0; guard < 20; ++guard) {
        const int32_t code = f.next();
        EXPECT_TRUE(documented.count(code)) << "NEXT " << code;
        if (code == 33 || code == 37) break;
    }
    const int32_t got = f.withPointer(op::GETfileptr, 2 * 15 + 1);
    EXPECT_TRUE(documented.count(got)) << "GETfileptr " << got;
    if (got == 0 && f.record() != lineText(2, "old")) ADD_FAILURE() << "read " << f.record();
    f.setRecord(lineText(2, "new"));
    outcome.putCode = f.run(op::PUT);
    EXPECT_TRUE(documented.count(outcome.putCode)) << "PUT " << outcome.putCode;
    const int32_t closed = f.close();
    EXPECT_TRUE(closed == 0 || closed == 330) << "CLOSE " << closed;
    return outcome;
}

void checkWholeLines(const std::string& bytes, const Outcome& outcome) {
    std::multiset<std::string> lines;
    for (const std::string& line : splitLines(bytes)) lines.insert(line);
    for (int id = 0; id < 5; ++id) {
        if (id == 2) continue;
        EXPECT_EQ(lines.count(lineText(id, "old")), 1u) << bytes;
    }
    const bool rewritten = outcome.putCode == 0;
    EXPECT_EQ(lines.count(lineText(2, "old")), rewritten ? 0u : 1u) << bytes;
    EXPECT_EQ(lines.count(lineText(2, "new")), rewritten ? 1u : 0u) << bytes;
    size_t expected = 5;
    for (int k = 0; k < 3; ++k) {
        const bool added = outcome.addCodes[k] == 0;
        EXPECT_EQ(lines.count(lineText(100 + k, "add")), added ? 1u : 0u) << bytes;
        expected += added;
    }
    EXPECT_EQ(lines.size(), expected) << bytes;
}

void sweep(uint8_t mode) {
    ScratchDir dir;
    const std::string path = dir.file("faults.txt");
    std::string initial;
    for (int id = 0; id < 5; ++id) initial += lineText(id, "old") + "\r\n";
    int failAt = 1;
    for (;; ++failAt) {
        writeBytes(path, initial);
        Outcome outcome;
        bool fired = false;
        {
            FaultInjection faults(failAt);
            outcome = runScenario(path, mode);
            fired = gPlan.fired;
        }
        checkWholeLines(readBytes(path), outcome);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "with call " << failAt << " failing";
            return;
        }
        if (!fired) break;
        ASSERT_LT(failAt, 500) << "the scenario never runs out of calls";
    }
    EXPECT_GT(failAt, 10);  // the scenario made calls that could fail
}

TEST(TextDriverFaults, ExclusiveFileHoldsOnlyWholeLines) { sweep(ReadWriteDenyAll); }

TEST(TextDriverFaults, SharedFileHoldsOnlyWholeLines) { sweep(ReadWriteDenyNone); }

}  // namespace
}  // namespace varnok::testing
