#pragma once
// The lyrics service writes some characters of a lyric as HTML character references
// ("&#58;" for ":", "&#10;" for a line feed …); this writes a plain lyric that way.

#include <string>
#include <string_view>

namespace zarvex::standin {

// Every "\n" becomes "&#10;" (or "&#13;&#10;" with crlf) and each of : . space - ( ) ' &
// becomes its decimal reference; other characters stay as they are.
std::string encode_lyric_references(std::string_view lyric, bool crlf);

}  // namespace zarvex::standin
