// Sizes and contents of the media host's files. Every byte is a function of the file name and
// its offset, so nothing is stored and a client's copy can be checked anywhere, at any offset.

#include <bit>
#include <cstring>

#include "media_host.h"

namespace zarvex::standin {

namespace {

constexpr std::uint64_t kLargestTestFile = std::uint64_t{1} << 40;

std::uint64_t name_hash(std::string_view name) {
  std::uint64_t h = 0xcbf29ce484222325ULL;  // FNV-1a
  for (unsigned char c : name) {
    h ^= c;
    h *= 0x100000001b3ULL;
  }
  return h;
}

// splitmix64's finaliser: cheap, and every word differs from its neighbours.
inline std::uint64_t mix(std::uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

inline void store_le(char* out, std::uint64_t v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, &v, 8);  // one store: the host streams gigabytes through here
  } else {
    for (int i = 0; i < 8; ++i)
      out[i] = static_cast<char>((v >> (8 * i)) & 0xff);
  }
}

bool ends_with(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

struct SongKind {
  std::string_view prefix;
  std::string_view extension;
  std::int64_t smallest;
  std::int64_t largest;
};

constexpr SongKind kSongKinds[] = {
    {"M500", ".mp3", 3'000'000, 6'000'000},
    {"M800", ".mp3", 8'000'000, 15'000'000},
    {"A000", ".ape", 20'000'000, 40'000'000},
    {"F000", ".flac", 20'000'000, 40'000'000},
};

std::int64_t test_file_size(std::string_view digits) {
  if (digits.empty() || digits.size() > 14) return -1;
  std::uint64_t size = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    size = size * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (size > kLargestTestFile) return -1;
  return static_cast<std::int64_t>(size);
}

}  // namespace

std::int64_t media_file_size(std::string_view file_name) {
  constexpr std::string_view test_dir = "test/";
  if (file_name.substr(0, test_dir.size()) == test_dir && ends_with(file_name, ".bin")) {
    return test_file_size(
        file_name.substr(test_dir.size(), file_name.size() - test_dir.size() - 4));
  }
  for (const SongKind& kind : kSongKinds) {
    if (file_name.substr(0, kind.prefix.size()) != kind.prefix) continue;
    if (!ends_with(file_name, kind.extension)) continue;
    if (file_name.size() <= kind.prefix.size() + kind.extension.size()) return -1;
    std::string_view mid = file_name.substr(
        kind.prefix.size(), file_name.size() - kind.prefix.size() - kind.extension.size());
    if (mid.find('/') != std::string_view::npos) return -1;
    const auto span = static_cast<std::uint64_t>(kind.largest - kind.smallest);
    return kind.smallest + static_cast<std::int64_t>(mix(name_hash(file_name)) % span);
  }
  return -1;
}

void media_file_bytes(std::string_view file_name, std::uint64_t offset, char* out,
                      std::size_t length) {
  const std::uint64_t seed = name_hash(file_name);
  std::uint64_t word = offset / 8;
  std::size_t skip = static_cast<std::size_t>(offset % 8);
  char tmp[8];
  if (skip != 0 && length > 0) {
    store_le(tmp, mix(seed ^ word));
    std::size_t n = 8 - skip < length ? 8 - skip : length;
    std::memcpy(out, tmp + skip, n);
    out += n;
    length -= n;
    ++word;
  }
  while (length >= 8) {
    store_le(out, mix(seed ^ word));
    out += 8;
    length -= 8;
    ++word;
  }
  if (length > 0) {
    store_le(tmp, mix(seed ^ word));
    std::memcpy(out, tmp, length);
  }
}

}  // namespace zarvex::standin
