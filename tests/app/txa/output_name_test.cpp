#include "app/txa/output_name.h"

#include <gtest/gtest.h>

namespace varnok::app {
namespace {

TEST(OutputName, UnderscoreBeforeTheFirstDotOfTheFileNamePart) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"main.txa", "main_.txa"},
        {"/apps/main.txa", "/apps/main_.txa"},
        {"../apps/main.txa", "../apps/main_.txa"},  // dots of folders never count
        {"my.dir/main.txa", "my.dir/main_.txa"},
        {"./main.txa", "./main_.txa"},
        {"./main", "./main.txa"},
        {"main", "main.txa"},
        {"main.backup.txa", "main_.backup.txa"},
        {".hidden", ".hidden.txa"},  // the search starts at the second character
        {".main.txa", ".main_.txa"},
        {"dir/.main.txa", "dir/.main_.txa"},
        {"main.txa   ", "main_.txa"},  // trailing spaces ignored
        {"a.", "a_."},
        {"", ".txa"},
    };
    for (const Case& c : cases) EXPECT_EQ(outputName(c.in), c.out) << c.in;
}

TEST(OutputName, NeverLeavesTheFolderOfTheInput) {
    for (std::string folder : {"", "a/", "a.b/", "../x.y/", "/p.q/r.s/"}) {
        for (std::string name : {"m", "m.txa", ".m", "m.a.b"}) {
            std::string out = outputName(folder + name);
            ASSERT_EQ(out.substr(0, folder.size()), folder);
            EXPECT_EQ(out.find('/', folder.size()), std::string::npos);
            EXPECT_NE(out, folder + name);
        }
    }
}

}  // namespace
}  // namespace varnok::app
