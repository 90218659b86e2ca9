#include "random_text.h"

#include <openssl/rand.h>

#include <random>
#include <string_view>
#include <vector>

namespace zarvex::standin {

namespace {

std::string random_from(std::string_view alphabet, std::size_t length) {
  std::vector<unsigned char> bytes(length);
  if (length > 0 && RAND_bytes(bytes.data(), static_cast<int>(length)) != 1) {
    // The system generator failed (it practically never does): fall back to the C++ one.
    thread_local std::mt19937 fallback{std::random_device{}()};
    for (auto& b : bytes)
      b = static_cast<unsigned char>(fallback());
  }
  std::string out;
  out.reserve(length);
  // The slight bias of the modulo does not matter for a stand-in's keys.
  for (unsigned char b : bytes)
    out += alphabet[b % alphabet.size()];
  return out;
}

}  // namespace

std::string random_alnum(std::size_t length) {
  return random_from("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", length);
}

std::string random_hex_upper(std::size_t length) {
  return random_from("0123456789ABCDEF", length);
}

std::string random_digits(std::size_t length) {
  if (length == 0) return {};
  return random_from("123456789", 1) + random_from("0123456789", length - 1);
}

}  // namespace zarvex::standin
