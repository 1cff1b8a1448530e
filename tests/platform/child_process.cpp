// The work behind tests/platform/child_process.h: CreateProcessW and
// anonymous pipes on Windows, fork, execve and pipes on POSIX systems.
#include "tests/platform/child_process.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace varnok::testing {

namespace {

constexpr const char* kRoleVariable = "VARNOK_TEST_CHILD";
constexpr const char* kChannelVariable = "VARNOK_TEST_CHANNEL";
constexpr char kSeparator = '\x1f';
constexpr intptr_t kNone = -1;

#ifdef _WIN32
std::wstring widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

// Environment values in UTF-8 (the narrow C runtime copy would lose letters
// outside the code page).
std::string variable(const char* name) {
    const std::wstring wideName = widen(name);
    const DWORD n = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    value.resize(::GetEnvironmentVariableW(wideName.c_str(), value.data(), n));
    return narrow(value);
}

HANDLE handleOf(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

bool sendByte(intptr_t channel, char byte) {
    DWORD put = 0;
    return ::WriteFile(handleOf(channel), &byte, 1, &put, nullptr) && put == 1;
}

bool receiveByte(intptr_t channel, char& byte) {
    DWORD got = 0;
    return ::ReadFile(handleOf(channel), &byte, 1, &got, nullptr) && got == 1;
}

void closeEnd(intptr_t channel) { ::CloseHandle(handleOf(channel)); }
#else
std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool sendByte(intptr_t channel, char byte) { return ::write(static_cast<int>(channel), &byte, 1) == 1; }

bool receiveByte(intptr_t channel, char& byte) { return ::read(static_cast<int>(channel), &byte, 1) == 1; }

void closeEnd(intptr_t channel) { ::close(static_cast<int>(channel)); }
#endif

// The role and the arguments, as the environment holds them.
std::vector<std::string> fields() {
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

// The child's ends of the channel: 0 reads, 1 writes.
intptr_t childEnd(int which) {
    const std::string value = variable(kChannelVariable);
    const size_t comma = value.find(',');
    if (comma == std::string::npos) return kNone;
    return static_cast<intptr_t>(std::atoll((which == 0 ? value.substr(0, comma) : value.substr(comma + 1)).c_str()));
}

std::string currentTestFilter() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
}

}  // namespace

std::string childRole() {
    const std::vector<std::string> parts = fields();
    return parts.empty() ? std::string() : parts[0];
}

std::vector<std::string> childArguments() {
    std::vector<std::string> parts = fields();
    if (!parts.empty()) parts.erase(parts.begin());
    return parts;
}

bool tellParent(char byte) { return sendByte(childEnd(1), byte); }
bool hearFromParent(char& byte) { return receiveByte(childEnd(0), byte); }

void exitChild(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
#ifdef _WIN32
    ::ExitProcess(static_cast<UINT>(status));
#else
    ::_exit(status);
#endif
}

ChildProcess::ChildProcess(const std::string& role, const std::vector<std::string>& arguments) {
    std::string value = role;
    for (const std::string& argument : arguments) value += kSeparator + argument;
    start(value);
}

ChildProcess::~ChildProcess() {
    if (running_) {
        kill();
        wait();
    }
    closeChannel();
}

bool ChildProcess::tell(char byte) { return toChild_ != kNone && sendByte(toChild_, byte); }
bool ChildProcess::hear(char& byte) { return fromChild_ != kNone && receiveByte(fromChild_, byte); }

void ChildProcess::closeChannel() {
    if (toChild_ != kNone) closeEnd(toChild_);
    if (fromChild_ != kNone) closeEnd(fromChild_);
    toChild_ = fromChild_ = kNone;
}

#ifdef _WIN32
int ChildProcess::wait() {
    if (!running_) return status_;
    running_ = false;
    finished_ = true;
    ::WaitForSingleObject(handleOf(process_), INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(handleOf(process_), &code);
    ::CloseHandle(handleOf(process_));
    status_ = static_cast<int>(code);
    return status_;
}

void ChildProcess::kill() {
    if (running_) ::TerminateProcess(handleOf(process_), 99);
}

void ChildProcess::start(const std::string& value) {
    HANDLE childReads = nullptr, parentWrites = nullptr, parentReads = nullptr, childWrites = nullptr;
    if (!::CreatePipe(&childReads, &parentWrites, nullptr, 0)) return;
    if (!::CreatePipe(&parentReads, &childWrites, nullptr, 0)) {
        ::CloseHandle(childReads);
        ::CloseHandle(parentWrites);
        return;
    }
    toChild_ = reinterpret_cast<intptr_t>(parentWrites);
    fromChild_ = reinterpret_cast<intptr_t>(parentReads);
    // Only the child's ends are inherited, and only by this child: they are
    // closed here as soon as it has started.
    ::SetHandleInformation(childReads, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    ::SetHandleInformation(childWrites, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    const std::string channel = std::to_string(reinterpret_cast<intptr_t>(childReads)) + "," +
                                std::to_string(reinterpret_cast<intptr_t>(childWrites));
    std::wstring self(32768, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    std::wstring command = L"\"" + self + L"\" " + widen(currentTestFilter()) + L" --gtest_brief=1";
    const std::wstring roleName = widen(kRoleVariable), channelName = widen(kChannelVariable);
    ::SetEnvironmentVariableW(roleName.c_str(), widen(value).c_str());
    ::SetEnvironmentVariableW(channelName.c_str(), widen(channel).c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const BOOL made =
        ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
    ::SetEnvironmentVariableW(roleName.c_str(), nullptr);
    ::SetEnvironmentVariableW(channelName.c_str(), nullptr);
    ::CloseHandle(childReads);
    ::CloseHandle(childWrites);
    if (!made) return;
    ::CloseHandle(info.hThread);
    process_ = reinterpret_cast<intptr_t>(info.hProcess);
    id_ = static_cast<long>(info.dwProcessId);
    running_ = true;
}
#else
int ChildProcess::wait() {
    if (!running_) return status_;
    running_ = false;
    finished_ = true;
    int raw = 0;
    ::waitpid(static_cast<pid_t>(id_), &raw, 0);
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 100 + WTERMSIG(raw);
    return status_;
}

void ChildProcess::kill() {
    if (running_) ::kill(static_cast<pid_t>(id_), SIGKILL);
}

void ChildProcess::start(const std::string& value) {
    int down[2], up[2];  // parent to child, child to parent
    if (::pipe2(down, O_CLOEXEC) != 0) return;
    if (::pipe2(up, O_CLOEXEC) != 0) {
        ::close(down[0]);
        ::close(down[1]);
        return;
    }
    toChild_ = down[1];
    fromChild_ = up[0];
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        ::close(down[0]);
        ::close(up[1]);
        return;
    }
    self[n] = '\0';
    const std::string filter = currentTestFilter();
    const std::string role = std::string(kRoleVariable) + "=" + value;
    const std::string channel =
        std::string(kChannelVariable) + "=" + std::to_string(down[0]) + "," + std::to_string(up[1]);
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
    if (pid < 0) return;
    id_ = static_cast<long>(pid);
    running_ = true;
}
#endif

}  // namespace varnok::testing
