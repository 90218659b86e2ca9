#include "support/standin_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace zarvex::test {

std::string standin_path() {
#ifdef ZARVEX_STANDIN_PATH
  return ZARVEX_STANDIN_PATH;
#else
  return "zarvex-standin";
#endif
}

std::string cli_path() {
#ifdef ZARVEX_CLI_PATH
  return ZARVEX_CLI_PATH;
#else
  return "zarvex-cli";
#endif
}

// Reads "zarvex-standin ready http=PORT https=PORT ca=PATH".
bool StandinProcess::parse_ready_line(const std::string& line) {
  int http = 0;
  int https = 0;
  int consumed = 0;
  if (std::sscanf(line.c_str(), "zarvex-standin ready http=%d https=%d ca=%n", &http, &https,
                  &consumed) != 2 ||
      consumed == 0 || http <= 0 || https <= 0) {
    return false;
  }
  http_port_ = http;
  https_port_ = https;
  ca_file_ = line.substr(static_cast<std::size_t>(consumed));
  while (!ca_file_.empty() && (ca_file_.back() == '\r' || ca_file_.back() == ' '))
    ca_file_.pop_back();
  return true;
}

StandinProcess::StandinProcess(std::vector<std::string> extra_args, int max_seconds) {
  std::vector<std::string> args = {standin_path(),
                                   "--host",
                                   "127.0.0.1",
                                   "--http-port",
                                   "0",
                                   "--https-port",
                                   "0",
                                   "--max-seconds",
                                   std::to_string(max_seconds)};
  args.insert(args.end(), extra_args.begin(), extra_args.end());
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);

  int fds[2];
  if (::pipe(fds) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (rc != 0) {
    ::close(fds[0]);
    output_ = std::string("cannot start ") + argv[0] + ": " + std::strerror(rc);
    return;
  }
  pid_ = pid;

  // Read until the ready line, for at most 20 seconds.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  std::string pending;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fds[0], POLLIN, 0};
    if (::poll(&p, 1, 200) <= 0) continue;
    char buf[512];
    ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    pending.append(buf, static_cast<std::size_t>(n));
    std::size_t nl;
    bool done = false;
    while ((nl = pending.find('\n')) != std::string::npos) {
      std::string line = pending.substr(0, nl);
      pending.erase(0, nl + 1);
      if (parse_ready_line(line)) {
        done = true;
        break;
      }
      output_ += line + "\n";
    }
    if (done) break;
  }
  // Kept open (and unread) until the end, so a later line of the stand-in finds a reader.
  out_fd_ = fds[0];
}

StandinProcess::~StandinProcess() {
  if (pid_ > 0) {
    stop_process();
  }
  if (out_fd_ >= 0) ::close(out_fd_);
}

void StandinProcess::stop_process() {
  {
    ::kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 50; ++i) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return;
      }
      ::usleep(20000);
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
  }
  pid_ = -1;
}

std::string StandinProcess::http_base() const {
  return "http://127.0.0.1:" + std::to_string(http_port_);
}
std::string StandinProcess::https_base() const {
  return "https://127.0.0.1:" + std::to_string(https_port_);
}

}  // namespace zarvex::test
