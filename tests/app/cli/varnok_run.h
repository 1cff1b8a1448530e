// Running the varnok program from a test: its exit status and what it wrote
// to standard output and standard error.
#pragma once
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/app/temp_folder.h"

namespace varnok::testing {

struct Outcome {
    int status = -1;
    std::string out, err;
};

// The text as one shell word.
inline std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline int lines(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

// Runs varnok with args (shell words, quoted by the caller) in workingFolder
// (empty: the test's own); its output goes through the files ".out" and
// ".err" of scratch, which are gone again afterwards.
inline Outcome runVarnok(const std::string& args, const TempFolder& scratch, const std::string& workingFolder = "") {
    Outcome r;
    const std::string out = scratch.file(".out"), err = scratch.file(".err");
    std::string cmd = std::string(VARNOK_BINARY) + " " + args + " >" + quote(out) + " 2>" + quote(err);
    if (!workingFolder.empty()) cmd = "cd " + quote(workingFolder) + " && " + cmd;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readFile(out);
    r.err = readFile(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return r;
}

}  // namespace varnok::testing
