#include "decoration/skin_library.h"

namespace zarvex {

bool apply_skin_library(const MemoryLibrary& library, std::span<const std::uint8_t> description,
                        int value) {
  if (library.image_base() == 0) return false;
  const auto description_address = reinterpret_cast<std::uintptr_t>(description.data());
  library.call_address(library.find_export(skin_attach_res),
                       {description_address, description.size(), 0, 0, 0, 0});
  library.call_address(library.find_export(skin_adjust_aero),
                       {255, 0, 0, static_cast<std::uint32_t>(value), 0, 0, 0, 0, 0});
  library.call_address(library.find_export(skin_set_aero), {1});
  return true;
}

}  // namespace zarvex
