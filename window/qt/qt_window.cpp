#include "window/qt/qt_window.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableView>
#include <QWindow>
#include <algorithm>
#include <cstring>

#include "platform/trailing_spaces.h"
#include "window/events.h"
#include "window/list_format.h"
#include "window/qt/control_factory.h"
#include "window/qt/icons.h"
#include "window/qt/list_model.h"
#include "window/qt/program_text.h"
#include "window/qt/qt_window_layer.h"
#include "window/qt/window_font.h"

namespace varnok::window::qt {

QtWindow::QtWindow(QtWindowLayer& layer, WindowStructure structure, QtWindow* below)
    : layer_(layer), structure_(std::move(structure)) {
    font_ = windowFont(structure_.fontName, structure_.fontSize);
    base_ = dialogBase(font_);

    frame_ = new QWidget(nullptr, Qt::Window);
    frame_->setFont(font_);
    frame_->setWindowTitle(fromProgram(structure_.title));
    icon_ = structure_.icon;
    if (!icon_.empty()) frame_->setWindowIcon(namedIcon(icon_));
    client_ = new QWidget(frame_);

    if (!structure_.statusZones.empty()) {
        status_ = new QStatusBar(frame_);
        status_->setSizeGripEnabled(structure_.resizable);
        for (int32_t width : structure_.statusZones) {
            // Each zone is its text and, hidden until asked for, a progress
            // bar that takes the text's place and never makes the bar taller.
            auto* zone = new QLabel(status_);
            zone->setTextFormat(Qt::PlainText);
            auto* bar = new QProgressBar(status_);
            bar->setRange(0, 100);
            bar->setMaximumHeight(zone->sizeHint().height());
            bar->hide();
            const int stretch = width < 0 ? 1 : 0;
            if (width >= 0) {
                zone->setFixedWidth(unitsToPixelsX(width, base_));
                bar->setFixedWidth(unitsToPixelsX(width, base_));
            }
            status_->addWidget(zone, stretch);
            status_->addWidget(bar, stretch);
            zones_.push_back(zone);
            zoneBars_.push_back(bar);
        }
    }

    buildControls();

    const QSize size(unitsToPixelsX(structure_.width, base_), unitsToPixelsY(structure_.height, base_) + statusHeight());
    if (structure_.resizable) {
        frame_->resize(size);
    } else {
        frame_->setFixedSize(size);
    }
    layoutFrame();

    if (structure_.x != NoValue && structure_.y != NoValue) {
        frame_->move(unitsToPixelsX(structure_.x, base_), unitsToPixelsY(structure_.y, base_));
        placed_ = true;
    }
    if (below || structure_.modal) frame_->setWindowModality(Qt::ApplicationModal);

    frame_->installEventFilter(this);
    below_ = below;
    open_ = true;
    layer_.opened(this);
    push({event::OpenWindow, 0, 0});
}

void QtWindow::showOnce() {
    if (!showPending_ || !open_) return;
    showPending_ = false;
    // Nothing made the native window before: a place the program gave
    // until now is the frame's, and the window manager frames the window
    // there when it maps it.
    const std::vector<QtWindow*>& open = layer_.openWindows();
    if (below_ && std::find(open.begin(), open.end(), below_) != open.end()) {
        // Over the window it opens from, centred, at the size the program
        // gave it, unless the program placed it.
        if (!placed_) {
            const QRect owner = below_->frame_->frameGeometry();
            frame_->move(owner.center() - QPoint(frame_->width() / 2, frame_->height() / 2));
        }
        frame_->winId();
        if (frame_->windowHandle() && below_->frame_->windowHandle())
            frame_->windowHandle()->setTransientParent(below_->frame_->windowHandle());
    }
    frame_->show();
    frame_->raise();
    frame_->activateWindow();
}

QtWindow::~QtWindow() {
    if (open_) close();
    open_ = false;
    QWidget* frame = frame_;
    frame_ = nullptr;
    frame->removeEventFilter(this);
    for (Control& c : controls_) {
        if (c.widget) c.widget->removeEventFilter(this);
        if (c.list) c.list->viewport()->removeEventFilter(this);
    }
    delete frame;
}

void QtWindow::buildControls() {
    controls_.reserve(structure_.controls.size());
    QWidget* previousFocus = nullptr;
    for (const ControlStructure& spec : structure_.controls) {
        Control c;
        c.spec = spec;
        if (spec.kind == ControlKind::List) {
            c.model = new ListModel(client_);
            c.list = createList(client_, c.model, base_);
            c.widget = c.list;
        } else {
            c.widget = createControl(spec, client_);
        }
        if (spec.kind == ControlKind::Entry) c.picture = spec.picture;
        if (spec.kind == ControlKind::Image) c.icon = spec.text;
        controls_.push_back(std::move(c));
        Control& added = controls_.back();
        if (added.list) {
            added.model->setColumns(parseListFormat(spec.format));
            applyListColumns(added);
        }
        added.widget->setGeometry(controlGeometry(spec, *added.widget, base_));
        if (spec.kind == ControlKind::Group) added.widget->lower();
        added.widget->setVisible(!spec.hidden);
        added.widget->setEnabled(!spec.disabled);
        if (added.widget->focusPolicy() != Qt::NoFocus) {
            if (previousFocus) QWidget::setTabOrder(previousFocus, added.widget);
            previousFocus = added.widget;
        }
    }
    // A prompt's access key moves to the control after it.
    for (size_t i = 0; i + 1 < controls_.size(); ++i) {
        if (auto* label = qobject_cast<QLabel*>(controls_[i].widget);
            label && controls_[i].spec.kind == ControlKind::Prompt)
            label->setBuddy(controls_[i + 1].widget);
    }
    for (size_t i = 0; i < controls_.size(); ++i) connectControl(static_cast<int32_t>(i + 1));
}

void QtWindow::applyListColumns(Control& c) {
    const std::vector<ListColumn>& columns = c.model->columns();
    QHeaderView* header = c.list->horizontalHeader();
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    bool headers = false;
    // Column edges are converted from dialog units, not each width on its
    // own: the columns end where their units end, however the pixels of
    // each round, so columns that fit the list in units fit it in pixels.
    c.columnPixels.clear();
    int32_t unitsSoFar = 0, edge = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        const int section = static_cast<int>(i);
        header->setSectionResizeMode(section, columns[i].resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
        int width = header->defaultSectionSize();  // a column without a width gets the header's usual one
        if (columns[i].width > 0) {
            unitsSoFar += columns[i].width;
            width = unitsToPixelsX(unitsSoFar, base_) - edge;
        } else {
            unitsSoFar += pixelsToUnitsX(width, base_);
        }
        c.columnPixels.push_back(width);
        edge += width;
        headers = headers || columns[i].hasHeader;
    }
    header->setVisible(headers);
    programmatic_ = wasProgrammatic;
    fitColumns(c);
}

void QtWindow::fitColumns(Control& c) {
    QHeaderView* header = c.list->horizontalHeader();
    int total = 0;
    for (int width : c.columnPixels) total += width;
    // Columns that fit the list's width show without a horizontal scroll
    // bar. When the vertical scroll bar takes some of that width, the
    // widest column gives it up, so that every column stays whole in view.
    // Wider columns get a horizontal scroll bar as needed.
    const bool fits = total <= c.list->width() - 2 * c.list->frameWidth();
    c.list->setHorizontalScrollBarPolicy(fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    std::vector<int> widths = c.columnPixels;
    const int overflow = total - c.list->viewport()->width();
    if (fits && overflow > 0 && !widths.empty() && c.list->isVisible()) {
        int& widest = *std::max_element(widths.begin(), widths.end());
        widest = std::max(1, widest - overflow);
    }
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    for (size_t i = 0; i < widths.size(); ++i) {
        const int section = static_cast<int>(i);
        if (header->sectionSize(section) != widths[i]) header->resizeSection(section, widths[i]);
    }
    programmatic_ = wasProgrammatic;
}

int32_t QtWindow::statusHeight() const { return status_ ? status_->sizeHint().height() : 0; }

void QtWindow::layoutFrame() {
    const int32_t bar = statusHeight();
    const QSize size = frame_->size();
    client_->setGeometry(0, 0, size.width(), std::max(0, size.height() - bar));
    if (status_) status_->setGeometry(0, size.height() - bar, size.width(), bar);
}

QtWindow::Control* QtWindow::find(int32_t control) {
    return control >= 1 && static_cast<size_t>(control) <= controls_.size() ? &controls_[static_cast<size_t>(control - 1)]
                                                                             : nullptr;
}

const QtWindow::Control* QtWindow::find(int32_t control) const {
    return const_cast<QtWindow*>(this)->find(control);
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

QWidget* QtWindow::controlWidget(int32_t control) const {
    if (control == 0) return frame_;
    const Control* c = find(control);
    return c ? c->widget : nullptr;
}

QTableView* QtWindow::listView(int32_t control) const {
    const Control* c = find(control);
    return c ? c->list : nullptr;
}

bool QtWindow::nextEvent(Event& event) {
    showOnce();
    layer_.followLists();
    while (open_ && queue_.empty()) {
        QEventLoop loop;
        loop_ = &loop;
        loop.exec();
        loop_ = nullptr;
    }
    return open_ && queue_.take(event);
}

void QtWindow::defaultAction(const Event& event) {
    if (event.number == event::CloseWindow || event.number == event::CloseDown) close();
    layer_.followLists();
}

void QtWindow::post(uint16_t number, int32_t control) { push({number, control, 0}); }

void QtWindow::close() {
    if (!open_) return;
    open_ = false;
    queue_.clear();
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

void QtWindow::bindText(int32_t control, TextVariable variable) {
    Control* c = find(control);
    if (!c || c->spec.kind != ControlKind::Entry) return;
    c->variable = variable;
    showVariable(*c);
}

void QtWindow::bindList(int32_t control, ListSource* source) {
    Control* c = find(control);
    if (!c || !c->model) return;
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    c->model->setSource(source);
    programmatic_ = wasProgrammatic;
}

void QtWindow::showVariable(Control& c) {
    auto* edit = qobject_cast<QLineEdit*>(c.widget);
    if (!edit || !c.variable.data) return;
    std::string value(platform::withoutTrailingSpaces(std::string_view(c.variable.data, c.variable.size)));
    // What the user is typing stays until it is accepted, unless the
    // program has given the variable another value since it was shown (a
    // redisplay after a resize must not wipe a name being typed).
    if (edit->isModified() && value == c.shown) return;
    edit->setText(fromProgram(value));
    edit->setModified(false);
    c.shown = std::move(value);
}

void QtWindow::writeVariable(Control& c) {
    auto* edit = qobject_cast<QLineEdit*>(c.widget);
    if (!edit || !c.variable.data) return;
    const std::string text = toProgram(edit->text());
    size_t length = std::min(text.size(), c.variable.size);
    // Never cut a character of more than one byte in two.
    if (length < text.size()) {
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(c.variable.data, text.data(), length);
    std::memset(c.variable.data + length, ' ', c.variable.size - length);
    c.shown = std::string(platform::withoutTrailingSpaces(std::string_view(c.variable.data, c.variable.size)));
}

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

void QtWindow::display(int32_t control) {
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    for (size_t i = 0; i < controls_.size(); ++i) {
        if (control != 0 && static_cast<size_t>(control) != i + 1) continue;
        Control& c = controls_[i];
        showVariable(c);
        if (c.model) refreshList(c, false);
    }
    programmatic_ = wasProgrammatic;
    frame_->update();
}

void QtWindow::update(int32_t control) {
    for (size_t i = 0; i < controls_.size(); ++i) {
        if (control == 0 || static_cast<size_t>(control) == i + 1) writeVariable(controls_[i]);
    }
}

void QtWindow::setListRow(Control& c, int32_t row) {
    if (!c.list) return;
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    QItemSelectionModel* selection = c.list->selectionModel();
    if (row < 1 || row > c.model->rowCount()) {
        selection->clear();
    } else {
        const QModelIndex index = c.model->index(row - 1, 0);
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        c.list->scrollTo(index);
    }
    programmatic_ = wasProgrammatic;
}

void QtWindow::select(int32_t control, int32_t row) {
    Control* c = find(control);
    if (!c) return;
    if (c->list) {
        // The rows the program just changed are there to be highlighted.
        const bool wasProgrammatic = programmatic_;
        programmatic_ = true;
        refreshList(*c, true);
        programmatic_ = wasProgrammatic;
        if (row > 0) setListRow(*c, row);
    }
    // A control that takes no focus passes it to the next one that does.
    for (size_t i = static_cast<size_t>(control - 1); i < controls_.size(); ++i) {
        QWidget* w = controls_[i].widget;
        if (w->focusPolicy() != Qt::NoFocus && w->isVisibleTo(frame_) && w->isEnabled()) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

int32_t QtWindow::focus() const {
    if (!frame_) return 0;
    return controlOf(frame_->focusWidget());
}

int32_t QtWindow::choice(int32_t control) const {
    const Control* c = find(control);
    return c && c->list ? highlightedRow(*c) : 0;
}

int32_t QtWindow::highlightedRow(const Control& c) const {
    // The highlighted row is the current row while it is selected; a
    // current row left without its selection is no choice.
    const QItemSelectionModel* selection = c.list->selectionModel();
    const QModelIndex current = selection->currentIndex();
    return current.isValid() && selection->isRowSelected(current.row()) ? current.row() + 1 : 0;
}

void QtWindow::alert(int32_t control, uint32_t keyCode) {
    std::vector<uint32_t>* keys = control == 0 ? &windowAlerts_ : nullptr;
    if (Control* c = find(control)) keys = &c->alerts;
    if (keys && std::find(keys->begin(), keys->end(), keyCode) == keys->end()) keys->push_back(keyCode);
}

bool QtWindow::alerted(int32_t control, uint32_t keyCode) const {
    const std::vector<uint32_t>* keys = control == 0 ? &windowAlerts_ : nullptr;
    if (const Control* c = find(control)) keys = &c->alerts;
    return keys && std::find(keys->begin(), keys->end(), keyCode) != keys->end();
}

void QtWindow::acceptAll() {
    // Entries here need no validation beyond their pictures' lengths, which
    // typing already keeps; the accept-all state ends at once.
    update();
    queue_.startAcceptingAll();
    post(event::Completed);
}

void QtWindow::beep() { QApplication::beep(); }

QPoint QtWindow::popupPlace() const {
    QWidget* focused = frame_ ? frame_->focusWidget() : nullptr;
    if (!keyboardInput_ || !focused || !focused->isVisible()) return QCursor::pos();
    return focused->mapToGlobal(QPoint(0, focused->height()));
}

void QtWindow::followLists() {
    for (Control& c : controls_) {
        if (!c.model || !c.model->source()) continue;
        const bool wasProgrammatic = programmatic_;
        programmatic_ = true;
        refreshList(c, true);
        programmatic_ = wasProgrammatic;
    }
}

void QtWindow::refreshList(Control& c, bool onlyWhenChanged) {
    const int32_t row = choice(static_cast<int32_t>(&c - controls_.data() + 1));
    const int rows = c.model->rowCount();
    if (onlyWhenChanged) {
        if (!c.model->follow()) return;
    } else {
        c.model->reread();
    }
    if (rows != c.model->rowCount()) setListRow(c, std::min<int32_t>(row, c.model->rowCount()));
}

bool QtWindow::refusesInput() const { return !open_ || layer_.topWindow() != this; }

namespace {

int rowHeight(const QTableView* list) { return std::max(1, list->verticalHeader()->defaultSectionSize()); }

// The height of a list that is not rows: its frame, its header, and the
// horizontal scroll bar when the columns are wider than the list.
int heightAroundRows(const QTableView* list) {
    const QHeaderView* header = list->horizontalHeader();
    int height = 2 * list->frameWidth() + (header->isHidden() ? 0 : header->sizeHint().height());
    if (list->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
        height += list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    return height;
}

}  // namespace

int32_t QtWindow::listItems(const Control& c) const {
    return std::max(0, (c.list->height() - heightAroundRows(c.list)) / rowHeight(c.list));
}

void QtWindow::setListItems(Control& c, int32_t items) {
    c.list->resize(c.list->width(), heightAroundRows(c.list) + std::max(0, items) * rowHeight(c.list));
}

}  // namespace varnok::window::qt
