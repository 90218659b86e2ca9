// zarvex-standin: the music service, its login, avatar and announcement pages and the media
// host on this machine, over plain HTTP and HTTPS, for tests and demonstrations without the
// internet. See usage_text() for the command line.

#include <httplib.h>
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "certificates.h"
#include "config_writer.h"
#include "media_host.h"
#include "service_routes.h"
#include "site_routes.h"
#include "standin_options.h"

namespace zarvex::standin {
namespace {

// Removes the temporary certificate folder when the stand-in ends.
class TempFolder {
 public:
  TempFolder() = default;
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() { remove(); }

  bool create(std::string& error) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zarvex-standin-XXXXXX");
    if (!::mkdtemp(pattern.data())) {
      error = "cannot create a temporary folder";
      return false;
    }
    path_ = pattern;
    return true;
  }
  void remove() {
    if (path_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    path_.clear();
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string base_address(const char* scheme, const std::string& host, int port) {
  const std::string shown = host.find(':') != std::string::npos ? "[" + host + "]" : host;
  return std::string(scheme) + "://" + shown + ":" + std::to_string(port);
}

int bind_server(httplib::Server& server, const std::string& host, int port) {
  if (port == 0) return server.bind_to_any_port(host);
  return server.bind_to_port(host, port) ? port : -1;
}

// The signals that end the stand-in: SIGTERM, SIGINT and SIGHUP.
sigset_t end_signals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGHUP);
  return signals;
}

// Waits for one of the end signals (blocked in every thread) or the end of the allowed time.
void wait_for_end(std::int64_t max_seconds) {
  const sigset_t signals = end_signals();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(max_seconds);
  for (;;) {
    if (max_seconds == 0) {
      int sig = 0;
      if (sigwait(&signals, &sig) == 0) return;
      continue;
    }
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return;
    const auto step = std::min<std::chrono::nanoseconds>(left, std::chrono::seconds(1));
    timespec ts{static_cast<time_t>(step.count() / 1000000000),
                static_cast<long>(step.count() % 1000000000)};
    if (sigtimedwait(&signals, nullptr, &ts) > 0) return;
  }
}

int run(const StandinOptions& options) {
  ::signal(SIGPIPE, SIG_IGN);
  const sigset_t signals = end_signals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // inherited by every thread started below

  std::string error;
  TempFolder temp;
  std::filesystem::path cert_dir;
  if (options.cert_dir.empty()) {
    if (!temp.create(error)) {
      std::fprintf(stderr, "zarvex-standin: %s\n", error.c_str());
      return 1;
    }
    cert_dir = temp.path();
  } else {
    std::error_code ec;
    cert_dir = std::filesystem::absolute(options.cert_dir, ec);
    std::filesystem::create_directories(cert_dir, ec);
    if (ec) {
      std::fprintf(stderr, "zarvex-standin: cannot create %s: %s\n", cert_dir.c_str(),
                   ec.message().c_str());
      return 1;
    }
  }
  CertificateFiles certs;
  if (!make_certificates(cert_dir, options.host, certs, error)) {
    std::fprintf(stderr, "zarvex-standin: %s\n", error.c_str());
    return 1;
  }

  httplib::Server http;
  httplib::SSLServer https(certs.server_cert.c_str(), certs.server_key.c_str());
  if (!https.is_valid()) {
    std::fprintf(stderr, "zarvex-standin: cannot load the server certificate\n");
    return 1;
  }
  const int http_port = bind_server(http, options.host, options.http_port);
  const int https_port = bind_server(https, options.host, options.https_port);
  if (http_port <= 0 || https_port <= 0) {
    std::fprintf(stderr, "zarvex-standin: cannot listen on %s (ports %d, %d)\n",
                 options.host.c_str(), options.http_port, options.https_port);
    return 1;
  }

  SiteOptions site;
  site.host = options.host;
  site.http_base = base_address("http", options.host, http_port);
  site.https_base = base_address("https", options.host, https_port);
  site.announce_version = options.announce_version;
  for (httplib::Server* server :
       {static_cast<httplib::Server*>(&http), static_cast<httplib::Server*>(&https)}) {
    tune_media_server(*server, 100);
    if (options.verbose) {
      server->set_logger([](const httplib::Request& req, const httplib::Response& res) {
        std::fprintf(stderr, "zarvex-standin: %s %s -> %d\n", req.method.c_str(),
                     req.target.c_str(), res.status);
      });
    }
    add_service_routes(*server, options.service);
    add_site_routes(*server, site);
    add_media_routes(*server, options.media);
  }

  if (!options.write_config.empty()) {
    const IniEntries entries = {
        {"api_https", site.https_base},      {"api_http", site.http_base},
        {"media", site.http_base},           {"site", site.https_base},
        {"login", site.http_base},           {"cookie_hosts", options.host},
        {"avatar", site.http_base},          {"announce", site.http_base + kAnnouncePath},
        {"ca_file", certs.ca_cert.string()},
    };
    if (!write_service_config(options.write_config, entries, error)) {
      std::fprintf(stderr, "zarvex-standin: %s\n", error.c_str());
      return 1;
    }
  }

  auto start = [](httplib::Server& server) {
    return std::async(std::launch::async, [&server] { server.listen_after_bind(); });
  };
  std::future<void> http_done = start(http);
  std::future<void> https_done = start(https);
  // Ready only once both accept connections, so a stop signal right after the ready line
  // always finds running servers to stop.
  for (int i = 0; i < 500 && !(http.is_running() && https.is_running()); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::printf("zarvex-standin ready http=%d https=%d ca=%s\n", http_port, https_port,
              certs.ca_cert.c_str());
  std::fflush(stdout);

  wait_for_end(options.max_seconds);

  http.stop();
  https.stop();
  temp.remove();
  // Connections still being served (a slow client of a rate-limited download) get a few
  // seconds; after that the process ends without waiting for them.
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  if (http_done.wait_until(limit) != std::future_status::ready ||
      https_done.wait_until(limit) != std::future_status::ready) {
    std::fflush(stderr);
    std::_Exit(0);
  }
  return 0;
}

}  // namespace
}  // namespace zarvex::standin

int main(int argc, char** argv) {
  using namespace zarvex::standin;
  StandinOptions options;
  std::string error;
  if (!parse_options(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    if (error.empty()) {
      std::fputs(usage_text(), stdout);
      return 0;
    }
    std::fprintf(stderr, "zarvex-standin: %s (see --help)\n", error.c_str());
    return 2;
  }
  return run(options);
}
