#include "settings/settings.h"

#include <filesystem>
#include <limits>
#include <system_error>

#include "platform/codepage.h"
#include "settings/ini_file.h"

namespace zarvex {
namespace {

constexpr std::string_view kSection = "musicset";

const std::string& song_name_placeholder() {
  static const std::string text = gbk_from_utf8("%歌曲名%");
  return text;
}

// GBK full-width forms: A3A1..A3FE stand for ASCII 0x21..0x7E, A1A1 for the blank.
std::string half_width(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size());
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    auto c = static_cast<unsigned char>(gbk[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < gbk.size()) {
      auto t = static_cast<unsigned char>(gbk[i + 1]);
      if (c == 0xA3 && t >= 0xA1 && t <= 0xFE) {
        out += static_cast<char>(t - 0xA1 + 0x21);
      } else if (c == 0xA1 && t == 0xA1) {
        out += ' ';
      } else {
        out += gbk.substr(i, 2);
      }
      ++i;
      continue;
    }
    out += static_cast<char>(c);
  }
  return out;
}

bool is_blank_text(std::string_view s) {
  return s.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

std::string settings_file_path(const std::string& program_folder) {
  return program_folder + "/data/musicsetting.ini";
}

std::int32_t setting_integer(std::string_view gbk_text) {
  const std::string s = half_width(gbk_text);
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n'))
    ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    value = value * 10 + (s[i] - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max())
    value = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

SettingsStore::SettingsStore(std::string program_folder)
    : program_folder_(std::move(program_folder)), file_path_(settings_file_path(program_folder_)) {}

std::string SettingsStore::default_download_folder() const {
  return gbk_from_utf8(program_folder_) + "/downsong";
}

std::string SettingsStore::read_setting(std::string_view key,
                                        std::string_view default_value) const {
  return read_ini_value(file_path_, kSection, key, default_value);
}

bool SettingsStore::write_setting(std::string_view key, std::string_view value) const {
  return write_ini_value(file_path_, kSection, key, value);
}

void SettingsStore::load_settings() {
  // One read of the file for all keys.
  const IniEntries section = read_ini_section(file_path_, kSection);
  const auto setting = [&](std::string_view key, std::string_view default_value) {
    return ini_entry_value(section, key, default_value);
  };
  Settings next;
  const std::string default_folder = default_download_folder();
  next.setdir = setting("setdir", default_folder);
  // An empty folder would put songs at the file-system root; it stands for the default.
  if (is_blank_text(next.setdir)) next.setdir = default_folder;

  // The default folder exists after every load, whatever setdir names.
  std::error_code ec;
  std::filesystem::create_directories(program_folder_ + "/downsong", ec);

  next.downnum = setting_integer(setting("downnum", "3"));
  next.downth = setting_integer(setting("downth", "3"));
  next.customname = setting("customname", "");
  next.downlrc = setting("downlrc", "1") == "1";
  next.nametype = setting_integer(setting("nametype", "2"));

  std::lock_guard lock(mutex_);
  record_ = std::move(next);
}

Settings SettingsStore::snapshot() const {
  std::lock_guard lock(mutex_);
  return record_;
}

ApplyOutcome SettingsStore::apply_settings(const SettingsInput& input, Ui& ui) {
  static const std::string question = gbk_from_utf8(
      "你没有设置%歌曲名%变量，这样做可能下载多首歌曲，都是同一个文件名，确定继续吗？");
  static const std::string fallback_pattern = gbk_from_utf8("%歌曲名%-%歌手%");

  ApplyOutcome outcome;
  outcome.custom_pattern = input.custom_pattern;
  if (input.checked_rule == 5 &&
      input.custom_pattern.find(song_name_placeholder()) == std::string::npos) {
    if (!ui.ask_yes_no(question)) {
      outcome.custom_pattern = fallback_pattern;
      return outcome;
    }
  }

  // An empty box stands for the default download folder, which every load creates; storing
  // it by name keeps songs out of the file-system root and shows the user where they go.
  outcome.folder = is_blank_text(input.folder) ? default_download_folder() : input.folder;

  bool ok = write_setting("setdir", outcome.folder);
  ok = write_setting("downnum", input.simultaneous_tasks) && ok;
  ok = write_setting("downth", input.connections) && ok;
  ok = write_setting("customname", input.custom_pattern) && ok;
  const int rule = (input.checked_rule >= 1 && input.checked_rule <= 5) ? input.checked_rule : 0;
  ok = write_setting("nametype", std::to_string(rule)) && ok;
  ok = write_setting("downlrc", input.lyrics ? "1" : "0") && ok;
  outcome.saved = ok;
  // The file may lie in a folder the user cannot write; say so rather than seem to have saved.
  if (!ok) ui.message(gbk_from_utf8("保存设置失败"), {}, MessageIcon::warning);
  load_settings();
  return outcome;
}

}  // namespace zarvex
