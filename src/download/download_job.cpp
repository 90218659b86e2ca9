// A download job's manager and block workers.
//
// The manager hands the blocks out in order; a new worker counts itself and takes its block
// before the next one is handed out, and never more than thread_count workers run at once. Each
// worker fetches its block with ranged GETs over the job's shared connection cache and writes
// every piece at its offset with pwrite, so workers need no lock for the file. The state word is
// looked at after every piece and between blocks. A block whose answer ends early is asked for
// again from where it stopped; a server that answers ranges with the whole file gets one
// whole-file request instead, so nothing outside a block is ever written.

#include "download/download_job.h"

#include "download/engine_request.h"

#include <curl/curl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace zarvex {

namespace {

static_assert(std::is_same_v<curl_off_t, std::int64_t> || sizeof(curl_off_t) == 8,
              "curl_off_t is 64 bits wide");

// Early ends in a row (without a byte gained) that a block survives before the job fails,
// and the most requests one block may take in all.
constexpr int kMaxRetries = 5;
constexpr int kMaxRequestsPerBlock = 64;
constexpr auto kFirstBackOff = std::chrono::milliseconds(100);
constexpr long kReceiveBuffer = 256 * 1024;
// libcurl hands the body over in bits of at most 16 KiB; they are gathered into pieces of up to
// this size before a piece is written and reported, which keeps system calls and lock rounds
// few.
constexpr std::size_t kPieceSize = 128 * 1024;

bool stopped_or_failed(int state) {
  return state == kTaskStopped || state == kTaskFailed;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() &&
         (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) {
    s.remove_suffix(1);
  }
  return s;
}

bool parse_int(std::string_view s, std::int64_t& out) {
  s = trim(s);
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size() && out >= 0;
}

// "bytes a-b/len" (len may be "*").
bool parse_content_range(std::string_view value, std::int64_t& first, std::int64_t& last,
                         std::int64_t& length) {
  value = trim(value);
  constexpr std::string_view unit = "bytes";
  if (value.size() <= unit.size() || !equals_ignoring_case(value.substr(0, unit.size()), unit)) {
    return false;
  }
  value = trim(value.substr(unit.size()));
  auto dash = value.find('-');
  auto slash = value.find('/');
  if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash) {
    return false;
  }
  if (!parse_int(value.substr(0, dash), first) ||
      !parse_int(value.substr(dash + 1, slash - dash - 1), last)) {
    return false;
  }
  std::string_view len = trim(value.substr(slash + 1));
  if (len == "*") {
    length = -1;
    return true;
  }
  return parse_int(len, length);
}

void lock_share(CURL*, curl_lock_data data, curl_lock_access, void* user) {
  auto* locks = static_cast<std::mutex*>(user);
  locks[static_cast<unsigned>(data) < 8 ? data : 0].lock();
}

void unlock_share(CURL*, curl_lock_data data, void* user) {
  auto* locks = static_cast<std::mutex*>(user);
  locks[static_cast<unsigned>(data) < 8 ? data : 0].unlock();
}

}  // namespace

void set_task_state(TaskCell& cell, int state) {
  {
    std::lock_guard lock(cell.lock);
    if (cell.final) return;
    cell.state = state;
    cell.state_seen.store(state, std::memory_order_relaxed);
  }
  cell.changed.notify_all();
}

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) ::close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.release();
  }
  return *this;
}

// One request of a worker (or the whole-file request) and what became of it.
struct DownloadJob::Transfer {
  enum class Verdict { ok, stopped, whole_file, bad_answer, transient, write_error };

  DownloadJob* job = nullptr;
  CURL* handle = nullptr;
  std::int64_t pos = 0;        // file offset just past the last byte written
  std::int64_t stop_at = 0;    // one past the last byte this answer may write
  std::int64_t block_end = 0;  // one past the block's last byte within the file
  std::int64_t ask_last = -1;  // last byte asked for; -1: no range, the whole file
  bool checked = false;
  Verdict verdict = Verdict::ok;
  std::string content_range;
  std::string content_encoding;
  std::vector<char> piece;  // bytes received after pos, not yet written
};

std::unique_ptr<DownloadJob> DownloadJob::make(JobSetup setup) {
  std::unique_ptr<DownloadJob> job(new DownloadJob(std::move(setup)));
  job->share_ = curl_share_init();
  if (job->share_ == nullptr) return nullptr;
  curl_share_setopt(job->share_, CURLSHOPT_LOCKFUNC, lock_share);
  curl_share_setopt(job->share_, CURLSHOPT_UNLOCKFUNC, unlock_share);
  curl_share_setopt(job->share_, CURLSHOPT_USERDATA, job->share_locks_);
  if (curl_share_setopt(job->share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT) != CURLSHE_OK) {
    return nullptr;
  }
  curl_share_setopt(job->share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
  curl_share_setopt(job->share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
  return job;
}

DownloadJob::DownloadJob(JobSetup setup)
    : task_(setup.task),
      url_(std::move(setup.url)),
      report_routine_(std::move(setup.report_routine)),
      file_(std::move(setup.file)),
      total_size_(setup.total_size),
      block_count_(block_count_for(setup.total_size)),
      thread_count_(static_cast<int>(std::clamp<std::int64_t>(
          setup.thread_count, 1, std::max<std::int64_t>(1, block_count_)))),
      cell_(std::move(setup.cell)) {}

DownloadJob::~DownloadJob() {
  // Easy handles go before the share they use.
  for (CURL* handle : handles_)
    curl_easy_cleanup(handle);
  if (share_ != nullptr) curl_share_cleanup(share_);
}

void DownloadJob::run_job(std::unique_ptr<DownloadJob> job) {
  std::shared_ptr<TaskCell> cell = job->cell_;
  job->manage();
  job.reset();  // file, connections and buffers released before the task counts as ended
  {
    std::lock_guard lock(cell->lock);
    cell->ended = true;
  }
  cell->changed.notify_all();
}

void DownloadJob::manage() {
  std::unique_lock lock(cell_->lock);
  while (blocks_started_ < block_count_) {
    cell_->changed.wait(lock, [&] {
      return !finished_slots_.empty() || stopped_or_failed(cell_->state) || whole_file_needed_ ||
             (cell_->state == kTaskRunning && active_workers_ < thread_count_);
    });
    join_finished(lock);
    if (stopped_or_failed(cell_->state) || whole_file_needed_) break;
    if (cell_->state != kTaskRunning || active_workers_ >= thread_count_) continue;

    ++blocks_started_;
    worker_started_ = false;
    std::size_t slot = workers_.size();
    if (!free_slots_.empty()) {
      slot = free_slots_.back();
      free_slots_.pop_back();
    } else {
      workers_.emplace_back();
    }
    try {
      workers_[slot] = std::thread(&DownloadJob::block_worker, this, blocks_started_, slot);
    } catch (const std::system_error&) {
      free_slots_.push_back(slot);
      cell_->state = kTaskFailed;
      cell_->state_seen.store(kTaskFailed);
      cell_->changed.notify_all();
      break;
    }
    cell_->changed.wait(lock, [&] { return worker_started_; });
  }

  cell_->changed.wait(lock, [&] { return active_workers_ == 0; });
  join_finished(lock);

  if (whole_file_needed_) {
    cell_->changed.wait(lock, [&] { return cell_->state != kTaskPaused; });
    if (cell_->state == kTaskRunning) {
      bytes_done_ = 0;
      lock.unlock();
      fetch_whole_file();
      lock.lock();
    }
  }

  int state = cell_->state;
  // A job that ran to its end without every byte has not succeeded.
  if (state == kTaskRunning && bytes_done_ != total_size_) state = kTaskFailed;
  cell_->state = state;
  cell_->state_seen.store(state);
  cell_->final = true;
  const std::int64_t done = bytes_done_;
  lock.unlock();
  cell_->changed.notify_all();

  if (!report_routine_) return;
  if (state == kTaskFailed) {
    report_routine_(task_, -1, 0, 0);
  } else if (state == kTaskRunning) {
    report_routine_(task_, 0, total_size_, done);
  }
}

void DownloadJob::join_finished(std::unique_lock<std::mutex>& lock) {
  if (finished_slots_.empty()) return;
  std::vector<std::thread> ended;
  for (std::size_t slot : finished_slots_) {
    ended.push_back(std::move(workers_[slot]));
    free_slots_.push_back(slot);
  }
  finished_slots_.clear();
  lock.unlock();
  for (auto& t : ended)
    t.join();
  lock.lock();
}

void DownloadJob::fail() {
  {
    std::lock_guard lock(cell_->lock);
    // A stop the user asked for stays a stop.
    if (cell_->state == kTaskRunning || cell_->state == kTaskPaused) {
      cell_->state = kTaskFailed;
      cell_->state_seen.store(kTaskFailed);
    }
  }
  cell_->changed.notify_all();
}

void DownloadJob::block_worker(std::int64_t block, std::size_t slot) {
  {
    std::lock_guard lock(cell_->lock);
    ++active_workers_;
    worker_started_ = true;
  }
  cell_->changed.notify_all();

  const std::int64_t first = (block - 1) * kBlockSize;
  const std::int64_t last = block * kBlockSize - 1;
  const std::int64_t block_end = std::min(last + 1, total_size_);
  std::int64_t pos = first;
  int failures = 0;
  for (int request = 1; pos < block_end; ++request) {
    Transfer t;
    t.job = this;
    t.pos = pos;
    t.stop_at = block_end;
    t.block_end = block_end;
    t.ask_last = last;
    perform(t);
    const bool gained = t.pos > pos;
    pos = t.pos;
    using Verdict = Transfer::Verdict;
    if (t.verdict == Verdict::stopped) break;
    if (t.verdict == Verdict::whole_file) {
      {
        std::lock_guard lock(cell_->lock);
        whole_file_needed_ = true;
      }
      cell_->changed.notify_all();
      break;
    }
    if (t.verdict == Verdict::bad_answer || t.verdict == Verdict::write_error) {
      fail();
      break;
    }
    if (pos >= block_end) break;
    // The answer ended early: ask again for the rest, after a pause that grows while nothing
    // arrives, and give up after kMaxRetries answers in a row without a byte.
    failures = gained ? 0 : failures + 1;
    if (failures > kMaxRetries || request >= kMaxRequestsPerBlock) {
      fail();
      break;
    }
    std::unique_lock lock(cell_->lock);
    if (failures > 0) {
      cell_->changed.wait_for(lock, kFirstBackOff * (1 << (failures - 1)),
                              [&] { return stopped_or_failed(cell_->state); });
    }
    cell_->changed.wait(lock, [&] { return cell_->state != kTaskPaused; });
    if (stopped_or_failed(cell_->state)) break;
  }

  {
    std::lock_guard lock(cell_->lock);
    --active_workers_;
    finished_slots_.push_back(slot);
  }
  cell_->changed.notify_all();
}

void DownloadJob::fetch_whole_file() {
  Transfer t;
  t.job = this;
  t.pos = 0;
  t.stop_at = total_size_;
  t.block_end = total_size_;
  t.ask_last = -1;
  perform(t);
  if (t.verdict == Transfer::Verdict::stopped) return;
  if (t.verdict != Transfer::Verdict::ok || t.pos != total_size_) fail();
}

CURL* DownloadJob::take_handle() {
  {
    std::lock_guard lock(handles_lock_);
    if (!handles_.empty()) {
      CURL* handle = handles_.back();
      handles_.pop_back();
      return handle;
    }
  }
  return curl_easy_init();
}

void DownloadJob::give_back(CURL* handle) {
  std::lock_guard lock(handles_lock_);
  handles_.push_back(handle);
}

void DownloadJob::perform(Transfer& t) {
  CURL* h = take_handle();
  if (h == nullptr) {
    t.verdict = Transfer::Verdict::transient;
    return;
  }
  curl_easy_reset(h);
  t.handle = h;
  t.piece.reserve(kPieceSize);
  std::string range_line;
  if (t.ask_last >= 0) {
    range_line = "Range:bytes=" + std::to_string(t.pos) + "-" + std::to_string(t.ask_last);
  }
  curl_slist* headers = engine_headers(range_line);
  set_engine_request_options(h, url_, headers);
  curl_easy_setopt(h, CURLOPT_SHARE, share_);
  // A connection that delivers nothing for a minute is given up (and the block asked again).
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, 60L);
  curl_easy_setopt(h, CURLOPT_HTTP_CONTENT_DECODING, 0L);
  curl_easy_setopt(h, CURLOPT_BUFFERSIZE, kReceiveBuffer);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &DownloadJob::on_header);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &DownloadJob::on_body);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &DownloadJob::on_progress);
  curl_easy_setopt(h, CURLOPT_XFERINFODATA, &t);

  CURLcode rc = curl_easy_perform(h);
  if (rc == CURLE_OK && !t.checked) check_answer(t);  // an answer without a body
  if (t.verdict == Transfer::Verdict::ok && rc != CURLE_OK) {
    t.verdict =
        rc == CURLE_ABORTED_BY_CALLBACK ? Transfer::Verdict::stopped : Transfer::Verdict::transient;
  }
  // What arrived before the answer ended (early or not) is good and is kept.
  if (!t.piece.empty() &&
      (t.verdict == Transfer::Verdict::ok || t.verdict == Transfer::Verdict::transient ||
       t.verdict == Transfer::Verdict::stopped)) {
    write_piece(t);
  }
  curl_slist_free_all(headers);
  give_back(h);
}

bool DownloadJob::check_answer(Transfer& t) {
  using Verdict = Transfer::Verdict;
  t.checked = true;
  long status = 0;
  curl_easy_getinfo(t.handle, CURLINFO_RESPONSE_CODE, &status);
  curl_off_t length = -1;
  curl_easy_getinfo(t.handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  if (!t.content_encoding.empty() && !equals_ignoring_case(t.content_encoding, "identity")) {
    t.verdict = Verdict::bad_answer;  // the bytes would not be the file's
  } else if (status == 206 && t.ask_last >= 0) {
    std::int64_t first = 0, last = 0, whole = 0;
    // Only the range asked for (or a shorter one from its start) of this very file is taken.
    if (!parse_content_range(t.content_range, first, last, whole) || first != t.pos ||
        last < first || last >= t.block_end || (whole >= 0 && whole != total_size_)) {
      t.verdict = Verdict::bad_answer;
    } else {
      t.stop_at = last + 1;
    }
  } else if (status == 200) {
    // The whole file: right for the whole-file request and for a block that is the whole file;
    // for any other block the server ignores ranges.
    if (t.pos != 0 || t.block_end != total_size_) {
      t.verdict = Verdict::whole_file;
    } else if (length >= 0 && length != total_size_) {
      t.verdict = Verdict::bad_answer;
    }
  } else if (status >= 500 || status == 408 || status == 429) {
    t.verdict = Verdict::transient;
  } else {
    t.verdict = Verdict::bad_answer;
  }
  return t.verdict == Verdict::ok;
}

std::size_t DownloadJob::on_header(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  std::string_view line(data, n);
  if (line.substr(0, 5) == "HTTP/") {  // a new answer (after a redirect or an interim one)
    t->content_range.clear();
    t->content_encoding.clear();
    return n;
  }
  auto colon = line.find(':');
  if (colon == std::string_view::npos) return n;
  std::string_view name = trim(line.substr(0, colon));
  std::string_view value = trim(line.substr(colon + 1));
  if (equals_ignoring_case(name, "Content-Range")) t->content_range = value;
  if (equals_ignoring_case(name, "Content-Encoding")) t->content_encoding = value;
  return n;
}

std::size_t DownloadJob::on_body(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  if (!t->checked && !t->job->check_answer(*t)) return 0;
  if (static_cast<std::int64_t>(n) >
      t->stop_at - t->pos - static_cast<std::int64_t>(t->piece.size())) {
    // More than the answer announced: it is not the block it claims to be.
    t->verdict = Transfer::Verdict::bad_answer;
    return 0;
  }
  if (t->piece.size() + n > kPieceSize && !t->job->write_piece(*t)) return 0;
  t->piece.insert(t->piece.end(), data, data + n);
  const bool at_end = t->pos + static_cast<std::int64_t>(t->piece.size()) == t->stop_at;
  if ((t->piece.size() >= kPieceSize || at_end) && !t->job->write_piece(*t)) return 0;
  return n;
}

int DownloadJob::on_progress(void* user, std::int64_t, std::int64_t, std::int64_t, std::int64_t) {
  auto* t = static_cast<Transfer*>(user);
  return stopped_or_failed(t->job->cell_->state_seen.load(std::memory_order_relaxed)) ? 1 : 0;
}

bool DownloadJob::write_piece(Transfer& t) {
  const char* data = t.piece.data();
  const std::size_t size = t.piece.size();
  std::size_t written = 0;
  while (written < size) {
    ssize_t r = ::pwrite(file_.get(), data + written, size - written,
                         static_cast<off_t>(t.pos + static_cast<std::int64_t>(written)));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      t.verdict = Transfer::Verdict::write_error;
      return false;
    }
    written += static_cast<std::size_t>(r);
  }
  t.pos += static_cast<std::int64_t>(size);
  t.piece.clear();

  std::unique_lock lock(cell_->lock);
  bytes_done_ += static_cast<std::int64_t>(size);
  if (report_routine_) report_routine_(task_, 1, total_size_, bytes_done_);
  cell_->changed.wait(lock, [&] { return cell_->state != kTaskPaused; });
  if (cell_->state != kTaskRunning) {
    t.verdict = Transfer::Verdict::stopped;
    return false;
  }
  return true;
}

}  // namespace zarvex
