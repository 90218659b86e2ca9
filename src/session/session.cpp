#include "session/session.h"

#include <utility>

namespace zarvex {

SessionRecord Session::snapshot() const {
  std::lock_guard lock(mutex_);
  return record_;
}

void Session::store(std::string uin, std::string cookie, std::string g_tk) {
  std::lock_guard lock(mutex_);
  record_.uin = std::move(uin);
  record_.cookie = std::move(cookie);
  record_.g_tk = std::move(g_tk);
}

bool Session::logged_in() const {
  std::lock_guard lock(mutex_);
  return record_.logged_in;
}

void Session::set_logged_in(bool value) {
  std::lock_guard lock(mutex_);
  record_.logged_in = value;
}

std::string Session::cookie() const {
  std::lock_guard lock(mutex_);
  return record_.cookie;
}

void Session::set_cookie(std::string cookie) {
  std::lock_guard lock(mutex_);
  record_.cookie = std::move(cookie);
}

void Session::update_cookie(const std::function<std::string(const std::string&)>& merge) {
  std::lock_guard lock(mutex_);
  record_.cookie = merge(record_.cookie);
}

}  // namespace zarvex
