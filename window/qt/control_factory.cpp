#include "window/qt/control_factory.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include "window/core/window_core.h"
#include "window/qt/icons.h"
#include "window/qt/list_delegate.h"
#include "window/qt/list_model.h"
#include "window/qt/program_text.h"

namespace varnok::window::qt {

QWidget* createControl(const ControlStructure& spec, QWidget* parent) {
    const QString text = fromProgram(spec.text);
    switch (spec.kind) {
    case ControlKind::Group: {
        auto* group = new QGroupBox(text, parent);
        group->setFocusPolicy(Qt::NoFocus);
        return group;
    }
    case ControlKind::Prompt: {
        auto* label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::Entry: {
        auto* edit = new QLineEdit(parent);
        edit->setMaxLength(entryLength(spec.picture));
        return edit;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        button->setDefault(spec.isDefault);
        return button;
    }
    case ControlKind::Region: {
        auto* region = new QWidget(parent);
        region->setFocusPolicy(Qt::NoFocus);
        return region;
    }
    case ControlKind::Image: {
        auto* image = new QLabel(parent);
        image->setAlignment(Qt::AlignCenter);
        const QIcon icon = namedIcon(spec.text);
        if (!icon.isNull()) image->setPixmap(icon.pixmap(32, 32));
        return image;
    }
    case ControlKind::Sheet: return new QTabWidget(parent);
    case ControlKind::List: break;  // createList
    }
    return new QWidget(parent);
}

QTableView* createList(QWidget* parent, ListModel* model, const DialogBase& base) {
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setItemDelegate(new ListDelegate(model, base, view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setShowGrid(false);
    view->setWordWrap(false);
    view->setCornerButtonEnabled(false);
    view->setTabKeyNavigation(false);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setDefaultSectionSize(QFontMetrics(parent->font()).height() + 4);
    QHeaderView* header = view->horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(1);
    return view;
}

QRect controlGeometry(const ControlStructure& spec, const QWidget& widget, const DialogBase& base) {
    const QSize natural = widget.sizeHint().isValid() ? widget.sizeHint() : QSize(0, 0);
    const int width = spec.width == NoValue ? natural.width() : unitsToPixelsX(spec.width, base);
    const int height = spec.height == NoValue ? natural.height() : unitsToPixelsY(spec.height, base);
    return QRect(unitsToPixelsX(spec.x, base), unitsToPixelsY(spec.y, base), std::max(0, width),
                 std::max(0, height));
}

}  // namespace varnok::window::qt
