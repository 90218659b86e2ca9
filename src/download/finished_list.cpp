#include "download/finished_list.h"

#include <cmath>
#include <cstdio>

#include "download/file_naming.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "service/text_gbk.h"

namespace zarvex {
namespace {

// "?" matches one character (one or two bytes), "*" any run of characters.
bool wildcard_match(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern.front() == '*') {
    for (std::size_t pos = 0;; pos += gbk_char_size(name, pos)) {
      if (wildcard_match(pattern.substr(1), name.substr(pos))) return true;
      if (pos >= name.size()) return false;
    }
  }
  if (name.empty()) return false;
  const std::size_t n = gbk_char_size(name, 0);
  if (pattern.front() == '?') return wildcard_match(pattern.substr(1), name.substr(n));
  const std::size_t p = gbk_char_size(pattern, 0);
  if (p != n || pattern.substr(0, p) != name.substr(0, n)) return false;
  return wildcard_match(pattern.substr(p), name.substr(n));
}

std::string_view format_of(std::string_view name) {
  const std::string lower = ascii_lower(name);
  if (gbk_contains(lower, ".mp3")) return "mp3";
  if (gbk_contains(lower, ".ape")) return "ape";
  if (gbk_contains(lower, ".flac")) return "flac";
  return {};
}

std::string gbk(const char* utf8) {
  return gbk_from_utf8(utf8);
}

}  // namespace

std::vector<std::string> finished_list_titles() {
  return {gbk("编号"), gbk("歌曲名"), gbk("文件大小"), gbk("文件格式"), gbk("是否有歌词")};
}

std::size_t list_folder_files(std::string_view folder, std::string_view pattern,
                              std::vector<std::string>& out, bool full_path) {
  const std::string_view effective = pattern == "*.*" ? std::string_view("*") : pattern;
  for (std::string& name : list_files(folder)) {
    if (!wildcard_match(effective, name)) continue;
    out.push_back(full_path ? join_folder(folder, name) : std::move(name));
  }
  return out.size();
}

void refresh_finished_list(ListTable& table, std::string_view folder) {
  static const std::string has_lyrics = gbk("有歌词");
  static const std::string no_lyrics = gbk("无歌词");
  std::vector<std::string> names;
  list_folder_files(folder, "*.*", names, false);
  std::vector<ListRow> rows;
  for (const std::string& name : names) {
    const std::string_view format = format_of(name);
    if (format.empty()) continue;
    const std::string base = file_base_name(name, false);
    const bool lyrics = file_exists(join_folder(folder, base + ".lrc"));
    ListRow row;
    row.cells = {std::to_string(rows.size() + 1), base, size_text_mb(join_folder(folder, name)),
                 std::string(format), lyrics ? has_lyrics : no_lyrics};
    rows.push_back(std::move(row));
  }
  // One change for the whole rebuild, so a view never shows it half done.
  const std::size_t columns = table.column_count();
  table.edit([&](std::vector<ListRow>& current) {
    for (auto& r : rows)
      r.cells.resize(columns);
    current = std::move(rows);
  });
  table.set_selected(-1);
}

void renumber_rows(ListTable& table) {
  table.edit([](std::vector<ListRow>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (!rows[i].cells.empty()) rows[i].cells[0] = std::to_string(i + 1);
    }
  });
}

std::string file_base_name(std::string_view path, bool with_extension) {
  const std::size_t slash = path.rfind('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (!with_extension) {
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
  }
  return std::string(name);
}

std::int64_t file_size_kb(std::string_view path) {
  const std::int64_t size = file_size(path);
  if (size < 0) return -1;
  return size / 1024 + (size % 1024 != 0 ? 1 : 0);
}

std::string size_text_mb(std::string_view path) {
  const std::int64_t kb = file_size_kb(path);
  double mb = std::round(static_cast<double>(kb) / 1024.0 * 100.0) / 100.0;
  if (mb == 0) mb = 0;  // no "-0" for a file that vanished meanwhile
  char text[64];
  std::snprintf(text, sizeof text, "%.13g", mb);
  return std::string(text) + "M";
}

bool delete_finished_file(ListTable& table, std::size_t row, std::string_view setdir, Ui& ui) {
  const ListRow chosen = table.row(row);
  if (chosen.cells.size() <= finished_format) return false;
  const std::string name = chosen.cells[finished_name];
  const std::string format = chosen.cells[finished_format];
  const std::string question = gbk("确定从硬盘中删除歌曲 ") + name + gbk(" 吗？");
  if (!ui.ask_yes_no(question)) return false;
  if (!delete_file(join_folder(setdir, name + "." + format))) {
    ui.message(gbk("删除歌曲失败"));
    return false;
  }
  // The list may have been rebuilt while the question was open: remove the row that shows
  // this file, wherever it stands now.
  const std::ptrdiff_t at = table.read([&](const std::vector<ListRow>& rows) -> std::ptrdiff_t {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const auto& cells = rows[i].cells;
      if (cells.size() > finished_format && cells[finished_name] == name &&
          cells[finished_format] == format)
        return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
  });
  if (at >= 0) table.remove_row(static_cast<std::size_t>(at));
  renumber_rows(table);
  return true;
}

}  // namespace zarvex
