#include "session/login_address.h"

#include <gtest/gtest.h>

#include <string>

#include "session/login_cookies.h"

namespace zarvex {
namespace {

TEST(RegistrableDomain, LastTwoLabelsOfTheHost) {
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"ui.ptlogin2.qq.com", "qq.com"},
      {"qzone.qq.com", "qq.com"},
      {"qq.com", "qq.com"},
      {"localhost", "localhost"},
      {"http://UI.PTLogin2.QQ.com/cgi-bin/login?x=1", "qq.com"},
      {"https://y.qq.com/", "qq.com"},
      {"https://y.qq.com:8443/portal", "qq.com"},
      {"ui.ptlogin2.qq.com:8080", "qq.com"},
      {"localhost:8080", "localhost"},
      {"127.0.0.1:5000", "0.1"},  // an address of digits is cut like a name
      {"", ""},
      // A text that already holds "http://" somewhere is not given a scheme of its own.
      {"ftp://a.b.c/?to=http://x.y.z/", "y.z"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(registrable_domain(c.text), c.expected) << c.text;
}

TEST(LoginAddress, QueryKeysInOrderWithTheEncodedReturnAddress) {
  const std::string tail =
      "&low_login=1&hln_css=&hln_title=&hln_acc=&hln_pwd=&hln_u_tips=&hln_p_tips="
      "&hln_autologin=&hln_login=&hln_otheracc=&hide_close_icon=1&hln_qloginacc=&hln_reg="
      "&hln_vctitle=&hln_verifycode=&hln_vclogin=&hln_feedback=";
  const std::string head = "/cgi-bin/login?daid=384&pt_no_auth=1&style=11&appid=1006102&s_url=";
  struct Case {
    std::string login, site, expected;
  } cases[] = {
      {"http://ui.ptlogin2.qq.com", "https://y.qq.com",
       "http://ui.ptlogin2.qq.com" + head +
           "https%3A%2F%2Fy.qq.com%2F%23stat%3Dy_new.top.pop.logout" + tail},
      {"http://127.0.0.1:41234/", "https://127.0.0.1:41235",
       "http://127.0.0.1:41234" + head +
           "https%3A%2F%2F127.0.0.1%3A41235%2F%23stat%3Dy_new.top.pop.logout" + tail},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(login_address(c.login, c.site), c.expected) << c.login;
  }
  EXPECT_EQ(login_return_address("https://y.qq.com"),
            "https://y.qq.com/#stat=y_new.top.pop.logout");
}

TEST(LoginAddress, CompletionMarkerIsExactAndCaseSensitive) {
  struct Case {
    std::string address;
    bool completes;
  } cases[] = {
      {"https://y.qq.com/#stat=y_new.top.pop.logout", true},
      {"https://127.0.0.1:4000/#stat=y_new.top.pop.logout&x=1", true},
      {"https://y.qq.com/#STAT=y_new.top.pop.logout", false},
      {"https://y.qq.com/#stat=Y_NEW.TOP.POP.LOGOUT", false},
      {"https://y.qq.com#stat=y_new.top.pop.logout", false},  // no "/" before the fragment
      {"http://ui.ptlogin2.qq.com/cgi-bin/login?s_url=https%3A%2F%2Fy.qq.com%2F%23stat%3D", false},
      {"about:blank", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(carries_login_completion(c.address), c.completes) << c.address;
  // The login page's own address carries the marker only in encoded form.
  EXPECT_FALSE(carries_login_completion(login_address("http://a.b", "https://c.d")));
  EXPECT_TRUE(carries_login_completion(login_return_address("https://c.d")));
}

TEST(LoginCookies, NamesOfACookieText) {
  struct Case {
    std::string text;
    std::vector<std::string> names;
  } cases[] = {
      {"uin=o0123; skey=@abc; pt2gguin=o1", {"uin", "skey", "pt2gguin"}},
      {"a=1;b=2;", {"a", "b"}},
      {"  spaced = x ;flag; k=v=w", {"spaced", "flag", "k"}},
      {"", {}},
      {" ; ;", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(cookie_names(c.text), c.names) << c.text;
}

TEST(LoginCookies, DeletionWithoutAndWithTheDomain) {
  const auto lines = cookie_deletion_lines("skey", "ui.ptlogin2.qq.com");
  EXPECT_EQ(lines[0], "skey=deleted; expires=Fri, 1-Jan-1999 1:1:1 GMT; path=/;");
  EXPECT_EQ(lines[1], "skey=deleted; expires=Fri, 1-Jan-1999 1:1:1 GMT; path=/; domain=qq.com");
}

}  // namespace
}  // namespace zarvex
