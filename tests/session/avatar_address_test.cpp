#include "session/avatar_address.h"

#include <gtest/gtest.h>

#include <string>

namespace zarvex {
namespace {

TEST(AvatarAddress, RepeatedKeyAndStraySemicolonKept) {
  struct Case {
    std::string base, uin, expected;
  } cases[] = {
      {"http://q1.qlogo.cn", "12345678",
       "http://q1.qlogo.cn/headimg_dl?bs=12345678&dst_uin=12345678&dst_uin=12345678"
       "&;dst_uin=12345678&spec=100&url_enc=0&referer=bu_interface&term_type=PC"},
      {"http://127.0.0.1:40001/", "7",
       "http://127.0.0.1:40001/headimg_dl?bs=7&dst_uin=7&dst_uin=7&;dst_uin=7"
       "&spec=100&url_enc=0&referer=bu_interface&term_type=PC"},
      {"http://q1.qlogo.cn", "",
       "http://q1.qlogo.cn/headimg_dl?bs=&dst_uin=&dst_uin=&;dst_uin="
       "&spec=100&url_enc=0&referer=bu_interface&term_type=PC"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(avatar_address(c.base, c.uin), c.expected) << c.uin;
}

}  // namespace
}  // namespace zarvex
