#include "config_writer.h"

#include <fstream>
#include <sstream>

#include "ascii_text.h"
#include "file_write.h"
#include "platform/codepage.h"

namespace zarvex::standin {

namespace {

// The section name of a header line such as " [service] ", or nothing for other lines.
bool section_header(std::string_view line, std::string& name) {
  const auto first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos || line[first] != '[') return false;
  const auto close = line.find(']', first);
  if (close == std::string_view::npos) return false;
  name = std::string(line.substr(first + 1, close - first - 1));
  return true;
}

}  // namespace

std::string replace_ini_section(std::string_view existing, std::string_view section,
                                const IniEntries& entries) {
  const bool lf_only = !existing.empty() && existing.find("\r\n") == std::string_view::npos &&
                       existing.find('\n') != std::string_view::npos;
  const std::string eol = lf_only ? "\n" : "\r\n";
  std::string block = "[" + std::string(section) + "]" + eol;
  for (const auto& [key, value] : entries)
    block += key + "=" + value + eol;

  const std::string wanted = ascii_lower(section);
  std::string out;
  bool inside = false;
  bool written = false;
  std::size_t pos = 0;
  while (pos < existing.size()) {
    std::size_t end = existing.find('\n', pos);
    end = end == std::string_view::npos ? existing.size() : end + 1;
    const std::string_view line = existing.substr(pos, end - pos);
    pos = end;
    std::string name;
    if (section_header(line, name)) {
      inside = ascii_lower(name) == wanted;
      if (inside && !written) {
        out += block;
        written = true;
      }
    }
    if (inside) continue;
    out += line;
    if (end == existing.size() && !line.empty() && line.back() != '\n') out += eol;
  }
  if (!written) out += block;
  return out;
}

bool write_service_config(const std::filesystem::path& program_folder, const IniEntries& entries,
                          std::string& error) {
  const std::filesystem::path data = program_folder / "data";
  const std::filesystem::path file = data / "musicsetting.ini";
  std::error_code ec;
  std::filesystem::create_directories(data, ec);
  if (ec) {
    error = "cannot create " + data.string() + ": " + ec.message();
    return false;
  }
  std::string existing;
  if (std::filesystem::exists(file, ec)) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      error = "cannot read " + file.string();
      return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    existing = buffer.str();
  }
  IniEntries gbk;
  for (const auto& [key, value] : entries)
    gbk.emplace_back(key, gbk_from_utf8(value));
  const std::string text = replace_ini_section(existing, "service", gbk);

  // Replaced in one step, so the program never reads half a settings file.
  return write_file(file, text, false, error);
}

}  // namespace zarvex::standin
