#pragma once
// The results of the login window, kept from one login attempt to the next: a window closed
// before the page returned leaves the values of the last completed login. Used on the GUI
// thread only.

#include <string>
#include <string_view>

namespace zarvex {

struct LoginResult {
  std::string cookie;  // the page's script-visible cookie text at completion (GBK)
  std::string g_tk;    // derived from it
  std::string uin;     // derived from it
  bool ok = false;     // a login has completed at least once
};

class LoginSlots {
 public:
  // The browser's address or title changed. True when `address` carries the completion marker
  // and no completion is under way: the caller then reads the page's cookie text and hands it to
  // finish_completion (or calls abandon_completion when it cannot). Until then every further
  // change is ignored.
  bool begin_completion(std::string_view address);
  // Derives g_tk and uin from the cookie text and marks the login as completed.
  void finish_completion(std::string cookie);
  // The window went away while the cookie text was being read; the slots stay as they were.
  void abandon_completion();

  bool busy() const { return busy_; }
  // Copies of the slots, whether or not the last attempt completed.
  LoginResult result() const { return result_; }

 private:
  LoginResult result_;
  bool busy_ = false;
};

}  // namespace zarvex
