#include "ui/list_table_model.h"

#include <QMetaObject>
#include <mutex>

#include "ui/gbk_text.h"

namespace zarvex {

struct ListTableModel::Link {
  std::mutex mutex;
  ListTableModel* model = nullptr;  // cleared by the model's destructor
  std::atomic<bool> pending{false};
};

ListTableModel::ListTableModel(ListTable& table, std::vector<QPixmap> images, QObject* parent)
    : QAbstractTableModel(parent),
      table_(table),
      images_(std::move(images)),
      link_(std::make_shared<Link>()) {
  for (const auto& title : table_.column_titles())
    titles_ << qt_from_gbk(title);
  link_->model = this;
  std::weak_ptr<Link> weak = link_;
  table_.set_on_change([weak] {
    auto link = weak.lock();
    if (!link || link->pending.exchange(true)) return;
    std::lock_guard lock(link->mutex);
    if (!link->model) return;
    QMetaObject::invokeMethod(
        link->model,
        [link] {
          link->pending = false;
          if (link->model) link->model->refresh();
        },
        Qt::QueuedConnection);
  });
  refresh();
}

ListTableModel::~ListTableModel() {
  table_.set_on_change(nullptr);
  std::lock_guard lock(link_->mutex);
  link_->model = nullptr;
}

ListTableModel::Row ListTableModel::convert(ListRow row) {
  Row out;
  for (const auto& cell : row.cells)
    out.texts << qt_from_gbk(cell);
  out.source = std::move(row);
  return out;
}

void ListTableModel::refresh() {
  std::vector<ListRow> fresh = table_.rows();
  const std::size_t old_count = rows_.size();
  auto same = [&](std::size_t i) {
    return rows_[i].source.cells == fresh[i].cells && rows_[i].source.image == fresh[i].image;
  };
  std::size_t common = 0;
  while (common < old_count && common < fresh.size() && same(common))
    ++common;

  const int columns = columnCount();
  if (fresh.size() == old_count) {
    if (common != old_count) {
      std::size_t last = old_count - 1;
      while (last > common && same(last))
        --last;
      for (std::size_t i = common; i <= last; ++i)
        rows_[i] = convert(std::move(fresh[i]));
      emit dataChanged(index(static_cast<int>(common), 0),
                       index(static_cast<int>(last), columns - 1));
    }
  } else if (fresh.size() > old_count && common == old_count) {
    beginInsertRows({}, static_cast<int>(old_count), static_cast<int>(fresh.size()) - 1);
    for (std::size_t i = old_count; i < fresh.size(); ++i)
      rows_.push_back(convert(std::move(fresh[i])));
    endInsertRows();
  } else {
    beginResetModel();
    rows_.clear();
    rows_.reserve(fresh.size());
    for (auto& row : fresh)
      rows_.push_back(convert(std::move(row)));
    endResetModel();
  }
  // The selection may change on its own (a worker clearing the table), so the view hears it
  // also when no cell changed.
  emit refreshed(table_.selected());
}

int ListTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ListTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant ListTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  const Row& row = rows_[static_cast<std::size_t>(index.row())];
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    if (index.column() < row.texts.size()) return row.texts[index.column()];
    return {};
  }
  if (role == Qt::DecorationRole && index.column() == 0) {
    const int image = row.source.image;
    if (image >= 0 && static_cast<std::size_t>(image) < images_.size()) {
      return images_[static_cast<std::size_t>(image)];
    }
  }
  return {};
}

QVariant ListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < titles_.size()) {
    return titles_[section];
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace zarvex
