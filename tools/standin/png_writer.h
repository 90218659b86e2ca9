#pragma once
// Encodes an RGBA picture as a PNG file (8 bits per channel, no interlace).

#include <cstdint>
#include <string>
#include <vector>

namespace zarvex::standin {

// rgba holds width * height * 4 bytes, row by row from the top. Returns the PNG bytes, or an
// empty text when the sizes do not fit the pixels.
std::string encode_png_rgba(int width, int height, const std::vector<std::uint8_t>& rgba);

}  // namespace zarvex::standin
