#include "service/endpoints.h"

#include "platform/codepage.h"
#include "service/text_codecs.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace zarvex {
namespace {

// A key of the settings file's "service" section and the address it sets. A base address loses
// its trailing "/" so that request paths can be appended to it.
struct EndpointKey {
  const char* key;
  std::string Endpoints::*member;
  bool base;
};

constexpr EndpointKey endpoint_keys[] = {
    {"api_https", &Endpoints::api_https, true},
    {"api_http", &Endpoints::api_http, true},
    {"media", &Endpoints::media, true},
    {"site", &Endpoints::site, true},
    {"login", &Endpoints::login, true},
    {"avatar", &Endpoints::avatar, true},
    {"cookie_hosts", &Endpoints::cookie_hosts, false},
    {"announce", &Endpoints::announce, false},
    {"maker_site", &Endpoints::maker_site, false},
};

}  // namespace

Endpoints load_endpoints(const std::string& program_folder) {
  Endpoints endpoints;
  const IniEntries service = read_ini_section(settings_file_path(program_folder), "service");
  for (const EndpointKey& entry : endpoint_keys) {
    const std::string text = ini_entry_value(service, entry.key);
    const std::string_view value = entry.base ? without_trailing_slashes(text) : text;
    if (!value.empty()) endpoints.*entry.member = std::string(value);
  }

  std::string ca_file = utf8_from_gbk(ini_entry_value(service, "ca_file"));
  if (!ca_file.empty() && ca_file.front() != '/') ca_file = program_folder + "/" + ca_file;
  endpoints.http.ca_file = std::move(ca_file);
  return endpoints;
}

}  // namespace zarvex
