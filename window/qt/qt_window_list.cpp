// The Qt adapter's list verbs: a QTableView over a ListModel, whose rows,
// columns and widths the window core decides.
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

#include "window/qt/list_model.h"
#include "window/qt/qt_window.h"

namespace varnok::window::qt {

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

void QtWindow::applyNativeColumns(int32_t list) {
    const NativeControl& c = *native(list);
    c.model->columnsChanged();
    const std::vector<ListColumn>& columns = c.model->columns();
    QHeaderView* header = c.list->horizontalHeader();
    bool headers = false;
    for (size_t i = 0; i < columns.size(); ++i) {
        header->setSectionResizeMode(static_cast<int>(i),
                                     columns[i].resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
        headers = headers || columns[i].hasHeader;
    }
    header->setVisible(headers);
}

int QtWindow::nativeDefaultColumnWidth(int32_t list) const {
    return native(list)->list->horizontalHeader()->defaultSectionSize();
}

WindowCore::ListWidths QtWindow::nativeListWidths(int32_t list) const {
    const QTableView* view = native(list)->list;
    // A list not shown yet has no scroll bars to make room for.
    return {view->width() - 2 * view->frameWidth(), view->viewport()->width(), view->isVisible()};
}

void QtWindow::setNativeHorizontalBar(int32_t list, bool allowed) {
    native(list)->list->setHorizontalScrollBarPolicy(allowed ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void QtWindow::setNativeColumnWidths(int32_t list, const std::vector<int>& widths) {
    QHeaderView* header = native(list)->list->horizontalHeader();
    for (size_t i = 0; i < widths.size(); ++i) {
        const int section = static_cast<int>(i);
        if (header->sectionSize(section) != widths[i]) header->resizeSection(section, widths[i]);
    }
}

void QtWindow::setNativeRowCount(int32_t list) { native(list)->model->rowsChanged(); }

void QtWindow::redrawNativeList(int32_t list) { native(list)->model->redraw(); }

int32_t QtWindow::nativeListRow(int32_t list) const {
    // The highlighted row is the current row while it is selected; a
    // current row left without its selection is no choice.
    const QItemSelectionModel* selection = native(list)->list->selectionModel();
    const QModelIndex current = selection->currentIndex();
    return current.isValid() && selection->isRowSelected(current.row()) ? current.row() + 1 : 0;
}

void QtWindow::setNativeListRow(int32_t list, int32_t row) {
    const NativeControl& c = *native(list);
    QItemSelectionModel* selection = c.list->selectionModel();
    if (row < 1) {
        selection->clear();
        return;
    }
    const QModelIndex index = c.model->index(row - 1, 0);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    c.list->scrollTo(index);
}

int32_t QtWindow::nativeListItems(int32_t list) const {
    const QTableView* view = native(list)->list;
    return std::max(0, (view->height() - heightAroundRows(view)) / rowHeight(view));
}

void QtWindow::setNativeListItems(int32_t list, int32_t items) {
    QTableView* view = native(list)->list;
    view->resize(view->width(), heightAroundRows(view) + std::max(0, items) * rowHeight(view));
}

int QtWindow::nativeLineHeight(int32_t list) const { return rowHeight(native(list)->list); }

void QtWindow::setNativeLineHeight(int32_t list, int pixels) {
    native(list)->list->verticalHeader()->setDefaultSectionSize(pixels);
}

void QtWindow::applyNativeIcons(int32_t list) { native(list)->model->iconsChanged(); }

}  // namespace varnok::window::qt
