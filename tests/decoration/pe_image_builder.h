#pragma once
// Builds small 32-bit library images (PE32) byte by byte for the loader's tests and fuzz
// target: DOS and PE headers, a section table, section contents, and export, import and
// relocation tables placed at chosen addresses inside the sections.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zarvex::test {

class PeImageBuilder {
 public:
  static constexpr std::uint32_t headers_end = 0x400;  // where the first section's bytes start

  std::uint32_t image_base = 0x10000000;
  std::uint16_t characteristics = 0x2102;  // executable image, 32-bit machine, DLL
  std::uint32_t entry_rva = 0;
  std::uint32_t section_alignment = 0x1000;
  std::uint32_t size_of_image = 0;  // 0: the aligned end of the last section
  std::uint32_t e_lfanew = 0x40;
  std::array<std::pair<std::uint32_t, std::uint32_t>, 16> directories{};  // rva, size

  struct Section {
    std::uint32_t rva = 0;
    std::uint32_t virtual_size = 0;
    std::vector<std::uint8_t> data;  // the raw bytes, laid out one section after another
  };
  std::vector<Section> sections;

  // A section of `size` zero bytes at `rva`.
  void add_section(std::uint32_t rva, std::uint32_t size) {
    sections.push_back({rva, size, std::vector<std::uint8_t>(size, 0)});
  }

  void put8(std::uint32_t rva, std::uint8_t value) { *at(rva) = value; }
  void put16(std::uint32_t rva, std::uint16_t value) {
    for (int i = 0; i < 2; ++i)
      put8(rva + i, static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void put32(std::uint32_t rva, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
      put8(rva + i, static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void put_text(std::uint32_t rva, std::string_view text) {  // with its terminating zero
    for (std::size_t i = 0; i < text.size(); ++i)
      put8(rva + i, text[i]);
    put8(rva + text.size(), 0);
  }

  struct ExportName {
    std::string name;
    std::uint16_t index;         // into the function table
    std::uint32_t text_rva = 0;  // where the name lies; 0: packed after the tables
  };
  // The export directory at `rva`, followed by its function, name and ordinal tables.
  void add_exports(std::uint32_t rva, std::uint32_t ordinal_base,
                   const std::vector<std::uint32_t>& function_rvas,
                   const std::vector<ExportName>& names) {
    const std::uint32_t functions = rva + 40;
    const std::uint32_t name_table = functions + 4 * function_rvas.size();
    const std::uint32_t ordinals = name_table + 4 * names.size();
    std::uint32_t text = ordinals + 2 * names.size();
    put32(rva + 16, ordinal_base);
    put32(rva + 20, function_rvas.size());
    put32(rva + 24, names.size());
    put32(rva + 28, functions);
    put32(rva + 32, name_table);
    put32(rva + 36, ordinals);
    for (std::size_t i = 0; i < function_rvas.size(); ++i)
      put32(functions + 4 * i, function_rvas[i]);
    for (std::size_t i = 0; i < names.size(); ++i) {
      std::uint32_t where = names[i].text_rva;
      if (where == 0) {
        where = text;
        text += names[i].name.size() + 1;
      }
      put_text(where, names[i].name);
      put32(name_table + 4 * i, where);
      put16(ordinals + 2 * i, names[i].index);
    }
    directories[0] = {rva, text - rva};
  }

  struct ImportedFunction {
    std::string name;  // empty: by ordinal
    std::uint16_t ordinal = 0;
  };
  struct ImportedLibrary {
    std::string library;
    std::vector<ImportedFunction> functions;
  };
  // Import descriptors at `rva`, then names and thunk tables. Returns the address of every
  // function's thunk entry, library by library.
  std::vector<std::vector<std::uint32_t>> add_imports(std::uint32_t rva,
                                                      const std::vector<ImportedLibrary>& libs) {
    std::vector<std::vector<std::uint32_t>> thunks(libs.size());
    std::uint32_t next = rva + 20 * (libs.size() + 1);
    for (std::size_t l = 0; l < libs.size(); ++l) {
      const std::uint32_t descriptor = rva + 20 * l;
      put_text(next, libs[l].library);
      put32(descriptor + 12, next);
      next += libs[l].library.size() + 1;
      next = (next + 3) & ~3u;
      const std::uint32_t table = next;
      next += 4 * (libs[l].functions.size() + 1);
      put32(descriptor + 16, table);
      for (std::size_t f = 0; f < libs[l].functions.size(); ++f) {
        const ImportedFunction& function = libs[l].functions[f];
        thunks[l].push_back(table + 4 * f);
        if (function.name.empty()) {
          put32(table + 4 * f, 0x80000000u | function.ordinal);
        } else {
          put16(next, 0);  // hint
          put_text(next + 2, function.name);
          put32(table + 4 * f, next);
          next += 2 + function.name.size() + 1;
          next = (next + 1) & ~1u;
        }
      }
    }
    directories[1] = {rva, 20 * static_cast<std::uint32_t>(libs.size() + 1)};
    return thunks;
  }

  struct RelocationBlock {
    std::uint32_t page;
    std::vector<std::uint16_t> entries;  // type in the top four bits, offset in the low twelve
  };
  // Relocation blocks at `rva`; the directory size covers the blocks, not the zero after them.
  void add_relocations(std::uint32_t rva, const std::vector<RelocationBlock>& blocks) {
    std::uint32_t at = rva;
    for (const RelocationBlock& block : blocks) {
      const std::uint32_t size = 8 + 2 * block.entries.size();
      put32(at, block.page);
      put32(at + 4, size);
      for (std::size_t i = 0; i < block.entries.size(); ++i)
        put16(at + 8 + 2 * i, block.entries[i]);
      at += size;
    }
    directories[5] = {rva, at - rva};
  }

  std::uint32_t raw_pointer(std::size_t section) const {
    std::uint32_t pointer = headers_end;
    for (std::size_t i = 0; i < section; ++i)
      pointer += sections[i].data.size();
    return pointer;
  }
  // File offset of the section header `section`.
  std::uint32_t section_header(std::size_t section) const { return e_lfanew + 248 + 40 * section; }

  std::vector<std::uint8_t> build() const {
    std::vector<std::uint8_t> file(raw_pointer(sections.size()), 0);
    const auto w16 = [&](std::size_t at, std::uint16_t v) {
      for (int i = 0; i < 2; ++i)
        file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    const auto w32 = [&](std::size_t at, std::uint32_t v) {
      for (int i = 0; i < 4; ++i)
        file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    file[0] = 'M';
    file[1] = 'Z';
    w32(0x3C, e_lfanew);
    const std::size_t nt = e_lfanew;
    file[nt] = 'P';
    file[nt + 1] = 'E';
    w16(nt + 4, 0x014C);  // i386
    w16(nt + 6, static_cast<std::uint16_t>(sections.size()));
    w16(nt + 20, 224);
    w16(nt + 22, characteristics);
    const std::size_t optional = nt + 24;
    w16(optional, 0x010B);
    w32(optional + 16, entry_rva);
    w32(optional + 28, image_base);
    w32(optional + 32, section_alignment);
    w32(optional + 36, 0x200);
    std::uint32_t size = size_of_image;
    if (size == 0) {
      const std::uint32_t alignment = section_alignment == 0 ? 0x1000 : section_alignment;
      std::uint32_t end = alignment;
      for (const Section& s : sections)
        end = std::max(end, s.rva + s.virtual_size);
      size = (end + alignment - 1) / alignment * alignment;
    }
    w32(optional + 56, size);
    w32(optional + 60, headers_end);
    w32(optional + 92, 16);
    for (std::size_t i = 0; i < directories.size(); ++i) {
      w32(optional + 96 + 8 * i, directories[i].first);
      w32(optional + 100 + 8 * i, directories[i].second);
    }
    for (std::size_t i = 0; i < sections.size(); ++i) {
      const std::size_t header = section_header(i);
      file[header] = '.';
      w32(header + 8, sections[i].virtual_size);
      w32(header + 12, sections[i].rva);
      w32(header + 16, sections[i].data.size());
      w32(header + 20, raw_pointer(i));
      std::copy(sections[i].data.begin(), sections[i].data.end(), file.begin() + raw_pointer(i));
    }
    return file;
  }

 private:
  std::uint8_t* at(std::uint32_t rva) {
    for (Section& s : sections) {
      if (rva >= s.rva && rva - s.rva < s.data.size()) return &s.data[rva - s.rva];
    }
    std::abort();  // a write outside every section is a fault of the test itself
  }
};

}  // namespace zarvex::test
