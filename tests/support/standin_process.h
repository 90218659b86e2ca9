#pragma once
// Starts zarvex-standin for a test on 127.0.0.1 with ephemeral ports and stops it again.
// The stand-in prints one line when it is ready:
//   zarvex-standin ready http=PORT https=PORT ca=PATH
// and ends by itself after --max-seconds, so a crashed test leaves nothing behind for long.

#include <string>
#include <vector>

namespace zarvex::test {

class StandinProcess {
 public:
  // Extra arguments are passed on, e.g. {"--rate-limit", "4194304", "--ignore-range"}.
  explicit StandinProcess(std::vector<std::string> extra_args = {}, int max_seconds = 600);
  ~StandinProcess();
  StandinProcess(const StandinProcess&) = delete;
  StandinProcess& operator=(const StandinProcess&) = delete;

  bool ok() const { return http_port_ > 0; }
  int http_port() const { return http_port_; }
  int https_port() const { return https_port_; }
  const std::string& ca_file() const { return ca_file_; }
  std::string http_base() const;   // "http://127.0.0.1:PORT"
  std::string https_base() const;  // "https://127.0.0.1:PORT"
  // Everything the stand-in printed before its ready line (for failure messages).
  const std::string& startup_output() const { return output_; }

 private:
  void stop_process();
  bool parse_ready_line(const std::string& line);

  int pid_ = -1;
  int out_fd_ = -1;
  int http_port_ = 0;
  int https_port_ = 0;
  std::string ca_file_;
  std::string output_;
};

// Path of the built zarvex-standin / zarvex-cli executables.
std::string standin_path();
std::string cli_path();

}  // namespace zarvex::test
