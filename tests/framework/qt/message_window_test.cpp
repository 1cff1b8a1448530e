// The errors history window in a real Qt window: the history listed with
// its categories, the buttons laid out from Help down to OK with their
// labels, the default button with the focus, the icon, the answer of a
// button and of the close box, and the window reached through the error
// manager once installed. A screenshot goes to build/screenshots/.
#include "framework/history/message_window.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "framework/errors/error_manager.h"
#include "framework/errors/history_window_seam.h"
#include "tests/support/qt_user_steps.h"
#include "tests/support/scripted_presenter.h"
#include "tests/window/qt/qt_test_support.h"
#include "window/message_box.h"
#include "window/qt/qt_window_layer.h"

namespace varnok::framework {
namespace {

using window::qt::QtWindow;
namespace prop = window::prop;

TEST(HistoryButtons, LaidOutFromHelpDownToOk) {
    struct Case {
        unsigned buttons;
        std::vector<unsigned> order;
    };
    const Case cases[] = {
        {6, {4, 2}},
        {129, {128, 1}},
        {1, {1}},
        {0, {}},
        {255, {128, 64, 32, 16, 8, 4, 2, 1}},
        {0x100 | 2, {2}},  // bits past Help are no buttons
        {64 | 16 | 8, {64, 16, 8}},
    };
    for (const Case& c : cases) EXPECT_EQ(historyButtonOrder(c.buttons), c.order) << c.buttons;
}

TEST(HistoryButtons, Labels) {
    const std::pair<unsigned, const char*> labels[] = {{1, "O&k"},     {2, "&Yes"},     {4, "&No"},
                                                       {8, "&Abort"},  {16, "&Retry"},  {32, "&Ignore"},
                                                       {64, "&Cancel"}, {128, "&Help"}, {3, ""},
                                                       {256, ""}};
    for (const auto& [bit, label] : labels) EXPECT_EQ(historyButtonLabel(bit), label) << bit;
}

std::string text(QtWindow& w, int32_t control) { return w.property(control, prop::Text); }
bool hidden(QtWindow& w, int32_t control) { return w.propertyFlag(control, prop::Hide); }

std::string cell(QtWindow& w, int row, int column) {
    QAbstractItemModel* model = w.listView(HistoryList)->model();
    return model->data(model->index(row - 1, column - 1), Qt::DisplayRole).toString().toStdString();
}

class MessageWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { window::qt::testing::application(); }
    void SetUp() override {
        previousLayer_ = window::setWindowLayer(&layer_);
        previousShower_ = historyWindowShower();
        installHistoryWindow();
        manager_.Init(states_);
        manager_.SetHistoryThreshold(-1);
        manager_.SetHistoryViewLevel(9);  // record every message, show none by itself
    }
    void TearDown() override {
        boxes_.verifyDone();
        setHistoryWindowShower(previousShower_);
        window::setWindowLayer(previousLayer_);
    }
    // Three notes in the history, oldest first.
    void recordNotes() {
        setStateText(manager_.state().V.FileName, "orders.dat");
        manager_.AssignCategory(2, "Files");
        manager_.RaiseError(2);   // "Could not get write access to orders.dat so trying read-only."
        manager_.RaiseError(25);  // "There are no records available to process."
        manager_.RaiseError(27);  // "The Procedure  has not been defined."
    }

    window::qt::QtWindowLayer layer_;
    varnok::testing::ScriptedPresenter boxes_;
    ThreadErrorState states_;
    ErrorManager manager_;
    window::WindowLayer* previousLayer_ = nullptr;
    HistoryWindowShower previousShower_ = nullptr;
};

TEST_F(MessageWindowTest, ShowHistoryListsEveryMessageWithHelpFirstAndOkAsTheDefault) {
    recordNotes();
    varnok::testing::UserSteps user(layer_);
    user.then([&](QtWindow& w) {
            EXPECT_EQ(text(w, 0), "Errors History");
            EXPECT_EQ(text(w, HistoryButton1), "&Help");
            EXPECT_EQ(text(w, HistoryButton1 + 1), "O&k");
            EXPECT_FALSE(hidden(w, HistoryButton1));
            EXPECT_FALSE(hidden(w, HistoryButton1 + 1));
            for (int i = 2; i < HistoryButtons; ++i) EXPECT_TRUE(hidden(w, HistoryButton1 + i)) << i;
            EXPECT_TRUE(w.propertyFlag(HistoryButton1 + 1, prop::Default));
            EXPECT_FALSE(w.propertyFlag(HistoryButton1, prop::Default));
            EXPECT_EQ(w.focus(), HistoryButton1 + 1) << "the default button has the focus";
            EXPECT_EQ(w.property(HistoryImage, prop::Icon), window::IconExclamation);

            EXPECT_EQ(w.listView(HistoryList)->model()->rowCount(), 3);
            EXPECT_EQ(cell(w, 1, 1), "Could not get write access to orders.dat so trying read-only.");
            EXPECT_EQ(cell(w, 1, 2), "Files");
            EXPECT_EQ(cell(w, 2, 1), "There are no records available to process.");
            EXPECT_EQ(cell(w, 2, 2), "KTL");
            EXPECT_EQ(w.choice(HistoryList), 3) << "the newest message is highlighted";
            EXPECT_EQ(w.property(HistoryList, prop::ColumnHeader, 1), "Message");
            EXPECT_EQ(w.property(HistoryList, prop::ColumnHeader, 2), "Category");
            EXPECT_TRUE(w.widget()->grab().save(
                QString::fromStdString(window::qt::testing::screenshotPath("history_window.png"))));
            QTest::mouseClick(w.controlWidget(HistoryButton1 + 1), Qt::LeftButton);
        })
        .start();
    EXPECT_EQ(manager_.ShowHistory(), unsigned(window::ButtonOk));
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(layer_.topWindow(), nullptr);

    user.then([](QtWindow& w) { QTest::mouseClick(w.controlWidget(HistoryButton1), Qt::LeftButton); }).start();
    EXPECT_EQ(manager_.ShowHistory(), unsigned(window::ButtonHelp));
    EXPECT_TRUE(user.finished());
}

TEST_F(MessageWindowTest, YesAndNoComeNoFirstAndTheButtonPressedIsTheAnswer) {
    recordNotes();
    varnok::testing::UserSteps user(layer_);
    user.then([&](QtWindow& w) {
            EXPECT_EQ(text(w, 0), "Save changes?");
            EXPECT_EQ(text(w, HistoryButton1), "&No");
            EXPECT_EQ(text(w, HistoryButton1 + 1), "&Yes");
            EXPECT_TRUE(hidden(w, HistoryButton1 + 2));
            EXPECT_TRUE(w.propertyFlag(HistoryButton1 + 1, prop::Default));
            EXPECT_EQ(w.property(HistoryImage, prop::Icon), window::stockIcon(32514));
            QTest::mouseClick(w.controlWidget(HistoryButton1), Qt::LeftButton);
        })
        .start();
    EXPECT_EQ(showHistoryWindow(manager_, "Save changes?", 32514, 6, 2), unsigned(window::ButtonNo));
    EXPECT_TRUE(user.finished());
}

TEST_F(MessageWindowTest, CloseBoxAnswersTheDefault) {
    recordNotes();
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) {
            EXPECT_EQ(text(w, 0), "Error") << "no caption: the window's own title";
            w.widget()->close();
        })
        .start();
    EXPECT_EQ(showHistoryWindow(manager_, "", 0, 2 | 4 | 64, 64), unsigned(window::ButtonCancel));
    EXPECT_TRUE(user.finished());

    // A default that is none of the buttons is still the close box's answer.
    user.closeTop().start();
    EXPECT_EQ(showHistoryWindow(manager_, "", 0, 1, 4), 4u);
    EXPECT_TRUE(user.finished());
}

TEST_F(MessageWindowTest, EmptyHistoryShowsAnEmptyList) {
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) {
            EXPECT_EQ(w.listView(HistoryList)->model()->rowCount(), 0);
            EXPECT_EQ(w.choice(HistoryList), 0);
            QTest::mouseClick(w.controlWidget(HistoryButton1 + 1), Qt::LeftButton);
        })
        .start();
    EXPECT_EQ(manager_.ShowHistory(), unsigned(window::ButtonOk));
    EXPECT_TRUE(user.finished());
}

TEST_F(MessageWindowTest, ErrorManagerShowsItsHistoryHereWhenTheLevelMatches) {
    manager_.RaiseError(25);  // recorded, not shown (the view level is 9)
    manager_.SetHistoryViewLevel(LevelNotify);
    varnok::testing::UserSteps user(layer_);
    user.then([](QtWindow& w) {
            EXPECT_EQ(text(w, 0), "No Records");
            EXPECT_EQ(w.listView(HistoryList)->model()->rowCount(), 2);
            EXPECT_EQ(cell(w, 2, 1), "There are no records available to process.");
            EXPECT_EQ(text(w, HistoryButton1), "O&k");
            EXPECT_TRUE(hidden(w, HistoryButton1 + 1));
            QTest::mouseClick(w.controlWidget(HistoryButton1), Qt::LeftButton);
        })
        .start();
    EXPECT_EQ(manager_.RaiseError(25), LevelNotify);
    EXPECT_TRUE(user.finished());
}

}  // namespace
}  // namespace varnok::framework
