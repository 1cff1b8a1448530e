// ListDelegate: draws one cell of a list the way its column says: the row's
// selection, the icon of an icon column, the text aligned left, centred or
// right with the column's indent (in dialog units), and a line on the
// column's right when its format has `|`; while the list has the focus, a
// dotted frame around its highlighted row (the focus mark).
#pragma once
#include <QStyledItemDelegate>

#include "window/dialog_units.h"

namespace varnok::window::qt {

class ListModel;

class ListDelegate : public QStyledItemDelegate {
public:
    ListDelegate(const ListModel* model, DialogBase base, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintFocusMark(QPainter* painter, const QStyleOptionViewItem& opt, int column) const;

    const ListModel* model_;
    DialogBase base_;
};

}  // namespace varnok::window::qt
