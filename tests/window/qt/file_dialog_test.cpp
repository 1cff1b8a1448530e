#include "window/qt/file_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>
#include <chrono>

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

// The dialog opens large enough to read a folder in its detail view: the
// Name, Size, Type and Date Modified columns side by side in the view, each
// as wide as its header and what it shows, the names of typical TXA files
// whole.
TEST(FileDialog, OpensAtASizeWhereItsColumnsAreReadable) {
    application();
    const QString folder = QDir::temp().filePath("varnok-file-dialog-test");
    QDir(folder).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name : {"customers-and-orders-2024-backup.txa", "main.txa", "a.txa"}) {
        QFile file(QDir(folder).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[PROCEDURE]\r\n");
    }
    QFileDialog dialog;
    configureFileDialog(dialog, {"TXA File", "", "TXA Files|*.txa", fileflag::Explorer});
    dialog.setDirectory(folder);
    dialog.show();
    auto* view = dialog.findChild<QTreeView*>("treeView");
    ASSERT_NE(view, nullptr);
    // The folder is read on another thread: wait for its files, and for the
    // dialog to have seen the whole folder.
    auto* files = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(files, nullptr);
    bool loaded = false;
    QObject::connect(files, &QFileSystemModel::directoryLoaded, &dialog, [&] { loaded = true; });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((!loaded || view->model()->rowCount(view->rootIndex()) < 3) && std::chrono::steady_clock::now() < deadline)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(view->model()->rowCount(view->rootIndex()), 3);
    QApplication::processEvents();
    EXPECT_EQ(dialog.viewMode(), QFileDialog::Detail);
    QHeaderView* header = view->header();
    ASSERT_GE(header->count(), 4);
    const QFontMetrics metrics(view->font());
    int used = 0;
    for (int column = 0; column < 4; ++column) {
        SCOPED_TRACE(column);
        ASSERT_FALSE(header->isSectionHidden(column));
        int needed = metrics.horizontalAdvance(view->model()->headerData(column, Qt::Horizontal).toString());
        for (int row = 0; row < 3; ++row) {
            const QModelIndex index = view->model()->index(row, column, view->rootIndex());
            needed = std::max(needed, metrics.horizontalAdvance(index.data().toString()) + (column == 0 ? 24 : 0));
        }
        EXPECT_GE(header->sectionSize(column), needed) << view->model()->headerData(column, Qt::Horizontal).toString().toStdString();
        used += header->sectionSize(column);
    }
    EXPECT_LE(used, view->viewport()->width()) << "the four columns side by side";
    EXPECT_TRUE(dialog.grab().save(QString::fromStdString(testing::screenshotPath("file-dialog.png"))));
    dialog.hide();
    QDir(folder).removeRecursively();
}

TEST(FileDialogResult, OnePathOrTheFolderAndItsFiles) {
    EXPECT_EQ(fileDialogResult({}), "");
    EXPECT_EQ(fileDialogResult({"/home/dev/main.txa"}), "/home/dev/main.txa");
    EXPECT_EQ(fileDialogResult({"/home/dev/a.txa", "/home/dev/b.txa"}), "/home/dev|a.txa|b.txa");
}

}  // namespace
}  // namespace varnok::window::qt
