// The main window in real Qt widgets (QtWindowLayer, offscreen): the layout
// in pixels, resizing, and one whole use with the mouse and the keyboard,
// message boxes answered through ScriptedPresenter. Screenshots of the
// window and of every message box go to build/screenshots/.
#include <QAbstractButton>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QStatusBar>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/startup/program_run.h"
#include "app/window/main_procedure.h"
#include "framework/ini/ini_manager.h"
#include "framework/windows/window_resizer.h"
#include "app/window/main_window_structure.h"
#include "tests/app/window/program_home.h"
#include "tests/app/qt/window_starts.h"
#include "tests/support/qt_user_steps.h"
#include "tests/support/scripted_presenter.h"
#include "tests/window/qt/qt_test_support.h"
#include "window/dialog_units.h"
#include "window/qt/icons.h"
#include "window/qt/message_presenter.h"
#include "window/qt/qt_window.h"
#include "window/qt/qt_window_layer.h"
#include "window/qt/window_font.h"

namespace varnok::app {
namespace {

using testing::readFile;
using window::ButtonNo;
using window::ButtonOk;
using window::ButtonYes;
using window::qt::QtWindow;

void saveScreenshot(QWidget* widget, const std::string& name) {
    EXPECT_TRUE(widget->grab().save(QString::fromStdString(window::qt::testing::screenshotPath(name + ".png"))));
}

// Shows each message box as the desktop would, saves a picture of it, then
// lets the ScriptedPresenter below answer it.
class PictureTakingPresenter : public window::MessagePresenter {
public:
    PictureTakingPresenter(window::qt::QtWindowLayer& layer, std::string prefix)
        : layer_(layer), prefix_(std::move(prefix)), below_(window::setMessagePresenter(this)) {}
    ~PictureTakingPresenter() override { window::setMessagePresenter(below_); }

    unsigned show(const window::MessageRequest& request) override {
        const window::qt::MessageBoxPlan plan = window::qt::messageBoxPlan(request);
        QtWindow* top = layer_.topWindow();
        std::unique_ptr<QMessageBox> box = window::qt::buildMessageBox(plan, top ? top->widget() : nullptr);
        box->show();
        saveScreenshot(box.get(), prefix_ + "-" + std::to_string(++count_) + "-" +
                                      (request.caption.empty() ? std::string("message") : request.caption));
        box->hide();
        return below_->show(request);
    }

private:
    window::qt::QtWindowLayer& layer_;
    std::string prefix_;
    window::MessagePresenter* below_;
    int count_ = 0;
};

struct MainWindowQt : ::testing::Test {
    testing::ProgramHome home;
    window::qt::QtWindowLayer layer;
    window::WindowLayer* previousLayer = nullptr;

    void SetUp() override {
        window::qt::testing::application();
        previousLayer = window::setWindowLayer(&layer);
        registerMainWindow();
    }
    void TearDown() override { window::setWindowLayer(previousLayer); }

    static int32_t number(std::string_view useName) {
        return window::findWindowStructure(MainWindowResource)->controlNumber(useName);
    }
    static QTableView* list(QtWindow& w) { return w.listView(number(use::List)); }
    static QWidget* control(QtWindow& w, std::string_view useName) { return w.controlWidget(number(useName)); }
    static void click(QtWindow& w, std::string_view button) {
        QTest::mouseClick(control(w, button), Qt::LeftButton);
    }
    static QPoint rowPoint(QtWindow& w, int row) {  // row 1-based, in the Extension column
        QTableView* v = list(w);
        return v->visualRect(v->model()->index(row - 1, 1)).center();
    }
    // The list as drawn: per row the tick ("x" ticked box, "." empty box)
    // and the texts of the other columns.
    static std::string rows(QtWindow& w) {
        QAbstractItemModel* m = list(w)->model();
        const QImage ticked = window::qt::namedIcon("~boxon.ico").pixmap(16).toImage();
        const QImage unticked = window::qt::namedIcon("~boxoff.ico").pixmap(16).toImage();
        std::string out;
        for (int r = 0; r < m->rowCount(); ++r) {
            const QImage icon = m->data(m->index(r, 0), Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
            out += icon == ticked ? "x" : icon == unticked ? "." : "?";
            EXPECT_EQ(m->data(m->index(r, 0), Qt::DisplayRole).toString(), "");  // the tick column shows no text
            for (int c = 1; c < m->columnCount(); ++c)
                out += "|" + m->data(m->index(r, c), Qt::DisplayRole).toString().toStdString();
            out += "\n";
        }
        return out;
    }
};

// Every control sits at its dialog-unit rectangle converted with the
// window's font; a resize of +200 x +120 dialog units stretches the list and
// its group by that much, moves "Remove and Save" by it and "Select for
// removal" down only; the file name's group and entry grow by the change in
// width, "..." moves right by it, Load and View by half of it.
TEST_F(MainWindowQt, LayoutInPixelsAndResizing) {
    using framework::CentreX;
    using framework::GrowHeight;
    using framework::GrowWidth;
    using framework::MoveX;
    using framework::MoveY;
    struct Unit {
        std::string_view useName;
        window::Rect units;
        unsigned strategy = 0;
    };
    const Unit table[] = {
        {use::Group1, {5, 6, 411, 45}, GrowWidth},
        {use::FileNamePrompt, {9, 16, 0, 0}},  // natural size: only the place is fixed
        {use::FileName, {61, 16, 327, 10}, GrowWidth},
        {use::LookupFile, {392, 15, 12, 12}, MoveX},
        {use::LoadButton, {115, 32, 89, 14}, CentreX},
        {use::ViewButton, {215, 32, 89, 14}, CentreX},
        {use::Group2, {5, 54, 411, 214}, GrowWidth | GrowHeight},
        {use::List, {9, 62, 401, 182}, GrowWidth | GrowHeight},
        {use::SelectButton, {9, 248, 139, 14}, MoveY},
        {use::RemoveButton, {271, 248, 139, 14}, MoveX | MoveY},
    };
    auto check = [&](QtWindow& w, int32_t dw, int32_t dh) {
        for (const Unit& u : table) {
            SCOPED_TRACE(u.useName);
            window::Rect r = u.units;
            if (u.strategy & GrowWidth) r.width += dw;
            if (u.strategy & GrowHeight) r.height += dh;
            if (u.strategy & MoveX) r.x += dw;
            if (u.strategy & CentreX) r.x += dw / 2;
            if (u.strategy & MoveY) r.y += dh;
            const window::Rect px = window::unitsToPixels(r, w.base());
            const QRect g = control(w, u.useName)->geometry();
            EXPECT_EQ(g.x(), px.x);
            EXPECT_EQ(g.y(), px.y);
            if (r.width) {
                EXPECT_EQ(g.width(), px.width);
            }
            if (r.height) {
                EXPECT_EQ(g.height(), px.height);
            }
        }
    };
    auto listWidthIs = [&](int32_t units) {
        return [&, units](QtWindow& w) {
            return control(w, use::List)->width() == window::unitsToPixelsX(units, w.base());
        };
    };
    const QString longPath =
        "/home/developer/projects/customers/applications/2024/exports/nightly/customers-and-orders-with-invoices.txa";
    testing::ScriptedPresenter boxes;
    testing::UserSteps driver(layer, 60000);
    driver.closeWindowsWhenDone().start();
    driver.then([&](QtWindow& w) {
              EXPECT_EQ(w.client()->width(), window::unitsToPixelsX(420, w.base()));
              EXPECT_EQ(w.client()->height(), window::unitsToPixelsY(273, w.base()));
              check(w, 0, 0);
              saveScreenshot(w.widget(), "main-window-empty");
              // A long path does not fit the entry at the window's first size.
              auto* entry = static_cast<QLineEdit*>(control(w, use::FileName));
              QTest::keyClicks(entry, longPath);
              EXPECT_GT(entry->fontMetrics().horizontalAdvance(longPath), entry->contentsRect().width());
              // The user drags the frame 200 x 120 dialog units larger.
              const QSize frameExtra = w.widget()->size() - w.client()->size();
              w.widget()->resize(QSize(window::unitsToPixelsX(620, w.base()), window::unitsToPixelsY(393, w.base())) +
                                 frameExtra);
          })
        .until(listWidthIs(601), "the list laid out for the larger window")
        .then([&](QtWindow& w) {
            check(w, 200, 120);
            // On the wider window it does, whole (and the resize kept what
            // was typed).
            auto* entry = static_cast<QLineEdit*>(control(w, use::FileName));
            EXPECT_EQ(entry->text(), longPath);
            EXPECT_LT(entry->fontMetrics().horizontalAdvance(longPath), entry->contentsRect().width() - 8);
            entry->setCursorPosition(0);
            saveScreenshot(w.widget(), "main-window-larger");
            w.widget()->resize(100, 100);  // below the minimum
        })
        .until(listWidthIs(401), "the list back at its smallest")
        .then([&](QtWindow& w) { check(w, 0, 0); });
    runProgram();
    EXPECT_TRUE(driver.finished());
    boxes.verifyDone();
}

// Five starts, each closed where it opened. The window is shown where the
// program's INI file puts it (a window manager frames a window where it is
// mapped, so a place set after the window is shown comes too late), and
// the place saved is the frame's top-left corner, the point restored: the
// frame stays where the first start put it. The offscreen platform draws a
// frame of a few pixels around the client area.
TEST_F(MainWindowQt, TheWindowKeepsItsPlaceOverFiveStarts) {
    std::filesystem::create_directories(home.varnokFolder());
    home.root().write("config/varnok/varnok.INI",
                      "[Main]\nMaximize=No\nMinimize=No\nXPos=40\nYPos=30\nWidth=420\nHeight=273\n");
    const std::vector<testing::WindowPlace> places = testing::startAndClose(layer, 5);
    ASSERT_EQ(places.size(), 5u);
    const window::DialogBase base = window::qt::dialogBase(window::qt::windowFont("MS Sans Serif", 8));
    const QPoint saved(window::unitsToPixelsX(40, base), window::unitsToPixelsY(30, base));
    // The frame is there: the client area lies inside it, below its top.
    EXPECT_GT(places[0].client.y(), places[0].frame.top());
    EXPECT_GE(places[0].client.x(), places[0].frame.left());
    for (size_t i = 0; i < places.size(); ++i) {
        SCOPED_TRACE("start " + std::to_string(i + 1));
        const testing::WindowPlace& p = places[i];
        EXPECT_LE((p.firstShown - saved).manhattanLength(), 1) << "first shown at " << p.firstShown.x() << ","
                                                                << p.firstShown.y();
        EXPECT_LE(std::abs(p.frame.left() - saved.x()), 1) << p.frame.left();
        EXPECT_LE(std::abs(p.frame.top() - saved.y()), 1) << p.frame.top();
        EXPECT_EQ(p.client - p.frame.topLeft(), places[0].client - places[0].frame.topLeft());
        EXPECT_EQ(p.savedX, 40);
        EXPECT_EQ(p.savedY, 30);
    }
}

// One whole use, from a first start without remtxa.ini to the close.
TEST_F(MainWindowQt, TheRoadOfOneUse) {
    home.write("main.txa", testing::kSmallTxa);
    testing::ScriptedPresenter boxes;
    PictureTakingPresenter pictures(layer, "message");
    boxes.expect("Select all the instances of: Logger", ButtonNo)
        .expect("Select all the instances of: Logger", ButtonYes)
        .expect("Remove the selected extensions from the TXA", ButtonYes)
        .expect("Saved", ButtonOk);
    testing::UserSteps driver(layer, 60000);
    driver.closeWindowsWhenDone().start();
    driver
        .then([&](QtWindow& w) {
            auto* entry = static_cast<QLineEdit*>(control(w, use::FileName));
            EXPECT_EQ(entry->text(), "");
            EXPECT_EQ(w.widget()->windowTitle(), "Remove Extensions");
            QTest::keyClicks(entry, "main.txa");
            click(w, use::LoadButton);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(rows(w),
                      ".|Logger|Main|Tools|3|6\n"
                      ".|Caf\u00e9|Main|Other|7|9\n"
                      ".|Logger|Main|Other|10|12\n");
            EXPECT_EQ(QApplication::focusWidget(), list(w));
            EXPECT_EQ(w.choice(number(use::List)), 1) << "the first row highlighted after Load";
            QTest::mouseClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, 2));
        })
        .then([&](QtWindow& w) { click(w, use::SelectButton); })  // tick row 2 by the button
        .then([&](QtWindow& w) {
            EXPECT_EQ(rows(w).substr(0, 2), ".|");
            EXPECT_EQ(rows(w).find("x|Caf"), 0 + rows(w).find("\n") + 1);
            QTest::mouseClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, 1));
        })
        .then([&](QtWindow& w) { QTest::keyClick(list(w), Qt::Key_Return); })  // tick row 1 by Enter
        .then([&](QtWindow& w) {
            EXPECT_EQ(rows(w).substr(0, 1), "x");
            QTest::mouseClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, 2));
        })
        .then([&](QtWindow& w) { QTest::mouseDClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, 2)); })  // untick row 2
        .then([&](QtWindow& w) {
            EXPECT_EQ(rows(w),
                      "x|Logger|Main|Tools|3|6\n"
                      ".|Caf\u00e9|Main|Other|7|9\n"
                      ".|Logger|Main|Other|10|12\n");
            QTest::mouseClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, 1));
        })
        .then([&](QtWindow& w) { QTest::mouseClick(list(w)->viewport(), Qt::RightButton, {}, rowPoint(w, 1)); })  // No
        .then([&](QtWindow& w) {
            EXPECT_EQ(rows(w).substr(0, 1), "x");
            EXPECT_EQ(rows(w).find("\n.|Logger"), rows(w).rfind("\n", rows(w).size() - 2));
            QTest::mouseClick(list(w)->viewport(), Qt::RightButton, {}, rowPoint(w, 1));  // Yes
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(rows(w),
                      "x|Logger|Main|Tools|3|6\n"
                      ".|Caf\u00e9|Main|Other|7|9\n"
                      "x|Logger|Main|Other|10|12\n");
            click(w, use::RemoveButton);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(rows(w), ".|Caf\u00e9|Main|Other|3|5\n");
            w.widget()->close();  // the close box
        });
    EXPECT_EQ(runProgram(), 2);
    EXPECT_TRUE(driver.finished());
    boxes.verifyDone();
    ASSERT_EQ(boxes.shown().size(), 4u);
    EXPECT_EQ(boxes.shown()[3].text, "main_.txa");
    EXPECT_EQ(readFile(home.file("main_.txa")),
              "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Other Caf\xE9\r\n[INSTANCE]\r\n[END]\r\n");
    EXPECT_EQ(readFile(home.file("main.txa")), testing::kSmallTxa);
    EXPECT_EQ(readFile(home.remtxaIni()), "[TXA]\nFileName=main.txa\n");
    const std::string ini = readFile(home.varnokIni());
    for (const char* line : {"[Main]\n", "\nMaximize=No\n", "\nMinimize=No\n", "\nXPos=", "\nYPos=", "\nWidth=420\n",
                             "\nHeight=273\n", "\nResizeWidth=420\n", "\nResizeHeight=273\n",
                             "[__Dont_Touch_Me__]\nSectors=0\n"}) {
        EXPECT_NE(ini.find(line), std::string::npos) << line << " in\n" << ini;
    }
}

// The other messages of the window, each shown as the desktop shows it:
// Deselect All, Nothing to delete, Overwrite, Error Open.
TEST_F(MainWindowQt, TheOtherMessages) {
    home.write("main.txa", testing::kSmallTxa);
    home.write("main_.txa", "older copy\r\n");
    testing::ScriptedPresenter boxes;
    PictureTakingPresenter pictures(layer, "message-other");
    boxes.expect("Deselect all the instances of: Logger", ButtonNo)
        .expect("Remove the selected extensions", ButtonYes)
        .expect("Nothing to delete", ButtonOk)
        .expect("Remove the selected extensions", ButtonYes)
        .expect("Overwrite ", ButtonNo)
        .expect("Error Open", ButtonOk);
    testing::UserSteps driver(layer, 60000);
    driver.closeWindowsWhenDone().start();
    driver
        .then([&](QtWindow& w) {
            QTest::keyClicks(control(w, use::FileName), "main.txa");
            click(w, use::LoadButton);
        })
        .then([&](QtWindow& w) { QTest::mouseClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, 1)); })
        .then([&](QtWindow& w) { QTest::mouseClick(list(w)->viewport(), Qt::RightButton, {}, rowPoint(w, 1)); })
        .then([&](QtWindow& w) { click(w, use::RemoveButton); })
        .then([&](QtWindow& w) { click(w, use::SelectButton); })
        .then([&](QtWindow& w) { click(w, use::RemoveButton); })
        .then([&](QtWindow& w) {
            auto* entry = static_cast<QLineEdit*>(control(w, use::FileName));
            entry->clear();
            QTest::keyClicks(entry, "missing.txa");
            click(w, use::LoadButton);
        })
        .then([&](QtWindow& w) {
            // Nothing was written, so nothing left the lines: row 1 is still
            // there and ticked.
            EXPECT_EQ(rows(w), "x|Logger|Main|Tools|3|6\n.|Caf\u00e9|Main|Other|7|9\n.|Logger|Main|Other|10|12\n");
        });
    runProgram();
    EXPECT_TRUE(driver.finished());
    boxes.verifyDone();
    ASSERT_EQ(boxes.shown().size(), 6u);
    EXPECT_EQ(boxes.shown()[5].text, "Cannot open missing.txa: No such file or directory");
    EXPECT_EQ(readFile(home.file("main_.txa")), "older copy\r\n");
    EXPECT_EQ(readFile(home.remtxaIni()), "[TXA]\nFileName=missing.txa\n");
}

// A file of over a million lines: the From and To columns show every line
// number whole, each in a column wide enough to draw it without eliding,
// so no two rows look alike; a file under a million lines keeps the
// columns as the window's structure gives them.
TEST_F(MainWindowQt, LineNumbersOfAMillionAndMoreShowWhole) {
    constexpr int kLines = 1580749;
    std::string big;
    big.reserve(kLines * 3 + 64);
    for (int line = 1; line <= kLines - 9; ++line) big += "L\r\n";
    // Lines 1580741-1580744 and 1580745-1580748 are two instances.
    big += "[ADDITION]\r\nNAME Tools First\r\n[PROMPTS]\r\nx\r\n[ADDITION]\r\nNAME Tools Second\r\nx\r\nx\r\n[END]\r\n";
    home.write("big.txa", big);
    big.clear();
    home.write("small.txa", testing::kSmallTxa);
    testing::ScriptedPresenter boxes;
    testing::UserSteps driver(layer, 120000);
    driver.closeWindowsWhenDone().start();
    auto load = [&](QtWindow& w, const char* name) {
        auto* entry = static_cast<QLineEdit*>(control(w, use::FileName));
        entry->clear();
        QTest::keyClicks(entry, name);
        click(w, use::LoadButton);
    };
    // Every From and To cell is drawn whole in its column, and every column
    // in view beside the vertical scroll bar, without a horizontal one.
    auto fitsColumns = [&](QtWindow& w) {
        QTableView* v = list(w);
        EXPECT_FALSE(v->horizontalScrollBar()->isVisible());
        EXPECT_LE(v->horizontalHeader()->length(), v->viewport()->width());
        const QFontMetrics metrics(v->font());
        for (int r = 0; r < v->model()->rowCount(); ++r) {
            for (int c : {4, 5}) {
                const QString text = v->model()->data(v->model()->index(r, c), Qt::DisplayRole).toString();
                EXPECT_LE(metrics.horizontalAdvance(text) + 4, v->horizontalHeader()->sectionSize(c))
                    << text.toStdString() << " in column " << c + 1;
            }
        }
    };
    driver.then([&](QtWindow& w) { load(w, "big.txa"); })
        .then([&](QtWindow& w) {
            EXPECT_EQ(rows(w),
                      ".|First||Tools|1580741|1580744\n"
                      ".|Second||Tools|1580745|1580748\n");
            fitsColumns(w);
            saveScreenshot(w.widget(), "main-window-million-lines");
            load(w, "small.txa");
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(rows(w).substr(0, rows(w).find('\n')), ".|Logger|Main|Tools|3|6");
            fitsColumns(w);
            const int32_t listControl = number(use::List);
            for (int32_t column : {5, 6}) {
                EXPECT_EQ(w.property(listControl, window::prop::ColumnPicture, column), "@s6");
                EXPECT_EQ(w.propertyNumber(listControl, window::prop::ColumnWidth, column), 30);
            }
        });
    runProgram();
    EXPECT_TRUE(driver.finished());
    boxes.verifyDone();
}

// A click on the empty space below the rows leaves no row highlighted;
// then Enter highlights row 1 and ticks nothing, and the right button, on
// no row, asks nothing and changes nothing.
TEST_F(MainWindowQt, NoHighlightedRowAfterAClickBelowTheRows) {
    home.write("main.txa", testing::kSmallTxa);
    testing::ScriptedPresenter boxes;  // no message at all
    testing::UserSteps driver(layer, 60000);
    driver.closeWindowsWhenDone().start();
    const std::string unticked =
        ".|Logger|Main|Tools|3|6\n.|Caf\u00e9|Main|Other|7|9\n.|Logger|Main|Other|10|12\n";
    auto below = [](QtWindow& w) { return QPoint(rowPoint(w, 1).x(), list(w)->viewport()->height() - 4); };
    auto highlighted = [](QtWindow& w) {
        return static_cast<int>(list(w)->selectionModel()->selectedRows().size()) == 0
                   ? 0
                   : list(w)->selectionModel()->selectedRows().front().row() + 1;
    };
    driver
        .then([&](QtWindow& w) {
            QTest::keyClicks(control(w, use::FileName), "main.txa");
            click(w, use::LoadButton);
        })
        .then([&](QtWindow& w) { QTest::mouseClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, 2)); })
        .then([&](QtWindow& w) {
            EXPECT_EQ(highlighted(w), 2);
            QTest::mouseClick(list(w)->viewport(), Qt::LeftButton, {}, below(w));
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(highlighted(w), 0);
            EXPECT_EQ(w.choice(number(use::List)), 0);
            QTest::keyClick(list(w), Qt::Key_Return);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(rows(w), unticked) << "Enter ticked a row that was not highlighted";
            EXPECT_EQ(highlighted(w), 1);
            EXPECT_EQ(w.choice(number(use::List)), 1);
            QTest::mouseClick(list(w)->viewport(), Qt::LeftButton, {}, below(w));
        })
        .then([&](QtWindow& w) { QTest::mouseClick(list(w)->viewport(), Qt::RightButton, {}, below(w)); })
        .then([&](QtWindow& w) {
            EXPECT_EQ(rows(w), unticked);
            EXPECT_EQ(highlighted(w), 0);
            // The button with no highlighted row: row 1 is highlighted again.
            click(w, use::SelectButton);
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(rows(w), unticked);
            EXPECT_EQ(highlighted(w), 1);
        });
    runProgram();
    EXPECT_TRUE(driver.finished());
    boxes.verifyDone();
    EXPECT_TRUE(boxes.shown().empty());
}

// The bundled sample, loaded through the "..." dialog, with two ticks.
TEST_F(MainWindowQt, TheSampleWithTwoTicks) {
    const std::string sample = VARNOK_SAMPLE_TXA;
    layer.answerFileDialogs([&](QFileDialog&) { return std::optional<QStringList>(QStringList{QString::fromStdString(sample)}); });
    testing::ScriptedPresenter boxes;
    testing::UserSteps driver(layer, 60000);
    driver.closeWindowsWhenDone().start();
    driver.then([&](QtWindow& w) { click(w, use::LookupFile); })
        .then([&](QtWindow& w) {
            EXPECT_EQ(static_cast<QLineEdit*>(control(w, use::FileName))->text().toStdString(), sample);
            click(w, use::LoadButton);
        });
    for (int row : {3, 5}) {
        driver.then([&, row](QtWindow& w) { QTest::mouseClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, row)); })
            .then([&, row](QtWindow& w) { QTest::mouseDClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, row)); });
    }
    driver
        .then([&](QtWindow& w) {
            const std::string drawn = rows(w);
            EXPECT_EQ(list(w)->model()->rowCount(), 8);
            EXPECT_EQ(std::count(drawn.begin(), drawn.end(), 'x'), 2) << drawn;
            EXPECT_NE(drawn.find("x|WindowResizer|Main|Tools|33|40\n"), std::string::npos) << drawn;
            saveScreenshot(w.widget(), "main-window-sample");
        });
    runProgram();
    EXPECT_TRUE(driver.finished());
    boxes.verifyDone();
}

// Files dropped on the window, as a file manager drops them: the first
// one's name goes into the entry and is loaded, whether it lands on the
// list's frame or on the entry (which would otherwise take the dropped
// text itself); a folder says what Load says of it; a drop of no local file
// is refused. The status bar below the controls counts instances, ticks and
// lines; the client area keeps its 420 x 273 units above it.
TEST_F(MainWindowQt, DroppedFilesAreLoadedAndTheStatusBarCounts) {
    home.write("main.txa", testing::kSmallTxa);
    home.write("other.txa", "[PROCEDURE]\r\nNAME Other\r\n");
    std::filesystem::create_directory(home.file("folder.txa"));
    testing::ScriptedPresenter boxes;
    boxes.expect("Error Open", ButtonOk);
    auto fileUrls = [&](std::initializer_list<const char*> names) {
        QList<QUrl> urls;
        for (const char* name : names) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(home.file(name))));
        return urls;
    };
    // A drag over the widget and the drop; answers whether the drag was
    // taken.
    auto drop = [](QWidget* target, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
        return dropped.isAccepted();
    };
    auto status = [](QtWindow& w) {
        const QList<QLabel*> zones = w.statusBar()->findChildren<QLabel*>();
        return zones.isEmpty() ? std::string("(no zone)") : zones.front()->text().toStdString();
    };
    auto entryText = [](QtWindow& w) { return static_cast<QLineEdit*>(control(w, use::FileName))->text().toStdString(); };
    testing::UserSteps driver(layer, 60000);
    driver.closeWindowsWhenDone().start();
    driver
        .then([&](QtWindow& w) {
            ASSERT_NE(w.statusBar(), nullptr);
            EXPECT_EQ(status(w), "0 instances, 0 ticked \u2014 0 lines");
            EXPECT_EQ(w.client()->height(), window::unitsToPixelsY(273, w.base()));
            EXPECT_EQ(w.statusBar()->geometry().top(), w.client()->geometry().bottom() + 1);
            EXPECT_EQ(w.widget()->height(), w.client()->height() + w.statusBar()->height());
            EXPECT_GT(w.statusBar()->height(), 0);
            // Dropped on the list's group: the window takes it.
            EXPECT_TRUE(drop(control(w, use::Group2), fileUrls({"main.txa", "other.txa"})));
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(entryText(w), home.file("main.txa"));
            EXPECT_EQ(rows(w),
                      ".|Logger|Main|Tools|3|6\n"
                      ".|Caf\u00e9|Main|Other|7|9\n"
                      ".|Logger|Main|Other|10|12\n");
            EXPECT_EQ(status(w), "main.txa: 3 instances, 0 ticked \u2014 13 lines");
            QTest::mouseClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, 2));
        })
        .then([&](QtWindow& w) { QTest::mouseDClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, 2)); })
        .then([&](QtWindow& w) {
            EXPECT_EQ(status(w), "main.txa: 3 instances, 1 ticked \u2014 13 lines");
            QTest::mouseClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, 3));
        })
        .then([&](QtWindow& w) { QTest::mouseDClick(list(w)->viewport(), Qt::LeftButton, {}, rowPoint(w, 3)); })
        .then([&](QtWindow& w) {
            EXPECT_EQ(status(w), "main.txa: 3 instances, 2 ticked \u2014 13 lines");
            std::string tickColumn;
            const std::string drawn = rows(w);
            for (size_t at = 0; at < drawn.size(); at = drawn.find('\n', at) + 1) tickColumn += drawn[at];
            EXPECT_EQ(tickColumn, ".xx");
            saveScreenshot(w.widget(), "main-window-counts");
            // A web address is no file: refused, nothing happens.
            EXPECT_FALSE(drop(w.widget(), {QUrl("https://example.org/a.txa")}));
            EXPECT_EQ(w.queuedEvents(), 0u);
            // A folder dropped on the entry: the message Load gives.
            EXPECT_TRUE(drop(control(w, use::FileName), fileUrls({"folder.txa"})));
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(entryText(w), home.file("folder.txa"));
            EXPECT_EQ(status(w), "main.txa: 3 instances, 2 ticked \u2014 13 lines");  // nothing changed
            EXPECT_TRUE(drop(control(w, use::FileName), fileUrls({"other.txa"})));
        })
        .then([&](QtWindow& w) {
            EXPECT_EQ(entryText(w), home.file("other.txa"));
            EXPECT_EQ(rows(w), "");
            EXPECT_EQ(status(w), "other.txa: 0 instances, 0 ticked \u2014 2 lines");
        });
    runProgram();
    EXPECT_TRUE(driver.finished());
    boxes.verifyDone();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Cannot open " + home.file("folder.txa") + ": Is a directory");
}

// A long Load in the real widgets: the counts give way to a progress bar
// that rises and is painted while the file is read, under the wait cursor,
// and the counts come back afterwards, the status bar as high as before. A
// clock that moves 0.2 s at every look makes the load long.
TEST_F(MainWindowQt, ALongLoadShowsAProgressBarThatIsPainted) {
    std::string big = "[PROCEDURE]\r\nNAME Main\r\n";
    while (big.size() < 1'500'000) big += std::string(62, 'x') + "\r\n";
    big += "[ADDITION]\r\nNAME Tools Logger\r\n[INSTANCE]\r\n[END]\r\n";
    home.write("big.txa", big);
    static struct Watch {
        QtWindow* window = nullptr;
        QProgressBar* bar = nullptr;
        std::vector<int> painted;  // the bar's value at each of its paints
        bool waitCursor = true;    // the wait cursor showed whenever the bar did
        bool screenshot = false;
        uint64_t now = 0;
    } watch;
    watch = Watch{};
    struct PaintWatch : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) watch.painted.push_back(watch.bar->value());
            return false;
        }
    } paintWatch;

    framework::iniManager().Init(ProgramIniFile, 0, 0);
    MainProcedure p;
    p.remover.queueTool.MaxBufSize = 32768;
    p.progressTiming.nowMs = [] {
        watch.now += 200;
        if (watch.bar && watch.bar->isVisible()) {
            const QCursor* cursor = QApplication::overrideCursor();
            watch.waitCursor = watch.waitCursor && cursor && cursor->shape() == Qt::WaitCursor;
            if (!watch.screenshot && watch.bar->value() >= 50) {
                saveScreenshot(watch.window->widget(), "main-window-load-progress");
                watch.screenshot = true;
            }
        }
        return watch.now;
    };
    int statusHeight = 0;
    auto countsLabel = [](QtWindow& w) { return w.statusBar()->findChildren<QLabel*>().front(); };
    testing::ScriptedPresenter boxes;
    testing::UserSteps driver(layer, 60000);
    driver.closeWindowsWhenDone().start();
    driver
        .then([&](QtWindow& w) {
            watch.window = &w;
            watch.bar = w.statusBar()->findChild<QProgressBar*>();
            ASSERT_NE(watch.bar, nullptr);
            EXPECT_FALSE(watch.bar->isVisible());
            watch.bar->installEventFilter(&paintWatch);
            statusHeight = w.statusBar()->height();
            static_cast<QLineEdit*>(control(w, use::FileName))->setText("big.txa");
            click(w, use::LoadButton);
        })
        .then([&](QtWindow& w) {
            EXPECT_FALSE(watch.bar->isVisible());
            EXPECT_TRUE(countsLabel(w)->isVisible());
            EXPECT_EQ(countsLabel(w)->text().toStdString(),
                      "big.txa: 1 instances, 0 ticked \u2014 " + std::to_string(RECORDS(p.remover.LineQ)) + " lines");
            EXPECT_EQ(w.statusBar()->height(), statusHeight);
            EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        });
    p.Run();
    framework::iniManager().Release();
    EXPECT_TRUE(driver.finished());
    ASSERT_GE(watch.painted.size(), 3u) << "the bar was painted while the file was read";
    EXPECT_TRUE(std::is_sorted(watch.painted.begin(), watch.painted.end()));
    EXPECT_GE(watch.painted.back(), 90);
    EXPECT_TRUE(watch.waitCursor);
    EXPECT_TRUE(watch.screenshot);
}

}  // namespace
}  // namespace varnok::app
