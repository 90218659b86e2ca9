#pragma once
// The account picture the avatar service hands out: a head-and-shoulders figure on a
// background whose colour follows the account number, so different accounts look different.

#include <string>
#include <string_view>

namespace zarvex::standin {

// PNG bytes of a side × side picture (side is clamped to 16 … 640).
std::string avatar_png(std::string_view uin, int side);

}  // namespace zarvex::standin
