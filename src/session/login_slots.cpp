#include "session/login_slots.h"

#include <utility>

#include "session/login_address.h"
#include "session/session_keys.h"

namespace zarvex {

bool LoginSlots::begin_completion(std::string_view address) {
  if (busy_ || !carries_login_completion(address)) return false;
  busy_ = true;
  return true;
}

void LoginSlots::finish_completion(std::string cookie) {
  SessionKeys keys = derive_session_keys(cookie);
  result_.cookie = std::move(cookie);
  result_.g_tk = std::move(keys.g_tk);
  result_.uin = std::move(keys.uin);
  result_.ok = true;
  busy_ = false;
}

void LoginSlots::abandon_completion() {
  busy_ = false;
}

}  // namespace zarvex
