// The window layer's contract (tests/window/contract/) run on the Qt layer,
// offscreen: the user's clicks and keys through QTest, what shows read from
// the widgets.
#include "tests/window/contract/window_contract.h"

#include <QAbstractButton>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

#include "tests/window/qt/qt_test_support.h"
#include "window/qt/message_presenter.h"
#include "window/qt/qt_window.h"
#include "window/qt/qt_window_layer.h"

namespace varnok::window::qt {

class QtLayerDriver final : public contract::LayerDriver {
public:
    QtLayerDriver() { testing::application(); }

    WindowLayer& layer() override { return layer_; }

    std::vector<Event> drain(Window& w) override { return testing::drainEvents(qt(w)); }
    bool nextEventWithin(Window& w, Event& e, int milliseconds) override {
        return testing::nextEventWithin(w, e, milliseconds);
    }

    Rect pixelRect(Window& w, int32_t control) override {
        const QRect r = qt(w).controlWidget(control)->geometry();
        return {r.x(), r.y(), r.width(), r.height()};
    }
    DialogBase base(Window& w) override { return qt(w).base(); }
    bool visible(Window& w, int32_t control) override { return qt(w).controlWidget(control)->isVisible(); }
    bool enabled(Window& w, int32_t control) override { return qt(w).controlWidget(control)->isEnabled(); }
    int columnPixelWidth(Window& w, int32_t list, int column) override {
        return qt(w).listView(list)->horizontalHeader()->sectionSize(column);
    }
    int32_t shownRows(Window& w, int32_t list) override { return qt(w).listView(list)->model()->rowCount(); }
    std::string cellText(Window& w, int32_t list, int32_t row, int column) override {
        const QAbstractItemModel* model = qt(w).listView(list)->model();
        return model->data(model->index(row - 1, column)).toString().toStdString();
    }

    void click(Window& w, int32_t control) override { QTest::mouseClick(qt(w).controlWidget(control), Qt::LeftButton); }
    void closeBox(Window& w) override { qt(w).widget()->close(); }
    void userInput(Window& w, int32_t list, uint32_t keyCode) override {
        QTableView* view = qt(w).listView(list);
        const QPoint firstRow = view->visualRect(view->model()->index(0, 1)).center();
        const Qt::KeyboardModifiers modifiers = ((keyCode & key::Ctrl) ? Qt::ControlModifier : Qt::NoModifier) |
                                                ((keyCode & key::Shift) ? Qt::ShiftModifier : Qt::NoModifier);
        switch (keyCode & ~(key::Ctrl | key::Shift)) {
        case key::MouseRight: QTest::mousePress(view->viewport(), Qt::RightButton, modifiers, firstRow); break;
        case key::MouseLeft2: QTest::mouseDClick(view->viewport(), Qt::LeftButton, modifiers, firstRow); break;
        case key::Enter: QTest::keyClick(view, Qt::Key_Return, modifiers); break;
        case key::Space: QTest::keyClick(view, Qt::Key_Space, modifiers); break;
        case key::MouseLeft: QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, firstRow); break;
        default: ADD_FAILURE() << "no input for key code " << keyCode;
        }
    }
    void keyOn(Window& w, int32_t control, uint32_t keyCode) override {
        Qt::Key key = Qt::Key_Return;
        switch (keyCode) {
        case contract::kEscape: key = Qt::Key_Escape; break;
        case contract::kDown: key = Qt::Key_Down; break;
        case contract::kEnd: key = Qt::Key_End; break;
        case contract::kHome: key = Qt::Key_Home; break;
        default: break;
        }
        QWidget* target = qt(w).controlWidget(control);
        if (QTableView* list = qt(w).listView(control)) target = list;
        QTest::keyClick(target, key);
    }
    void type(Window& w, int32_t control, const std::string& text) override {
        QTest::keyClicks(qt(w).controlWidget(control), QString::fromStdString(text));
    }
    bool frameVisible(Window& w) override { return qt(w).widget()->isVisible(); }
    Rect clientRect(Window& w) override {
        const QWidget* client = qt(w).client();
        return {client->x(), client->y(), client->width(), client->height()};
    }
    // Dragged over the widget under the drop (a list's viewport), then dropped.
    void dropFiles(Window& w, int32_t control, const std::vector<std::string>& names) override {
        QWidget* target = qt(w).controlWidget(control);
        if (QTableView* list = qt(w).listView(control)) target = list->viewport();
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& name : names) urls << QUrl::fromLocalFile(QString::fromUtf8(name));
        data.setUrls(urls);
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
    }
    std::string fileName(const std::string& leaf) override { return "/tmp/" + leaf; }
    bool refusesInput(Window& w) override { return qt(w).refusesInput(); }
    Window* topWindow() override { return layer_.topWindow(); }

    unsigned showAndPress(const MessageRequest& request, unsigned bit) override {
        static const std::pair<unsigned, QMessageBox::StandardButton> standard[] = {
            {ButtonOk, QMessageBox::Ok},         {ButtonYes, QMessageBox::Yes},     {ButtonNo, QMessageBox::No},
            {ButtonAbort, QMessageBox::Abort},   {ButtonRetry, QMessageBox::Retry}, {ButtonIgnore, QMessageBox::Ignore},
            {ButtonCancel, QMessageBox::Cancel}, {ButtonHelp, QMessageBox::Help},
        };
        QMessageBox::StandardButton press = QMessageBox::NoButton;
        for (const auto& [b, s] : standard)
            if (b == bit) press = s;
        QtMessagePresenter presenter;
        MessagePresenter* previous = setMessagePresenter(&presenter);
        bool found = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            found = box->windowTitle() == QString::fromStdString(request.caption);
            if (QAbstractButton* button = box->button(press)) {
                button->click();
            } else {
                box->reject();
            }
        });
        const unsigned answer =
            message(request.text, request.caption, request.icon, request.buttons, request.defaultButton);
        setMessagePresenter(previous);
        EXPECT_TRUE(found) << "the box was not shown with its caption";
        return answer;
    }

private:
    static QtWindow& qt(Window& w) { return dynamic_cast<QtWindow&>(w); }

    QtWindowLayer layer_;
};

}  // namespace varnok::window::qt

namespace varnok::window::contract {
// Named so that `ctest -R WindowContract` and `--gtest_filter=WindowContract*`
// find the suite in both layers' executables.
INSTANTIATE_TYPED_TEST_SUITE_P(WindowContractQt, WindowContract, varnok::window::qt::QtLayerDriver);
}  // namespace varnok::window::contract
