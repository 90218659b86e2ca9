#include "engine_test_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace zarvex::test {

TestMediaHost::TestMediaHost(standin::MediaOptions options,
                             const std::function<void(httplib::Server&)>& extra_routes) {
  standin::tune_media_server(server_);
  server_.set_keep_alive_timeout(1);
  server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
    std::unique_lock lock(lock_);
    std::string range = request.has_header("Range") ? request.get_header_value("Range") : "";
    seen_.push_back({request.method, request.path, range});
    changed_.notify_all();
    if (request.method == "GET" && !range.empty() && gate_closed_) {
      ++waiting_;
      most_waiting_ = std::max(most_waiting_, waiting_);
      changed_.notify_all();
      // Bounded: a request is never held for more than a minute.
      changed_.wait_for(lock, std::chrono::seconds(60),
                        [&] { return !gate_closed_ || passes_ > 0; });
      if (passes_ > 0) --passes_;
      --waiting_;
      changed_.notify_all();
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  standin::add_media_routes(server_, options);
  if (extra_routes) extra_routes(server_);
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) return;
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  // A stop before the accept loop runs would be lost; wait (bounded) until it runs.
  for (int i = 0; i < 5000 && !server_.is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

TestMediaHost::~TestMediaHost() {
  open_gate();
  shut_down();
}

void TestMediaHost::shut_down() {
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

std::string TestMediaHost::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> TestMediaHost::ranges() const {
  std::lock_guard lock(lock_);
  std::vector<std::string> out;
  for (const auto& r : seen_) {
    if (r.method == "GET" && !r.range.empty()) out.push_back(r.range);
  }
  return out;
}

int TestMediaHost::plain_gets() const {
  std::lock_guard lock(lock_);
  return static_cast<int>(std::count_if(seen_.begin(), seen_.end(), [](const SeenRequest& r) {
    return r.method == "GET" && r.range.empty();
  }));
}

void TestMediaHost::close_gate() {
  std::lock_guard lock(lock_);
  gate_closed_ = true;
}

void TestMediaHost::open_gate() {
  {
    std::lock_guard lock(lock_);
    gate_closed_ = false;
  }
  changed_.notify_all();
}

bool TestMediaHost::pass_one(std::chrono::milliseconds timeout) {
  std::unique_lock lock(lock_);
  if (!changed_.wait_for(lock, timeout, [&] { return waiting_ > passes_; })) return false;
  ++passes_;
  changed_.notify_all();
  return true;
}

bool TestMediaHost::wait_waiting(int n, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(lock_);
  return changed_.wait_for(lock, timeout, [&] { return waiting_ - passes_ >= n; });
}

int TestMediaHost::most_waiting() const {
  std::lock_guard lock(lock_);
  return most_waiting_;
}

bool TestMediaHost::wait_for_ranges(std::size_t n, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(lock_);
  return changed_.wait_for(lock, timeout, [&] {
    std::size_t ranged = 0;
    for (const auto& r : seen_)
      ranged += (r.method == "GET" && !r.range.empty()) ? 1 : 0;
    return ranged >= n;
  });
}

ReportRoutine ReportLog::routine() {
  return [this](int task, int code, std::int64_t total, std::int64_t done) {
    // Notified under the lock, so a waiter that returns may end the log at once.
    std::lock_guard lock(lock_);
    reports_.push_back({task, code, total, done});
    changed_.notify_all();
  };
}

std::vector<Report> ReportLog::all() const {
  std::lock_guard lock(lock_);
  return reports_;
}

std::size_t ReportLog::count() const {
  std::lock_guard lock(lock_);
  return reports_.size();
}

Report ReportLog::wait_final(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(lock_);
  Report final{0, 99, 0, 0};
  changed_.wait_for(lock, timeout, [&] {
    for (const auto& r : reports_) {
      if (r.code != 1) {
        final = r;
        return true;
      }
    }
    return false;
  });
  return final;
}

bool ReportLog::wait_count(std::size_t n, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(lock_);
  return changed_.wait_for(lock, timeout, [&] { return reports_.size() >= n; });
}

std::int64_t first_difference(const std::string& path, const std::string& media_name,
                              std::int64_t size) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  constexpr std::size_t kChunk = 4 << 20;
  std::vector<char> got(kChunk), want(kChunk);
  std::int64_t offset = 0;
  std::int64_t result = -1;
  while (true) {
    ssize_t n = ::pread(fd, got.data(), kChunk, offset);
    if (n < 0) {
      result = offset;
      break;
    }
    if (n == 0) {
      if (offset != size) result = std::min(offset, size);
      break;
    }
    std::int64_t expected = std::max<std::int64_t>(0, std::min<std::int64_t>(n, size - offset));
    standin::media_file_bytes(media_name, static_cast<std::uint64_t>(offset), want.data(),
                              static_cast<std::size_t>(expected));
    if (std::memcmp(got.data(), want.data(), static_cast<std::size_t>(expected)) != 0) {
      auto mismatch = std::mismatch(got.begin(), got.begin() + expected, want.begin());
      result = offset + (mismatch.first - got.begin());
      break;
    }
    if (expected < n) {  // longer than the media file
      result = size;
      break;
    }
    offset += n;
  }
  ::close(fd);
  return result;
}

}  // namespace zarvex::test
