#include "ui/list_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>

namespace zarvex {

ListView::ListView(ListTable& table, const std::vector<int>& column_widths,
                   std::vector<QPixmap> images, QWidget* parent)
    : QTreeView(parent), model_(new ListTableModel(table, std::move(images), this)) {
  setModel(model_);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setIconSize(QSize(25, 13));
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int c = 0; c < static_cast<int>(column_widths.size()); ++c) {
    if (column_widths[static_cast<std::size_t>(c)] <= 0) {
      setColumnHidden(c, true);
    } else {
      setColumnWidth(c, column_widths[static_cast<std::size_t>(c)]);
    }
  }
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { take_selection(); });
  connect(model_, &ListTableModel::refreshed, this, [this](int row) { show_selected(row); });
  // A model reset replaces the selection model's contents, not the object.
  show_selected(table.selected());
}

void ListView::take_selection() {
  if (syncing_) return;
  const QModelIndexList rows = selectionModel()->selectedRows();
  table().set_selected(rows.isEmpty() ? -1 : rows.front().row());
}

void ListView::show_selected(int row) {
  const QModelIndexList rows = selectionModel()->selectedRows();
  const int shown = rows.isEmpty() ? -1 : rows.front().row();
  if (shown == row) return;
  syncing_ = true;
  if (row < 0 || row >= model_->rowCount()) {
    selectionModel()->clearSelection();
  } else {
    selectionModel()->setCurrentIndex(
        model_->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  syncing_ = false;
}

void ListView::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  if (table().selected() != -1) emit right_clicked(event->globalPos());
}

}  // namespace zarvex
