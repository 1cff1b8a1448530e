#include "window/qt/qt_window.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QWindow>
#include <algorithm>

#include "window/qt/control_factory.h"
#include "window/qt/icons.h"
#include "window/qt/list_model.h"
#include "window/qt/program_text.h"
#include "window/qt/qt_window_layer.h"
#include "window/qt/window_font.h"

namespace varnok::window::qt {

QtWindow::QtWindow(QtWindowLayer& layer, WindowStructure structure, QtWindow* below)
    : WindowCore(std::move(structure)), layer_(layer) {
    const WindowStructure& s = this->structure();
    font_ = windowFont(s.fontName, s.fontSize);
    setBase(dialogBase(font_));
    frame_ = new QWidget(nullptr, Qt::Window);
    frame_->setFont(font_);
    frame_->setWindowTitle(fromProgram(s.title));
    if (!s.icon.empty()) frame_->setWindowIcon(namedIcon(s.icon));
    client_ = new QWidget(frame_);
    buildStatusBar();
    buildControls();

    const QSize size(unitsToPixelsX(s.width, base()), unitsToPixelsY(s.height, base()) + statusHeight());
    if (s.resizable) {
        frame_->resize(size);
    } else {
        frame_->setFixedSize(size);
    }
    layoutFrame();
    if (placed()) frame_->move(unitsToPixelsX(s.x, base()), unitsToPixelsY(s.y, base()));
    if (below || s.modal) frame_->setWindowModality(Qt::ApplicationModal);
    frame_->installEventFilter(this);
    setBelow(below);
    layer_.opened(this);
    opened();
}

QtWindow::~QtWindow() {
    if (isOpen()) close();
    QWidget* frame = frame_;
    frame_ = nullptr;
    frame->removeEventFilter(this);
    for (NativeControl& c : controls_) {
        if (c.widget) c.widget->removeEventFilter(this);
        if (c.list) c.list->viewport()->removeEventFilter(this);
    }
    delete frame;
}

void QtWindow::buildStatusBar() {
    const WindowStructure& s = structure();
    if (s.statusZones.empty()) return;
    status_ = new QStatusBar(frame_);
    status_->setSizeGripEnabled(s.resizable);
    for (int32_t width : s.statusZones) {
        // Each zone is its text and, hidden until asked for, a progress bar
        // that takes the text's place and never makes the bar taller.
        auto* zone = new QLabel(status_);
        zone->setTextFormat(Qt::PlainText);
        auto* bar = new QProgressBar(status_);
        bar->setRange(0, 100);
        bar->setMaximumHeight(zone->sizeHint().height());
        bar->hide();
        const int stretch = width < 0 ? 1 : 0;
        if (width >= 0) {
            zone->setFixedWidth(unitsToPixelsX(width, base()));
            bar->setFixedWidth(unitsToPixelsX(width, base()));
        }
        status_->addWidget(zone, stretch);
        status_->addWidget(bar, stretch);
        zones_.push_back(zone);
        zoneBars_.push_back(bar);
    }
}

void QtWindow::buildControls() {
    const std::vector<ControlStructure>& specs = structure().controls;
    controls_.reserve(specs.size());
    QWidget* previousFocus = nullptr;
    for (size_t i = 0; i < specs.size(); ++i) {
        const ControlStructure& spec = specs[i];
        NativeControl c;
        if (spec.kind == ControlKind::List) {
            c.model = new ListModel(*listData(static_cast<int32_t>(i + 1)), client_);
            c.list = createList(client_, c.model, base());
            c.widget = c.list;
        } else {
            c.widget = createControl(spec, client_);
        }
        if (spec.kind == ControlKind::Group) c.widget->lower();
        c.widget->setVisible(!spec.hidden);
        c.widget->setEnabled(!spec.disabled);
        if (c.widget->focusPolicy() != Qt::NoFocus) {
            if (previousFocus) QWidget::setTabOrder(previousFocus, c.widget);
            previousFocus = c.widget;
        }
        controls_.push_back(c);
    }
    // A prompt's access key moves to the control after it.
    for (size_t i = 0; i + 1 < controls_.size(); ++i) {
        if (auto* label = qobject_cast<QLabel*>(controls_[i].widget); label && specs[i].kind == ControlKind::Prompt)
            label->setBuddy(controls_[i + 1].widget);
    }
    // Placed once the prompts know their access keys: a prompt of natural
    // size is as wide as its text shows, without the "&".
    for (size_t i = 0; i < controls_.size(); ++i)
        controls_[i].widget->setGeometry(controlGeometry(specs[i], *controls_[i].widget, base()));
    for (size_t i = 0; i < controls_.size(); ++i) connectControl(static_cast<int32_t>(i + 1));
}

int32_t QtWindow::statusHeight() const { return status_ ? status_->sizeHint().height() : 0; }

void QtWindow::layoutFrame() {
    const int32_t bar = statusHeight();
    const QSize size = frame_->size();
    client_->setGeometry(0, 0, size.width(), std::max(0, size.height() - bar));
    if (status_) status_->setGeometry(0, size.height() - bar, size.width(), bar);
}

const QtWindow::NativeControl* QtWindow::native(int32_t control) const {
    return control >= 1 && static_cast<size_t>(control) <= controls_.size() ? &controls_[static_cast<size_t>(control - 1)]
                                                                             : nullptr;
}

QWidget* QtWindow::widgetOf(int32_t control) const {
    if (control == 0) return frame_;
    const NativeControl* c = native(control);
    return c ? c->widget : nullptr;
}

QWidget* QtWindow::controlWidget(int32_t control) const { return widgetOf(control); }

QTableView* QtWindow::listView(int32_t control) const {
    const NativeControl* c = native(control);
    return c ? c->list : nullptr;
}

int32_t QtWindow::controlOf(const QObject* object) const {
    for (; object; object = object->parent()) {
        for (size_t i = 0; i < controls_.size(); ++i) {
            if (controls_[i].widget == object) return static_cast<int32_t>(i + 1);
        }
        if (object == frame_) break;
    }
    return 0;
}

// The window.

bool QtWindow::isTopWindow() const { return layer_.topWindow() == this; }

bool QtWindow::nativeAlive() const { return frame_ != nullptr; }

void QtWindow::followAllLists() { layer_.followLists(); }

bool QtWindow::waitForInput() {
    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
    return true;
}

void QtWindow::wakeUp() {
    if (loop_) loop_->quit();
}

void QtWindow::showNative() {
    // Nothing made the native window before: a place the program gave
    // until now is the frame's, and the window manager frames the window
    // there when it maps it.
    auto* over = static_cast<QtWindow*>(below());
    const std::vector<QtWindow*>& open = layer_.openWindows();
    if (over && std::find(open.begin(), open.end(), over) != open.end()) {
        frame_->winId();
        if (frame_->windowHandle() && over->frame_->windowHandle())
            frame_->windowHandle()->setTransientParent(over->frame_->windowHandle());
    }
    frame_->show();
    frame_->raise();
    frame_->activateWindow();
}

void QtWindow::closeNative() {
    layer_.closed(this);
    closing_ = true;
    frame_->close();
    closing_ = false;
    if (QtWindow* top = layer_.topWindow()) {
        top->frame_->raise();
        top->frame_->activateWindow();
    }
    if (loop_) loop_->quit();
}

void QtWindow::repaintNative() { frame_->update(); }

void QtWindow::paintPending() {
    // Whatever the desktop sends (exposure, a resize) and the program
    // posted; keys and mouse wait. The window's own events go to its queue
    // as always, to be taken by the accept loop after the work. The paint
    // requests this raised are then handled at once: on X they would wait
    // for an event loop that is not running while the work goes on, and a
    // window shown just before the work would stay unpainted.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void QtWindow::beep() { QApplication::beep(); }

QPoint QtWindow::popupPlace() const {
    QWidget* focused = frame_ ? frame_->focusWidget() : nullptr;
    if (!keyboardInput() || !focused || !focused->isVisible()) return QCursor::pos();
    return focused->mapToGlobal(QPoint(0, focused->height()));
}

PixelRect QtWindow::nativeFrameRect() const {
    const QRect frame = frame_->frameGeometry();
    return {frame_->x(), frame_->y(), frame.width(), frame.height()};
}

void QtWindow::moveNativeFrame(int x, int y) { frame_->move(x, y); }

PixelSize QtWindow::nativeClientSize() const { return {client_->width(), client_->height()}; }

void QtWindow::resizeNativeClient(int width, int height) {
    const QSize size(std::max(1, width), std::max(1, height) + statusHeight());
    if (structure().resizable) {
        frame_->resize(size.expandedTo(frame_->minimumSize()));
    } else {
        frame_->setFixedSize(size);
    }
    // A window not shown yet gets its resize event when it is shown; its
    // client area takes the new size now.
    layoutFrame();
}

void QtWindow::setNativeMinimumSize(int width, int height) {
    if (structure().resizable) frame_->setMinimumSize(width, height + statusHeight());
}

FrameState QtWindow::nativeFrameState() const {
    if (frame_->windowState() & Qt::WindowMinimized) return FrameState::Minimized;
    return frame_->windowState() & Qt::WindowMaximized ? FrameState::Maximized : FrameState::Normal;
}

void QtWindow::setNativeFrameState(FrameState state, bool set) {
    Qt::WindowStates now = frame_->windowState();
    if (state == FrameState::Maximized) {
        now = set ? (now & ~Qt::WindowMinimized) | Qt::WindowMaximized : now & ~Qt::WindowMaximized;
    } else {
        now = set ? now | Qt::WindowMinimized : now & ~Qt::WindowMinimized;
    }
    frame_->setWindowState(now);
}

void QtWindow::showNativeZone(int32_t zone, const std::string& text, int32_t percent) {
    QLabel* label = zones_[static_cast<size_t>(zone - 1)];
    QProgressBar* bar = zoneBars_[static_cast<size_t>(zone - 1)];
    label->setText(fromProgram(text));
    if (percent >= 0) bar->setValue(percent);
    bar->setVisible(percent >= 0);
    label->setVisible(percent < 0);
}

// Controls.

std::string QtWindow::nativeText(int32_t control) const {
    QWidget* w = widgetOf(control);
    if (control == 0) return toProgram(frame_->windowTitle());
    if (auto* label = qobject_cast<QLabel*>(w)) return toProgram(label->text());
    if (auto* button = qobject_cast<QPushButton*>(w)) return toProgram(button->text());
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return toProgram(edit->text());
    if (auto* group = qobject_cast<QGroupBox*>(w)) return toProgram(group->title());
    return std::string();
}

void QtWindow::setNativeText(int32_t control, std::string_view value) {
    const QString text = fromProgram(value);
    QWidget* w = widgetOf(control);
    if (control == 0) {
        frame_->setWindowTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        button->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(text);
        edit->setModified(false);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(text);
    }
}

int QtWindow::nativeNaturalWidth(int32_t control) const { return widgetOf(control)->sizeHint().width(); }

bool QtWindow::nativeModified(int32_t control) const {
    auto* edit = qobject_cast<QLineEdit*>(widgetOf(control));
    return edit && edit->isModified();
}

void QtWindow::clearNativeModified(int32_t control) {
    if (auto* edit = qobject_cast<QLineEdit*>(widgetOf(control))) edit->setModified(false);
}

void QtWindow::setNativeEntryLength(int32_t control, int length) {
    if (auto* edit = qobject_cast<QLineEdit*>(widgetOf(control))) edit->setMaxLength(length);
}

PixelRect QtWindow::nativeRect(int32_t control) const {
    const QRect r = widgetOf(control)->geometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

void QtWindow::setNativeRect(int32_t control, const PixelRect& r) {
    widgetOf(control)->setGeometry(r.x, r.y, r.width, r.height);
}

bool QtWindow::nativeHidden(int32_t control) const { return widgetOf(control)->isHidden(); }

void QtWindow::setNativeHidden(int32_t control, bool hidden) { widgetOf(control)->setVisible(!hidden); }

bool QtWindow::nativeDisabled(int32_t control) const { return !widgetOf(control)->isEnabled(); }

void QtWindow::setNativeDisabled(int32_t control, bool disabled) { widgetOf(control)->setEnabled(!disabled); }

void QtWindow::setNativeIcon(int32_t control, const std::string& name) {
    if (control == 0) {
        frame_->setWindowIcon(namedIcon(name));
    } else if (auto* label = qobject_cast<QLabel*>(widgetOf(control))) {
        const QIcon icon = namedIcon(name);
        const int side = std::min(label->width(), label->height());
        label->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(side > 0 ? side : 32));
    }
}

void QtWindow::setNativeDefault(int32_t button, bool isDefault) {
    if (auto* b = qobject_cast<QPushButton*>(widgetOf(button))) b->setDefault(isDefault);
}

void QtWindow::enableNativeDrops(int32_t control) {
    widgetOf(control)->setAcceptDrops(true);
    if (const NativeControl* c = native(control); c && c->list) c->list->viewport()->setAcceptDrops(true);
}

bool QtWindow::nativeTakesFocus(int32_t control) const {
    QWidget* w = widgetOf(control);
    return w && w->focusPolicy() != Qt::NoFocus && w->isVisibleTo(frame_) && w->isEnabled();
}

void QtWindow::setNativeFocus(int32_t control) {
    widgetOf(control)->setFocus(Qt::OtherFocusReason);
}

int32_t QtWindow::nativeFocus() const { return frame_ ? controlOf(frame_->focusWidget()) : 0; }

}  // namespace varnok::window::qt
