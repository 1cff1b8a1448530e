// ChildProcess: a test that runs parts of itself in other processes, the
// same way on every system. The test executable is started again, running
// only the current test, with the child's role and arguments in its
// environment; the test asks childRole() first and, in a child, does that
// part and ends with exitChild(status), which skips the rest of the test and
// every clean-up. Parent and child talk through two pipes, a byte at a time,
// so each side can wait for the other without sleeping.
//
// The header names no system; tests/platform/child_process.cpp does the
// work (in the test support library).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace varnok::testing {

// The role this process was started for; empty in the parent.
std::string childRole();
// The arguments the parent gave this child.
std::vector<std::string> childArguments();
// In a child: one byte to the parent, or from it (false when it is gone).
bool tellParent(char byte);
bool hearFromParent(char& byte);
// Ends the child at once with that status: no further test code, no
// destructors, no clean-up of the parent's files.
[[noreturn]] void exitChild(int status);

class ChildProcess {
public:
    // Starts the current test again in a child with that role.
    explicit ChildProcess(const std::string& role, const std::vector<std::string>& arguments = {});
    // A child still running is killed and waited for.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return running_ || finished_; }
    long id() const { return id_; }

    bool tell(char byte);
    bool hear(char& byte);

    // Waits for the child to end; its exit status (100 + the signal on POSIX
    // systems when a signal ended it).
    int wait();
    // Ends the child at once, wherever it is (TerminateProcess, SIGKILL).
    void kill();

private:
    void start(const std::string& value);
    void closeChannel();

    intptr_t process_ = 0;     // the process handle on Windows
    intptr_t toChild_ = -1;    // pipe ends: descriptors or HANDLEs
    intptr_t fromChild_ = -1;
    long id_ = 0;
    int status_ = -1;
    bool running_ = false;
    bool finished_ = false;
};

}  // namespace varnok::testing
