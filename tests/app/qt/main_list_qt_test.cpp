#include "window/qt/list_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "app/txa/txa_records.h"
#include "app/window/main_window_structure.h"
#include "framework/windows/queue_list_source.h"
#include "runtime/queue/queue.h"
#include "tests/window/qt/qt_test_support.h"
#include "window/qt/icons.h"
#include "window/qt/qt_window_layer.h"
#include "window/qt/window_font.h"

namespace varnok::window::qt {
namespace {

using testing::application;
using testing::drainEvents;
using testing::nextEventWithin;

struct Instance {
    const char* name;
    const char* proc;
    const char* templ;
    int32_t from, to;
    bool ticked;
};

const Instance kInstances[] = {
    {"Logger", "", "ABC", 12, 40, false},
    {"WindowResizer", "Main", "ABC", 120, 178, true},
    {"Logger", "BrowseCustomers", "XYZ", 410, 455, false},
    {"FileDropTarget", "UpdateCustomer", "DropKit", 700, 731, true},
    {"Logger", "UpdateCustomer", "XYZ", 732, 760, false},
};

void addInstance(Queue& queue, const Instance& i) {
    app::ExtensionRecord rec;
    rec.removeThis = i.ticked ? 1 : 0;
    rec.icon = rec.removeThis + 1;
    app::setFixed(rec.extensionName, sizeof rec.extensionName, i.name);
    app::setFixed(rec.procName, sizeof rec.procName, i.proc);
    app::setFixed(rec.templateName, sizeof rec.templateName, i.templ);
    rec.fromLineNo = i.from;
    rec.toLineNo = i.to;
    rec.write(queue.buffer());
    ADD(queue);
}

// Ticks or unticks row `row` the way the program does: GET, change, PUT.
void setTicked(Queue& queue, int32_t row, bool ticked) {
    GET(queue, row);
    app::ExtensionRecord rec;
    rec.read(queue.buffer());
    rec.removeThis = ticked ? 1 : 0;
    rec.icon = rec.removeThis + 1;
    rec.write(queue.buffer());
    PUT(queue);
}

QImage iconImage(const QVariant& decoration) {
    return decoration.value<QIcon>().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage boxImage(bool ticked) { return checkBoxPixmap(ticked, 16).toImage().convertToFormat(QImage::Format_ARGB32); }

class ListModelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        application();
        registerWindowStructure(app::mainWindowStructure());
    }

    void SetUp() override {
        std::unique_ptr<Window> w = layer_.open(app::MainWindowResource, nullptr);
        ASSERT_TRUE(w);
        window_.reset(static_cast<QtWindow*>(w.release()));
        list_ = window_->control("?EXTENSIONQ");
        view_ = window_->listView(list_);
        ASSERT_TRUE(view_);
        // Watches the model from before its first change to the end of the
        // test: every signal it sends is checked against what it answers,
        // and a model that breaks the rules ends the test program.
        tester_ = checkedModel(view_->model());
        window_->setProperty(list_, prop::IconList, "~boxoff.ico", 1);
        window_->setProperty(list_, prop::IconList, "~boxon.ico", 2);
        window_->setProperty(list_, prop::LineHeight, 10);
        drainEvents(*window_);
    }

    static std::unique_ptr<QAbstractItemModelTester> checkedModel(QAbstractItemModel* model) {
        return std::make_unique<QAbstractItemModelTester>(model,
                                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    }

    // Lets the window's loop deliver one event, after which lists follow
    // their queues.
    void oneEvent() {
        window_->post(event::Notify);
        Event e;
        ASSERT_TRUE(nextEventWithin(*window_, e));
    }

    QtWindowLayer layer_;
    std::unique_ptr<QtWindow> window_;
    int32_t list_ = 0;
    QTableView* view_ = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester_;  // declared after window_: goes first
};

QRect unitPixels(const DialogBase& base, int32_t x, int32_t y, int32_t w, int32_t h) {
    const Rect r = unitsToPixels({x, y, w, h}, base);
    return QRect(r.x, r.y, r.width, r.height);
}

TEST_F(ListModelTest, EveryControlSitsAtItsDialogUnitRectangleInTheWindowsFont) {
    QtWindow* window = window_.get();
    const DialogBase base = dialogBase(window->font());
    EXPECT_EQ(base.averageWidth, window->base().averageWidth);
    EXPECT_EQ(base.height, window->base().height);
    // The structure's font is not installed here: the desktop's, no smaller.
    EXPECT_GE(window->font().pointSize(), 8);
    EXPECT_GE(window->font().pointSize(), QApplication::font().pointSize());

    const WindowStructure& s = window->structure();
    for (size_t i = 0; i < s.controls.size(); ++i) {
        const ControlStructure& c = s.controls[i];
        SCOPED_TRACE(c.useName);
        QWidget* w = window->controlWidget(static_cast<int32_t>(i + 1));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget(), window->client());
        if (c.width == NoValue) {  // natural size: the place only
            EXPECT_EQ(w->pos(), unitPixels(base, c.x, c.y, 0, 0).topLeft());
            EXPECT_EQ(w->size(), w->sizeHint());
        } else {
            EXPECT_EQ(w->geometry(), unitPixels(base, c.x, c.y, c.width, c.height));
        }
    }
    EXPECT_EQ(window->client()->size(), unitPixels(base, 0, 0, 420, 273).size());
    // And read back in dialog units.
    EXPECT_EQ(window->propertyNumber(0, prop::Width), 420);
    EXPECT_EQ(window->propertyNumber(0, prop::Height), 273);
    const int32_t entry = window->control("?TXAFILENAME");
    EXPECT_EQ(window->propertyNumber(entry, prop::Xpos), 61);
    EXPECT_EQ(window->propertyNumber(entry, prop::Ypos), 16);
    EXPECT_EQ(window->propertyNumber(entry, prop::Width), 327);
    EXPECT_EQ(window->propertyNumber(entry, prop::Height), 10);
    // The list's columns are as wide as their format says.
    QTableView* list = window->listView(window->control("?EXTENSIONQ"));
    ASSERT_NE(list, nullptr);
    const int widths[] = {12, 130, 110, 80, 30, 30};
    // Each column's right edge is its dialog units so far, converted: each
    // width is its own conversion or one pixel off, the columns end where
    // their units end.
    int32_t units = 0, edge = 0;
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i + 1);
        units += widths[i];
        edge += list->horizontalHeader()->sectionSize(i);
        EXPECT_EQ(edge, unitsToPixelsX(units, base));
        EXPECT_LE(std::abs(list->horizontalHeader()->sectionSize(i) - unitsToPixelsX(widths[i], base)), 1);
    }
    // 392 units of columns in a list of 401: no horizontal scroll bar.
    EXPECT_EQ(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(window->widget()->windowTitle(), "Remove Extensions");
    EXPECT_FALSE(window->widget()->windowIcon().isNull());
}

TEST_F(ListModelTest, ShowsTheQueuesRowsThroughPicturesWithCheckBoxes) {
    Queue queue(app::extensionLayout());
    for (const Instance& i : kInstances) addInstance(queue, i);
    framework::QueueListSource source(queue);
    window_->bindList(list_, &source);
    QAbstractItemModel* model = view_->model();
    ASSERT_EQ(model->rowCount(), 5);
    ASSERT_EQ(model->columnCount(), 6);
    const char* headers[] = {"", "Extension", "Procedure", "Template", "From", "To"};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), headers[c]);
    EXPECT_FALSE(view_->horizontalHeader()->isHidden());
    EXPECT_EQ(model->headerData(4, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    for (int r = 0; r < 5; ++r) {
        SCOPED_TRACE(r);
        const Instance& i = kInstances[r];
        EXPECT_EQ(model->data(model->index(r, 0)).toString(), "");  // "@p p" shows no text
        EXPECT_EQ(iconImage(model->data(model->index(r, 0), Qt::DecorationRole)), boxImage(i.ticked));
        EXPECT_EQ(model->data(model->index(r, 1)).toString(), i.name);
        EXPECT_EQ(model->data(model->index(r, 2)).toString(), i.proc);
        EXPECT_EQ(model->data(model->index(r, 3)).toString(), i.templ);
        EXPECT_EQ(model->data(model->index(r, 4)).toString(), QString::number(i.from));
        EXPECT_EQ(model->data(model->index(r, 5)).toString(), QString::number(i.to));
        EXPECT_FALSE(model->data(model->index(r, 1), Qt::DecorationRole).isValid());
    }
    EXPECT_NE(boxImage(true), boxImage(false));
    EXPECT_EQ(view_->verticalHeader()->defaultSectionSize(), unitsToPixelsY(10, window_->base()));

    // A screenshot of the main window with a small queue and two ticks.
    window_->select(list_, 2);
    char name[256];
    app::setFixed(name, sizeof name, "/home/dev/apps/customers.txa");
    window_->bindText(window_->control("?TXAFILENAME"), {name, sizeof name});
    QApplication::processEvents();
    const QImage shot = window_->widget()->grab().toImage();
    EXPECT_EQ(shot.size(), window_->widget()->size() * window_->widget()->devicePixelRatio());
    EXPECT_TRUE(shot.save(QString::fromStdString(testing::screenshotPath("main_window.png"))));
}

TEST_F(ListModelTest, RedrawsWhenTheQueueChangesAndKeepsTheHighlightedRow) {
    Queue queue(app::extensionLayout());
    for (const Instance& i : kInstances) addInstance(queue, i);
    framework::QueueListSource source(queue);
    window_->bindList(list_, &source);
    QAbstractItemModel* model = view_->model();
    window_->select(list_, 3);
    drainEvents(*window_);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(model, &QAbstractItemModel::modelReset);

    // A PUT (a tick) is seen after the next event: the rows in view redraw.
    setTicked(queue, 3, true);
    oneEvent();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(iconImage(model->data(model->index(2, 0), Qt::DecorationRole)), boxImage(true));
    EXPECT_EQ(window_->choice(list_), 3);

    // Nothing changed: nothing redrawn.
    oneEvent();
    EXPECT_EQ(changed.count(), 1);

    // An ADD brings a row more; the highlighted row stays, without a
    // NewSelection of its own.
    addInstance(queue, {"Added", "Later", "ABC", 900, 901, false});
    oneEvent();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model->rowCount(), 6);
    EXPECT_EQ(model->data(model->index(5, 1)).toString(), "Added");
    EXPECT_EQ(window_->choice(list_), 3);
    for (const Event& e : drainEvents(*window_)) EXPECT_NE(e.number, event::NewSelection);

    // FREE empties the list and its highlight.
    FREE(queue);
    oneEvent();
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_EQ(window_->choice(list_), 0);
    window_->bindList(list_, nullptr);
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(ListModelTest, UserSelectionPostsNewSelectionAndRightPressHighlightsTheRow) {
    Queue queue(app::extensionLayout());
    for (const Instance& i : kInstances) addInstance(queue, i);
    framework::QueueListSource source(queue);
    window_->bindList(list_, &source);
    window_->alert(list_, key::MouseRight);
    QApplication::processEvents();
    const QRect row4 = view_->visualRect(view_->model()->index(3, 2));
    ASSERT_TRUE(row4.isValid());
    QTest::mousePress(view_->viewport(), Qt::RightButton, Qt::NoModifier, row4.center());
    std::vector<Event> events = testing::withoutWindowNoise(drainEvents(*window_));
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2].number, event::NewSelection);
    EXPECT_EQ(events.back().number, event::AlertKey);
    EXPECT_EQ(events.back().keyCode, key::MouseRight);
    EXPECT_EQ(window_->choice(list_), 4);
    EXPECT_EQ(window_->propertyNumber(list_, prop::MouseDownRow), 4);
    EXPECT_EQ(window_->propertyNumber(list_, prop::MouseDownColumn), 3);
    EXPECT_EQ(window_->propertyNumber(list_, prop::Selected), 4);

    QTest::keyClick(view_, Qt::Key_Down);
    events = testing::withoutWindowNoise(drainEvents(*window_));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, event::NewSelection);
    EXPECT_EQ(window_->choice(list_), 5);
    // Set by the program: no event.
    window_->setProperty(list_, prop::Selected, 1);
    EXPECT_TRUE(testing::withoutWindowNoise(drainEvents(*window_)).empty());
    EXPECT_EQ(window_->choice(list_), 1);
}

// A press below the rows, with either button, leaves no row highlighted and
// no current row, without a NewSelection; the right button is still
// alerted (the program asks MouseDownRow, 0 here).
TEST_F(ListModelTest, APressBelowTheRowsLeavesNoRowHighlighted) {
    Queue queue(app::extensionLayout());
    for (const Instance& i : kInstances) addInstance(queue, i);
    framework::QueueListSource source(queue);
    window_->bindList(list_, &source);
    window_->alert(list_, key::MouseRight);
    QApplication::processEvents();
    const QPoint below(20, view_->viewport()->height() - 3);
    ASSERT_LT(view_->rowAt(below.y()), 0) << "empty space below the rows";
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        SCOPED_TRACE(button);
        window_->select(list_, 4);
        drainEvents(*window_);
        QTest::mousePress(view_->viewport(), button, Qt::NoModifier, below);
        QTest::mouseRelease(view_->viewport(), button, Qt::NoModifier, below);
        const std::vector<Event> events = testing::withoutWindowNoise(drainEvents(*window_));
        EXPECT_EQ(window_->choice(list_), 0);
        EXPECT_EQ(window_->propertyNumber(list_, prop::Selected), 0);
        EXPECT_FALSE(view_->currentIndex().isValid());
        for (const Event& e : events) EXPECT_NE(e.number, event::NewSelection);
        if (button == Qt::RightButton) {
            ASSERT_EQ(events.size(), 1u);
            EXPECT_EQ(events[0].number, event::AlertKey);
            EXPECT_EQ(window_->propertyNumber(list_, prop::MouseDownRow), 0);
        }
    }
    // Down from no row highlights the first.
    QTest::keyClick(view_, Qt::Key_Down);
    EXPECT_EQ(window_->choice(list_), 1);
}

// While the list has the focus its highlighted row wears a focus mark; with
// the focus elsewhere the row is drawn without it.
TEST_F(ListModelTest, TheHighlightedRowShowsTheFocusMark) {
    Queue queue(app::extensionLayout());
    for (const Instance& i : kInstances) addInstance(queue, i);
    framework::QueueListSource source(queue);
    window_->bindList(list_, &source);
    drainEvents(*window_);
    window_->widget()->activateWindow();
    window_->select(list_, 2);
    QApplication::processEvents();
    ASSERT_TRUE(view_->hasFocus());
    const QRect row2 = view_->visualRect(view_->model()->index(1, 0)).united(
        view_->visualRect(view_->model()->index(1, view_->model()->columnCount() - 1)));
    const QImage focused = view_->viewport()->grab(row2).toImage();
    window_->select(window_->control("?TXAFILENAME"));
    QApplication::processEvents();
    ASSERT_FALSE(view_->hasFocus());
    const QImage unfocused = view_->viewport()->grab(row2).toImage();
    EXPECT_EQ(window_->choice(list_), 2);
    // The mark runs along the row's top edge, across every column.
    int marked = 0;
    for (int x = 0; x < focused.width(); ++x) marked += focused.pixel(x, 0) != unfocused.pixel(x, 0);
    EXPECT_GT(marked, focused.width() / 4) << "the focus mark along the top of the row";
    EXPECT_TRUE(focused.save(QString::fromStdString(testing::screenshotPath("list-row-focus-mark.png"))));
}

// Columns that fit the list's width show without a horizontal scroll bar,
// also when enough rows bring the vertical one: the widest column gives up
// the room it takes, so that the last column stays whole in view.
TEST_F(ListModelTest, ColumnsThatFitTheListNeedNoHorizontalScrollBar) {
    Queue queue(app::extensionLayout());
    framework::QueueListSource source(queue);
    // The two number columns one digit wider, as the main window makes
    // them for a file of millions of lines: 400 units of columns in 401.
    for (int32_t column : {5, 6}) {
        window_->setProperty(list_, prop::ColumnPicture, "@s7", column);
        window_->setProperty(list_, prop::ColumnWidth, 34, column);
    }
    window_->bindList(list_, &source);
    for (int rows : {3, 40}) {
        SCOPED_TRACE(rows);
        while (static_cast<int>(RECORDS(queue)) < rows) {
            const int32_t i = static_cast<int32_t>(RECORDS(queue));
            addInstance(queue, {"Logger", "Main", "ABC", 1580700 + i, 1580740 + i, false});
        }
        oneEvent();
        // The view lays out its scroll bars when it gets to it.
        for (int round = 0; round < 100 && view_->verticalScrollBar()->isVisible() != (rows == 40); ++round)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(view_->verticalScrollBar()->isVisible(), rows == 40);
        EXPECT_EQ(view_->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        EXPECT_LE(view_->horizontalHeader()->length(), view_->viewport()->width());
        const QFontMetrics metrics(view_->font());
        EXPECT_GE(view_->horizontalHeader()->sectionSize(5), metrics.horizontalAdvance("1580740") + 4);
    }
    // Wider than the list: a horizontal scroll bar as needed.
    window_->setProperty(list_, prop::ColumnWidth, 200, 2);
    EXPECT_EQ(view_->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
}

// A window like the queue viewer's, over a line queue: fifty columns of one
// format, a status bar with two zones.
TEST_F(ListModelTest, ViewerLikeWindowScreenshot) {
    WindowStructure viewer;
    viewer.resourceName = "test$viewer";
    viewer.title = "customers.txa";
    viewer.width = 393;
    viewer.height = 258;
    viewer.resizable = true;
    viewer.statusZones = {80, -1};
    viewer.controls = {
        makeControl(ControlKind::Region, "?HEADERREGION", "", 4, 4, 385, 9),
        makeControl(ControlKind::List, "?LIST", "", 4, 14, 385, 222),
        makeControl(ControlKind::Button, "?CLOSEBUTTON", "Close", 344, 240, 45, 14),
        makeControl(ControlKind::Button, "?VIEWBUTTON", "View", 6, 240, 45, 14),
        makeControl(ControlKind::Button, "?EXPORTBUTTON", "Export", 56, 240, 45, 14),
    };
    std::string format;
    for (int i = 0; i < 50; ++i) format += "60L(2)|M~Veld~@s20@";
    viewer.controls[1].format = format;
    registerWindowStructure(viewer);

    Queue lines(app::lineLayout());
    for (const char* text : {"[APPLICATION]", "VERSION 1", "[PROCEDURE]", "NAME Main", "[ADDITION]",
                             "NAME ABC WindowResizer", "[INSTANCE]", "INSTANCE 1"}) {
        app::setFixed(reinterpret_cast<char*>(lines.buffer()), app::LineSize, text);
        ADD(lines);
    }
    framework::QueueListSource source(lines);
    std::unique_ptr<Window> opened = layer_.open("test$viewer", window_.get());
    ASSERT_TRUE(opened);
    auto* w = static_cast<QtWindow*>(opened.get());
    const int32_t list = w->control("?LIST");
    std::unique_ptr<QAbstractItemModelTester> tester = checkedModel(w->listView(list)->model());
    w->bindList(list, &source);
    w->setProperty(list, prop::ColumnHeader, "Lyn", 1);
    w->setProperty(list, prop::ColumnWidth, 4 * 22 + 10, 1);
    w->setProperty(list, prop::ColumnPicture, "@s22", 1);
    w->setProperty(0, prop::StatusText, "Row 3 / 8", 1);
    w->select(list, 3);
    EXPECT_EQ(w->listView(list)->model()->data(w->listView(list)->model()->index(2, 0)).toString(), "[PROCEDURE]");
    EXPECT_EQ(w->propertyNumber(list, prop::ColumnCount), 50);
    QApplication::processEvents();
    EXPECT_TRUE(w->widget()->grab().save(QString::fromStdString(testing::screenshotPath("queue_viewer.png"))));
    w->close();
}

// Scrolling from the top to the bottom a page at a time reads each row
// shown about once, never the whole queue per page.
TEST_F(ListModelTest, ScrollingReadsOnlyTheRowsShown) {
    Queue queue(app::extensionLayout());
    constexpr int32_t kRows = 2000;
    for (int32_t n = 1; n <= kRows; ++n) addInstance(queue, {"Logger", "Proc", "ABC", n, n + 1, n % 7 == 0});
    framework::QueueListSource source(queue);
    window_->bindList(list_, &source);
    const int32_t shown = window_->propertyNumber(list_, prop::Items);
    ASSERT_GT(shown, 5);
    QScrollBar* bar = view_->verticalScrollBar();
    QApplication::processEvents();
    // Each paint reads the rows it shows, one read per row.
    uint64_t before = source.reads();
    view_->viewport()->grab();
    uint64_t total = source.reads() - before;
    EXPECT_LE(total, static_cast<uint64_t>(shown + 2));
    int pages = 0;
    while (bar->value() < bar->maximum()) {
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        before = source.reads();
        view_->viewport()->grab();
        const uint64_t read = source.reads() - before;
        total += read;
        ++pages;
        ASSERT_LE(read, static_cast<uint64_t>(shown + 2)) << "page " << pages;
    }
    EXPECT_GE(pages, kRows / (shown + 2));
    EXPECT_GE(total, static_cast<uint64_t>(kRows));  // every row was shown
    EXPECT_LE(total, static_cast<uint64_t>(pages + 1) * (shown + 2));
    // The last row is in view.
    const QRect last = view_->visualRect(view_->model()->index(kRows - 1, 1));
    EXPECT_TRUE(view_->viewport()->rect().contains(last)) << last.y();
}

}  // namespace
}  // namespace varnok::window::qt
