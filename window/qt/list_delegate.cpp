#include "window/qt/list_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

#include "window/qt/list_model.h"

namespace varnok::window::qt {

ListDelegate::ListDelegate(const ListModel* model, DialogBase base, QObject* parent)
    : QStyledItemDelegate(parent), model_(model), base_(base) {}

void ListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (!index.isValid() || static_cast<size_t>(index.column()) >= model_->columns().size()) return;
    const ListColumn& column = model_->columns()[static_cast<size_t>(index.column())];
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();

    // Row background and selection, without the text and icon.
    QStyleOptionViewItem background = opt;
    background.text.clear();
    background.icon = QIcon();
    background.features &= ~QStyleOptionViewItem::HasDecoration;
    background.state &= ~QStyle::State_HasFocus;
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, widget);

    const int indent = std::max(0, unitsToPixelsX(column.indent, base_));
    QRect area = opt.rect.adjusted(2, 0, -2, 0);
    const bool selected = opt.state & QStyle::State_Selected;
    const QIcon::Mode mode = !(opt.state & QStyle::State_Enabled) ? QIcon::Disabled
                             : selected                          ? QIcon::Selected
                                                                 : QIcon::Normal;
    if (!opt.icon.isNull()) {
        const int side = std::max(8, std::min(area.height() - 2, 16));
        QRect iconRect(area.left() + (column.align == 'L' ? std::max(0, indent - 2) : 0),
                       area.top() + (area.height() - side) / 2, side, side);
        if (column.align != 'L' && opt.text.isEmpty()) iconRect.moveLeft(area.center().x() - side / 2);
        opt.icon.paint(painter, iconRect, Qt::AlignCenter, mode);
        area.setLeft(iconRect.right() + 4);
    }
    if (!opt.text.isEmpty()) {
        QRect text = area;
        if (column.align == 'L') text.adjust(std::max(0, indent - 2), 0, 0, 0);
        if (column.align == 'R') text.adjust(0, 0, -std::max(0, indent - 2), 0);
        const QPalette::ColorRole role = selected ? QPalette::HighlightedText : QPalette::Text;
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (opt.state & QStyle::State_Active) ? QPalette::Active
                                                                                : QPalette::Inactive;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, role));
        const QString shown = opt.fontMetrics.elidedText(opt.text, Qt::ElideRight, text.width());
        painter->drawText(text, static_cast<int>(alignmentOf(column.align)) | Qt::TextSingleLine, shown);
        painter->restore();
    }
    if (column.rightBorder) {
        painter->save();
        const int gridHint = style->styleHint(QStyle::SH_Table_GridLineColor, &opt, widget);
        painter->setPen(gridHint != -1 ? QColor::fromRgb(static_cast<QRgb>(gridHint)) : opt.palette.color(QPalette::Mid));
        painter->drawLine(opt.rect.topRight(), opt.rect.bottomRight());
        painter->restore();
    }
    const auto* view = qobject_cast<const QAbstractItemView*>(widget);
    if (selected && view && view->hasFocus() && view->currentIndex().row() == index.row())
        paintFocusMark(painter, opt, index.column());
}

void ListDelegate::paintFocusMark(QPainter* painter, const QStyleOptionViewItem& opt, int column) const {
    // A dotted frame around the whole highlighted row while the list has the
    // focus, drawn a piece per cell.
    painter->save();
    QPen pen(opt.palette.color(QPalette::Active, QPalette::HighlightedText));
    pen.setStyle(Qt::DotLine);
    painter->setPen(pen);
    const QRect r = opt.rect.adjusted(0, 0, -1, -1);
    painter->drawLine(r.topLeft(), r.topRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    if (column == 0) painter->drawLine(r.topLeft(), r.bottomLeft());
    if (column == model_->columnCount() - 1) painter->drawLine(r.topRight(), r.bottomRight());
    painter->restore();
}

}  // namespace varnok::window::qt
