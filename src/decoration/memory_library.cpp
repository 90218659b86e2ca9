#include "decoration/memory_library.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zarvex {
namespace {

constexpr std::uint64_t dos_header_size = 64;
constexpr std::uint64_t nt_headers_size = 248;  // signature, file header, PE32 optional header
constexpr std::uint64_t section_header_size = 40;
constexpr std::uint64_t import_descriptor_size = 20;
constexpr std::uint16_t flag_executable_image = 0x0002;
constexpr std::uint16_t flag_dll = 0x2000;
constexpr std::size_t directory_exports = 0;
constexpr std::size_t directory_imports = 1;
constexpr std::size_t directory_relocations = 5;
constexpr std::uint16_t relocation_highlow = 3;
constexpr std::uintptr_t dll_process_attach = 1;
constexpr std::uintptr_t dll_process_detach = 0;

// Little-endian access to a byte range; false when the value does not lie wholly inside it.
bool read16(std::span<const std::uint8_t> bytes, std::uint64_t offset, std::uint16_t& out) {
  if (offset > bytes.size() || bytes.size() - offset < 2) return false;
  out = static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
  return true;
}

bool read32(std::span<const std::uint8_t> bytes, std::uint64_t offset, std::uint32_t& out) {
  if (offset > bytes.size() || bytes.size() - offset < 4) return false;
  out = static_cast<std::uint32_t>(bytes[offset]) |
        (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
        (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
        (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
  return true;
}

bool write32(std::span<std::uint8_t> bytes, std::uint64_t offset, std::uint32_t value) {
  if (offset > bytes.size() || bytes.size() - offset < 4) return false;
  for (int i = 0; i < 4; ++i)
    bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  return true;
}

// A zero-terminated text at `offset`; false when its terminator is not inside the range.
bool read_text(std::span<const std::uint8_t> bytes, std::uint64_t offset, std::string_view& out) {
  if (offset >= bytes.size()) return false;
  const auto* start = bytes.data() + offset;
  const auto* end = static_cast<const std::uint8_t*>(std::memchr(start, 0, bytes.size() - offset));
  if (end == nullptr) return false;
  out = std::string_view(reinterpret_cast<const char*>(start), end - start);
  return true;
}

struct DataDirectory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

struct Headers {
  std::uint16_t section_count = 0;
  std::uint16_t characteristics = 0;
  std::uint32_t entry_rva = 0;
  std::uint32_t image_base = 0;
  std::uint32_t section_alignment = 0;
  std::uint32_t size_of_image = 0;
  std::array<DataDirectory, 16> directories{};
  std::uint64_t section_table = 0;  // offset of the section table in the file
  std::uint64_t headers_size = 0;   // up to the end of the section table
};

struct Section {
  std::uint32_t virtual_size = 0;
  std::uint32_t virtual_address = 0;
  std::uint32_t raw_size = 0;
  std::uint32_t raw_pointer = 0;
};

std::optional<Headers> read_headers(std::span<const std::uint8_t> image) {
  if (image.size() < dos_header_size) return std::nullopt;
  if (image[0] != 'M' || image[1] != 'Z') return std::nullopt;
  std::uint32_t e_lfanew = 0;
  read32(image, 0x3C, e_lfanew);
  // Unsigned and 64-bit: a negative or huge e_lfanew cannot wrap around the check.
  const std::uint64_t nt = e_lfanew;
  if (nt + nt_headers_size > image.size()) return std::nullopt;
  if (std::memcmp(image.data() + nt, "PE\0\0", 4) != 0) return std::nullopt;

  Headers headers;
  read16(image, nt + 6, headers.section_count);
  read16(image, nt + 22, headers.characteristics);
  if ((headers.characteristics & flag_executable_image) == 0) return std::nullopt;
  headers.section_table = nt + nt_headers_size;
  headers.headers_size = headers.section_table + section_header_size * headers.section_count;
  if (headers.headers_size > image.size()) return std::nullopt;

  const std::uint64_t optional = nt + 24;
  read32(image, optional + 16, headers.entry_rva);
  read32(image, optional + 28, headers.image_base);
  read32(image, optional + 32, headers.section_alignment);
  read32(image, optional + 56, headers.size_of_image);
  for (std::size_t i = 0; i < headers.directories.size(); ++i) {
    read32(image, optional + 96 + 8 * i, headers.directories[i].rva);
    read32(image, optional + 100 + 8 * i, headers.directories[i].size);
  }
  return headers;
}

std::vector<Section> read_sections(std::span<const std::uint8_t> image, const Headers& headers) {
  std::vector<Section> sections(headers.section_count);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const std::uint64_t at = headers.section_table + section_header_size * i;
    read32(image, at + 8, sections[i].virtual_size);
    read32(image, at + 12, sections[i].virtual_address);
    read32(image, at + 16, sections[i].raw_size);
    read32(image, at + 20, sections[i].raw_pointer);
  }
  return sections;
}

// SizeOfImage, widened to cover every section's aligned end; nullopt when the alignment is 0.
std::optional<std::uint64_t> image_size(const Headers& headers,
                                        const std::vector<Section>& sections) {
  if (headers.section_alignment == 0) return std::nullopt;
  std::uint64_t size = headers.size_of_image;
  const std::uint64_t alignment = headers.section_alignment;
  for (const Section& section : sections) {
    const std::uint64_t extent = std::max(section.raw_size, section.virtual_size);
    const std::uint64_t end = section.virtual_address + extent;
    size = std::max(size, (end + alignment - 1) / alignment * alignment);
  }
  return size;
}

std::uint64_t page_size() {
  static const auto page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  return page;
}

// Anonymous read-write memory, zero-filled, released with the object unless handed on.
class ImageMemory {
 public:
  ImageMemory(std::uint32_t preferred, std::size_t size) : size_(size) {
    constexpr int prot = PROT_READ | PROT_WRITE;  // never executable
    constexpr int flags = MAP_PRIVATE | MAP_ANONYMOUS;
    if (preferred != 0 && preferred % page_size() == 0) {
      void* at = reinterpret_cast<void*>(static_cast<std::uintptr_t>(preferred));
      void* p = mmap(at, size, prot, flags | MAP_FIXED_NOREPLACE, -1, 0);
      if (p == at) {
        address_ = p;
        return;
      }
      // Older kernels take the flag as a hint and may place the block elsewhere.
      if (p != MAP_FAILED) munmap(p, size);
    }
#ifdef MAP_32BIT
    // Below 2 GiB the image's 32-bit addresses are the real ones.
    void* low = mmap(nullptr, size, prot, flags | MAP_32BIT, -1, 0);
    if (low != MAP_FAILED) {
      address_ = low;
      return;
    }
#endif
    void* anywhere = mmap(nullptr, size, prot, flags, -1, 0);
    if (anywhere != MAP_FAILED) address_ = anywhere;
  }
  ~ImageMemory() {
    if (address_ != nullptr) munmap(address_, size_);
  }
  ImageMemory(const ImageMemory&) = delete;
  ImageMemory& operator=(const ImageMemory&) = delete;

  std::uint8_t* data() const {
    return static_cast<std::uint8_t*>(address_);
  }
  void* release() {
    return std::exchange(address_, nullptr);
  }

 private:
  void* address_ = nullptr;
  std::size_t size_;
};

// Adds `delta` to every 32-bit relocation target named by the relocation blocks of the
// directory. The walk stays inside the directory and the image; a block that does not fit,
// a block too small to advance, or a target outside the image makes the image malformed.
bool apply_relocations(std::span<std::uint8_t> block, DataDirectory directory,
                       std::uint32_t delta) {
  const std::uint64_t end = static_cast<std::uint64_t>(directory.rva) + directory.size;
  if (end > block.size()) return false;
  std::uint64_t offset = directory.rva;
  while (offset + 8 <= end) {
    std::uint32_t page = 0;
    std::uint32_t size = 0;
    read32(block, offset, page);
    read32(block, offset + 4, size);
    if (page == 0) break;
    if (size < 8 || size > end - offset) return false;
    for (std::uint64_t at = offset + 8; at + 2 <= offset + size; at += 2) {
      std::uint16_t entry = 0;
      read16(block, at, entry);
      if ((entry >> 12) != relocation_highlow) continue;
      const std::uint64_t target = static_cast<std::uint64_t>(page) + (entry & 0x0FFF);
      std::uint32_t value = 0;
      if (!read32(block, target, value)) return false;
      write32(block, target, value + delta);
    }
    offset += size;
  }
  return true;
}

// Writes the address of every imported function over its entry of the FirstThunk tables.
bool bind_imports(std::span<std::uint8_t> block, std::uint32_t directory_rva,
                  const ImportResolver& resolver) {
  for (std::uint64_t descriptor = directory_rva;; descriptor += import_descriptor_size) {
    std::uint32_t first_thunk = 0;
    std::uint32_t name_rva = 0;
    if (!read32(block, descriptor + 16, first_thunk)) return false;
    if (first_thunk == 0) return true;
    read32(block, descriptor + 12, name_rva);
    ImportName import;
    if (!read_text(block, name_rva, import.library)) return false;
    for (std::uint64_t thunk = first_thunk;; thunk += 4) {
      std::uint32_t entry = 0;
      if (!read32(block, thunk, entry)) return false;
      if (entry == 0) break;
      import.by_ordinal = (entry & 0x80000000u) != 0;
      import.ordinal = import.by_ordinal ? static_cast<std::uint16_t>(entry & 0xFFFF) : 0;
      import.function = {};
      if (!import.by_ordinal &&
          !read_text(block, static_cast<std::uint64_t>(entry) + 2, import.function)) {
        return false;
      }
      const std::uintptr_t address = resolver ? resolver(import) : 0;
      if (address == 0 || address > 0xFFFFFFFFu) return false;
      write32(block, thunk, static_cast<std::uint32_t>(address));
    }
  }
}

// True when the text is a decimal integer written the way the integer prints ("1", "-3",
// not "01" or "+1").
bool ordinal_from_text(std::string_view text, std::int32_t& ordinal) {
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, ordinal);
  if (error != std::errc{} || stop != end) return false;
  return std::to_string(ordinal) == text;
}

}  // namespace

MemoryLibrary::MemoryLibrary(CodeCaller caller) : caller_(std::move(caller)) {}

MemoryLibrary::~MemoryLibrary() {
  release();
}

MemoryLibrary::MemoryLibrary(MemoryLibrary&& other) noexcept
    : caller_(std::move(other.caller_)), loaded_(std::exchange(other.loaded_, {})) {}

MemoryLibrary& MemoryLibrary::operator=(MemoryLibrary&& other) noexcept {
  if (this != &other) {
    release();
    caller_ = std::move(other.caller_);
    loaded_ = std::exchange(other.loaded_, {});
  }
  return *this;
}

bool MemoryLibrary::release() {
  if (loaded_.base == 0) return true;
  if (munmap(reinterpret_cast<void*>(loaded_.base), loaded_.mapped_size) != 0) return false;
  loaded_ = {};
  return true;
}

bool MemoryLibrary::load_library_image(std::span<const std::uint8_t> image,
                                       ImportResolver resolver) {
  unload_library_image();

  const std::optional<Headers> headers = read_headers(image);
  if (!headers) return false;
  const std::vector<Section> sections = read_sections(image, *headers);
  const std::optional<std::uint64_t> size = image_size(*headers, sections);
  if (!size || *size > max_image_size || *size < headers->headers_size) return false;

  const std::uint64_t page = page_size();
  const std::size_t mapped_size = (*size + page - 1) / page * page;
  ImageMemory memory(headers->image_base, mapped_size);
  if (memory.data() == nullptr) return false;
  const std::span<std::uint8_t> block(memory.data(), *size);

  std::memcpy(block.data(), image.data(), headers->headers_size);
  for (const Section& section : sections) {
    if (section.raw_size == 0 || section.virtual_address == 0) continue;
    const std::uint64_t from = section.raw_pointer;
    const std::uint64_t to = section.virtual_address;
    if (from + section.raw_size > image.size() || to + section.raw_size > block.size()) {
      return false;
    }
    std::memcpy(block.data() + to, image.data() + from, section.raw_size);
  }

  const auto address = reinterpret_cast<std::uintptr_t>(memory.data());
  const DataDirectory relocations = headers->directories[directory_relocations];
  if (relocations.size != 0) {
    const auto delta = static_cast<std::uint32_t>(address) - headers->image_base;
    if (!apply_relocations(block, relocations, delta)) return false;
  }
  const DataDirectory imports = headers->directories[directory_imports];
  if (imports.rva != 0 && !bind_imports(block, imports.rva, resolver)) return false;

  // A library without an entry point (address 0, as the format allows) is not entered;
  // one whose entry point lies outside the image is malformed.
  bool entered = false;
  if ((headers->characteristics & flag_dll) != 0 && headers->entry_rva != 0) {
    if (headers->entry_rva >= block.size()) return false;
    const std::uintptr_t entry = address + headers->entry_rva;
    if (call_address(entry, {0, dll_process_attach, 0}) == 0) {
      call_address(entry, {0, dll_process_detach, 0});
      return false;
    }
    entered = true;
  }

  loaded_.base = reinterpret_cast<std::uintptr_t>(memory.release());
  loaded_.mapped_size = mapped_size;
  loaded_.image_size = static_cast<std::uint32_t>(*size);
  loaded_.entry_rva = headers->entry_rva;
  loaded_.export_rva = headers->directories[directory_exports].rva;
  loaded_.entered = entered;
  return true;
}

bool MemoryLibrary::unload_library_image() {
  if (loaded_.base == 0) return true;
  if (loaded_.entered) {
    loaded_.entered = false;
    call_address(loaded_.base + loaded_.entry_rva, {0, dll_process_detach, 0});
  }
  return release();
}

std::uintptr_t MemoryLibrary::find_export(std::string_view name) const {
  if (loaded_.base == 0 || loaded_.export_rva == 0) return 0;
  const std::span<const std::uint8_t> image = mapped_image();
  std::uint32_t ordinal_base = 0;
  std::uint32_t function_count = 0;
  std::uint32_t name_count = 0;
  std::uint32_t functions = 0;
  std::uint32_t names = 0;
  std::uint32_t name_ordinals = 0;
  if (!read32(image, loaded_.export_rva + std::uint64_t{16}, ordinal_base) ||
      !read32(image, loaded_.export_rva + std::uint64_t{20}, function_count) ||
      !read32(image, loaded_.export_rva + std::uint64_t{24}, name_count) ||
      !read32(image, loaded_.export_rva + std::uint64_t{28}, functions) ||
      !read32(image, loaded_.export_rva + std::uint64_t{32}, names) ||
      !read32(image, loaded_.export_rva + std::uint64_t{36}, name_ordinals)) {
    return 0;
  }
  // An exported address must lie inside the image.
  const auto function_at = [&](std::uint64_t index) -> std::uintptr_t {
    std::uint32_t rva = 0;
    if (!read32(image, functions + 4 * index, rva) || rva == 0 || rva >= image.size()) return 0;
    return loaded_.base + rva;
  };

  std::int32_t ordinal = 0;
  if (ordinal_from_text(name, ordinal)) {
    const std::int64_t index = static_cast<std::int64_t>(ordinal) - ordinal_base;
    if (index < 0 || index >= function_count) return 0;
    return function_at(static_cast<std::uint64_t>(index));
  }
  for (std::uint64_t i = 0; i < name_count; ++i) {
    std::uint32_t name_rva = 0;
    std::uint16_t index = 0;
    if (!read32(image, names + 4 * i, name_rva) || !read16(image, name_ordinals + 2 * i, index)) {
      return 0;
    }
    std::string_view exported;
    if (index >= function_count || !read_text(image, name_rva, exported)) continue;
    if (exported != name) continue;
    if (const std::uintptr_t address = function_at(index); address != 0) return address;
  }
  return 0;
}

std::uintptr_t MemoryLibrary::entry_point() const {
  return loaded_.base == 0 ? 0 : loaded_.base + loaded_.entry_rva;
}

std::span<const std::uint8_t> MemoryLibrary::mapped_image() const {
  if (loaded_.base == 0) return {};
  return {reinterpret_cast<const std::uint8_t*>(loaded_.base), loaded_.image_size};
}

std::uint32_t MemoryLibrary::call_address(std::uintptr_t address,
                                          std::initializer_list<std::uintptr_t> arguments) const {
  if (!caller_ || address == 0 || arguments.size() > max_call_arguments) return 0;
  return caller_(address, std::span<const std::uintptr_t>(arguments.begin(), arguments.size()));
}

}  // namespace zarvex
