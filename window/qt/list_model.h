// ListModel: a list control's table model over the window core's ListData
// (window/core/list_data.h). It never copies the source's rows: the view
// asks for the cells it draws, and ListData reads each row once. The core
// decides when the rows or columns changed and tells the model (rowsChanged,
// columnsChanged, redraw); the model only turns that into Qt's signals and
// the cells into Qt's roles. The icon column draws icon n of the list's
// icon list.
#pragma once
#include <QAbstractTableModel>
#include <QIcon>
#include <vector>

#include "window/core/list_data.h"

namespace varnok::window::qt {

class ListModel : public QAbstractTableModel {
public:
    ListModel(ListData& data, QObject* parent);

    const std::vector<ListColumn>& columns() const { return data_.cells.columns(); }

    // ListData::rows changed: the view starts afresh (no row highlighted).
    void rowsChanged();
    // The columns changed (their count, headers, pictures or widths).
    void columnsChanged();
    // The icon names changed.
    void iconsChanged();
    // Every cell in view is read again.
    void redraw();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ListData& data_;
    int columns_ = 0;  // the column count the view was last told
    std::vector<QIcon> icons_;
};

Qt::Alignment alignmentOf(char align);

}  // namespace varnok::window::qt
