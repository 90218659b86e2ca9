#include "standin_options.h"

#include <arpa/inet.h>

#include <charconv>
#include <cstdint>
#include <type_traits>

namespace zarvex::standin {

namespace {

bool parse_number(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& out) {
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    return false;
  }
  out = value;
  return true;
}

}  // namespace

const char* usage_text() {
  return "usage: zarvex-standin [options]\n"
         "  --host ADDR               loopback address to listen on (default 127.0.0.1)\n"
         "  --http-port N             plain HTTP port (default 0: any free port)\n"
         "  --https-port N            HTTPS port (default 0: any free port)\n"
         "  --cert-dir DIR            keep the certificates in DIR (default: a temporary folder)\n"
         "  --max-seconds N           end after N seconds (default 3600, 0: never)\n"
         "  --announce-version V      version published on the announcement page (default "
         "1.9.1)\n"
         "  --write-config DIR        point DIR/data/musicsetting.ini at this stand-in\n"
         "  --rate-limit BYTES        media bytes per second per connection\n"
         "  --ignore-range            answer ranged media requests with the whole file\n"
         "  --close-early             end ranged media answers after about half their bytes\n"
         "  --probe-403               answer every media HEAD request with 403\n"
         "  --omit-content-length     send media answers without Content-Length\n"
         "  --empty-vkey              hand out empty download keys\n"
         "  --verbose                 log every request on stderr\n"
         "When ready it prints one line on stdout:\n"
         "  zarvex-standin ready http=PORT https=PORT ca=PATH\n";
}

bool is_loopback_host(const std::string& host) {
  if (host == "localhost" || host == "::1") return true;
  in_addr addr{};
  if (inet_pton(AF_INET, host.c_str(), &addr) != 1) return false;
  return (ntohl(addr.s_addr) >> 24) == 127;
}

bool parse_options(const std::vector<std::string>& args, StandinOptions& options,
                   std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    bool has_value = false;
    if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.erase(eq);
      has_value = true;
    }
    auto take_value = [&]() -> bool {
      if (has_value) return true;
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
      }
      value = args[++i];
      return true;
    };
    auto take_number = [&](std::int64_t low, std::int64_t high, auto& out) -> bool {
      if (!take_value()) return false;
      std::int64_t n = 0;
      if (!parse_number(value, low, high, n)) {
        error = name + ": not a number from " + std::to_string(low) + " to " +
                std::to_string(high) + ": " + value;
        return false;
      }
      out = static_cast<std::remove_reference_t<decltype(out)>>(n);
      return true;
    };
    auto flag = [&](bool& out) -> bool {
      if (has_value) {
        error = name + " takes no value";
        return false;
      }
      out = true;
      return true;
    };

    bool ok = true;
    if (name == "--help" || name == "-h") {
      error.clear();
      return false;
    } else if (name == "--host") {
      ok = take_value();
      options.host = value;
      if (ok && !is_loopback_host(options.host)) {
        error = "--host must be a loopback address (127.x.x.x, ::1 or localhost): " + value;
        return false;
      }
    } else if (name == "--http-port") {
      ok = take_number(0, 65535, options.http_port);
    } else if (name == "--https-port") {
      ok = take_number(0, 65535, options.https_port);
    } else if (name == "--cert-dir") {
      ok = take_value();
      options.cert_dir = value;
    } else if (name == "--max-seconds") {
      ok = take_number(0, 365LL * 24 * 3600, options.max_seconds);
    } else if (name == "--announce-version") {
      ok = take_value();
      options.announce_version = value;
    } else if (name == "--write-config") {
      ok = take_value();
      options.write_config = value;
      if (ok && value.empty()) {
        error = "--write-config needs a folder";
        return false;
      }
    } else if (name == "--rate-limit") {
      ok = take_number(0, INT64_MAX, options.media.rate_limit);
    } else if (name == "--ignore-range") {
      ok = flag(options.media.ignore_range);
    } else if (name == "--close-early") {
      ok = flag(options.media.close_early);
    } else if (name == "--probe-403") {
      ok = flag(options.media.probe_403);
    } else if (name == "--omit-content-length") {
      ok = flag(options.media.omit_content_length);
    } else if (name == "--empty-vkey") {
      ok = flag(options.service.empty_vkey);
    } else if (name == "--verbose") {
      ok = flag(options.verbose);
    } else {
      error = "unknown option: " + args[i];
      return false;
    }
    if (!ok) return false;
  }
  if (options.http_port != 0 && options.http_port == options.https_port) {
    error = "--http-port and --https-port must differ";
    return false;
  }
  return true;
}

}  // namespace zarvex::standin
