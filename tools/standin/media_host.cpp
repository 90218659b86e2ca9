// The stand-in's media host: HEAD and (ranged) GET of the media files, streamed from
// media_file_bytes so that files of any size never sit in memory, with the fault modes that
// tests and benchmarks switch on.

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "media_host.h"

namespace zarvex::standin {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr const char* kContentType = "application/octet-stream";

struct ByteRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;  // inclusive
};

bool parse_number(std::string_view text, std::uint64_t& out) {
  if (text.empty() || text.size() > 19) return false;
  std::uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  out = v;
  return true;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  return s;
}

enum class RangeAsk { none, one, unsatisfiable };

// One "bytes=a-b", "bytes=a-" or "bytes=-n" range against a file of `size` bytes. Anything
// else (several ranges, other units, syntax errors) is answered with the whole file, which
// HTTP allows.
RangeAsk parse_range(std::string_view header, std::uint64_t size, ByteRange& out) {
  header = trim(header);
  constexpr std::string_view unit = "bytes=";
  if (header.substr(0, unit.size()) != unit) return RangeAsk::none;
  std::string_view spec = trim(header.substr(unit.size()));
  if (spec.find(',') != std::string_view::npos) return RangeAsk::none;
  auto dash = spec.find('-');
  if (dash == std::string_view::npos) return RangeAsk::none;
  std::string_view a = trim(spec.substr(0, dash));
  std::string_view b = trim(spec.substr(dash + 1));
  std::uint64_t first = 0, last = 0;
  if (a.empty()) {  // suffix: the last n bytes
    if (!parse_number(b, last)) return RangeAsk::none;
    if (last == 0 || size == 0) return RangeAsk::unsatisfiable;
    out.first = size - std::min(last, size);
    out.last = size - 1;
    return RangeAsk::one;
  }
  if (!parse_number(a, first)) return RangeAsk::none;
  if (b.empty()) {
    last = size == 0 ? 0 : size - 1;
  } else if (!parse_number(b, last) || last < first) {
    return RangeAsk::none;
  }
  if (first >= size) return RangeAsk::unsatisfiable;
  out.first = first;
  out.last = std::min(last, size - 1);
  return RangeAsk::one;
}

// Holds every connection to `rate` bytes per second, across all the answers it carries: a
// chunk goes out only when the connection's earlier bytes have had their time, so a client
// gains nothing by asking for many small ranges on one connection.
class RateLimiter {
 public:
  using Clock = std::chrono::steady_clock;
  explicit RateLimiter(std::uint64_t rate) : rate_(rate) {}

  std::uint64_t rate() const { return rate_; }
  std::size_t chunk() const {
    if (rate_ == 0) return kChunk;
    return static_cast<std::size_t>(std::clamp<std::uint64_t>(rate_ / 50, 1024, kChunk));
  }

  // Waits until `bytes` more may go out on the connection `key`, and books them.
  void wait_turn(const std::string& key, std::size_t bytes) {
    if (rate_ == 0) return;
    Clock::time_point start;
    {
      std::lock_guard lock(lock_);
      const auto now = Clock::now();
      if (next_free_.size() > 4096) {  // forget connections idle for a minute
        std::erase_if(next_free_, [&](const auto& entry) {
          return entry.second < now - std::chrono::minutes(1);
        });
      }
      Clock::time_point& next = next_free_[key];
      start = std::max(now, next);
      next = start + std::chrono::nanoseconds(static_cast<std::int64_t>(
                         static_cast<double>(bytes) * 1e9 / static_cast<double>(rate_)));
    }
    std::this_thread::sleep_until(start);
  }

 private:
  const std::uint64_t rate_;
  std::mutex lock_;
  std::unordered_map<std::string, Clock::time_point> next_free_;
};

// What one answer streams: the file bytes [first, first + length), of which only `send_limit`
// are sent before the connection is dropped (close-early mode).
struct Stream {
  std::string name;
  std::uint64_t first = 0;
  std::uint64_t length = 0;
  std::uint64_t send_limit = 0;
  std::shared_ptr<RateLimiter> limiter;
  std::string connection;  // the client's address and port
  std::vector<char> buffer;
};

// Writes the stream's bytes from `offset` (relative to its start) in paced chunks. Returns false
// when the connection is gone or the answer is to be cut short.
bool pump(Stream& s, std::size_t offset, std::size_t length, httplib::DataSink& sink) {
  if (offset >= s.send_limit) return false;
  std::size_t n =
      std::min({length, s.limiter->chunk(), static_cast<std::size_t>(s.send_limit - offset)});
  s.limiter->wait_turn(s.connection, n);
  s.buffer.resize(n);
  media_file_bytes(s.name, s.first + offset, s.buffer.data(), n);
  return sink.write(s.buffer.data(), n);
}

void handle(const MediaOptions& options, const std::shared_ptr<RateLimiter>& limiter,
            const httplib::Request& request, httplib::Response& response) {
  // The header's own range handling would slice our answer a second time; this host answers
  // ranges itself (and ignores them on purpose in one fault mode).
  const_cast<httplib::Request&>(request).ranges.clear();

  std::string name = request.path.substr(1);
  const bool is_song = name.rfind("test/", 0) != 0;
  if (is_song && request.get_param_value("vkey").empty()) {
    response.status = 403;
    response.set_content("forbidden: no vkey\n", "text/plain");
    return;
  }
  const std::int64_t signed_size = media_file_size(name);
  if (signed_size < 0) {
    response.status = 404;
    response.set_content("not found\n", "text/plain");
    return;
  }
  const auto size = static_cast<std::uint64_t>(signed_size);
  response.set_header("Accept-Ranges", "bytes");

  const bool head = request.method == "HEAD";
  if (head && options.probe_403) {
    response.status = 403;
    response.set_content("forbidden\n", "text/plain");
    return;
  }

  ByteRange range{0, size == 0 ? 0 : size - 1};
  RangeAsk ask = RangeAsk::none;
  if (!head && !options.ignore_range && request.has_header("Range")) {
    ask = parse_range(request.get_header_value("Range"), size, range);
  }
  if (ask == RangeAsk::unsatisfiable) {
    response.status = 416;
    response.set_header("Content-Range", "bytes */" + std::to_string(size));
    response.set_content("range not satisfiable\n", "text/plain");
    return;
  }

  auto stream = std::make_shared<Stream>();
  stream->name = name;
  stream->length = size;
  stream->send_limit = size;
  stream->limiter = limiter;
  stream->connection = request.remote_addr + ":" + std::to_string(request.remote_port);
  if (ask == RangeAsk::one) {
    response.status = 206;
    response.set_header("Content-Range", "bytes " + std::to_string(range.first) + "-" +
                                             std::to_string(range.last) + "/" +
                                             std::to_string(size));
    stream->first = range.first;
    stream->length = range.last - range.first + 1;
    stream->send_limit = stream->length;
    if (options.close_early) stream->send_limit = stream->length - stream->length / 2;
  } else {
    response.status = 200;
  }

  if (options.omit_content_length) {
    response.set_chunked_content_provider(
        kContentType, [stream](std::size_t offset, httplib::DataSink& sink) {
          if (offset >= stream->length) {
            sink.done();
            return true;
          }
          return pump(*stream, offset, static_cast<std::size_t>(stream->length - offset), sink);
        });
    return;
  }
  if (stream->length == 0) {
    response.set_content("", kContentType);
    return;
  }
  response.set_content_provider(
      static_cast<std::size_t>(stream->length), kContentType,
      [stream](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        return pump(*stream, offset, length, sink);
      });
}

}  // namespace

void tune_media_server(httplib::Server& server, std::size_t keep_alive_max_count) {
  server.new_task_queue = [] { return new httplib::ThreadPool(64); };
  server.set_keep_alive_max_count(keep_alive_max_count);
}

void add_media_routes(httplib::Server& server, const MediaOptions& options) {
  const MediaOptions copy = options;
  auto limiter = std::make_shared<RateLimiter>(options.rate_limit);
  server.Get(R"(/(?:(?:M500|M800)[^/]+\.mp3|A000[^/]+\.ape|F000[^/]+\.flac|test/[0-9]+\.bin))",
             [copy, limiter](const httplib::Request& request, httplib::Response& response) {
               handle(copy, limiter, request, response);
             });
}

}  // namespace zarvex::standin
