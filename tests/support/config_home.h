// ConfigHome: a fresh temporary folder that stands in for the user's
// configuration home (XDG_CONFIG_HOME; APPDATA on Windows) and is also the
// current directory for the test's duration, so nothing a test writes
// reaches the real home or the build folder. Both are put back afterwards.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

#include "platform/environment.h"
#include "tests/app/temp_folder.h"

namespace varnok::testing {

class ConfigHome {
public:
#ifdef _WIN32
    static constexpr const char* Variable = "APPDATA";
#else
    static constexpr const char* Variable = "XDG_CONFIG_HOME";
#endif

    ConfigHome() : old_(platform::environmentVariable(Variable)) {
        platform::setEnvironmentVariable(Variable, folder_.file("config"));
        oldDirectory_ = std::filesystem::current_path().string();
        std::filesystem::create_directories(folder_.file("work"));
        std::filesystem::current_path(folder_.file("work"));
    }
    ~ConfigHome() {
        std::error_code ignored;
        std::filesystem::current_path(oldDirectory_, ignored);
        platform::setEnvironmentVariable(Variable, old_);
    }
    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;

    // The folder bare INI names resolve in.
    std::string varnokFolder() const { return folder_.file("config") + "/varnok"; }
    std::string inVarnokFolder(const std::string& name) const { return varnokFolder() + "/" + name; }
    // The current directory of the test, and a file in it.
    std::string work() const { return folder_.file("work"); }
    std::string file(const std::string& name) const { return work() + "/" + name; }
    std::string write(const std::string& name, const std::string& bytes) const {
        return folder_.write("work/" + name, bytes);
    }
    // ".\remtxa.ini" and "varnok.INI" as the program finds them.
    std::string remtxaIni() const { return file("remtxa.ini"); }
    std::string varnokIni() const { return inVarnokFolder("varnok.INI"); }
    const TempFolder& root() const { return folder_; }

private:
    TempFolder folder_;
    std::optional<std::string> old_;
    std::string oldDirectory_;
};

}  // namespace varnok::testing
