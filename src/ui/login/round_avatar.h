#pragma once
// The round account picture shown in the avatar box.

#include <string>
#include <string_view>

namespace zarvex {

// Decodes an image (any format Qt reads) and returns PNG bytes of a W × W picture, W being the
// smaller side: the image's top-left square inside a circle that fills the picture, transparent
// outside it, its edge not smoothed. Empty when the bytes are no image.
std::string make_round_avatar(std::string_view image_bytes);

}  // namespace zarvex
