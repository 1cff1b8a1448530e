#include "platform/process_arguments.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "platform/module_path.h"
#include "platform/win32/wide_text.h"
#endif

#include <cstdio>
#include <string>
#include <vector>

namespace varnok::platform {
namespace {

#ifdef _WIN32
constexpr const char* ChildVariable = "VARNOK_ARGUMENTS_CHILD";

// Run by ArgumentsArriveAsUtf8AndOutputAsBytes in a process of its own:
// writes each argument it was given after its own name and filter, framed,
// through standard output prepared as the program prepares it.
TEST(ProcessArgumentsChild, WritesItsArguments) {
    if (!std::getenv(ChildVariable)) GTEST_SKIP() << "runs as a child of another test";
    prepareConsoleOutput();
    const std::vector<std::string> arguments = processArguments(0, nullptr);
    for (size_t i = 2; i < arguments.size(); ++i) std::printf("<%s>\n", arguments[i].c_str());
    std::fflush(stdout);
}

// Starts this program again with arguments holding letters outside the ANSI
// code page and reads what it writes through a pipe.
std::string runChild(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "(no pipe)";
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::wstring program;
    win32::toWide(modulePath(), program);
    std::wstring line = L"\"" + program + L"\" --gtest_filter=ProcessArgumentsChild.* " + arguments;
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = writeEnd;
    start.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    start.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    ::SetEnvironmentVariableW(L"VARNOK_ARGUMENTS_CHILD", L"1");
    const BOOL started =
        ::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process);
    ::SetEnvironmentVariableW(L"VARNOK_ARGUMENTS_CHILD", nullptr);
    ::CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD n = 0;
        while (::ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) output.append(buffer, n);
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    ::CloseHandle(readEnd);
    return started ? output : "(not started)";
}

TEST(ProcessArguments, ArgumentsArriveAsUtf8AndOutputAsBytes) {
    const std::string output = runChild(L"\"M\u00fcller \u20ac.txa\" \u65e5\u672c plain \"\" \"a\\\"b\"");
    // Each "\n" arrives alone: in text mode it would come as "\r\n".
    EXPECT_NE(output.find("<M\xC3\xBCller \xE2\x82\xAC.txa>\n<\xE6\x97\xA5\xE6\x9C\xAC>\n<plain>\n<>\n<a\"b>\n"),
              std::string::npos)
        << output;
}
#endif

// The arguments as given, the program's name first (on Windows argv is not
// used: the process's own command line is).
TEST(ProcessArguments, TheProgramNameComesFirst) {
    char program[] = "varnok";
    char command[] = "list";
    char file[] = "M\xC3\xBCller.txa";
    char* argv[] = {program, command, file, nullptr};
    const std::vector<std::string> arguments = processArguments(3, argv);
    ASSERT_FALSE(arguments.empty());
#ifdef _WIN32
    EXPECT_NE(arguments[0].find("platform_tests"), std::string::npos) << arguments[0];
#else
    EXPECT_EQ(arguments, (std::vector<std::string>{"varnok", "list", "M\xC3\xBCller.txa"}));
    EXPECT_TRUE(processArguments(0, nullptr).empty());
#endif
}

}  // namespace
}  // namespace varnok::platform
