// The few operating-system services the tests themselves need, the same on
// Linux and Windows: a fresh temporary folder, environment variables, the
// program run as a child with its output in files. (The program's own code
// reaches the system only through platform/; tests reach it through here.)
#pragma once
#include <optional>
#include <string>

namespace varnok::testing {

// Creates a new, empty folder under the system's temporary folder; empty
// when none could be made.
std::string makeTemporaryFolder(const std::string& prefix);

// Sets (or, with std::nullopt, removes) an environment variable of this
// process; children started afterwards inherit it.
void setEnvironment(const std::string& name, const std::optional<std::string>& value);

// The variable that names the user's settings home: XDG_CONFIG_HOME on
// Linux, APPDATA on Windows. Bare settings file names live in its "varnok"
// folder.
const char* settingsHomeVariable();

// True when the tests run with rights that folder permissions do not stop
// (root on Linux; never on Windows, where permissions are not bits).
bool runningAsRoot();

long currentProcessId();

// One argument as the system's command line takes it: a shell word on
// Linux, a double-quoted argument on Windows.
std::string quoteArgument(const std::string& argument);

// Runs program with the command-line text arguments (arguments already
// quoted with quoteArgument), in folder (empty: the current one), its
// standard output and error going to the files out and err (empty: thrown
// away), with the environment variables in unset removed for the child.
// Returns the exit status, -1 when it could not be started or did not exit.
int runProgram(const std::string& program, const std::string& arguments, const std::string& folder,
               const std::string& out, const std::string& err, const std::string& unset = "");

}  // namespace varnok::testing
