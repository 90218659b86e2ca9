#include "platform/list_table.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace zarvex {
namespace {

TEST(ListTable, RowsArePaddedToTheColumnsAndOutOfRangeIsHarmless) {
  ListTable t({"a", "b", "c"});
  EXPECT_EQ(t.add_row({"x"}), 0u);
  EXPECT_EQ(t.add_row({"1", "2", "3", "4"}, 2), 1u);
  EXPECT_EQ(t.row(0).cells.size(), 3u);
  EXPECT_EQ(t.row(1).cells.size(), 3u);
  EXPECT_EQ(t.cell(1, 2), "3");
  EXPECT_EQ(t.image(1), 2);
  EXPECT_EQ(t.cell(5, 0), "");
  EXPECT_EQ(t.cell(0, 9), "");
  EXPECT_FALSE(t.set_cell(5, 0, "z"));
  EXPECT_FALSE(t.set_cell(0, 3, "z"));
  EXPECT_FALSE(t.remove_row(2));
  EXPECT_EQ(t.image(7), -1);
}

TEST(ListTable, SelectionFollowsRemovals) {
  ListTable t({"a"});
  for (int i = 0; i < 4; ++i) t.add_row({std::to_string(i)});
  t.set_selected(2);
  t.remove_row(0);
  EXPECT_EQ(t.selected(), 1);
  EXPECT_EQ(t.cell(1, 0), "2");
  t.remove_row(1);
  EXPECT_EQ(t.selected(), -1);
  t.set_selected(10);
  EXPECT_EQ(t.selected(), -1);
}

TEST(ListTable, ChangeCallbackRunsOutsideTheLock) {
  ListTable t({"a"});
  int seen_rows = -1;
  int calls = 0;
  // Reading the table from the callback would deadlock if the lock were still held.
  t.set_on_change([&] {
    ++calls;
    seen_rows = static_cast<int>(t.row_count());
  });
  t.add_row({"x"});
  EXPECT_EQ(seen_rows, 1);
  t.edit([](std::vector<ListRow>& rows) { rows.push_back({{"y"}, -1}); });
  EXPECT_EQ(seen_rows, 2);
  t.set_cell(0, 0, "x");  // unchanged text: no notice
  EXPECT_EQ(calls, 2);
}

TEST(ListTable, ConcurrentWritersAndReadersKeepEveryRow) {
  ListTable t({"a", "b"});
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    while (!stop) {
      auto rows = t.rows();
      for (const auto& r : rows) ASSERT_EQ(r.cells.size(), 2u);
    }
  });
  std::vector<std::thread> writers;
  for (int w = 0; w < 4; ++w)
    writers.emplace_back([&t, w] {
      for (int i = 0; i < 500; ++i) t.add_row({std::to_string(w), std::to_string(i)});
    });
  for (auto& th : writers) th.join();
  stop = true;
  reader.join();
  EXPECT_EQ(t.row_count(), 2000u);
}

}  // namespace
}  // namespace zarvex
