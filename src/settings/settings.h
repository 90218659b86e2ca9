#pragma once
// The user's settings: the record, its INI file (data/musicsetting.ini under the program
// folder, section "musicset", GBK contents), loading with defaults, and applying what the
// settings window or a caller hands in.

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/ui_port.h"

namespace zarvex {

struct Settings {
  std::string setdir;         // download folder (GBK); never empty after a load
  std::int32_t downth = 0;    // connections per download task
  std::int32_t nametype = 0;  // naming rule 1..5; other values name files by extension alone
  std::string customname;     // pattern of rule 5 (GBK)
  bool downlrc = false;       // save lyrics beside songs
  std::int32_t downnum = 0;   // tasks that may download at the same time
};

// The settings file of a program folder (UTF-8 path).
std::string settings_file_path(const std::string& program_folder);

// A setting's integer: full-width characters first become half-width, then leading blanks, an
// optional sign and the leading digits are taken (0 without digits). Values beyond the 32-bit
// range stop at its ends.
std::int32_t setting_integer(std::string_view gbk_text);

// What the settings window (or a caller) applies: the four texts as typed (GBK), the number of
// the checked naming rule (0 when none is checked) and the lyrics box.
struct SettingsInput {
  std::string folder;
  std::string simultaneous_tasks;
  std::string connections;
  std::string custom_pattern;
  int checked_rule = 0;
  bool lyrics = false;
};

struct ApplyOutcome {
  bool saved = false;
  // The text the custom pattern box should show afterwards (replaced when the user declined
  // to keep a pattern without the song name).
  std::string custom_pattern;
  // The folder actually stored (an empty box stands for the default download folder).
  std::string folder;
};

class SettingsStore {
 public:
  // `program_folder` is a UTF-8 path without trailing "/".
  explicit SettingsStore(std::string program_folder);

  // Reads the file into the record (defaults for what is missing) and makes sure the default
  // download folder exists.
  void load_settings();
  std::string read_setting(std::string_view key, std::string_view default_value) const;
  bool write_setting(std::string_view key, std::string_view value) const;
  ApplyOutcome apply_settings(const SettingsInput& input, Ui& ui);

  // A consistent copy of the record; safe from any thread while another loads.
  Settings snapshot() const;

  const std::string& program_folder() const { return program_folder_; }
  const std::string& file_path() const { return file_path_; }
  // program folder + "/downsong", GBK: the default download folder.
  std::string default_download_folder() const;

 private:
  const std::string program_folder_;
  const std::string file_path_;
  mutable std::mutex mutex_;
  Settings record_;
};

}  // namespace zarvex
