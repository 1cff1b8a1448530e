// The "Error Open" message's text: the name and the system's reason.
#include "app/txa/open_failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "tests/app/temp_folder.h"
#include "tests/support/scripted_presenter.h"

namespace varnok::app {
namespace {

TEST(OpenFailure, TheNameAndTheSystemsReason) {
    const struct {
        const char* name;
        int error;
        const char* text;
    } table[] = {
        {"main.txa", ENOENT, "Cannot open main.txa: No such file or directory"},
        {"/apps/locked.txa", EACCES, "Cannot open /apps/locked.txa: Permission denied"},
        {"folder.txa", EISDIR, "Cannot open folder.txa: Is a directory"},
        {"main.txa", 0, "Cannot open main.txa"},
        {"", ENOENT, "No file name given"},
        {"", 0, "No file name given"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(openFailureText(row.name, row.error), row.text);
    }
}

TEST(OpenFailure, WhyANameGivesNoOrdinaryFileToLoad) {
    testing::TempFolder dir;
    dir.write("plain.txa", "x\r\n");
    dir.write(".hidden.txa", "x\r\n");
    std::filesystem::create_directory(dir.file("folder.txa"));
    const struct {
        std::string name;
        const char* reason;
    } table[] = {
        {dir.file("plain.txa"), ""},
        {dir.file("missing.txa"), "No such file or directory"},
        {dir.file("missing/inner.txa"), "No such file or directory"},
        {dir.file("folder.txa"), "Is a directory"},
        {dir.file(".hidden.txa"), "It is a hidden file"},
#ifndef _WIN32  // a device with a file's name is a POSIX thing
        {"/dev/null", "It is not an ordinary file"},
#endif
        {"", ""},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(notLoadableReason(row.name), row.reason);
    }
}

TEST(OpenFailure, ShownWithTheStopIconUnderErrorOpen) {
    testing::ScriptedPresenter boxes;
    boxes.expect("Cannot open a.txa: Permission denied", window::ButtonOk).expect("No file name given", window::ButtonOk);
    showOpenFailure("a.txa", EACCES);
    showOpenFailure("", "whatever");
    boxes.verifyDone();
    ASSERT_EQ(boxes.shown().size(), 2u);
    for (const window::MessageRequest& shown : boxes.shown()) {
        EXPECT_EQ(shown.caption, "Error Open");
        EXPECT_EQ(shown.icon, window::IconHand);
        EXPECT_EQ(shown.buttons, window::ButtonOk);
    }
}

}  // namespace
}  // namespace varnok::app
