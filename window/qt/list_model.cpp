#include "window/qt/list_model.h"

#include "window/qt/icons.h"
#include "window/qt/program_text.h"

namespace varnok::window::qt {

Qt::Alignment alignmentOf(char align) {
    switch (align) {
    case 'C': return Qt::AlignHCenter | Qt::AlignVCenter;
    case 'R': return Qt::AlignRight | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

ListModel::ListModel(ListData& data, QObject* parent)
    : QAbstractTableModel(parent), data_(data), columns_(data.cells.columnCount()) {}

void ListModel::rowsChanged() {
    beginResetModel();
    endResetModel();
}

void ListModel::columnsChanged() {
    if (columns_ != data_.cells.columnCount()) {
        beginResetModel();
        columns_ = data_.cells.columnCount();
        endResetModel();
        return;
    }
    if (columns_ > 0) Q_EMIT headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
    redraw();
}

void ListModel::iconsChanged() {
    icons_.clear();
    for (const std::string& name : data_.iconNames) icons_.push_back(namedIcon(name));
    if (data_.rows > 0 && columns_ > 0)
        Q_EMIT dataChanged(index(0, 0), index(data_.rows - 1, columns_ - 1), {Qt::DecorationRole});
}

void ListModel::redraw() {
    if (data_.rows > 0 && columns_ > 0) Q_EMIT dataChanged(index(0, 0), index(data_.rows - 1, columns_ - 1));
}

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : data_.rows; }

int ListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !data_.source || index.row() >= data_.rows || index.column() >= columns_)
        return QVariant();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: return fromWindows1252(data_.row(index.row() + 1).texts[static_cast<size_t>(column)]);
    case Qt::DecorationRole: {
        const int32_t number = data_.cellIcon(index.row() + 1, column);
        if (number < 1 || static_cast<size_t>(number) > icons_.size()) return QVariant();
        const QIcon& icon = icons_[static_cast<size_t>(number - 1)];
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case Qt::TextAlignmentRole: return static_cast<int>(alignmentOf(columns()[static_cast<size_t>(column)].align));
    default: return QVariant();
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_) return QVariant();
    const ListColumn& c = columns()[static_cast<size_t>(section)];
    switch (role) {
    case Qt::DisplayRole: return fromProgram(c.header);
    case Qt::TextAlignmentRole: return static_cast<int>(alignmentOf(c.effectiveHeaderAlign()));
    default: return QVariant();
    }
}

}  // namespace varnok::window::qt
