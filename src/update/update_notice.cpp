#include "update/update_notice.h"

#include <utility>

#include "service/text_codecs.h"

namespace zarvex {
UpdateNotice read_update_notice(std::string_view page_utf8) {
  static const std::string version_open = utf8_to_gbk("[软件版本]");
  static const std::string version_close = utf8_to_gbk("[/软件版本]");
  static const std::string url_open = utf8_to_gbk("[软件下载地址1]");
  static const std::string url_close = utf8_to_gbk("[/软件下载地址1]");
  const std::string page = utf8_to_gbk(page_utf8);
  UpdateNotice notice;
  notice.version = text_between(page, version_open, version_close);
  notice.download_url = text_between(page, url_open, url_close);
  return notice;
}

std::string version_status_text(const UpdateNotice& notice) {
  static const std::string behind = utf8_to_gbk("版本：1.9.1 最新：点击更新");
  static const std::string current = utf8_to_gbk("版本：1.9.1 最新：1.9");
  if (notice.version.empty()) return {};
  return notice.version == program_version ? current : behind;
}

void UpdateNoticeSlot::publish(UpdateNotice notice) {
  std::lock_guard lock(mutex_);
  notice_ = std::move(notice);
}

UpdateNotice UpdateNoticeSlot::current() const {
  std::lock_guard lock(mutex_);
  return notice_;
}

void check_for_update(const std::string& address, const PageFetch& fetch, UpdateNoticeSlot& slot,
                      Ui& ui) {
  if (address.empty() || !fetch) return;
  UpdateNotice notice = read_update_notice(fetch(address));
  const std::string status = version_status_text(notice);
  slot.publish(std::move(notice));
  if (!status.empty()) ui.set_status_text(status_version, status);
}

bool is_web_address(std::string_view address) {
  auto starts_with_scheme = [&](std::string_view scheme) {
    if (address.size() < scheme.size()) return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
      char c = address[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != scheme[i]) return false;
    }
    return true;
  };
  std::size_t rest;
  if (starts_with_scheme("https://")) {
    rest = 8;
  } else if (starts_with_scheme("http://")) {
    rest = 7;
  } else {
    return false;
  }
  if (rest >= address.size() || address[rest] == '/') return false;
  for (unsigned char c : address) {
    if (c <= 0x20 || c == 0x7F) return false;
  }
  return true;
}

}  // namespace zarvex
