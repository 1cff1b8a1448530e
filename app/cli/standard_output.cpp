#include "app/cli/standard_output.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/cli/command_input.h"
#include "platform/plain_file.h"
#include "platform/temporary_files.h"

namespace varnok::app {

std::string standardOutputStandIn(std::string_view suffix) {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) folder = ".";
    const std::string name = "varnok-stdout-" + std::to_string(platform::currentProcessId()) + std::string(suffix);
    return (folder / name).string();
}

bool copyToStandardOutput(std::string_view command, const std::string& standIn) {
    platform::InputFile in;
    bool ok = in.open(standIn);
    std::vector<char> chunk(size_t(1) << 20);
    int64_t got = 0;
    for (uint64_t at = 0; ok && (got = in.readAt(at, chunk.data(), chunk.size())) > 0; at += uint64_t(got))
        ok = std::fwrite(chunk.data(), 1, size_t(got), stdout) == size_t(got);
    ok = ok && got == 0 && std::fflush(stdout) == 0;
    in.close();
    std::error_code ec;
    std::filesystem::remove(standIn, ec);
    if (!ok) reportError(std::string(command) + ": cannot write to standard output");
    return ok;
}

}  // namespace varnok::app
