#include "session/login_slots.h"

#include <gtest/gtest.h>

#include <string>

#include "session/session_keys.h"

namespace zarvex {
namespace {

const std::string done_address = "https://y.qq.com/#stat=y_new.top.pop.logout";

TEST(LoginSlots, NothingBeforeTheFirstCompletion) {
  LoginSlots slots;
  EXPECT_FALSE(slots.begin_completion("https://y.qq.com/"));
  EXPECT_FALSE(slots.begin_completion("https://y.qq.com/#STAT=y_new.top.pop.logout"));
  const LoginResult r = slots.result();
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.cookie, "");
  EXPECT_EQ(r.g_tk, "");
  EXPECT_EQ(r.uin, "");
}

TEST(LoginSlots, CompletionDerivesTheKeysAndLaterAttemptsKeepThem) {
  LoginSlots slots;
  const std::string cookie = "pgv=1; uin=o0012345678; skey=@AbCdEfGhI; ptcz=9";
  ASSERT_TRUE(slots.begin_completion(done_address));
  EXPECT_TRUE(slots.busy());
  // Further title or address changes while the cookie text is read do not start another.
  EXPECT_FALSE(slots.begin_completion(done_address));
  slots.finish_completion(cookie);
  EXPECT_FALSE(slots.busy());

  const SessionKeys keys = derive_session_keys(cookie);
  LoginResult r = slots.result();
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.cookie, cookie);
  EXPECT_EQ(r.uin, "12345678");
  EXPECT_EQ(r.g_tk, keys.g_tk);
  EXPECT_EQ(r.g_tk, gtk_hash("@AbCdEfGhI"));

  // A later attempt whose window is closed while the cookie text is read changes nothing.
  ASSERT_TRUE(slots.begin_completion(done_address));
  slots.abandon_completion();
  EXPECT_FALSE(slots.busy());
  r = slots.result();
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.uin, "12345678");

  // A page whose script sees no cookie still completes: empty uin, the hash of "@" and the text.
  ASSERT_TRUE(slots.begin_completion(done_address));
  slots.finish_completion("");
  r = slots.result();
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.uin, "");
  EXPECT_EQ(r.g_tk, gtk_hash("@"));
}

}  // namespace
}  // namespace zarvex
