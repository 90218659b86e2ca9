#pragma once
// Shows a ListTable in a Qt view. The table may change on any thread; each change posts one
// refresh onto the GUI thread (several changes before it runs make one refresh), which copies
// the rows and tells the view what moved. Cell texts are GBK in the table, QString here.

#include <QAbstractTableModel>
#include <QPixmap>
#include <QStringList>
#include <atomic>
#include <memory>
#include <vector>

#include "platform/list_table.h"

namespace zarvex {

class ListTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // `images` are what a row's image index shows in column 0 (the quality marks).
  explicit ListTableModel(ListTable& table, std::vector<QPixmap> images = {},
                          QObject* parent = nullptr);
  ~ListTableModel() override;

  ListTable& table() const { return table_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // Brings the copy up to date with the table now (GUI thread).
  void refresh();

 signals:
  // After every refresh that changed something, with the table's selected row.
  void refreshed(int selected_row);

 private:
  struct Row {
    ListRow source;
    QStringList texts;
  };
  struct Link;  // lets the table's callback reach this model only while it exists

  static Row convert(ListRow row);

  ListTable& table_;
  std::vector<QPixmap> images_;
  QStringList titles_;
  std::vector<Row> rows_;
  std::shared_ptr<Link> link_;
};

}  // namespace zarvex
