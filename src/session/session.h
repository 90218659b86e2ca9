#pragma once
// The signed-in account: its number, the login cookie text and the g_tk hash, and whether a
// login completed. The GUI thread writes it at login while workers read it, so every access
// takes the lock; workers act on a snapshot.

#include <functional>
#include <mutex>
#include <string>

namespace zarvex {

struct SessionRecord {
  std::string uin;     // account number (GBK/ASCII digits); empty until the first login
  std::string cookie;  // "name=value; name=value" of the login page, merged with answer cookies
  std::string g_tk;    // decimal hash of the skey cookie
  bool logged_in = false;
};

class Session {
 public:
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // A plain copy of all fields, taken at once.
  SessionRecord snapshot() const;

  // Replaces the three texts together (the login result); logged_in is left as it is.
  void store(std::string uin, std::string cookie, std::string g_tk);

  bool logged_in() const;
  void set_logged_in(bool value);

  std::string cookie() const;
  void set_cookie(std::string cookie);
  // Replaces the cookie text by merge(current cookie text) under the lock, so two merges never
  // lose each other's cookies. `merge` must not call back into this object.
  void update_cookie(const std::function<std::string(const std::string&)>& merge);

 private:
  mutable std::mutex mutex_;
  SessionRecord record_;
};

}  // namespace zarvex
