// InFolder: runs a test inside a folder (the error log goes to the current
// directory) and goes back to the previous current directory at the end.
#pragma once
#include <filesystem>
#include <string>

namespace varnok::testing {

class InFolder {
public:
    explicit InFolder(const std::string& path) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~InFolder() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
    }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace varnok::testing
