#include "platform/list_table.h"

#include <utility>

namespace zarvex {

ListTable::ListTable(std::vector<std::string> column_titles) : titles_(std::move(column_titles)) {}

std::size_t ListTable::row_count() const {
  std::lock_guard lock(mutex_);
  return rows_.size();
}

void ListTable::fit(std::vector<std::string>& cells) const {
  if (!titles_.empty()) cells.resize(titles_.size());
}

std::size_t ListTable::add_row(std::vector<std::string> cells, int image) {
  fit(cells);
  std::size_t index;
  {
    std::lock_guard lock(mutex_);
    rows_.push_back(ListRow{std::move(cells), image});
    index = rows_.size() - 1;
  }
  notify();
  return index;
}

bool ListTable::remove_row(std::size_t row) {
  {
    std::lock_guard lock(mutex_);
    if (row >= rows_.size()) return false;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    if (selected_ == static_cast<int>(row)) {
      selected_ = -1;
    } else if (selected_ > static_cast<int>(row)) {
      --selected_;
    }
  }
  notify();
  return true;
}

void ListTable::clear() {
  {
    std::lock_guard lock(mutex_);
    rows_.clear();
    selected_ = -1;
  }
  notify();
}

std::string ListTable::cell(std::size_t row, std::size_t column) const {
  std::lock_guard lock(mutex_);
  if (row >= rows_.size() || column >= rows_[row].cells.size()) return {};
  return rows_[row].cells[column];
}

bool ListTable::set_cell(std::size_t row, std::size_t column, std::string text) {
  {
    std::lock_guard lock(mutex_);
    if (row >= rows_.size() || column >= rows_[row].cells.size()) return false;
    if (rows_[row].cells[column] == text) return true;
    rows_[row].cells[column] = std::move(text);
  }
  notify();
  return true;
}

int ListTable::image(std::size_t row) const {
  std::lock_guard lock(mutex_);
  return row < rows_.size() ? rows_[row].image : -1;
}

bool ListTable::set_image(std::size_t row, int image) {
  {
    std::lock_guard lock(mutex_);
    if (row >= rows_.size()) return false;
    rows_[row].image = image;
  }
  notify();
  return true;
}

ListRow ListTable::row(std::size_t row) const {
  std::lock_guard lock(mutex_);
  return row < rows_.size() ? rows_[row] : ListRow{};
}

std::vector<ListRow> ListTable::rows() const {
  std::lock_guard lock(mutex_);
  return rows_;
}

int ListTable::selected() const {
  std::lock_guard lock(mutex_);
  return selected_;
}

void ListTable::set_selected(int row) {
  {
    std::lock_guard lock(mutex_);
    selected_ = (row >= 0 && static_cast<std::size_t>(row) < rows_.size()) ? row : -1;
  }
  notify();
}

void ListTable::set_on_change(ChangeCallback callback) {
  std::lock_guard lock(callback_mutex_);
  on_change_ = std::move(callback);
}

void ListTable::notify() {
  ChangeCallback callback;
  {
    std::lock_guard lock(callback_mutex_);
    callback = on_change_;
  }
  if (callback) callback();
}

}  // namespace zarvex
