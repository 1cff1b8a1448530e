// ListModel: a list control's table model over a ListSource. It never copies
// the source's rows: the view asks for the cells it draws, and the model
// reads those rows, one read per row (the cells of the row last read are
// kept until the row or the source changes). Columns, their pictures and
// which fields they show come from the list's column format (ListCells).
//
// The row count the view sees changes only in follow() and reread(): follow()
// compares the source's change stamp with the one last seen and, when it
// moved, redraws the rows in view (same number of rows) or resets the model
// (rows added or removed); the window calls it after every event. The icon
// column draws icon n of the list's icon list.
#pragma once
#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <string>
#include <vector>

#include "window/list_cells.h"
#include "window/list_source.h"

namespace varnok::window::qt {

class ListModel : public QAbstractTableModel {
public:
    explicit ListModel(QObject* parent = nullptr);

    void setSource(ListSource* source);  // nullptr: no rows
    ListSource* source() const { return source_; }
    void setColumns(std::vector<ListColumn> columns);
    const std::vector<ListColumn>& columns() const { return cells_.columns(); }

    // Icon n (1-based) of the list's icon list, by name (icons.h).
    void setIcon(int32_t number, const std::string& name);
    std::string iconName(int32_t number) const;

    // Redraws when the source changed since it was last seen; true if it had.
    bool follow();
    // Reads the source afresh: row count and every cell in view.
    void reread();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct CachedRow {
        int32_t row = 0;  // 0: nothing cached
        std::vector<QString> texts;
        std::vector<int32_t> icons;
    };
    const CachedRow& cachedRow(int32_t row) const;
    void resetRows();

    ListSource* source_ = nullptr;
    ListCells cells_;
    std::vector<std::string> iconNames_;
    std::vector<QIcon> icons_;
    int32_t rows_ = 0;       // the row count the view was last told
    uint32_t stamp_ = 0;     // the source's change stamp then
    mutable CachedRow cache_;
};

Qt::Alignment alignmentOf(char align);

}  // namespace varnok::window::qt
