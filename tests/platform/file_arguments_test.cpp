// Wildcards in file arguments: expanded on Windows (sorted without regard
// to case, the folder part kept as written, a pattern without a match left
// as it is); on POSIX systems, where the shell expands them, the words stay.
#include "platform/file_arguments.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/temp_folder.h"

namespace varnok::platform {
namespace {

using Words = std::vector<std::string>;

TEST(FileArguments, PatternsAndTheirMatches) {
    testing::TempFolder dir;
    for (const char* name : {"b.TXA", "a.txa", "C.txa", "ab.txt", ".hidden.txa"}) dir.write(name, "x");
    std::filesystem::create_directory(dir.file("sub"));
    dir.write("sub/x.txa", "x");
    std::filesystem::create_directory(dir.file("folder.txa"));
    const std::string in = dir.path() + "/";
    const struct {
        Words given;
        Words windows;  // POSIX systems: given
    } cases[] = {
        {{in + "*.txa"}, {in + "a.txa", in + "b.TXA", in + "C.txa"}},
        {{in + "?.TXA", in + "ab.*"}, {in + "a.txa", in + "b.TXA", in + "C.txa", in + "ab.txt"}},
        {{in + "sub/*"}, {in + "sub/x.txa"}},
        {{in + "none*.txa", in + "a.txa"}, {in + "none*.txa", in + "a.txa"}},
        {{"--ext", in + "a.txa"}, {"--ext", in + "a.txa"}},
        {{}, {}},
    };
    for (const auto& c : cases) {
#ifdef _WIN32
        EXPECT_EQ(expandFileArguments(c.given), c.windows) << c.given.size();
#else
        EXPECT_EQ(expandFileArguments(c.given), c.given);
#endif
    }
}

}  // namespace
}  // namespace varnok::platform
