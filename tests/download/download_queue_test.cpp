#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "download/download_list.h"
#include "download/download_manager.h"
#include "platform/codepage.h"
#include "recording_task_engine.h"
#include "settings/ini_file.h"
#include "support/recording_ui.h"
#include "support/scratch_folder.h"

namespace zarvex {
namespace {

std::string g(const char* utf8) {
  return gbk_from_utf8(utf8);
}

// Status words as letters: R running, W waiting, P paused, F failed.
std::string letter(const std::string& status) {
  if (status == status_running()) return "R";
  if (status == status_waiting()) return "W";
  if (status == status_paused()) return "P";
  if (status == status_failed()) return "F";
  return "?";
}

class DownloadQueueTest : public ::testing::Test {
 protected:
  void make(int downnum) {
    write_ini_value(settings_file_path(home_.path()), "musicset", "downnum",
                    std::to_string(downnum));
    auto engine = std::make_unique<test::RecordingTaskEngine>();
    engine_ = engine.get();
    manager_ = std::make_unique<DownloadManager>(home_.path(), std::move(engine), ui_);
    manager_->settings().load_settings();
  }
  // Admits tasks as a download start does: running while a slot is free.
  void admit(int count) {
    for (int i = 0; i < count; ++i) {
      const std::string name = "song" + std::to_string(next_++);
      const bool now = manager_->count_running_tasks() < manager_->settings().snapshot().downnum;
      manager_->admit_task("http://127.0.0.1:1/" + name,
                           home_.path() + "/downsong/" + name + ".mp3", name, now);
    }
  }
  // "RRW" style statuses and "1:3 2:4" style row numbers with task numbers.
  std::string statuses() {
    std::string s;
    for (const auto& r : manager_->download_list().rows())
      s += letter(r.cells[download_status]);
    return s;
  }
  std::string numbering() {
    std::string s;
    for (const auto& r : manager_->download_list().rows())
      s += (s.empty() ? "" : " ") + r.cells[download_number] + ":" + r.cells[download_task];
    return s;
  }
  std::vector<std::string> v(std::initializer_list<const char*> items) {
    return std::vector<std::string>(items.begin(), items.end());
  }

  test::ScratchFolder home_;
  test::RecordingUi ui_;
  test::RecordingTaskEngine* engine_ = nullptr;
  std::unique_ptr<DownloadManager> manager_;
  int next_ = 1;
};

TEST_F(DownloadQueueTest, FiveTasksWithThreeSlots) {
  make(3);
  admit(5);
  EXPECT_EQ(statuses(), "RRRWW");
  EXPECT_EQ(engine_->take(), v({"create+1", "create+2", "create+3", "create-4", "create-5"}));
  EXPECT_EQ(numbering(), "1:1 2:2 3:3 4:4 5:5");

  manager_->tick();
  EXPECT_TRUE(engine_->take().empty()) << "no slot free";

  engine_->report(3, 1, 3000000, 3000000);
  engine_->report(3, 0, 3000000, 3000000);
  manager_->tick();  // the finished row goes; its slot still counted in this tick
  EXPECT_EQ(statuses(), "RRWW");
  EXPECT_EQ(numbering(), "1:1 2:2 3:4 4:5");
  EXPECT_TRUE(engine_->take().empty());

  manager_->tick();  // the first waiting task takes the slot
  EXPECT_EQ(statuses(), "RRRW");
  EXPECT_EQ(engine_->take(), v({"resume4"}));
  manager_->tick();
  EXPECT_TRUE(engine_->take().empty()) << "one waiting task per free slot";
}

TEST_F(DownloadQueueTest, PauseAllThenStartAllHonoursTheLimit) {
  make(2);
  admit(4);
  EXPECT_EQ(statuses(), "RRWW");
  engine_->take();
  manager_->pause_all();
  EXPECT_EQ(statuses(), "PPPP");
  EXPECT_EQ(engine_->take(), v({"pause1", "pause2", "pause3", "pause4"}));
  manager_->start_all();
  EXPECT_EQ(statuses(), "RRWW");
  EXPECT_EQ(engine_->take(), v({"resume1", "resume2"}));
  manager_->tick();
  EXPECT_TRUE(engine_->take().empty());

  // Running rows do not count against the limit for "全部开始"; waiting rows stay waiting.
  manager_->pause_task(0);
  manager_->start_all();
  EXPECT_EQ(statuses(), "RRWW");
  EXPECT_EQ(engine_->take(), v({"pause1", "resume1"}));
}

TEST_F(DownloadQueueTest, StartingOneTaskIgnoresTheLimit) {
  make(1);
  admit(2);
  engine_->take();
  manager_->start_task(1);
  EXPECT_EQ(statuses(), "RR");
  EXPECT_EQ(engine_->take(), v({"resume2"}));
}

TEST_F(DownloadQueueTest, TickWritesSizeAndPercent) {
  struct Case {
    std::int64_t total, done;
    std::string size, percent;
  };
  const std::vector<Case> cases = {
      {5000000, 0, "4M", "0%"},    {5242880, 2621440, "5M", "50%"},
      {1048575, 1000, "0M", "0%"}, {1048576, 1048575, "1M", "99%"},
      {0, 0, "0M", "0%"},          {3000000000LL, 2999999999LL, "2861M", "99%"},
  };
  make(static_cast<int>(cases.size()));
  admit(static_cast<int>(cases.size()));
  for (std::size_t i = 0; i < cases.size(); ++i)
    manager_->progress().on_task_progress(static_cast<int>(i) + 1, 1, cases[i].total,
                                          cases[i].done);
  manager_->tick();
  const auto rows = manager_->download_list().rows();
  ASSERT_EQ(rows.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(rows[i].cells[download_size], cases[i].size) << i;
    EXPECT_EQ(rows[i].cells[download_progress], cases[i].percent) << i;
  }
  EXPECT_EQ(ui_.status(status_download),
            g("下载状态：当前下载任务") + std::to_string(cases.size()));
}

TEST_F(DownloadQueueTest, FinishedRowIsRemovedAndFinishedListRebuilt) {
  make(3);
  admit(2);
  EXPECT_EQ(manager_->finished_list().row_count(), 0u);
  engine_->report(1, 0, 1048576, 1048576);
  manager_->tick();
  EXPECT_EQ(numbering(), "1:2");
  // The count is taken as the tick begins.
  EXPECT_EQ(ui_.status(status_download), g("下载状态：当前下载任务") + "2");
  // Both files exist from admission, so both are listed.
  const auto rows = manager_->finished_list().rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].cells[1], "song1");
  EXPECT_EQ(rows[1].cells[1], "song2");
  manager_->tick();
  EXPECT_EQ(ui_.status(status_download), g("下载状态：当前下载任务") + "1");
}

TEST_F(DownloadQueueTest, FailedTaskFreesItsSlotAndCanBeStartedAgain) {
  make(1);
  admit(2);
  engine_->take();
  engine_->report(1, 1, 5000000, 1048576);
  engine_->report(1, -1, 0, 0);
  manager_->tick();
  EXPECT_EQ(statuses(), "FR") << "the failed task gives its slot to the waiting one";
  EXPECT_EQ(engine_->take(), v({"resume2"}));
  EXPECT_EQ(manager_->count_running_tasks(), 1);

  // Starting the failed row makes a new task for the same file.
  manager_->start_task(0);
  EXPECT_EQ(statuses(), "RR");
  EXPECT_EQ(engine_->take(), v({"create+3"}));
  const auto created = engine_->created();
  ASSERT_EQ(created.size(), 3u);
  EXPECT_EQ(created[2].url, created[0].url);
  EXPECT_EQ(created[2].path, created[0].path);
  EXPECT_EQ(numbering(), "1:3 2:2");
  engine_->report(3, 1, 5000000, 2500000);
  manager_->tick();
  EXPECT_EQ(manager_->download_list().cell(0, download_progress), "50%");
}

TEST_F(DownloadQueueTest, JobEndingShortOfItsSizeCountsAsFailed) {
  make(3);
  admit(1);
  engine_->report(1, 0, 5000000, 4000000);
  manager_->tick();
  EXPECT_EQ(statuses(), "F");
}

TEST_F(DownloadQueueTest, FailedTaskPausedAndStartedAllIsCreatedAgain) {
  make(3);
  admit(1);
  engine_->report(1, -1, 0, 0);
  manager_->tick();
  engine_->take();
  manager_->pause_all();
  manager_->start_all();
  EXPECT_EQ(engine_->take(), v({"pause1", "create+2"}));
  EXPECT_EQ(statuses(), "R");
}

TEST_F(DownloadQueueTest, DeletingATaskAsksThenRenumbers) {
  make(3);
  admit(3);
  engine_->take();
  ui_.answer(false);
  EXPECT_FALSE(manager_->delete_task(1));
  EXPECT_EQ(numbering(), "1:1 2:2 3:3");
  ui_.answer(true);
  EXPECT_TRUE(manager_->delete_task(1));
  EXPECT_EQ(numbering(), "1:1 2:3");
  EXPECT_EQ(engine_->take(), v({"pause2"}));
  EXPECT_EQ(ui_.texts_of("ask"), std::vector<std::string>(2, g("确定删除本下载任务吗？")));
  EXPECT_TRUE(std::filesystem::exists(home_.path() + "/downsong/song2.mp3")) << "file kept";
}

TEST_F(DownloadQueueTest, RefusedTaskAddsNoRowAndUsesNoNumber) {
  make(3);
  admit(1);
  engine_->refuse_next();
  admit(1);
  admit(1);
  EXPECT_EQ(numbering(), "1:1 2:2");
  EXPECT_EQ(ui_.texts_of("message"), std::vector<std::string>{g("哎呀呀，创建下载任务失败了")});
}

TEST(TaskProgressListTest, ReportsBeforeAdmissionAndOutOfRange) {
  TaskProgressList list;
  list.on_task_progress(0, 1, 10, 5);
  list.on_task_progress(-3, 1, 10, 5);
  EXPECT_TRUE(list.empty());
  list.on_task_progress(2, -1, 0, 0);  // a failure reported before the admission recorded it
  list.admit(2, "u", "p");
  const auto record = list.get(2);
  ASSERT_TRUE(record.has_value());
  EXPECT_TRUE(record->failed);
  EXPECT_EQ(record->url, "u");
  EXPECT_FALSE(list.get(1)->failed);
  EXPECT_FALSE(list.get(3).has_value());
  list.on_task_progress(1000000, 1, 1, 1);
  EXPECT_EQ(list.size(), 2u) << "a number far out of reach is no task";
}

}  // namespace
}  // namespace zarvex
