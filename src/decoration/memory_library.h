#pragma once
// Maps a 32-bit Windows library image (PE32) into memory from bytes, without a file: headers,
// sections, base relocations, imports and exports. The image is treated as data: its memory is
// readable and writable but never executable, and every table of the image is checked against
// the image before it is used, so a malformed image loads as 0 instead of corrupting memory.
// Code of the image runs only through an injected CodeCaller; without one, every call answers 0.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string_view>

namespace zarvex {

// One function an image imports: from `library`, either by `function` name or, when
// `by_ordinal`, by `ordinal`.
struct ImportName {
  std::string_view library;
  std::string_view function;
  std::uint16_t ordinal = 0;
  bool by_ordinal = false;
};

// Gives the address of an imported function, 0 when it does not know it. The address is
// written into the image's 32-bit import table, so one above 4 GiB counts as not found.
using ImportResolver = std::function<std::uintptr_t(const ImportName&)>;

// Runs the code at `address` with the given arguments (the Windows API calling convention of
// the image) and returns its 32-bit result.
using CodeCaller =
    std::function<std::uint32_t(std::uintptr_t address, std::span<const std::uintptr_t> arguments)>;

class MemoryLibrary {
 public:
  // The most arguments call_address passes.
  static constexpr std::size_t max_call_arguments = 10;
  // A larger image is refused: no 32-bit library of this program comes near it.
  static constexpr std::uint64_t max_image_size = 256ull << 20;

  explicit MemoryLibrary(CodeCaller caller = {});
  ~MemoryLibrary();  // releases the memory; the library's detach code is not run at exit
  MemoryLibrary(MemoryLibrary&& other) noexcept;
  MemoryLibrary& operator=(MemoryLibrary&& other) noexcept;
  MemoryLibrary(const MemoryLibrary&) = delete;
  MemoryLibrary& operator=(const MemoryLibrary&) = delete;

  // Unloads a loaded library, then loads `image`; true when a library is loaded afterwards.
  bool load_library_image(std::span<const std::uint8_t> image, ImportResolver resolver = {});
  // True when nothing is loaded afterwards.
  bool unload_library_image();
  // The address of an exported function by name, or by ordinal when `name` is a decimal
  // number such as "1"; 0 when not found.
  std::uintptr_t find_export(std::string_view name) const;
  // base + AddressOfEntryPoint; 0 when nothing is loaded.
  std::uintptr_t entry_point() const;
  // Where the loaded image lies; 0 when nothing is loaded.
  std::uintptr_t image_base() const { return loaded_.base; }
  // The loaded image as mapped (headers, sections, relocated and with imports bound).
  std::span<const std::uint8_t> mapped_image() const;

  // Calls the code at `address` through the caller with at most ten arguments. Without a
  // caller, for address 0 or for too many arguments nothing runs and the result is 0.
  std::uint32_t call_address(std::uintptr_t address,
                             std::initializer_list<std::uintptr_t> arguments) const;

 private:
  bool release();  // unmaps without running code; false when the memory could not be released

  // What a loaded image leaves behind; all zero while nothing is loaded.
  struct Loaded {
    std::uintptr_t base = 0;
    std::size_t mapped_size = 0;  // bytes of the mapping (whole pages)
    std::uint32_t image_size = 0;
    std::uint32_t entry_rva = 0;
    std::uint32_t export_rva = 0;
    bool entered = false;  // the entry point was called for attach and must be called to detach
  };

  CodeCaller caller_;
  Loaded loaded_;
};

}  // namespace zarvex
