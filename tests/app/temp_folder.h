// TempFolder: a fresh folder for one test, removed with everything in it.
#pragma once
#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace varnok::testing {

class TempFolder {
public:
    // A folder of a new random name: creating it fails when the name is
    // taken, so it is never one that another test uses.
    TempFolder() {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::random_device entropy;
        std::mt19937_64 random((uint64_t{entropy()} << 32) ^
                               static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            char name[40];
            std::snprintf(name, sizeof name, "varnok-test-%012llx",
                          static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
            std::error_code ec;
            if (std::filesystem::create_directory(base / name, ec)) path_ = (base / name).string();
        }
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    std::string write(const std::string& name, const std::string& bytes) const {
        std::string p = file(name);
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    // Names in the folder, sorted, one per line.
    std::string listing() const {
        std::string all;
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        for (const auto& n : names) all += n + "\n";
        return all;
    }

private:
    std::string path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// True when the tests run as root, whom folder permissions do not stop.
#ifdef _WIN32
inline bool runningAsRoot() { return false; }
#else
inline bool runningAsRoot() { return ::geteuid() == 0; }
#endif

}  // namespace varnok::testing
