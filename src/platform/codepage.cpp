#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>

namespace zarvex {
namespace {

// Converts with iconv, replacing each undecodable input sequence and each unrepresentable
// character by "?" so the whole input is always converted.
std::string convert(std::string_view in, const char* to, const char* from) {
  std::string out;
  if (in.empty()) return out;
  iconv_t cd = ::iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char buffer[4096];
  while (src_left > 0) {
    char* dst = buffer;
    size_t dst_left = sizeof buffer;
    size_t rc = ::iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buffer, sizeof buffer - dst_left);
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ: a sequence the source cannot decode or the target cannot encode;
    // EINVAL: an incomplete sequence at the end. Either way one "?" stands for it.
    out.push_back('?');
    // Skip the whole offending character: for UTF-8 input its lead byte tells the length.
    size_t skip = 1;
    if (from[0] == 'U' && errno == EILSEQ) {
      unsigned char lead = static_cast<unsigned char>(*src);
      size_t want = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      // Only skip a full character when it is well formed (the target lacked it).
      size_t i = 1;
      while (i < want && i < src_left && (static_cast<unsigned char>(src[i]) & 0xC0) == 0x80) ++i;
      skip = (i == want && lead >= 0xC2) ? want : 1;
    } else if (errno == EILSEQ && src_left >= 2 && static_cast<unsigned char>(*src) >= 0x81) {
      // GBK: a lead byte with a trail byte that makes no character; drop both as one unit.
      skip = 2;
    }
    if (errno == EINVAL) skip = src_left;
    if (skip > src_left) skip = src_left;
    src += skip;
    src_left -= skip;
  }
  ::iconv_close(cd);
  return out;
}

}  // namespace

std::string gbk_from_utf8(std::string_view utf8) { return convert(utf8, "CP936", "UTF-8"); }
std::string utf8_from_gbk(std::string_view gbk) { return convert(gbk, "UTF-8", "CP936"); }

}  // namespace zarvex
