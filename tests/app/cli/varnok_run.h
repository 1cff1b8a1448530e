// Running the varnok program from a test: its exit status and what it wrote
// to standard output and standard error.
#pragma once
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/app/temp_folder.h"
#include "tests/support/test_system.h"

namespace varnok::testing {

struct Outcome {
    int status = -1;
    std::string out, err;
};

// The text as one argument of a command line.
inline std::string quote(const std::string& s) { return quoteArgument(s); }

inline int lines(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

// Runs varnok with args (command-line text, quoted by the caller) in workingFolder
// (empty: the test's own); its output goes through the files ".out" and
// ".err" of scratch, which are gone again afterwards.
inline Outcome runVarnok(const std::string& args, const TempFolder& scratch, const std::string& workingFolder = "") {
    Outcome r;
    const std::string out = scratch.file(".out"), err = scratch.file(".err");
    r.status = runProgram(VARNOK_BINARY, args, workingFolder, out, err);
    r.out = readFile(out);
    r.err = readFile(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return r;
}

}  // namespace varnok::testing
