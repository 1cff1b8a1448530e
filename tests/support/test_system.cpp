#include "tests/support/test_system.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace varnok::testing {

std::string makeTemporaryFolder(const std::string& prefix) {
    std::random_device seed;
    std::mt19937_64 pick(seed() ^ static_cast<uint64_t>(currentProcessId()));
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ostringstream name;
        name << prefix << std::hex << pick();
        std::error_code ec;
        const std::filesystem::path path = base / name.str();
        // create_directory answers false for a name that already exists,
        // so a folder is never shared with another test.
        if (std::filesystem::create_directory(path, ec) && !ec) return path.generic_string();
    }
    return {};
}

const char* settingsHomeVariable() {
#ifdef _WIN32
    return "APPDATA";
#else
    return "XDG_CONFIG_HOME";
#endif
}

#ifdef _WIN32

namespace {
std::wstring wide(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

HANDLE openOutput(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(path.empty() ? L"NUL" : wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}
}  // namespace

void setEnvironment(const std::string& name, const std::optional<std::string>& value) {
    // Both the C runtime's copy (getenv) and the process's (children).
    _putenv_s(name.c_str(), value ? value->c_str() : "");
    SetEnvironmentVariableW(wide(name).c_str(), value ? wide(*value).c_str() : nullptr);
}

bool runningAsRoot() { return false; }

long currentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

std::string quoteArgument(const std::string& argument) {
    // Backslashes are literal unless they come before a quote.
    std::string q = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') q.append(backslashes * 2 + 1, '\\');
        else q.append(backslashes, '\\');
        backslashes = 0;
        q += c;
    }
    q.append(backslashes * 2, '\\');
    return q + "\"";
}

int runProgram(const std::string& program, const std::string& arguments, const std::string& folder,
               const std::string& out, const std::string& err, const std::string& unset) {
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    std::istringstream names(unset);
    for (std::string name; names >> name;) {
        const char* old = std::getenv(name.c_str());
        saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setEnvironment(name, std::nullopt);
    }
    HANDLE outHandle = openOutput(out), errHandle = openOutput(err);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = outHandle;
    start.hStdError = errHandle;
    PROCESS_INFORMATION process{};
    std::wstring line = wide(quoteArgument(program) + " " + arguments);
    const std::wstring where = wide(folder);
    const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        folder.empty() ? nullptr : where.c_str(), &start, &process);
    for (const auto& [name, value] : saved) setEnvironment(name, value);
    int status = -1;
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code)) status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(outHandle);
    CloseHandle(errHandle);
    return status;
}

#else

void setEnvironment(const std::string& name, const std::optional<std::string>& value) {
    if (value) ::setenv(name.c_str(), value->c_str(), 1);
    else ::unsetenv(name.c_str());
}

bool runningAsRoot() { return ::geteuid() == 0; }

long currentProcessId() { return static_cast<long>(::getpid()); }

std::string quoteArgument(const std::string& argument) {
    std::string q = "'";
    for (char c : argument) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

int runProgram(const std::string& program, const std::string& arguments, const std::string& folder,
               const std::string& out, const std::string& err, const std::string& unset) {
    std::string command = quoteArgument(program) + " " + arguments + " >" +
                          (out.empty() ? std::string("/dev/null") : quoteArgument(out)) + " 2>" +
                          (err.empty() ? std::string("/dev/null") : quoteArgument(err));
    std::istringstream names(unset);
    std::string unsetting;
    for (std::string name; names >> name;) unsetting += " -u " + name;
    if (!unsetting.empty()) command = "env" + unsetting + " " + command;
    if (!folder.empty()) command = "cd " + quoteArgument(folder) + " && " + command;
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

}  // namespace varnok::testing
