#pragma once
// Helpers of the engine tests: an in-process media host on 127.0.0.1 that records the requests
// it gets (and can hold them at a gate), a recorder of the engine's reports, and a byte-for-byte
// check of a downloaded file.

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "download/engine.h"
#include "media_host.h"

namespace zarvex::test {

struct SeenRequest {
  std::string method;
  std::string path;
  std::string range;  // the Range header's value; empty when there was none
};

class TestMediaHost {
 public:
  explicit TestMediaHost(standin::MediaOptions options = {},
                         const std::function<void(httplib::Server&)>& extra_routes = {});
  ~TestMediaHost();
  TestMediaHost(const TestMediaHost&) = delete;
  TestMediaHost& operator=(const TestMediaHost&) = delete;

  bool ok() const { return port_ > 0; }
  // "http://127.0.0.1:PORT" + path
  std::string url(const std::string& path) const;
  // Range values of the GETs that carried one, in arrival order.
  std::vector<std::string> ranges() const;
  // GETs without a Range header.
  int plain_gets() const;

  // The gate: while closed, every GET with a Range waits on arrival until let through.
  void close_gate();
  // Lets one waiting request through; false when none arrived within the timeout.
  bool pass_one(std::chrono::milliseconds timeout);
  void open_gate();
  // Waits until at least n requests wait at the gate.
  bool wait_waiting(int n, std::chrono::milliseconds timeout) const;
  // Largest number of ranged GETs that had arrived but were not yet let through, at any arrival.
  int most_waiting() const;

  // Waits until at least n GETs with a Range have arrived.
  bool wait_for_ranges(std::size_t n, std::chrono::milliseconds timeout) const;

  // Stops serving (connections are refused from then on).
  void shut_down();

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = -1;
  mutable std::mutex lock_;
  mutable std::condition_variable changed_;
  std::vector<SeenRequest> seen_;
  bool gate_closed_ = false;
  int waiting_ = 0;
  int passes_ = 0;
  int most_waiting_ = 0;
};

struct Report {
  int task;
  int code;
  std::int64_t total;
  std::int64_t done;
};

class ReportLog {
 public:
  ReportRoutine routine();
  std::vector<Report> all() const;
  std::size_t count() const;
  // Waits for a final report (code 0 or -1); the final report, or code 99 when none came.
  Report wait_final(std::chrono::milliseconds timeout) const;
  // Waits until at least n reports came.
  bool wait_count(std::size_t n, std::chrono::milliseconds timeout) const;

 private:
  mutable std::mutex lock_;
  mutable std::condition_variable changed_;
  std::vector<Report> reports_;
};

// Name of the media host's test file of `size` bytes.
inline std::string test_file(std::int64_t size) {
  return "test/" + std::to_string(size) + ".bin";
}

// Offset of the first byte of the file at `path` (UTF-8) that differs from the media file
// `media_name` of `size` bytes; -1 when the file is that media file exactly. A file of another
// length differs at the shorter length.
std::int64_t first_difference(const std::string& path, const std::string& media_name,
                              std::int64_t size);

constexpr auto kLongWait = std::chrono::seconds(120);

}  // namespace zarvex::test
