// Helpers shared by the fuzz bodies that work on files: a scratch folder for
// the process (in memory where the system has /dev/shm, so that flushing to
// disk costs nothing), a message presenter that shows nothing and answers
// Yes, and require(), which aborts with a message when an invariant breaks.
#pragma once
#include <stdlib.h>
#ifndef _WIN32
#include <unistd.h>
#endif
#include <random>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "window/message_box.h"

namespace varnok::fuzzing {

[[noreturn]] inline void fail(const char* target, const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "%s fuzz: %s", target, what);
    if (!detail.empty()) std::fprintf(stderr, " (%.*s)", static_cast<int>(detail.size()), detail.data());
    std::fprintf(stderr, "\n");
    std::abort();
}

// The process's scratch folder, made at first use and removed at exit.
inline const std::string& scratchFolder() {
    // The name is kept in a plain array too, which outlives the string for
    // the removal at exit.
    static char kept[4096];
    static const std::string folder = [] {
        std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm"
                                                                     : std::filesystem::temp_directory_path().string();
#ifdef _WIN32
        // No mkdtemp there: a random name, taken only when it is new.
        std::string pattern = base + "/varnok-fuzz-" + std::to_string(std::random_device{}());
        std::error_code made_ec;
        const char* made = std::filesystem::create_directory(pattern, made_ec) ? pattern.c_str() : nullptr;
#else
        std::string pattern = base + "/varnok-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern.data());
#endif
        if (!made || pattern.size() >= sizeof kept) fail("scratch", "cannot make a scratch folder");
        pattern.copy(kept, pattern.size());
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(std::filesystem::path(kept), ec);
        });
        return pattern;
    }();
    return folder;
}

inline std::string scratchFile(const std::string& name) { return scratchFolder() + "/" + name; }

inline void writeWholeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) fail("scratch", "cannot write a scratch file", path);
}

inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Shows nothing; answers every question Yes and counts the messages.
class SilentPresenter : public window::MessagePresenter {
public:
    SilentPresenter() : previous_(window::setMessagePresenter(this)) {}
    ~SilentPresenter() override { window::setMessagePresenter(previous_); }
    SilentPresenter(const SilentPresenter&) = delete;
    SilentPresenter& operator=(const SilentPresenter&) = delete;

    unsigned show(const window::MessageRequest& request) override {
        ++shown;
        last = request.text;
        return (request.buttons & window::ButtonYes) ? window::ButtonYes : window::ButtonOk;
    }
    int shown = 0;
    std::string last;

private:
    window::MessagePresenter* previous_;
};

}  // namespace varnok::fuzzing
