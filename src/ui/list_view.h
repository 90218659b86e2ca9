#pragma once
// A report-style list view over a ListTable. The user's selection is written to the table
// (workers read it from there), a selection the table changes on its own is shown, columns of
// width 0 are hidden, and a right click on the list says so when a row is selected.

#include <QTreeView>
#include <vector>

#include "platform/list_table.h"
#include "ui/list_table_model.h"

namespace zarvex {

class ListView : public QTreeView {
  Q_OBJECT
 public:
  ListView(ListTable& table, const std::vector<int>& column_widths,
           std::vector<QPixmap> images = {}, QWidget* parent = nullptr);

  ListTable& table() const { return model_->table(); }

 signals:
  // A right click while a row is selected; `global_position` is where the mouse was.
  void right_clicked(QPoint global_position);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void show_selected(int row);
  void take_selection();

  ListTableModel* model_;
  bool syncing_ = false;
};

}  // namespace zarvex
