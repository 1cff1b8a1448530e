// The queue viewer in real Qt windows: what the user sees of a queue
// (columns, pictures, widths, alignments, rows, status zones, the window's
// size), the picture editor, the record view, references to other queues,
// stacked viewers, the Export and region commands, and resizing. Message
// boxes are answered by the scripted presenter, popups through the Qt
// layer's seam. Screenshots go to build/screenshots/.
#include "queueview/viewer/queue_viewer.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCursor>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/txa/extension_remover.h"
#include "queueview/viewer/record_fields.h"
#include "runtime/queue/queue_registry.h"
#include "tests/support/qt_user_steps.h"
#include "tests/support/scripted_presenter.h"
#include "tests/support/scripted_window_layer.h"
#include "tests/window/qt/qt_test_support.h"
#include "window/qt/qt_window_layer.h"

namespace varnok::queueview {
namespace {

using window::qt::QtWindow;
namespace prop = window::prop;

// ---- what the user sees and does

QTableView* listOf(QtWindow& w) { return w.listView(ViewerList); }

std::string cell(QtWindow& w, int row, int column) {
    QAbstractItemModel* model = listOf(w)->model();
    return model->data(model->index(row - 1, column - 1), Qt::DisplayRole).toString().toStdString();
}

QPoint cellCenter(QtWindow& w, int row, int column) {
    QTableView* list = listOf(w);
    return list->visualRect(list->model()->index(row - 1, column - 1)).center();
}

void rightClick(QtWindow& w, int row, int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mousePress(listOf(w)->viewport(), Qt::RightButton, modifiers, cellCenter(w, row, column));
    QTest::mouseRelease(listOf(w)->viewport(), Qt::RightButton, modifiers, cellCenter(w, row, column));
}

void clickRow(QtWindow& w, int row) {
    QTest::mouseClick(listOf(w)->viewport(), Qt::LeftButton, Qt::NoModifier, cellCenter(w, row, 1));
}

void click(QtWindow& w, int32_t control) { QTest::mouseClick(w.controlWidget(control), Qt::LeftButton); }

std::string title(QtWindow& w) { return w.property(0, prop::Text); }
std::string zone(QtWindow& w, int32_t zone) { return w.property(0, prop::StatusText, zone); }

void screenshot(QtWindow& w, const std::string& name) {
    QApplication::processEvents();
    EXPECT_TRUE(w.widget()->grab().save(QString::fromStdString(window::qt::testing::screenshotPath(name))));
}

// The user makes the window larger, as with the mouse.
void resizeTo(QtWindow& w, int32_t width, int32_t height) {
    const window::DialogBase& base = w.base();
    QWidget* frame = w.widget();
    const QSize client = w.client()->size();
    const QSize extra = frame->size() - client;
    frame->resize(window::unitsToPixelsX(width, base) + extra.width(),
                  window::unitsToPixelsY(height, base) + extra.height());
}

struct ColumnShown {
    std::string header;
    std::string picture;
    int32_t width;
    std::string align;
};

ColumnShown column(QtWindow& w, int n) {
    return {w.property(ViewerList, prop::ColumnHeader, n), w.property(ViewerList, prop::ColumnPicture, n),
            w.propertyNumber(ViewerList, prop::ColumnWidth, n), w.property(ViewerList, prop::ColumnAlign, n) +
                                                                    w.property(ViewerList, prop::HeaderAlign, n)};
}

// ---- queues

void putText(Queue& q, uint32_t offset, uint32_t size, std::string_view text) {
    std::memset(q.buffer() + offset, ' ', size);
    std::memcpy(q.buffer() + offset, text.data(), std::min<size_t>(size, text.size()));
}
void putLong(Queue& q, uint32_t offset, int32_t v) { std::memcpy(q.buffer() + offset, &v, 4); }

// flag LONG (0, 1), day LONG (60000 ...), amount STRING(8) ("1.5", "2.25"),
// remark STRING(300) (one of 300 characters): 101 entries.
RecordLayout mixedLayout() {
    return RecordLayoutBuilder().longField("flag").longField("day").string("amount", 8).string("remark", 300).build();
}

void fillMixed(Queue& q) {
    for (int i = 0; i <= 100; ++i) {
        putLong(q, 0, i % 2);
        putLong(q, 4, 60000 + i);
        putText(q, 8, 8, i % 2 ? "1.5" : "2.25");
        putText(q, 16, 300, i == 7 ? std::string(300, 'r') : "remark " + std::to_string(i));
        ADD(q);
    }
}

class QueueViewerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { window::qt::testing::application(); }
    void SetUp() override { previous_ = window::setWindowLayer(&layer_); }
    void TearDown() override {
        boxes_.verifyDone();
        window::setWindowLayer(previous_);
    }

    window::qt::QtWindowLayer layer_;
    varnok::testing::ScriptedPresenter boxes_;
    app::QueueTool tool_;
    window::WindowLayer* previous_ = nullptr;
};

TEST_F(QueueViewerTest, LinesOfTheSampleFile) {
    app::ExtensionRemover remover;
    remover.FileNameTXA = VARNOK_SAMPLE_TXA;
    ASSERT_EQ(remover.Load().status, app::LoadStatus::Loaded);
    const uint32_t lines = RECORDS(remover.LineQ);
    ASSERT_GT(lines, 100u);

    varnok::testing::UserSteps user(layer_);
    user.then([&](QtWindow& w) {
            EXPECT_EQ(title(w), "sample.txa");
            const ColumnShown lyn = column(w, 1);
            EXPECT_EQ(lyn.header, "Lyn");
            EXPECT_EQ(lyn.align, "LL");
            EXPECT_EQ(cell(w, 1, 1), "[APPLICATION]");
            EXPECT_EQ(listOf(w)->model()->rowCount(), int(lines));
            EXPECT_EQ(w.propertyNumber(ViewerList, prop::ColumnCount), 1) << "one field, one column";
            // Every row of a text file is one entry: the list starts at row 1.
            EXPECT_EQ(w.choice(ViewerList), 1);
            EXPECT_EQ(zone(w, RowZone), "Row 1 / " + std::to_string(lines));
            resizeTo(w, 560, 300);
        })
        .then([&](QtWindow& w) { screenshot(w, "viewer_sample_lines.png"); })
        .then([](QtWindow& w) { click(w, CloseButton); })
        .start();
    remover.queueTool.ViewQueue(remover.LineQ, "sample.txa   ", 0);
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(layer_.topWindow(), nullptr);
}


TEST_F(QueueViewerTest, LinesOfExtensionQ) {
    app::ExtensionRemover remover;
    remover.FileNameTXA = VARNOK_SAMPLE_TXA;
    ASSERT_EQ(remover.Load().status, app::LoadStatus::Loaded);
    ASSERT_GT(RECORDS(remover.ExtensionQ), 0u);

    varnok::testing::UserSteps user(layer_);
    user.then([&](QtWindow& w) {
            EXPECT_EQ(title(w), "Queue") << "keepResourceTitle keeps the structure's title";
            const ColumnShown removeThis = column(w, 1);
            EXPECT_EQ(removeThis.header, "RemoveThis");
            EXPECT_EQ(removeThis.picture, "@n-15");
            EXPECT_EQ(removeThis.align, "RR");
            EXPECT_EQ(column(w, 2).header, "REM:Icon");
            EXPECT_EQ(column(w, 2).picture, "@n-15");
            EXPECT_EQ(column(w, 3).header, "ExtensionName");
            EXPECT_EQ(column(w, 3).align, "LL");
            EXPECT_EQ(column(w, 6).header, "FromLineNo");
            EXPECT_EQ(column(w, 6).picture, "@n-15") << "line numbers are far below the dates";
            EXPECT_EQ(w.propertyNumber(ViewerList, prop::ColumnCount), 7) << "seven fields, seven columns";
            resizeTo(w, 520, 200);
        })
        .then([&](QtWindow& w) { screenshot(w, "viewer_extensions.png"); })
        .closeTop()
        .start();
    remover.queueTool.ViewQueue(remover.ExtensionQ, "ExtensionQ", 1);
    EXPECT_TRUE(user.finished());
}

TEST_F(QueueViewerTest, ColumnsArePicturedSizedAndAlignedByWhatTheyHold) {
    Queue q(mixedLayout());
    fillMixed(q);
    varnok::testing::UserSteps user(layer_);
    user.then([&](QtWindow& w) {
            const ColumnShown flag = column(w, 1), day = column(w, 2), amount = column(w, 3), remark = column(w, 4);
            EXPECT_EQ(flag.header, "Flag");
            EXPECT_EQ(flag.picture, "@n-15");
            EXPECT_EQ(flag.width, 4 * 4 + 10);
            EXPECT_EQ(flag.align, "RR");
            EXPECT_EQ(day.header, "Day");
            EXPECT_EQ(day.picture, "@d06");
            EXPECT_EQ(day.width, 50);
            EXPECT_EQ(day.align, "CC");
            EXPECT_EQ(amount.picture, "@n-15.2");
            EXPECT_EQ(amount.width, 4 * 6 + 10);
            EXPECT_EQ(amount.align, "RR");
            EXPECT_EQ(remark.picture, "@s255");
            EXPECT_EQ(remark.width, 4 * 300 + 10);
            EXPECT_EQ(remark.align, "LL");
            // What the cells show, through those pictures.
            EXPECT_EQ(cell(w, 1, 1), "0");
            EXPECT_EQ(cell(w, 1, 2), "07/04/1965");
            EXPECT_EQ(cell(w, 2, 2), "08/04/1965");
            EXPECT_EQ(cell(w, 1, 3), "2.25");
            EXPECT_EQ(cell(w, 2, 3), "1.50");
            // The columns are wider than the list: the window takes its
            // narrow width, shows five rows, and that is its minimum size.
            EXPECT_EQ(w.propertyNumber(0, prop::Width), 132 + 60 + 4 + 45 + 4 + 60);
            EXPECT_EQ(w.propertyNumber(ViewerList, prop::Items), 5);
            EXPECT_EQ(w.propertyNumber(0, prop::MinWidth), w.propertyNumber(0, prop::Width));
            EXPECT_EQ(w.propertyNumber(0, prop::MinHeight), w.propertyNumber(0, prop::Height));
            EXPECT_LT(w.propertyNumber(0, prop::Height), 258) << "the window follows the shorter list";
            // The controls followed the new width and height.
            const int32_t listBottom = w.propertyNumber(ViewerList, prop::Ypos) + w.propertyNumber(ViewerList, prop::Height);
            EXPECT_EQ(w.propertyNumber(ViewButton, prop::Ypos) - listBottom, 240 - 234);
            EXPECT_EQ(w.propertyNumber(CloseButton, prop::Xpos) + 45, w.propertyNumber(ViewerList, prop::Xpos) +
                                                                           w.propertyNumber(ViewerList, prop::Width));
        })
        .closeTop()
        .start();
    ViewQueue(q, "Mixed", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
}

// Fractions written with a point in front keep their digits on the screen,
// and dates written in other numeric forms show as dates.
TEST_F(QueueViewerTest, FractionsWithALeadingPointAndDatesInOtherForms) {
    Queue q(RecordLayoutBuilder().string("part", 8).string("day", 16).build());
    const char* parts[] = {".5", ".25", ".125"};
    const char* days[] = {"6e4", "0000000060000", "+60001"};
    for (int i = 0; i < 3; ++i) {
        putText(q, 0, 8, parts[i]);
        putText(q, 8, 16, days[i]);
        ADD(q);
    }
    varnok::testing::UserSteps user(layer_);
    user.then([&](QtWindow& w) {
            EXPECT_EQ(column(w, 1).picture, "@n-15.3");
            EXPECT_EQ(column(w, 1).align, "RR");
            EXPECT_EQ(cell(w, 1, 1), "0.500");
            EXPECT_EQ(cell(w, 2, 1), "0.250");
            EXPECT_EQ(cell(w, 3, 1), "0.125");
            EXPECT_EQ(column(w, 2).picture, "@d06");
            EXPECT_EQ(cell(w, 1, 2), "07/04/1965");
            EXPECT_EQ(cell(w, 2, 2), "07/04/1965");
            EXPECT_EQ(cell(w, 3, 2), "08/04/1965");
        })
        .closeTop()
        .start();
    ViewQueue(q, "Fractions", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
}

TEST_F(QueueViewerTest, EmptyQueueShowsHeadersOnlyWithDatePictures) {
    Queue q(mixedLayout());
    varnok::testing::UserSteps user(layer_);
    user.then([&](QtWindow& w) {
            EXPECT_EQ(listOf(w)->model()->rowCount(), 0);
            for (int n = 1; n <= 4; ++n) {
                EXPECT_EQ(column(w, n).picture, "@d06") << n;
                EXPECT_EQ(column(w, n).width, 50) << n;
            }
            EXPECT_EQ(column(w, 4).header, "Remark");
            EXPECT_EQ(w.propertyNumber(ViewerList, prop::Items), 5);
            EXPECT_EQ(w.propertyNumber(0, prop::Height), 258) << "an empty queue keeps the window's height";
            EXPECT_EQ(w.propertyNumber(ViewButton, prop::Ypos), 240);
            EXPECT_EQ(zone(w, RowZone), "");
            click(w, ViewButton);  // no row: nothing happens
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(layer_.openWindows().size(), 1u);
            click(w, CloseButton);
        })
        .start();
    ViewQueue(q, "", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
}

TEST_F(QueueViewerTest, DimensionedFieldIsRefusedWithoutAWindow) {
    Queue q(RecordLayoutBuilder().string("name", 4).longField("marks").dim({3}).build());
    ADD(q);
    boxes_.expect("Column: Marks has 3 dimensions|Cannot view a queue wih dimensioned fields", window::ButtonOk);
    ViewQueue(q, "Marks", 0, tool_.exportWriter());
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].caption, "Exit");
    EXPECT_EQ(boxes_.shown()[0].icon, window::IconExclamation);
    EXPECT_EQ(layer_.topWindow(), nullptr);
}

TEST_F(QueueViewerTest, PictureEditorAppliesThePictureAndItsAlignment) {
    Queue q(mixedLayout());
    fillMixed(q);
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) {
            resizeTo(w, 420, 150);
        })
        .then([](QtWindow& w) { rightClick(w, 1, 2); })
        .then([&](QtWindow& w) {
            EXPECT_EQ(zone(w, ColumnZone), "Column 2");
            EXPECT_FALSE(w.propertyFlag(PicFieldPrompt, prop::Hide));
            EXPECT_FALSE(w.propertyFlag(PicField, prop::Hide));
            EXPECT_EQ(w.property(PicFieldPrompt, prop::Text), "Picture - Day: ");
            EXPECT_EQ(w.property(PicField, prop::Text), "@d06");
            EXPECT_TRUE(w.propertyFlag(ViewerList, prop::Disable));
            EXPECT_EQ(w.propertyNumber(PicField, prop::Xpos),
                      w.propertyNumber(PicFieldPrompt, prop::Xpos) + w.propertyNumber(PicFieldPrompt, prop::Width) + 2);
            screenshot(w, "viewer_picture_editor.png");
            auto* edit = qobject_cast<QLineEdit*>(w.controlWidget(PicField));
            ASSERT_NE(edit, nullptr);
            edit->selectAll();
            QTest::keyClicks(edit, "@n-15");
            QTest::keyClick(edit, Qt::Key_Return);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(column(w, 2).picture, "@n-15");
            EXPECT_EQ(column(w, 2).align, "RR");
            EXPECT_EQ(cell(w, 1, 2), "60,000");
            EXPECT_EQ(zone(w, ColumnZone), "");
            EXPECT_TRUE(w.propertyFlag(PicFieldPrompt, prop::Hide));
            EXPECT_TRUE(w.propertyFlag(PicField, prop::Hide));
            EXPECT_FALSE(w.propertyFlag(ViewerList, prop::Disable));
            rightClick(w, 2, 4);
        })
        .then([](QtWindow& w) {
            auto* edit = qobject_cast<QLineEdit*>(w.controlWidget(PicField));
            EXPECT_EQ(edit->text().toStdString(), "@s255");
            edit->selectAll();
            QTest::keyClicks(edit, "@d06");
            QTest::keyClick(edit, Qt::Key_Return);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(column(w, 4).picture, "@d06");
            EXPECT_EQ(column(w, 4).align, "CC");
            rightClick(w, 2, 3);
        })
        .then([](QtWindow& w) {
            // A picture of another kind keeps the alignment.
            auto* edit = qobject_cast<QLineEdit*>(w.controlWidget(PicField));
            edit->selectAll();
            QTest::keyClicks(edit, "@e12.2");
            QTest::keyClick(edit, Qt::Key_Return);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(column(w, 3).picture, "@e12.2");
            EXPECT_EQ(column(w, 3).align, "RR");
            click(w, CloseButton);
        })
        .start();
    ViewQueue(q, "Mixed", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
}

// Moving to Close leaves the entry: an edited picture is accepted on the
// way out (the entry's EVENT:Accepted comes first), an untouched one
// changes nothing; either way the editor closes and the window stays.
TEST_F(QueueViewerTest, PictureEditorClosesWhenCloseGetsTheFocus) {
    Queue q(mixedLayout());
    fillMixed(q);
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) { rightClick(w, 1, 3); })
        .then([](QtWindow& w) {
            EXPECT_FALSE(w.propertyFlag(PicField, prop::Hide));
            w.controlWidget(CloseButton)->setFocus(Qt::TabFocusReason);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(column(w, 3).picture, "@n-15.2");
            EXPECT_EQ(column(w, 3).align, "RR");
            EXPECT_TRUE(w.propertyFlag(PicField, prop::Hide));
            EXPECT_TRUE(w.propertyFlag(PicFieldPrompt, prop::Hide));
            EXPECT_EQ(zone(w, ColumnZone), "");
            EXPECT_FALSE(w.propertyFlag(ViewerList, prop::Disable));
            EXPECT_TRUE(w.isOpen());
            rightClick(w, 1, 3);
        })
        .then([](QtWindow& w) {
            auto* edit = qobject_cast<QLineEdit*>(w.controlWidget(PicField));
            edit->selectAll();
            QTest::keyClicks(edit, "@s3");
            w.controlWidget(CloseButton)->setFocus(Qt::TabFocusReason);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(column(w, 3).picture, "@s3");
            EXPECT_EQ(column(w, 3).align, "LL");
            EXPECT_TRUE(w.propertyFlag(PicField, prop::Hide));
            EXPECT_TRUE(w.isOpen());
            click(w, CloseButton);
        })
        .start();
    ViewQueue(q, "Mixed", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
}

TEST_F(QueueViewerTest, RightClickOutsideEveryColumnDoesNothing) {
    Queue q(RecordLayoutBuilder().byte("b").build());
    for (int i = 0; i < 3; ++i) ADD(q);
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) {
            QTableView* list = listOf(w);
            const QPoint beyond(list->viewport()->width() - 5, list->visualRect(list->model()->index(0, 0)).center().y());
            QTest::mousePress(list->viewport(), Qt::RightButton, Qt::NoModifier, beyond);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(w.propertyNumber(ViewerList, prop::MouseDownColumn), 0);
            EXPECT_TRUE(w.propertyFlag(PicField, prop::Hide));
            EXPECT_EQ(zone(w, ColumnZone), "");
            EXPECT_FALSE(w.propertyFlag(ViewerList, prop::Disable));
            click(w, CloseButton);
        })
        .start();
    ViewQueue(q, "Bytes", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
}

TEST_F(QueueViewerTest, StatusZoneFollowsTheHighlightedRow) {
    Queue q(mixedLayout());
    fillMixed(q);
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) { resizeTo(w, 400, 200); })
        .then([](QtWindow& w) {
            EXPECT_EQ(zone(w, RowZone), "Row 1 / 101");
            clickRow(w, 4);
        })
        .then([](QtWindow& w) {
            EXPECT_EQ(w.choice(ViewerList), 4);
            EXPECT_EQ(zone(w, RowZone), "Row 4 / 101");
            QTest::keyClick(listOf(w), Qt::Key_Down);
        })
        .then([](QtWindow& w) {
            EXPECT_EQ(zone(w, RowZone), "Row 5 / 101");
            // The zone holds the longest position, of 99,999,999 rows, whole.
            w.setProperty(0, prop::StatusText, "Row 99999999 / 99999999", RowZone);
            QLabel* shown = w.widget()->findChild<QStatusBar*>()->findChildren<QLabel*>().at(0);
            EXPECT_GE(shown->contentsRect().width(), shown->fontMetrics().horizontalAdvance(shown->text()));
            screenshot(w, "viewer_row_zone.png");
            click(w, CloseButton);
        })
        .start();
    ViewQueue(q, "Mixed", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
}

TEST_F(QueueViewerTest, RecordViewAndStackedViewers) {
    Queue q(mixedLayout());
    fillMixed(q);
    GET(q, 50);
    const uint32_t changes = CHANGES(q);
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) { resizeTo(w, 420, 160); })
        .then([](QtWindow& w) { clickRow(w, 3); })
        .then([](QtWindow& w) { click(w, ViewButton); })
        .then([&](QtWindow& w) {
            // The record view: one row per field, dates beside their numbers.
            ASSERT_EQ(layer_.openWindows().size(), 2u);
            EXPECT_TRUE(layer_.openWindows()[0]->refusesInput()) << "the viewer below waits";
            EXPECT_EQ(title(w), "Mixed");
            EXPECT_EQ(column(w, 1).header, "PFieldName");
            EXPECT_EQ(column(w, 2).header, "FieldValue");
            EXPECT_EQ(listOf(w)->model()->rowCount(), 4);
            EXPECT_EQ(cell(w, 1, 1), "flag") << "the field's own name";
            EXPECT_EQ(cell(w, 1, 2), "0");
            EXPECT_EQ(cell(w, 2, 1), "day");
            EXPECT_EQ(cell(w, 2, 2), "60002 (09/04/1965)");
            EXPECT_EQ(cell(w, 3, 2), "2.25");
            EXPECT_EQ(cell(w, 4, 2), "remark 2");
            resizeTo(w, 300, 120);
        })
        .then([&](QtWindow& w) {
            screenshot(w, "viewer_record.png");
            clickRow(w, 2);
        })
        .then([](QtWindow& w) { click(w, ViewButton); })
        .then([&](QtWindow& w) {
            // A record of the record view: three viewers stacked.
            ASSERT_EQ(layer_.openWindows().size(), 3u);
            EXPECT_TRUE(layer_.openWindows()[1]->refusesInput());
            EXPECT_EQ(cell(w, 1, 1), "PFieldName");
            EXPECT_EQ(cell(w, 1, 2), "day");
            EXPECT_EQ(cell(w, 2, 1), "FieldValue");
            EXPECT_EQ(cell(w, 2, 2), "60002 (09/04/1965)");
            click(w, CloseButton);
        })
        .then([&](QtWindow& w) {
            ASSERT_EQ(layer_.openWindows().size(), 2u);
            EXPECT_FALSE(w.refusesInput());
            EXPECT_EQ(cell(w, 2, 1), "day") << "the record view is still there";
            w.widget()->close();  // the close box
        })
        .then([&](QtWindow& w) {
            ASSERT_EQ(layer_.openWindows().size(), 1u);
            EXPECT_EQ(w.choice(ViewerList), 3);
            click(w, CloseButton);
        })
        .start();
    ViewQueue(q, "Mixed", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(POINTER(q), 50u) << "the viewed queue's position stays";
    EXPECT_EQ(CHANGES(q), changes);
}

// Parent: Name STRING(8), Child a queue reference.
RecordLayout parentLayout() {
    RecordLayoutBuilder b;
    b.string("name", 8);
    addQueueReference(b, "child");
    return b.build();
}

TEST_F(QueueViewerTest, ReferenceToALiveQueueIsFollowed) {
    Queue first(mixedLayout()), second(mixedLayout());
    fillMixed(first);
    fillMixed(second);
    putLong(second, 0, 7);
    PUT(second);  // the last entry of the second queue differs
    Queue parent(parentLayout());
    putText(parent, 0, 8, "first");
    storeQueueReference(parent.buffer() + 8, first);
    ADD(parent);
    putText(parent, 0, 8, "second");
    storeQueueReference(parent.buffer() + 8, second);
    ADD(parent);

    boxes_.expect("This may be a reference to a queue", window::ButtonYes);
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) { clickRow(w, 2); })
        .then([](QtWindow& w) { rightClick(w, 2, 2, Qt::ControlModifier); })
        .then([&](QtWindow& w) {
            ASSERT_EQ(layer_.openWindows().size(), 2u);
            EXPECT_EQ(title(w), "Child: 2");
            EXPECT_EQ(listOf(w)->model()->rowCount(), 101);
            EXPECT_EQ(cell(w, 101, 1), "7") << "the second queue, not the first";
            click(w, CloseButton);
        })
        .then([](QtWindow& w) { click(w, CloseButton); })
        .start();
    ViewQueue(parent, "Parents", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
    ASSERT_EQ(boxes_.shown().size(), 1u);
    const window::MessageRequest& question = boxes_.shown()[0];
    EXPECT_EQ(question.text, std::string(ReferenceQuestion));
    EXPECT_EQ(question.caption, "View reference queue");
    EXPECT_EQ(question.icon, window::IconQuestion);
    EXPECT_EQ(question.buttons, unsigned(window::ButtonYes | window::ButtonNo));
    EXPECT_EQ(question.defaultButton, unsigned(window::ButtonNo));
}

TEST_F(QueueViewerTest, CellThatNamesNoLiveQueueIsRefused) {
    // Four-character texts look like references and are none; a reference
    // to a released queue is none any more.
    Queue gone(mixedLayout());
    fillMixed(gone);
    Queue parent(RecordLayoutBuilder().string("code", 4).build());
    putText(parent, 0, 4, "ABCD");
    ADD(parent);
    storeQueueReference(parent.buffer(), gone);
    ADD(parent);
    releaseQueue(gone);

    boxes_.expect("This may be a reference to a queue", window::ButtonYes)
        .expect("does not hold a reference to a queue", window::ButtonOk)
        .expect("This may be a reference to a queue", window::ButtonYes)
        .expect("does not hold a reference to a queue", window::ButtonOk)
        .expect("This may be a reference to a queue", window::ButtonNo);
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) { rightClick(w, 1, 1, Qt::ControlModifier); })
        .then([](QtWindow& w) {
            clickRow(w, 2);
            rightClick(w, 2, 1, Qt::ControlModifier);
        })
        .then([](QtWindow& w) { rightClick(w, 2, 1, Qt::ControlModifier); })
        .then([&](QtWindow& w) {
            EXPECT_EQ(layer_.openWindows().size(), 1u);
            click(w, CloseButton);
        })
        .start();
    ViewQueue(parent, "Codes", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
    ASSERT_EQ(boxes_.shown().size(), 5u);
    EXPECT_EQ(boxes_.shown()[1].caption, "View reference queue");
    EXPECT_EQ(boxes_.shown()[1].icon, window::IconExclamation);
}

TEST_F(QueueViewerTest, ColumnsOfOtherLengthsAreNoReferences) {
    Queue q(RecordLayoutBuilder().string("code", 6).build());
    putText(q, 0, 6, "ABCD");
    ADD(q);
    putText(q, 0, 6, "ABCDE");
    ADD(q);
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) { rightClick(w, 1, 1, Qt::ControlModifier); })
        .then([&](QtWindow& w) {
            EXPECT_EQ(layer_.openWindows().size(), 1u);
            click(w, CloseButton);
        })
        .start();
    ViewQueue(q, "Codes", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
    EXPECT_TRUE(boxes_.shown().empty()) << "no question for values of unequal lengths";
}

TEST_F(QueueViewerTest, ExportWritesTheChosenFileAndRegionSpeaks) {
    const std::filesystem::path before = std::filesystem::current_path();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "varnok_viewer_export";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);

    Queue q(mixedLayout());
    fillMixed(q);
    layer_.answerPopups([](QMenu& menu) -> QAction* {
        for (QAction* a : menu.actions())
            if (a->text() == "Xml") return a;
        return nullptr;
    });
    boxes_.expect("Mixed_x.xml", window::ButtonOk).expect("Region", window::ButtonOk);
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) { click(w, ExportButton); })
        .then([&](QtWindow& w) {
            EXPECT_EQ(w.focus(), ViewerList) << "the list is selected again";
            QTest::mouseClick(w.controlWidget(HeaderRegion), Qt::LeftButton);
        })
        .then([](QtWindow& w) { click(w, CloseButton); })
        .start();
    ViewQueue(q, "Mixed:x", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
    std::ifstream file("Mixed_x.xml");
    std::string first;
    std::getline(file, first);
    EXPECT_EQ(first.substr(0, 5), "<?xml");
    ASSERT_GE(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].caption, "Exported");
    std::filesystem::current_path(before);
    std::filesystem::remove_all(folder);
}

// Home and End go to the first and last row, Page Down and Page Up a page
// of rows on; the status zone follows. Esc closes the viewer, as its Close
// button (the window's cancel button) does.
TEST_F(QueueViewerTest, KeysMoveThroughTheRowsAndEscCloses) {
    Queue q(mixedLayout());
    fillMixed(q);
    int32_t page = 0;
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) {
            clickRow(w, 3);
            QTest::keyClick(listOf(w), Qt::Key_End);
        })
        .then([](QtWindow& w) {
            EXPECT_EQ(w.choice(ViewerList), 101);
            EXPECT_EQ(zone(w, RowZone), "Row 101 / 101");
            QTest::keyClick(listOf(w), Qt::Key_Home);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(w.choice(ViewerList), 1);
            EXPECT_EQ(zone(w, RowZone), "Row 1 / 101");
            page = w.propertyNumber(ViewerList, prop::Items);
            QTest::keyClick(listOf(w), Qt::Key_PageDown);
        })
        .then([&](QtWindow& w) {
            EXPECT_GT(w.choice(ViewerList), 1);
            EXPECT_LE(w.choice(ViewerList), 1 + page);
            EXPECT_EQ(zone(w, RowZone), "Row " + std::to_string(w.choice(ViewerList)) + " / 101");
            QTest::keyClick(listOf(w), Qt::Key_PageUp);
        })
        .then([](QtWindow& w) {
            EXPECT_EQ(w.choice(ViewerList), 1);
            QTest::keyClick(listOf(w), Qt::Key_Escape);
        });
    user.start();
    ViewQueue(q, "Mixed", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished()) << "Esc closed the viewer";
    EXPECT_TRUE(layer_.openWindows().empty());
}

// Export pressed from the keyboard opens its menu at the button, below it;
// pressed with the mouse, at the mouse.
TEST_F(QueueViewerTest, ExportMenuOpensAtTheButtonFromTheKeyboard) {
    Queue q(mixedLayout());
    fillMixed(q);
    int menus = 0;
    layer_.answerPopups([&](QMenu&) -> QAction* {
        ++menus;
        return nullptr;  // nothing chosen
    });
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) {
            w.controlWidget(ExportButton)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(w.controlWidget(ExportButton), Qt::Key_Space);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(menus, 1);
            QWidget* button = w.controlWidget(ExportButton);
            EXPECT_EQ(layer_.lastPopupPlace(), button->mapToGlobal(QPoint(0, button->height())));
            QCursor::setPos(button->mapToGlobal(QPoint(7, 5)));
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(7, 5));
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(menus, 2);
            EXPECT_EQ(layer_.lastPopupPlace(), QCursor::pos());
            QWidget* button = w.controlWidget(ExportButton);
            EXPECT_NE(layer_.lastPopupPlace(), button->mapToGlobal(QPoint(0, button->height())));
            click(w, CloseButton);
        });
    user.start();
    ViewQueue(q, "Mixed", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
}

TEST_F(QueueViewerTest, ResizingGrowsTheListAndMovesTheButtonsButNeverBelowTheMinimum) {
    Queue q(RecordLayoutBuilder().string("word", 10).build());
    for (int i = 0; i < 3; ++i) {
        putText(q, 0, 10, "w" + std::to_string(i));
        ADD(q);
    }
    struct Place {
        int32_t x, y, width, height;
    };
    std::map<int32_t, Place> start;
    int32_t width0 = 0, height0 = 0;
    auto place = [](QtWindow& w, int32_t c) {
        return Place{w.propertyNumber(c, prop::Xpos), w.propertyNumber(c, prop::Ypos),
                     w.propertyNumber(c, prop::Width), w.propertyNumber(c, prop::Height)};
    };
    varnok::testing::UserSteps user(layer_);
    user.then([&](QtWindow& w) {
            width0 = w.propertyNumber(0, prop::Width);
            height0 = w.propertyNumber(0, prop::Height);
            EXPECT_EQ(width0, 393) << "three short rows fit: the window keeps its width";
            EXPECT_EQ(w.propertyNumber(ViewerList, prop::Items), 5);
            for (int32_t c = HeaderRegion; c <= PicField; ++c) start[c] = place(w, c);
            resizeTo(w, width0 + 100, height0 + 80);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(w.propertyNumber(0, prop::Width), width0 + 100);
            EXPECT_EQ(place(w, HeaderRegion).width, start[HeaderRegion].width + 100);
            EXPECT_EQ(place(w, ViewerList).width, start[ViewerList].width + 100);
            EXPECT_EQ(place(w, ViewerList).height, start[ViewerList].height + 80);
            EXPECT_EQ(place(w, CloseButton).x, start[CloseButton].x + 100);
            EXPECT_EQ(place(w, CloseButton).y, start[CloseButton].y + 80);
            for (int32_t c : {ViewButton, ExportButton, PicFieldPrompt, PicField}) {
                EXPECT_EQ(place(w, c).x, start[c].x) << c;
                EXPECT_EQ(place(w, c).y, start[c].y + 80) << c;
            }
            resizeTo(w, 100, 40);  // below the minimum
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(w.propertyNumber(0, prop::Width), width0);
            EXPECT_EQ(w.propertyNumber(0, prop::Height), height0);
            EXPECT_EQ(place(w, ViewerList).width, start[ViewerList].width);
            EXPECT_EQ(place(w, CloseButton).y, start[CloseButton].y);
            click(w, CloseButton);
        })
        .start();
    ViewQueue(q, "Words", 0, tool_.exportWriter());
    EXPECT_TRUE(user.finished());
}

// The picture editor's two ways out, event by event, through the scripted
// window layer: EVENT:Accepted on the entry applies the picture typed,
// EVENT:Selected on Close drops it.
TEST(QueueViewerScripted, PictureEditorAppliesOnAcceptAndDropsOnClose) {
    varnok::testing::ScriptedWindowLayer layer;
    app::QueueTool tool;
    Queue q(mixedLayout());
    fillMixed(q);
    auto editorClosed = [](window::Window& w) {
        EXPECT_TRUE(w.propertyFlag(PicField, prop::Hide));
        EXPECT_TRUE(w.propertyFlag(PicFieldPrompt, prop::Hide));
        EXPECT_FALSE(w.propertyFlag(ViewerList, prop::Disable));
        EXPECT_EQ(w.property(0, prop::StatusText, ColumnZone), "");
        EXPECT_EQ(w.focus(), ViewerList);
    };
    layer.onOpen(ViewerWindowName)
        .set("?LIST", prop::MouseDownColumn, "2")
        .alert("?LIST", window::key::MouseRight)
        .call([](window::Window& w) {
            EXPECT_EQ(w.property(0, prop::StatusText, ColumnZone), "Column 2");
            EXPECT_TRUE(w.propertyFlag(ViewerList, prop::Disable));
            EXPECT_FALSE(w.propertyFlag(PicField, prop::Hide));
            EXPECT_EQ(w.focus(), PicField);
        })
        .selected("?CLOSEBUTTON")
        .call([&](window::Window& w) {
            editorClosed(w);
            EXPECT_EQ(w.property(ViewerList, prop::ColumnPicture, 2), "") << "nothing applied";
        })
        .alert("?LIST", window::key::MouseRight)
        .type("?PICFIELD", "@t4")
        .call([&](window::Window& w) {
            editorClosed(w);
            EXPECT_EQ(w.property(ViewerList, prop::ColumnPicture, 2), "@t4");
            EXPECT_EQ(w.property(ViewerList, prop::ColumnAlign, 2), "C");
            EXPECT_EQ(w.property(ViewerList, prop::HeaderAlign, 2), "C");
        })
        .set("?LIST", prop::MouseDownColumn, "0")
        .alert("?LIST", window::key::MouseRight)
        .call([&](window::Window& w) { editorClosed(w); })
        .close();
    ViewQueue(q, "Mixed", 0, tool.exportWriter());
    layer.verifyDone();
}

}  // namespace
}  // namespace varnok::queueview
