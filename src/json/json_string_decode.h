#pragma once
// Decoding the escapes of a JSON string value as it was stored (GBK bytes, escapes as
// written) into the text it stands for.

#include <string>
#include <string_view>

namespace zarvex {

// \" \/ \\ give the byte itself; \b \f \n \r \t give 08 0C 0A 0D 09; \uXXXX gives the UTF-16
// unit XXXX converted alone to GBK ("?" when GBK lacks it; the halves of a surrogate pair
// each become "?"); a \u not followed by four hexadecimal digits stays "\u" and the bytes
// after it are read as ordinary bytes; any other escape keeps backslash and byte. A final
// lone backslash, or a \u cut short by the end, gives nothing. Every other byte is copied;
// the two bytes of a double-byte character are copied as one, so a second byte 5C escapes
// nothing.
std::string decode_json_string(std::string_view value);

}  // namespace zarvex
