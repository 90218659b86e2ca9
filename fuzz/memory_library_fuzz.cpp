// Feeds library images to the in-memory loader: the input either is the whole image, or is
// written over a well-formed library with export, import and relocation tables, so that the
// fuzzer reaches the table walks as well as the header checks.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "../tests/decoration/pe_image_builder.h"
#include "decoration/memory_library.h"

namespace {

std::vector<std::uint8_t> make_template() {
  zarvex::test::PeImageBuilder builder;
  builder.add_section(0x1000, 0x1000);
  builder.entry_rva = 0x1040;
  builder.put32(0x1010, 0x10001100);
  builder.add_relocations(0x1200, {{0x1000, {0x3010, 0x0000}}});
  builder.add_imports(0x1300, {{"skin.dll", {{"Open"}, {"", 7}}}});
  builder.add_exports(0x1600, 1, {0x1100, 0x1110}, {{"alpha", 0}, {"beta", 1}});
  return builder.build();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<std::uint8_t> base_image = make_template();
  if (size < 1) return 0;
  const std::uint8_t mode = data[0];
  std::vector<std::uint8_t> image;
  if ((mode & 1) == 0 || size < 3) {
    image.assign(data + 1, data + size);
  } else {
    // Overlay the rest of the input at an offset taken from two bytes.
    image = base_image;
    const std::size_t offset = (data[1] | (data[2] << 8)) % image.size();
    const std::size_t length = std::min(size - 3, image.size() - offset);
    std::memcpy(image.data() + offset, data + 3, length);
  }

  const std::uint32_t answer = (mode >> 1) & 1;
  zarvex::MemoryLibrary library(
      [answer](std::uintptr_t, std::span<const std::uintptr_t>) { return answer; });
  const bool with_resolver = (mode & 4) == 0;
  const zarvex::ImportResolver resolver = [](const zarvex::ImportName& import) {
    return import.by_ordinal ? std::uintptr_t{0x7000} + import.ordinal
                             : std::uintptr_t{0x8000} + import.function.size();
  };
  if (library.load_library_image(image, with_resolver ? resolver : zarvex::ImportResolver{})) {
    library.find_export("alpha");
    library.find_export("1");
    library.find_export(
        std::string(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 8)));
    library.entry_point();
    // The mapping is readable from its first byte to its last.
    const std::span<const std::uint8_t> mapped = library.mapped_image();
    volatile std::uint8_t touch = mapped.front();
    touch = mapped.back();
    (void)touch;
  }
  library.unload_library_image();
  return 0;
}
