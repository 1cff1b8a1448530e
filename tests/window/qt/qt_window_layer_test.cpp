#include "window/qt/qt_window_layer.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QMenu>

#include "tests/window/qt/qt_test_support.h"

namespace varnok::window::qt {
namespace {

class QtWindowLayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::application(); }
    QtWindowLayer layer_;
};

TEST_F(QtWindowLayerTest, FileDialogIsAnsweredThroughItsSeam) {
    QString title;
    QStringList filters;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    layer_.answerFileDialogs([&](QFileDialog& dialog) -> std::optional<QStringList> {
        title = dialog.windowTitle();
        filters = dialog.nameFilters();
        mode = dialog.acceptMode();
        return QStringList{"/data/projects/orders.txa"};
    });
    FileDialogRequest request{"TXA File", "", "TXA Files|*.txa", 16};
    EXPECT_TRUE(layer_.fileDialog(request));
    EXPECT_EQ(request.name, "/data/projects/orders.txa");
    EXPECT_EQ(title, "TXA File");
    EXPECT_EQ(filters, QStringList{"TXA Files (*.txa)"});
    EXPECT_EQ(mode, QFileDialog::AcceptOpen);

    // Cancelled: the name stays.
    layer_.answerFileDialogs([](QFileDialog&) -> std::optional<QStringList> { return std::nullopt; });
    request.name = "kept.txa";
    request.flags = 16 | 1;
    EXPECT_FALSE(layer_.fileDialog(request));
    EXPECT_EQ(request.name, "kept.txa");
}

TEST_F(QtWindowLayerTest, PopupIsAnsweredThroughItsSeam) {
    QStringList seen;
    layer_.answerPopups([&](QMenu& menu) -> QAction* {
        for (QAction* a : menu.actions()) seen << a->text();
        for (QAction* a : menu.actions())
            if (a->text() == "Export") return a;
        return nullptr;
    });
    EXPECT_EQ(layer_.popup("View|-|Export|~Close"), 2);
    EXPECT_EQ(seen, (QStringList{"View", "", "Export", "Close"}));
    layer_.answerPopups([](QMenu&) -> QAction* { return nullptr; });
    EXPECT_EQ(layer_.popup("View|Export"), 0);
    EXPECT_EQ(layer_.popup(""), 0);  // nothing to choose from
}

TEST_F(QtWindowLayerTest, WaitCursorIsSetOnceAndRestored) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    layer_.setCursor(Cursor::Wait);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    layer_.setCursor(Cursor::Wait);  // does not stack
    layer_.setCursor(Cursor::Normal);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    layer_.setCursor(Cursor::Normal);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QtWindowLayerTest, ClosingTheLastWindowQuitsNoLoop) {
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
}

TEST_F(QtWindowLayerTest, InstalledLayerOpensWindowsByName) {
    WindowStructure structure;
    structure.resourceName = "test$byname";
    structure.controls = {makeControl(ControlKind::Prompt, "?A", "A", 4, 4), makeControl(ControlKind::List, "?LIST", "", 4, 20, 80, 40)};
    registerWindowStructure(structure);
    WindowLayer* previous = setWindowLayer(&layer_);
    std::unique_ptr<Window> window = windowLayer().open("test$byname", nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(layer_.topWindow(), window.get());
    EXPECT_EQ(window->control("?LIST"), 2);
    window->close();
    EXPECT_EQ(layer_.topWindow(), nullptr);
    EXPECT_EQ(windowLayer().open("unknown$window", nullptr), nullptr);
    setWindowLayer(previous);
}

}  // namespace
}  // namespace varnok::window::qt
