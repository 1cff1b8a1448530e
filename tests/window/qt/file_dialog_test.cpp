#include "window/qt/file_dialog.h"

#include <gtest/gtest.h>

#include <QFileDialog>

#include "tests/window/qt/qt_test_support.h"

namespace varnok::window::qt {
namespace {

using testing::application;

TEST(FileDialogFilters, MaskPairsBecomeQtFilters) {
    struct Case {
        const char* masks;
        QStringList filters;
    };
    const Case cases[] = {
        {"TXA Files|*.txa", {"TXA Files (*.txa)"}},
        {"TXA Files|*.txa|All Files|*.*", {"TXA Files (*.txa)", "All Files (*)"}},
        {"Texts|*.txa;*.txt", {"Texts (*.txa *.txt)"}},
        {"", {"All Files (*)"}},
        {"TXA Files|*.txa|", {"TXA Files (*.txa)"}},  // a trailing bar
        {"Lonely", {"Lonely (Lonely)"}},              // a description without its pattern
        {"|*.csv", {"*.csv"}},
    };
    for (const Case& c : cases) EXPECT_EQ(fileDialogFilters(c.masks), c.filters) << c.masks;
}

TEST(FileDialog, FlagsTitleAndStartName) {
    application();
    struct Case {
        unsigned flags;
        QFileDialog::AcceptMode accept;
        QFileDialog::FileMode mode;
        bool confirmOverwrite;
    };
    const Case cases[] = {
        {16, QFileDialog::AcceptOpen, QFileDialog::ExistingFile, true},
        {16 | 8, QFileDialog::AcceptOpen, QFileDialog::ExistingFiles, true},
        {16 | 1, QFileDialog::AcceptSave, QFileDialog::AnyFile, true},
        {16 | 1 | 4, QFileDialog::AcceptSave, QFileDialog::AnyFile, false},
        {16 | 32, QFileDialog::AcceptOpen, QFileDialog::Directory, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        QFileDialog dialog;
        configureFileDialog(dialog, {"TXA File", "/tmp/main.txa", "TXA Files|*.txa", c.flags});
        EXPECT_EQ(dialog.windowTitle(), "TXA File");
        EXPECT_EQ(dialog.acceptMode(), c.accept);
        EXPECT_EQ(dialog.fileMode(), c.mode);
        EXPECT_EQ(!dialog.testOption(QFileDialog::DontConfirmOverwrite), c.confirmOverwrite);
        if (c.mode != QFileDialog::Directory) {
            EXPECT_EQ(dialog.nameFilters(), QStringList{"TXA Files (*.txa)"});
        }
        EXPECT_EQ(dialog.directory().absolutePath(), "/tmp");
    }
}

TEST(FileDialogResult, OnePathOrTheFolderAndItsFiles) {
    EXPECT_EQ(fileDialogResult({}), "");
    EXPECT_EQ(fileDialogResult({"/home/dev/main.txa"}), "/home/dev/main.txa");
    EXPECT_EQ(fileDialogResult({"/home/dev/a.txa", "/home/dev/b.txa"}), "/home/dev|a.txa|b.txa");
}

}  // namespace
}  // namespace varnok::window::qt
