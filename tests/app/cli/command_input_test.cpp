// How the command line words the results of a load and a save, and the
// exact line and exit status each result of the commands gives, end to end.
#include "app/cli/command_input.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "platform/plain_file.h"
#include "tests/app/cli/varnok_run.h"

namespace varnok::app {
namespace {

TEST(CommandInput, EachLoadAndSaveResultItsReason) {
    struct LoadCase {
        LoadResult result;
        std::string reason;
    };
    const LoadCase loads[] = {
        {{LoadStatus::NotAFile, 0, FileKind::Missing}, platform::systemErrorText(ENOENT)},
        {{LoadStatus::NotAFile, 0, FileKind::Folder}, "it is a folder"},
        {{LoadStatus::NotAFile, 0, FileKind::Hidden}, "hidden files are not loaded"},
        {{LoadStatus::NotAFile, 0, FileKind::NotOrdinary}, "not an ordinary file"},
        {{LoadStatus::OpenFailed, EACCES}, platform::systemErrorText(EACCES)},
        {{LoadStatus::ReadFailed, EIO}, platform::systemErrorText(EIO)},
        {{LoadStatus::ReadFailed, 0}, "the file could not be read"},
        {{LoadStatus::Changed, 0}, "the file changed while it was read; nothing was done"},
        {{LoadStatus::NoMemory, 0}, "the file could not be read"},
    };
    for (const LoadCase& c : loads) EXPECT_EQ(loadFailureText(c.result), c.reason) << int(c.result.status);
    EXPECT_EQ(saveFailureText({SaveStatus::CreateFailed, ENOENT}), platform::systemErrorText(ENOENT));
    EXPECT_EQ(saveFailureText({SaveStatus::WriteFailed, EFBIG}), platform::systemErrorText(EFBIG));
    EXPECT_EQ(saveFailureText({SaveStatus::WriteFailed, 0}), "write failed");
    EXPECT_EQ(saveFailureText({SaveStatus::ReadOnly, EACCES}), "it is read-only");
    EXPECT_EQ(saveFailureText({SaveStatus::LinesOutOfStep, 0}), "the loaded lines lost the rest of their long lines");
}

// Each result of remove and export as one exact line on standard error (or
// the name on standard output) and its exit status; names relative to the
// working folder, as typed.
TEST(CommandInput, EachCommandResultItsLineAndStatus) {
    testing::TempFolder dir;
    dir.write("main.txa", "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Tools Logger\r\nx\r\n[END]\r\n");
    dir.write(".hidden.txa", "x\r\n");
    std::filesystem::create_directory(dir.file("folder.txa"));
    const std::string noFile = platform::systemErrorText(ENOENT);
    struct Case {
        std::string args;
        int status;
        std::string out, err;
    };
    const Case cases[] = {
        {"list missing.txa", 3, "", "varnok: cannot read 'missing.txa': " + noFile + "\n"},
        {"list folder.txa", 3, "", "varnok: cannot read 'folder.txa': it is a folder\n"},
        {"list .hidden.txa", 3, "", "varnok: cannot read '.hidden.txa': hidden files are not loaded\n"},
#ifndef _WIN32  // Windows drops a name's trailing blanks itself: "main.txa " is main.txa there
        {"list " + testing::quote("main.txa "), 3, "", "varnok: cannot read 'main.txa ': " + noFile + "\n"},
#endif
        {"remove main.txa", 1, "", "varnok: remove: nothing to delete in 'main.txa'\n"},
        {"remove main.txa --row 1", 0, "main_.txa\n", ""},
        {"remove main.txa --row 1", 4, "",
         "varnok: remove: 'main_.txa' already exists; nothing written (use --force to replace it)\n"},
#ifndef _WIN32  // a missing folder is another error there, with another text
        {"remove main.txa --row 1 -o no/such/out.txa", 3, "", "varnok: remove: cannot write 'no/such/out.txa': " + noFile + "\n"},
#endif
        {"remove main.txa --row 1 -o main.txa", 2, "",
         "varnok: remove: the output 'main.txa' is the input file; it is never overwritten (try 'varnok remove --help')\n"},
#ifndef _WIN32  // as above
        {"export main.txa --csv -o no/such/out.csv", 3, "", "varnok: export: cannot write 'no/such/out.csv': " + noFile + "\n"},
#endif
        {"export main.txa --csv -o main_.txa", 4, "",
         "varnok: export: 'main_.txa' already exists; nothing written (use --force to replace it)\n"},
    };
    for (const Case& c : cases) {
        const testing::Outcome r = testing::runVarnok(c.args, dir, dir.path());
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.out, c.out) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
    }
}

}  // namespace
}  // namespace varnok::app
