#pragma once
// The contents of one list view: rows of GBK cell texts, an image index per row and the
// selected row. Workers and the GUI thread share a table; every call locks it, and the
// change callback runs after the lock is released so a view may read the table from it.

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace zarvex {

struct ListRow {
  std::vector<std::string> cells;  // GBK texts, one per column
  int image = -1;                  // index into the view's image list; -1 shows none
};

class ListTable {
 public:
  using ChangeCallback = std::function<void()>;

  explicit ListTable(std::vector<std::string> column_titles = {});
  ListTable(const ListTable&) = delete;
  ListTable& operator=(const ListTable&) = delete;

  const std::vector<std::string>& column_titles() const { return titles_; }
  std::size_t column_count() const { return titles_.size(); }

  std::size_t row_count() const;
  // Appends a row (cells padded or cut to the column count); returns its index.
  std::size_t add_row(std::vector<std::string> cells, int image = -1);
  // Removes row `row`; the selection follows the rows after it. False when out of range.
  bool remove_row(std::size_t row);
  void clear();

  // Out-of-range reads give "" / -1; out-of-range writes do nothing and return false.
  std::string cell(std::size_t row, std::size_t column) const;
  bool set_cell(std::size_t row, std::size_t column, std::string text);
  int image(std::size_t row) const;
  bool set_image(std::size_t row, int image);

  // Copies taken under the lock: what a worker acts on.
  ListRow row(std::size_t row) const;
  std::vector<ListRow> rows() const;

  // -1 when no row is selected.
  int selected() const;
  void set_selected(int row);

  // Runs `f(std::vector<ListRow>&)` under the lock for compound edits (find-then-change);
  // one change notice follows. `f` must not call back into this table.
  template <class F>
  decltype(auto) edit(F&& f) {
    struct Notify {
      ListTable* t;
      ~Notify() { t->notify(); }
    } notify_after{this};
    std::lock_guard lock(mutex_);
    return f(rows_);
  }
  // Read-only counterpart of edit(); no change notice.
  template <class F>
  decltype(auto) read(F&& f) const {
    std::lock_guard lock(mutex_);
    return f(static_cast<const std::vector<ListRow>&>(rows_));
  }

  // Called after every change, on the thread that made it.
  void set_on_change(ChangeCallback callback);

 private:
  void notify();
  void fit(std::vector<std::string>& cells) const;

  const std::vector<std::string> titles_;
  mutable std::mutex mutex_;
  std::vector<ListRow> rows_;
  int selected_ = -1;
  std::mutex callback_mutex_;
  ChangeCallback on_change_;
};

}  // namespace zarvex
