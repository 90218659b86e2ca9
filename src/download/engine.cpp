// The download engine: task creation, the job list and the control operations.

#include "download/engine.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <system_error>
#include <thread>

#include "download/download_job.h"
#include "download/engine_request.h"
#include "net/curl_init.h"
#include "platform/file_system.h"

namespace zarvex {

namespace {

// What the answer to a GET of the address says about the file; the body is not read.
struct HeaderProbe {
  bool answered = false;
  long status = 0;
  std::int64_t length = -1;  // -1: no Content-Length
  std::string content_location;
};

std::size_t probe_header(char* data, std::size_t size, std::size_t count, void* user) {
  auto* probe = static_cast<HeaderProbe*>(user);
  const std::size_t n = size * count;
  std::string_view line(data, n);
  if (line.substr(0, 5) == "HTTP/") {
    probe->content_location.clear();
    return n;
  }
  constexpr std::string_view name = "content-location:";
  if (!equals_ignoring_case(line.substr(0, name.size()), name)) return n;
  std::string_view value = line.substr(name.size());
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
    value.remove_prefix(1);
  while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' ')) {
    value.remove_suffix(1);
  }
  probe->content_location = std::string(value.substr(0, 255));
  return n;
}

// The first body byte ends the request: only the headers are wanted.
std::size_t refuse_body(char*, std::size_t, std::size_t, void*) {
  return 0;
}

HeaderProbe probe_headers(const std::string& url) {
  init_curl_once();
  HeaderProbe probe;
  CURL* h = curl_easy_init();
  if (h == nullptr) return probe;
  curl_slist* headers = engine_headers({});
  set_engine_request_options(h, url, headers);
  curl_easy_setopt(h, CURLOPT_TIMEOUT, 60L);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, probe_header);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &probe);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, refuse_body);
  CURLcode rc = curl_easy_perform(h);
  if (rc == CURLE_OK || rc == CURLE_WRITE_ERROR) {
    probe.answered = true;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &probe.status);
    curl_off_t length = -1;
    curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    probe.length = length;
  }
  curl_slist_free_all(headers);
  curl_easy_cleanup(h);
  return probe;
}

// A path whose last component has a "." names a file; anything else is a folder.
bool has_file_extension(const std::string& path) {
  auto slash = path.find_last_of("/\\");
  std::string_view last = slash == std::string::npos ? std::string_view(path)
                                                     : std::string_view(path).substr(slash + 1);
  return last.find('.') != std::string_view::npos;
}

}  // namespace

std::string file_name_from_address(std::string_view address) {
  std::string text(address);
  std::replace(text.begin(), text.end(), '\\', '/');
  auto slash = text.rfind('/');
  std::string name = slash == std::string::npos ? text : text.substr(slash + 1);
  return name.substr(0, name.find('?'));
}

struct DownloadEngine::Entry {
  std::shared_ptr<TaskCell> cell;
  std::thread manager;
};

DownloadEngine::DownloadEngine() {
  init_curl_once();
}

DownloadEngine::~DownloadEngine() {
  std::vector<std::unique_ptr<Entry>> entries;
  {
    std::lock_guard lock(list_lock_);
    entries.swap(job_list_);
  }
  for (auto& entry : entries)
    set_task_state(*entry->cell, kTaskStopped);
  for (auto& entry : entries) {
    if (entry->manager.joinable()) entry->manager.join();
  }
}

int DownloadEngine::create_task(const std::string& url, std::string& path, int thread_count,
                                ReportRoutine report_routine, int start_now) {
  HeaderProbe probe = probe_headers(url);
  if (!has_file_extension(path)) {
    if (path.empty() || path.back() != '/') path += '/';
    path += file_name_from_address(probe.content_location.empty() ? url : probe.content_location);
  }
  // An error answer is no file of that size, and a file without a size cannot be laid out:
  // both are refused before any file is touched.
  if (!probe.answered || probe.status < 200 || probe.status > 299 || probe.length <= 0) {
    return -1;
  }

  UniqueFd file(::open(native_path(path).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.get() < 0) return -1;
  if (::ftruncate(file.get(), static_cast<off_t>(probe.length)) != 0) return -1;

  auto cell = std::make_shared<TaskCell>(start_now == 1 ? kTaskRunning : kTaskPaused);
  std::lock_guard lock(list_lock_);
  const int task = task_counter_ + 1;
  JobSetup setup{task,         url, std::move(report_routine), std::move(file), probe.length,
                 thread_count, cell};
  std::unique_ptr<DownloadJob> job = DownloadJob::make(std::move(setup));
  if (!job) return -1;
  auto entry = std::make_unique<Entry>();
  entry->cell = cell;
  try {
    job_list_.reserve(job_list_.size() + 1);
    entry->manager = std::thread(&DownloadJob::run_job, std::move(job));
  } catch (const std::exception&) {
    return -1;
  }
  job_list_.push_back(std::move(entry));
  task_counter_ = task;
  return task;
}

std::shared_ptr<TaskCell> DownloadEngine::cell(int task) const {
  std::lock_guard lock(list_lock_);
  if (task < 1 || static_cast<std::size_t>(task) > job_list_.size()) return nullptr;
  return job_list_[static_cast<std::size_t>(task) - 1]->cell;
}

void DownloadEngine::set_state(int task, int state) {
  if (auto c = cell(task)) set_task_state(*c, state);
}

void DownloadEngine::set_state_all(int state) {
  std::vector<std::shared_ptr<TaskCell>> cells;
  {
    std::lock_guard lock(list_lock_);
    for (const auto& entry : job_list_)
      cells.push_back(entry->cell);
  }
  for (const auto& c : cells)
    set_task_state(*c, state);
}

void DownloadEngine::pause_task(int task) {
  set_state(task, kTaskPaused);
}
void DownloadEngine::pause_all() {
  set_state_all(kTaskPaused);
}
void DownloadEngine::stop_task(int task) {
  set_state(task, kTaskStopped);
}
void DownloadEngine::stop_all() {
  set_state_all(kTaskStopped);
}
void DownloadEngine::resume_task(int task) {
  set_state(task, kTaskRunning);
}
void DownloadEngine::resume_all() {
  set_state_all(kTaskRunning);
}

void DownloadEngine::stop_and_resume_task(int task) {
  if (auto c = cell(task)) {
    set_task_state(*c, kTaskStopped);
    set_task_state(*c, kTaskRunning);
  }
}

void DownloadEngine::stop_and_resume_all() {
  set_state_all(kTaskStopped);
  set_state_all(kTaskRunning);
}

int DownloadEngine::task_state(int task) const {
  auto c = cell(task);
  return c ? c->state_seen.load() : -1;
}

int DownloadEngine::task_counter() const {
  std::lock_guard lock(list_lock_);
  return task_counter_;
}

bool DownloadEngine::task_ended(int task) const {
  auto c = cell(task);
  if (!c) return false;
  std::lock_guard lock(c->lock);
  return c->ended;
}

bool DownloadEngine::wait_task(int task, std::chrono::milliseconds timeout) const {
  auto c = cell(task);
  if (!c) return false;
  std::unique_lock lock(c->lock);
  return c->changed.wait_for(lock, timeout, [&] { return c->ended; });
}

}  // namespace zarvex
