// ProgramHome: a fresh temporary folder that is both the current directory
// (where ".\remtxa.ini" lives) and, through XDG_CONFIG_HOME, the home of the
// program's configuration folder (where "varnok.INI" lives), for the test's
// duration. Both are put back afterwards.
#pragma once
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/app/temp_folder.h"

namespace varnok::testing {

class ProgramHome {
public:
    ProgramHome() {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        ::setenv("XDG_CONFIG_HOME", folder_.file("config").c_str(), 1);
        oldDirectory_ = std::filesystem::current_path().string();
        std::filesystem::create_directories(folder_.file("work"));
        std::filesystem::current_path(folder_.file("work"));
    }
    ~ProgramHome() {
        std::error_code ignored;
        std::filesystem::current_path(oldDirectory_, ignored);
        if (hadOld_) ::setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
        else ::unsetenv("XDG_CONFIG_HOME");
    }
    ProgramHome(const ProgramHome&) = delete;
    ProgramHome& operator=(const ProgramHome&) = delete;

    // The current directory, and a file in it.
    std::string work() const { return folder_.file("work"); }
    std::string file(const std::string& name) const { return work() + "/" + name; }
    std::string write(const std::string& name, const std::string& bytes) const {
        return folder_.write("work/" + name, bytes);
    }
    // ".\remtxa.ini" and "varnok.INI" as the program finds them.
    std::string remtxaIni() const { return file("remtxa.ini"); }
    std::string varnokIni() const { return folder_.file("config") + "/varnok/varnok.INI"; }
    const TempFolder& root() const { return folder_; }

private:
    TempFolder folder_;
    std::string old_;
    std::string oldDirectory_;
    bool hadOld_ = false;
};

// Lines: 1-2 procedure Main, 3-6 "Logger" (Tools), 7-9 "Caf\xE9" (Other),
// 10-12 "Logger" (Other), 13 another header.
inline const std::string kSmallTxa =
    "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Tools Logger\r\n[PROMPTS]\r\n%A LONG (1)  \r\n"
    "[ADDITION]\r\nNAME Other Caf\xE9\r\n[INSTANCE]\r\n[ADDITION]\r\nNAME Other Logger\r\nx\r\n[END]\r\n";

}  // namespace varnok::testing
