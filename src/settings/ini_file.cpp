#include "settings/ini_file.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <system_error>

namespace zarvex {
namespace {

// Writers of this process take turns, so two read-modify-write cycles never lose a key.
std::mutex& write_mutex() {
  static std::mutex m;
  return m;
}

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && is_blank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back()))
    s.remove_suffix(1);
  return s;
}

bool is_gbk_lead(unsigned char c) {
  return c >= 0x81 && c <= 0xFE;
}

char ascii_lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII letters compare without case; the two bytes of a GBK character compare exactly (its
// second byte may fall in the ASCII letter range).
bool names_equal(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (is_gbk_lead(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  }
  return true;
}

struct Line {
  std::string_view body;  // without the line end
  std::string_view end;   // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> split_lines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;  // a byte-order mark some editors add
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) {
      lines.push_back({text.substr(pos), {}});
      break;
    }
    std::size_t body_end = (nl > pos && text[nl - 1] == '\r') ? nl - 1 : nl;
    lines.push_back({text.substr(pos, body_end - pos), text.substr(body_end, nl + 1 - body_end)});
    pos = nl + 1;
  }
  return lines;
}

// The section name of a "[name]" line; false for any other line.
bool section_of(std::string_view body, std::string_view& name) {
  std::string_view t = trim_blanks(body);
  if (t.empty() || t.front() != '[') return false;
  t.remove_prefix(1);
  std::size_t close = t.find(']');
  name = trim_blanks(close == std::string_view::npos ? t : t.substr(0, close));
  return true;
}

// The key and raw value of a "key=value" line; false for comments and other lines.
bool entry_of(std::string_view body, std::string_view& key, std::string_view& value) {
  std::string_view t = trim_blanks(body);
  if (t.empty() || t.front() == ';' || t.front() == '[') return false;
  std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return false;
  key = trim_blanks(t.substr(0, eq));
  value = trim_blanks(t.substr(eq + 1));
  return !key.empty();
}

std::string unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

bool read_file(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  out = buffer.str();
  return true;
}

bool replace_file(const std::string& path, const std::string& contents) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target(path);
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  static std::atomic<unsigned> counter{0};
  std::string temp = path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.flush();
    if (!out) {
      out.close();
      fs::remove(temp, ec);
      return false;
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

bool has_line_break(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string read_ini_value(const std::string& path, std::string_view section, std::string_view key,
                           std::string_view default_value) {
  return ini_entry_value(read_ini_section(path, section), key, default_value);
}

std::string ini_entry_value(const IniEntries& entries, std::string_view key,
                            std::string_view default_value) {
  for (const auto& [name, value] : entries)
    if (names_equal(name, key)) return value;
  return std::string(default_value);
}

IniEntries read_ini_section(const std::string& path, std::string_view section) {
  IniEntries entries;
  std::string text;
  if (!read_file(path, text)) return entries;
  bool seen_section = false;
  bool in_section = false;
  for (const Line& line : split_lines(text)) {
    std::string_view name;
    if (section_of(line.body, name)) {
      if (seen_section) break;  // only the first section of that name counts
      in_section = names_equal(name, section);
      seen_section = in_section;
      continue;
    }
    std::string_view k, v;
    if (!in_section || !entry_of(line.body, k, v)) continue;
    bool duplicate = false;
    for (const auto& e : entries)
      duplicate = duplicate || names_equal(e.first, k);
    if (!duplicate) entries.emplace_back(std::string(k), unquote(v));
  }
  return entries;
}

bool write_ini_value(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view value) {
  std::string_view trimmed_key = trim_blanks(key);
  std::string_view trimmed_section = trim_blanks(section);
  if (trimmed_key.empty() || trimmed_section.empty() || has_line_break(key) ||
      has_line_break(section) || has_line_break(value) || key.find('=') != std::string_view::npos ||
      trimmed_key.front() == '[' || trimmed_key.front() == ';' ||
      section.find(']') != std::string_view::npos)
    return false;

  std::lock_guard lock(write_mutex());
  std::string text;
  read_file(path, text);
  std::vector<Line> lines = split_lines(text);
  std::string eol = "\r\n";  // a new file gets the profile file's usual line end
  for (const Line& l : lines) {
    if (!l.end.empty()) {
      eol = std::string(l.end);
      break;
    }
  }
  const std::string entry_line = std::string(trimmed_key) + "=" + std::string(value);

  // Where the section starts, where its last entry is, and the key's own line.
  std::ptrdiff_t header = -1, last_content = -1, key_line = -1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view name;
    if (section_of(lines[i].body, name)) {
      if (header >= 0) break;
      if (names_equal(name, trimmed_section))
        header = last_content = static_cast<std::ptrdiff_t>(i);
      continue;
    }
    if (header < 0) continue;
    if (!trim_blanks(lines[i].body).empty()) last_content = static_cast<std::ptrdiff_t>(i);
    std::string_view k, v;
    if (key_line < 0 && entry_of(lines[i].body, k, v) && names_equal(k, trimmed_key))
      key_line = static_cast<std::ptrdiff_t>(i);
  }

  std::string out;
  out.reserve(text.size() + entry_line.size() + trimmed_section.size() + 8);
  auto append_line = [&](const Line& l, bool need_end) {
    out.append(l.body);
    out.append(l.end.empty() && need_end ? std::string_view(eol) : l.end);
  };
  if (header < 0) {
    for (const Line& l : lines)
      append_line(l, true);
    out += "[" + std::string(trimmed_section) + "]" + eol + entry_line + eol;
  } else {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      auto index = static_cast<std::ptrdiff_t>(i);
      if (index == key_line) {
        out += entry_line;
        out.append(lines[i].end.empty() ? std::string_view(eol) : lines[i].end);
        continue;
      }
      append_line(lines[i], key_line < 0 && index == last_content);
      if (key_line < 0 && index == last_content) out += entry_line + eol;
    }
  }
  return replace_file(path, out);
}

}  // namespace zarvex
