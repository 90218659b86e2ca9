#include "session/avatar_address.h"

namespace zarvex {

std::string avatar_address(std::string_view avatar_base, std::string_view uin) {
  while (!avatar_base.empty() && avatar_base.back() == '/')
    avatar_base.remove_suffix(1);
  const std::string u(uin);
  return std::string(avatar_base) + "/headimg_dl?bs=" + u + "&dst_uin=" + u + "&dst_uin=" + u +
         "&;dst_uin=" + u + "&spec=100&url_enc=0&referer=bu_interface&term_type=PC";
}

}  // namespace zarvex
