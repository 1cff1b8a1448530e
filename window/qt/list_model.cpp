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

ListModel::ListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ListModel::setSource(ListSource* source) {
    beginResetModel();
    source_ = source;
    cache_ = {};
    rows_ = source_ ? std::max<int32_t>(0, source_->rowCount()) : 0;
    stamp_ = source_ ? source_->changeStamp() : 0;
    endResetModel();
}

void ListModel::setColumns(std::vector<ListColumn> columns) {
    const bool sameCount = columns.size() == cells_.columns().size();
    if (!sameCount) beginResetModel();
    cells_.setColumns(std::move(columns));
    cache_ = {};
    if (!sameCount) {
        endResetModel();
        return;
    }
    if (!cells_.columns().empty()) {
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, cells_.columnCount() - 1);
        if (rows_ > 0) Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, cells_.columnCount() - 1));
    }
}

void ListModel::setIcon(int32_t number, const std::string& name) {
    if (number < 1 || number > 4096) return;
    if (static_cast<size_t>(number) > iconNames_.size()) {
        iconNames_.resize(static_cast<size_t>(number));
        icons_.resize(static_cast<size_t>(number));
    }
    iconNames_[static_cast<size_t>(number - 1)] = name;
    icons_[static_cast<size_t>(number - 1)] = namedIcon(name);
    if (rows_ > 0 && !cells_.columns().empty())
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, cells_.columnCount() - 1), {Qt::DecorationRole});
}

std::string ListModel::iconName(int32_t number) const {
    return number >= 1 && static_cast<size_t>(number) <= iconNames_.size() ? iconNames_[static_cast<size_t>(number - 1)]
                                                                             : std::string();
}

void ListModel::resetRows() {
    beginResetModel();
    cache_ = {};
    rows_ = source_ ? std::max<int32_t>(0, source_->rowCount()) : 0;
    endResetModel();
}

bool ListModel::follow() {
    if (!source_ || source_->changeStamp() == stamp_) return false;
    reread();
    return true;
}

void ListModel::reread() {
    if (source_) stamp_ = source_->changeStamp();
    const int32_t rows = source_ ? std::max<int32_t>(0, source_->rowCount()) : 0;
    cache_ = {};
    if (rows != rows_) {
        resetRows();
    } else if (rows_ > 0 && !cells_.columns().empty()) {
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, cells_.columnCount() - 1));
    }
}

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cells_.columnCount(); }

const ListModel::CachedRow& ListModel::cachedRow(int32_t row) const {
    if (cache_.row == row) return cache_;
    const int columns = cells_.columnCount();
    cache_.row = row;
    cache_.texts.assign(static_cast<size_t>(columns), QString());
    cache_.icons.assign(static_cast<size_t>(columns), 0);
    auto field = [this, row](int n) { return source_->fieldText(row, n); };
    for (int c = 0; c < columns; ++c) {
        cache_.texts[static_cast<size_t>(c)] = fromWindows1252(cells_.text(c, field));
        cache_.icons[static_cast<size_t>(c)] = cells_.icon(c, field);
    }
    return cache_;
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !source_ || index.row() >= rows_ || index.column() >= cells_.columnCount())
        return QVariant();
    const size_t column = static_cast<size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole: return cachedRow(index.row() + 1).texts[column];
    case Qt::DecorationRole: {
        if (!cells_.fields(index.column()).iconField) return QVariant();
        const int32_t number = cachedRow(index.row() + 1).icons[column];
        if (number < 1 || static_cast<size_t>(number) > icons_.size()) return QVariant();
        const QIcon& icon = icons_[static_cast<size_t>(number - 1)];
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case Qt::TextAlignmentRole: return static_cast<int>(alignmentOf(cells_.columns()[column].align));
    default: return QVariant();
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= cells_.columnCount()) return QVariant();
    const ListColumn& c = cells_.columns()[static_cast<size_t>(section)];
    switch (role) {
    case Qt::DisplayRole: return fromProgram(c.header);
    case Qt::TextAlignmentRole: return static_cast<int>(alignmentOf(c.effectiveHeaderAlign()));
    default: return QVariant();
    }
}

}  // namespace varnok::window::qt
