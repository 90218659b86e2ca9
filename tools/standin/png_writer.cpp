#include "png_writer.h"

#include <zlib.h>

namespace zarvex::standin {

namespace {

void append_u32(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v >> 24);
  out += static_cast<char>(v >> 16);
  out += static_cast<char>(v >> 8);
  out += static_cast<char>(v);
}

void append_chunk(std::string& out, const char* type, const std::string& data) {
  append_u32(out, static_cast<std::uint32_t>(data.size()));
  const std::string typed = std::string(type, 4) + data;
  out += typed;
  append_u32(out, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()),
                                                   static_cast<uInt>(typed.size()))));
}

}  // namespace

std::string encode_png_rgba(int width, int height, const std::vector<std::uint8_t>& rgba) {
  if (width <= 0 || height <= 0 ||
      rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
    return {};
  }
  // Each row starts with filter type 0 (none).
  const std::size_t row = static_cast<std::size_t>(width) * 4;
  std::string raw;
  raw.reserve((row + 1) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw += '\0';
    raw.append(reinterpret_cast<const char*>(rgba.data()) + row * static_cast<std::size_t>(y), row);
  }
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packed_size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size,
                reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    return {};
  }
  packed.resize(packed_size);

  std::string png("\x89PNG\r\n\x1a\n", 8);
  std::string header;
  append_u32(header, static_cast<std::uint32_t>(width));
  append_u32(header, static_cast<std::uint32_t>(height));
  header += '\x08';                // bits per channel
  header += '\x06';                // colour type RGBA
  header += std::string(3, '\0');  // compression, filter, interlace
  append_chunk(png, "IHDR", header);
  append_chunk(png, "IDAT", packed);
  append_chunk(png, "IEND", {});
  return png;
}

}  // namespace zarvex::standin
