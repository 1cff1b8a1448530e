// ChildProcess: a test that runs parts of itself in other processes, the
// same way on every system. The test executable is started again, running
// only the current test, with the child's role and arguments in its
// environment; the test asks childRole() first and, in a child, does that
// part and ends with exitChild(status), which skips the rest of the test and
// every clean-up. Parent and child talk through two pipes, a byte at a time,
// so each side can wait for the other without sleeping.
#pragma once
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifndef _WIN32
extern char** environ;
#endif

namespace varnok::testing {

namespace child_detail {

constexpr const char* kRoleVariable = "VARNOK_TEST_CHILD";
constexpr const char* kChannelVariable = "VARNOK_TEST_CHANNEL";
constexpr char kSeparator = '\x1f';

#ifdef _WIN32
inline std::wstring widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}
inline std::string narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}
// Environment values in UTF-8 (the narrow C runtime copy would lose
// letters outside the code page).
inline std::string variable(const char* name) {
    const std::wstring wideName = widen(name);
    const DWORD n = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    const DWORD got = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), n);
    value.resize(got);
    return narrow(value);
}
using Channel = HANDLE;
inline Channel noChannel() { return INVALID_HANDLE_VALUE; }
#else
inline std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
using Channel = int;
inline Channel noChannel() { return -1; }
#endif

// The role and the arguments, as the environment holds them.
inline std::vector<std::string> fields() {
    std::vector<std::string> parts;
    const std::string all = variable(kRoleVariable);
    if (all.empty()) return parts;
    size_t start = 0;
    for (;;) {
        const size_t end = all.find(kSeparator, start);
        parts.push_back(all.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

inline bool sendByte(Channel channel, char byte) {
#ifdef _WIN32
    DWORD put = 0;
    return ::WriteFile(channel, &byte, 1, &put, nullptr) && put == 1;
#else
    return ::write(channel, &byte, 1) == 1;
#endif
}

inline bool receiveByte(Channel channel, char& byte) {
#ifdef _WIN32
    DWORD got = 0;
    return ::ReadFile(channel, &byte, 1, &got, nullptr) && got == 1;
#else
    return ::read(channel, &byte, 1) == 1;
#endif
}

// The child's ends of the channel: read, then write.
inline Channel childEnd(int which) {
    const std::string value = variable(kChannelVariable);
    const size_t comma = value.find(',');
    if (comma == std::string::npos) return noChannel();
    const long long number = std::atoll((which == 0 ? value.substr(0, comma) : value.substr(comma + 1)).c_str());
#ifdef _WIN32
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(number));
#else
    return static_cast<int>(number);
#endif
}

inline std::string currentTestFilter() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
}

}  // namespace child_detail

// The role this process was started for; empty in the parent.
inline std::string childRole() {
    const std::vector<std::string> parts = child_detail::fields();
    return parts.empty() ? std::string() : parts[0];
}

// The arguments the parent gave this child.
inline std::vector<std::string> childArguments() {
    std::vector<std::string> parts = child_detail::fields();
    if (!parts.empty()) parts.erase(parts.begin());
    return parts;
}

// In a child: one byte to the parent, or from it (false when it is gone).
inline bool tellParent(char byte) { return child_detail::sendByte(child_detail::childEnd(1), byte); }
inline bool hearFromParent(char& byte) { return child_detail::receiveByte(child_detail::childEnd(0), byte); }

// Ends the child at once with that status: no further test code, no
// destructors, no clean-up of the parent's files.
[[noreturn]] inline void exitChild(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
#ifdef _WIN32
    ::ExitProcess(static_cast<UINT>(status));
#else
    ::_exit(status);
#endif
}

class ChildProcess {
public:
    // Starts the current test again in a child with that role.
    explicit ChildProcess(const std::string& role, const std::vector<std::string>& arguments = {}) {
        std::string value = role;
        for (const std::string& argument : arguments) value += child_detail::kSeparator + argument;
        start(value);
    }
    ~ChildProcess() {
        if (running_) {
            kill();
            wait();
        }
        closeChannel();
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return running_ || finished_; }
    long id() const { return id_; }

    bool tell(char byte) { return child_detail::sendByte(toChild_, byte); }
    bool hear(char& byte) { return child_detail::receiveByte(fromChild_, byte); }

    // Waits for the child to end; its exit status (100 + the signal on POSIX
    // systems when a signal ended it).
    int wait() {
        if (!running_) return status_;
        running_ = false;
        finished_ = true;
#ifdef _WIN32
        ::WaitForSingleObject(process_, INFINITE);
        DWORD code = 0;
        ::GetExitCodeProcess(process_, &code);
        ::CloseHandle(process_);
        status_ = static_cast<int>(code);
#else
        int raw = 0;
        ::waitpid(static_cast<pid_t>(id_), &raw, 0);
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 100 + WTERMSIG(raw);
#endif
        return status_;
    }

    // Ends the child at once, wherever it is (TerminateProcess, SIGKILL).
    void kill() {
        if (!running_) return;
#ifdef _WIN32
        ::TerminateProcess(process_, 99);
#else
        ::kill(static_cast<pid_t>(id_), SIGKILL);
#endif
    }

private:
    void closeChannel() {
#ifdef _WIN32
        if (toChild_ != INVALID_HANDLE_VALUE) ::CloseHandle(toChild_);
        if (fromChild_ != INVALID_HANDLE_VALUE) ::CloseHandle(fromChild_);
#else
        if (toChild_ >= 0) ::close(toChild_);
        if (fromChild_ >= 0) ::close(fromChild_);
#endif
        toChild_ = fromChild_ = child_detail::noChannel();
    }

#ifdef _WIN32
    void start(const std::string& value) {
        HANDLE childReads = nullptr, childWrites = nullptr;
        if (!::CreatePipe(&childReads, &toChild_, nullptr, 0)) return;
        if (!::CreatePipe(&fromChild_, &childWrites, nullptr, 0)) {
            ::CloseHandle(childReads);
            return;
        }
        // Only the child's ends are inherited, and only by this child.
        ::SetHandleInformation(childReads, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        ::SetHandleInformation(childWrites, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        const std::string channel = std::to_string(reinterpret_cast<intptr_t>(childReads)) + "," +
                                    std::to_string(reinterpret_cast<intptr_t>(childWrites));
        wchar_t self[32768];
        const DWORD n = ::GetModuleFileNameW(nullptr, self, 32768);
        std::wstring command = L"\"" + std::wstring(self, n) + L"\" " +
                               child_detail::widen(child_detail::currentTestFilter()) + L" --gtest_brief=1";
        ::SetEnvironmentVariableW(child_detail::widen(child_detail::kRoleVariable).c_str(),
                                  child_detail::widen(value).c_str());
        ::SetEnvironmentVariableW(child_detail::widen(child_detail::kChannelVariable).c_str(),
                                  child_detail::widen(channel).c_str());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        const BOOL made = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                           &startup, &info);
        ::SetEnvironmentVariableW(child_detail::widen(child_detail::kRoleVariable).c_str(), nullptr);
        ::SetEnvironmentVariableW(child_detail::widen(child_detail::kChannelVariable).c_str(), nullptr);
        ::CloseHandle(childReads);
        ::CloseHandle(childWrites);
        if (!made) return;
        ::CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = static_cast<long>(info.dwProcessId);
        running_ = true;
    }
    HANDLE process_ = nullptr;
#else
    void start(const std::string& value) {
        int down[2], up[2];  // parent to child, child to parent
        if (::pipe2(down, O_CLOEXEC) != 0) return;
        if (::pipe2(up, O_CLOEXEC) != 0) {
            ::close(down[0]);
            ::close(down[1]);
            return;
        }
        char self[4096];
        const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
        if (n <= 0) return;
        self[n] = '\0';
        const std::string filter = child_detail::currentTestFilter();
        const std::string role = std::string(child_detail::kRoleVariable) + "=" + value;
        const std::string channel = std::string(child_detail::kChannelVariable) + "=" + std::to_string(down[0]) +
                                    "," + std::to_string(up[1]);
        // Everything the child needs is made before the fork.
        std::vector<char*> environment;
        for (char** entry = environ; *entry; ++entry) environment.push_back(*entry);
        environment.push_back(const_cast<char*>(role.c_str()));
        environment.push_back(const_cast<char*>(channel.c_str()));
        environment.push_back(nullptr);
        char brief[] = "--gtest_brief=1";
        char* argv[] = {self, const_cast<char*>(filter.c_str()), brief, nullptr};
        const pid_t pid = ::fork();
        if (pid == 0) {
            // The child's own ends stay open across exec; nothing else does.
            ::fcntl(down[0], F_SETFD, 0);
            ::fcntl(up[1], F_SETFD, 0);
            ::execve(self, argv, environment.data());
            ::_exit(127);
        }
        ::close(down[0]);
        ::close(up[1]);
        toChild_ = down[1];
        fromChild_ = up[0];
        if (pid < 0) return;
        id_ = static_cast<long>(pid);
        running_ = true;
    }
#endif

    child_detail::Channel toChild_ = child_detail::noChannel();
    child_detail::Channel fromChild_ = child_detail::noChannel();
    long id_ = 0;
    int status_ = -1;
    bool running_ = false;
    bool finished_ = false;
};

}  // namespace varnok::testing
