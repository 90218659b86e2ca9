#pragma once
// The stand-in's command line.

#include <cstdint>
#include <string>
#include <vector>

#include "media_host.h"
#include "service_routes.h"

namespace zarvex::standin {

struct StandinOptions {
  std::string host = "127.0.0.1";
  int http_port = 0;                // 0: any free port
  int https_port = 0;               // 0: any free port
  std::string cert_dir;             // empty: a temporary folder, removed at the end
  std::int64_t max_seconds = 3600;  // 0: no limit
  std::string announce_version = "1.9.1";
  std::string write_config;  // program folder whose settings file is pointed at us
  bool verbose = false;      // one line per request on stderr
  MediaOptions media;
  ServiceOptions service;
};

// Reads argv (without argv[0]). On a bad command line returns false and sets error; on
// "--help" returns false with an empty error.
bool parse_options(const std::vector<std::string>& args, StandinOptions& options,
                   std::string& error);

// The usage text.
const char* usage_text();

// True for the loopback addresses the stand-in may listen on: 127.0.0.0/8, ::1, localhost.
bool is_loopback_host(const std::string& host);

}  // namespace zarvex::standin
