#pragma once
// The three calls that hand the skin library its skin description and switch on its
// translucent look. Nothing is called when no library is loaded, and a call whose export is
// missing is skipped rather than sent to address 0.

#include <cstdint>
#include <span>

#include "decoration/memory_library.h"

namespace zarvex {

// The skin library's own export names.
inline constexpr const char* skin_attach_res = "SkinH_AttachRes";
inline constexpr const char* skin_adjust_aero = "SkinH_AdjustAero";
inline constexpr const char* skin_set_aero = "SkinH_SetAero";

// Attaches `description` and sets the look with `value` (6 in the program). False when no
// library is loaded; the library's own results are not looked at.
bool apply_skin_library(const MemoryLibrary& library, std::span<const std::uint8_t> description,
                        int value = 6);

}  // namespace zarvex
