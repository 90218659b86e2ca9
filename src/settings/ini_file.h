#pragma once
// A small INI (profile) file reader and writer. Contents are GBK bytes, like a Windows
// profile file: "[section]" lines, "key=value" lines, ";" comment lines. Section and key
// names compare without regard to ASCII case; a GBK character's bytes are never folded.
// CRLF and LF line ends, blank lines and blanks around "=" are all accepted.
//
// `path` is the file-system path (UTF-8). Each call reads the file afresh; writes replace the
// file in one step (a temporary file renamed over it), so a reader never sees half a file.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zarvex {

using IniEntries = std::vector<std::pair<std::string, std::string>>;

// The value of `key` in `section`, blanks at both ends removed and one pair of matching
// quotes around it dropped; `default_value` when the file, the section or the key is missing.
// The first occurrence of a section and of a key counts.
std::string read_ini_value(const std::string& path, std::string_view section, std::string_view key,
                           std::string_view default_value = {});

// Sets `key` in `section` to `value`, creating the file, its folder and the section as needed.
// The key's line is replaced in place ("key=value"); every other line stays byte for byte.
// False when the file cannot be written, or when a name or the value would break the line
// structure (a line break in any of them, "=" or a leading "[" or ";" in the key, "]" in the
// section name, an empty key or section).
bool write_ini_value(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view value);

// All keys of `section` with their values, in file order (empty when there is none). A key that
// comes again counts once, with its first value.
IniEntries read_ini_section(const std::string& path, std::string_view section);

// The value of `key` among `entries` (names compared as in the file), or `default_value`: what
// read_ini_value gives, for a caller that reads several keys of one section at once.
std::string ini_entry_value(const IniEntries& entries, std::string_view key,
                            std::string_view default_value = {});

}  // namespace zarvex
