#include "service/endpoints.h"

#include "platform/codepage.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace zarvex {
namespace {

// A base address loses its trailing "/" so that request paths can be appended to it.
void read_base(const std::string& file, const char* key, std::string& value) {
  std::string text = read_ini_value(file, "service", key);
  while (!text.empty() && text.back() == '/')
    text.pop_back();
  if (!text.empty()) value = std::move(text);
}

void read_plain(const std::string& file, const char* key, std::string& value) {
  std::string text = read_ini_value(file, "service", key);
  if (!text.empty()) value = std::move(text);
}

}  // namespace

Endpoints load_endpoints(const std::string& program_folder) {
  Endpoints endpoints;
  const std::string file = settings_file_path(program_folder);
  read_base(file, "api_https", endpoints.api_https);
  read_base(file, "api_http", endpoints.api_http);
  read_base(file, "media", endpoints.media);
  read_base(file, "site", endpoints.site);
  read_base(file, "login", endpoints.login);
  read_base(file, "avatar", endpoints.avatar);
  read_plain(file, "cookie_hosts", endpoints.cookie_hosts);
  read_plain(file, "announce", endpoints.announce);
  read_plain(file, "maker_site", endpoints.maker_site);

  std::string ca_file = utf8_from_gbk(read_ini_value(file, "service", "ca_file"));
  if (!ca_file.empty() && ca_file.front() != '/') ca_file = program_folder + "/" + ca_file;
  endpoints.http.ca_file = std::move(ca_file);
  return endpoints;
}

}  // namespace zarvex
