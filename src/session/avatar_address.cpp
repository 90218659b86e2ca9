#include "session/avatar_address.h"

#include "service/text_codecs.h"

namespace zarvex {

std::string avatar_address(std::string_view avatar_base, std::string_view uin) {
  const std::string u(uin);
  return std::string(without_trailing_slashes(avatar_base)) + "/headimg_dl?bs=" + u +
         "&dst_uin=" + u + "&dst_uin=" + u + "&;dst_uin=" + u +
         "&spec=100&url_enc=0&referer=bu_interface&term_type=PC";
}

}  // namespace zarvex
