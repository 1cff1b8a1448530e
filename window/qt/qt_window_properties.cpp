// Properties of a QtWindow and its controls, read and written by number
// (window/properties.h). Positions and sizes travel in dialog units of the
// window's font; a window's size is its client area, without the status bar.
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

#include "window/list_column_properties.h"
#include "window/list_format.h"
#include "window/qt/control_factory.h"
#include "window/qt/icons.h"
#include "window/qt/list_model.h"
#include "window/qt/program_text.h"
#include "window/qt/qt_window.h"

namespace varnok::window::qt {

namespace {


std::string numberText(int32_t value) { return std::to_string(value); }


}  // namespace

std::string QtWindow::property(int32_t control, int prop, int32_t index) const {
    if (!frame_) return std::string();
    if (control == 0) return windowProperty(prop, index);
    const Control* c = find(control);
    if (!c) return std::string();
    if (c->list) {
        std::string value = listProperty(*c, prop, index);
        if (!value.empty() || prop >= prop::Format) return value;
    }
    QWidget* w = c->widget;
    switch (prop) {
    case prop::Xpos: return numberText(pixelsToUnitsX(w->x(), base_));
    case prop::Ypos: return numberText(pixelsToUnitsY(w->y(), base_));
    case prop::Width: return numberText(pixelsToUnitsX(w->width(), base_));
    case prop::Height: return numberText(pixelsToUnitsY(w->height(), base_));
    case prop::Type: return numberText(static_cast<int32_t>(c->spec.kind));
    case prop::Text:
        if (auto* label = qobject_cast<QLabel*>(w)) return c->spec.kind == ControlKind::Image ? "" : toProgram(label->text());
        if (auto* button = qobject_cast<QPushButton*>(w)) return toProgram(button->text());
        if (auto* edit = qobject_cast<QLineEdit*>(w)) return toProgram(edit->text());
        if (auto* group = qobject_cast<QGroupBox*>(w)) return toProgram(group->title());
        return std::string();
    case prop::Hide: return flagPropertyText(w->isHidden());
    case prop::Disable: return flagPropertyText(!w->isEnabled());
    case prop::Icon: return c->icon;
    case prop::Default: {
        auto* button = qobject_cast<QPushButton*>(w);
        return flagPropertyText(button && button->isDefault());
    }
    case prop::Touched: return flagPropertyText(c->touched);
    case prop::Picture: return c->picture;
    default: return std::string();
    }
}

std::string QtWindow::windowProperty(int prop, int32_t index) const {
    switch (prop) {
    case prop::Xpos: return numberText(pixelsToUnitsX(frame_->x(), base_));
    case prop::Ypos: return numberText(pixelsToUnitsY(frame_->y(), base_));
    case prop::Width: return numberText(pixelsToUnitsX(client_->width(), base_));
    case prop::Height: return numberText(pixelsToUnitsY(client_->height(), base_));
    case prop::Maximize: return flagPropertyText(frame_->windowState() & Qt::WindowMaximized);
    case prop::Iconize: return flagPropertyText(frame_->windowState() & Qt::WindowMinimized);
    case prop::Resize: return flagPropertyText(structure_.resizable);
    case prop::Text: return toProgram(frame_->windowTitle());
    case prop::Hide: return flagPropertyText(!showPending_ && frame_->isHidden());
    case prop::Disable: return flagPropertyText(!frame_->isEnabled());
    case prop::Icon: return icon_;
    case prop::MinWidth: return numberText(minWidth_);
    case prop::MinHeight: return numberText(minHeight_);
    case prop::StatusText:
        if (index >= 1 && static_cast<size_t>(index) <= zones_.size())
            return toProgram(zones_[static_cast<size_t>(index - 1)]->text());
        return std::string();
    case prop::StatusProgress:
        if (index >= 1 && static_cast<size_t>(index) <= zoneBars_.size()) {
            const QProgressBar* progress = zoneBars_[static_cast<size_t>(index - 1)];
            if (!progress->isHidden()) return numberText(progress->value());
        }
        return std::string();
    default: return std::string();
    }
}

std::string QtWindow::listProperty(const Control& c, int prop, int32_t index) const {
    if (std::optional<std::string> text = columnProperty(c.model->columns(), prop, index)) return *text;
    switch (prop) {
    case prop::Items: return numberText(listItems(c));
    case prop::LineHeight:
        return numberText(pixelsToUnitsY(c.list->verticalHeader()->defaultSectionSize(), base_));
    case prop::IconList: return c.model->iconName(index);
    case prop::Selected: return numberText(highlightedRow(c));
    case prop::MouseDownColumn: return numberText(c.mouseDownColumn);
    case prop::MouseDownRow: return numberText(c.mouseDownRow);
    default: return std::string();
    }
}

void QtWindow::setProperty(int32_t control, int prop, std::string_view value, int32_t index) {
    if (!frame_) return;
    if (control == 0) {
        setWindowProperty(prop, value, index);
        return;
    }
    Control* c = find(control);
    if (!c) return;
    if (c->list && setListProperty(*c, prop, value, index)) return;
    QWidget* w = c->widget;
    const int32_t number = propertyTextNumber(value);
    switch (prop) {
    case prop::Xpos: w->move(unitsToPixelsX(number, base_), w->y()); break;
    case prop::Ypos: w->move(w->x(), unitsToPixelsY(number, base_)); break;
    case prop::Width: w->resize(std::max(0, unitsToPixelsX(number, base_)), w->height()); break;
    case prop::Height: w->resize(w->width(), std::max(0, unitsToPixelsY(number, base_))); break;
    case prop::Text: {
        const QString text = fromProgram(value);
        if (c->spec.kind == ControlKind::Image) break;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            label->setText(text);
            // A prompt of natural width keeps fitting its text.
            if (c->spec.width == NoValue) label->resize(label->sizeHint().width(), label->height());
        }
        if (auto* button = qobject_cast<QPushButton*>(w)) button->setText(text);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->setText(text);
            edit->setModified(false);
        }
        if (auto* group = qobject_cast<QGroupBox*>(w)) group->setTitle(text);
        break;
    }
    case prop::Hide: w->setVisible(!propertyTextIsSet(value)); break;
    case prop::Disable: w->setEnabled(!propertyTextIsSet(value)); break;
    case prop::Icon:
        c->icon = std::string(value);
        if (auto* label = qobject_cast<QLabel*>(w); label && c->spec.kind == ControlKind::Image) {
            const QIcon icon = namedIcon(value);
            const int side = std::min(w->width(), w->height());
            label->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(side > 0 ? side : 32));
        }
        break;
    case prop::Default:
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            const bool set = propertyTextIsSet(value);
            // One default button per window.
            if (set) {
                for (Control& other : controls_)
                    if (auto* b = qobject_cast<QPushButton*>(other.widget)) b->setDefault(false);
            }
            button->setDefault(set);
        }
        break;
    case prop::Touched: c->touched = propertyTextIsSet(value); break;
    case prop::Picture:
        c->picture = std::string(value);
        setEntryPicture(w, c->picture);
        break;
    default: break;
    }
}

void QtWindow::setWindowProperty(int prop, std::string_view value, int32_t index) {
    const int32_t number = propertyTextNumber(value);
    const int32_t bar = statusHeight();
    auto resizeClient = [&](int width, int height) {
        const QSize size(std::max(1, width), std::max(1, height) + bar);
        if (structure_.resizable) {
            frame_->resize(size.expandedTo(frame_->minimumSize()));
        } else {
            frame_->setFixedSize(size);
        }
        // A window not shown yet gets its resize event when it is shown;
        // its client area takes the new size now.
        layoutFrame();
    };
    switch (prop) {
    case prop::Xpos:
        if (number != NoValue) frame_->move(unitsToPixelsX(number, base_), frame_->y());
        placed_ = placed_ || number != NoValue;
        break;
    case prop::Ypos:
        if (number != NoValue) frame_->move(frame_->x(), unitsToPixelsY(number, base_));
        placed_ = placed_ || number != NoValue;
        break;
    case prop::Width:
        if (number != NoValue) resizeClient(unitsToPixelsX(number, base_), client_->height());
        break;
    case prop::Height:
        if (number != NoValue) resizeClient(client_->width(), unitsToPixelsY(number, base_));
        break;
    case prop::Maximize:
        if (propertyTextIsSet(value)) {
            frame_->setWindowState((frame_->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        } else {
            frame_->setWindowState(frame_->windowState() & ~Qt::WindowMaximized);
        }
        break;
    case prop::Iconize:
        if (propertyTextIsSet(value)) {
            frame_->setWindowState(frame_->windowState() | Qt::WindowMinimized);
        } else {
            frame_->setWindowState(frame_->windowState() & ~Qt::WindowMinimized);
        }
        break;
    case prop::Text: frame_->setWindowTitle(fromProgram(value)); break;
    case prop::Hide:
        if (showPending_ && propertyTextIsSet(value)) {
            showPending_ = false;  // the program keeps it hidden
        } else if (showPending_) {
            showOnce();
        } else {
            frame_->setVisible(!propertyTextIsSet(value));
        }
        break;
    case prop::Disable: frame_->setEnabled(!propertyTextIsSet(value)); break;
    case prop::Icon:
        icon_ = std::string(value);
        frame_->setWindowIcon(namedIcon(icon_));
        break;
    case prop::MinWidth:
    case prop::MinHeight:
        (prop == prop::MinWidth ? minWidth_ : minHeight_) = std::max(0, number);
        if (structure_.resizable) {
            frame_->setMinimumSize(unitsToPixelsX(minWidth_, base_), unitsToPixelsY(minHeight_, base_) + bar);
        }
        break;
    case prop::StatusText:
        if (index >= 1 && static_cast<size_t>(index) <= zones_.size())
            zones_[static_cast<size_t>(index - 1)]->setText(fromProgram(value));
        break;
    case prop::StatusProgress:
        if (index >= 1 && static_cast<size_t>(index) <= zoneBars_.size()) {
            QProgressBar* progress = zoneBars_[static_cast<size_t>(index - 1)];
            const bool shown = !value.empty() && number >= 0;
            if (shown) progress->setValue(std::min(number, 100));
            progress->setVisible(shown);
            zones_[static_cast<size_t>(index - 1)]->setVisible(!shown);
        }
        break;
    default: break;
    }
}

bool QtWindow::setListProperty(Control& c, int prop, std::string_view value, int32_t index) {
    std::vector<ListColumn> columns = c.model->columns();
    switch (setColumnProperty(columns, prop, value, index)) {
    case ColumnWrite::Written:
        c.model->setColumns(std::move(columns));
        applyListColumns(c);
        return true;
    case ColumnWrite::Ignored: return true;
    case ColumnWrite::NotAColumnProperty: break;
    }
    switch (prop) {
    case prop::Items: setListItems(c, propertyTextNumber(value)); return true;
    case prop::LineHeight:
        c.list->verticalHeader()->setDefaultSectionSize(std::max(1, unitsToPixelsY(propertyTextNumber(value), base_)));
        return true;
    case prop::IconList: c.model->setIcon(index, std::string(value)); return true;
    case prop::Selected: setListRow(c, propertyTextNumber(value)); return true;
    case prop::MouseDownColumn:
    case prop::MouseDownRow: return true;  // read only
    default: return false;
    }
}

}  // namespace varnok::window::qt
