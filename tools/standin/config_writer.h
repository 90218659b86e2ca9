#pragma once
// Points a program folder's settings file at a running stand-in: writes the section
// [service] of <folder>/data/musicsetting.ini and keeps every other section's lines as they
// are. The file's contents are GBK; the line ends follow the existing file (CR LF when new).

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zarvex::standin {

using IniEntries = std::vector<std::pair<std::string, std::string>>;

// The text of an INI file whose section `section` (name compared without case) holds exactly
// entries: the first such section is replaced in place, later ones are dropped, and the
// section is appended when the text has none. Every other line is kept byte for byte.
std::string replace_ini_section(std::string_view existing, std::string_view section,
                                const IniEntries& entries);

// Writes <program_folder>/data/musicsetting.ini (folders created as needed) with
// [service] = entries, the values given in UTF-8. False with error set on failure.
bool write_service_config(const std::filesystem::path& program_folder, const IniEntries& entries,
                          std::string& error);

}  // namespace zarvex::standin
