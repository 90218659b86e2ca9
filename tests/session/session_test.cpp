#include "session/session.h"

#include <gtest/gtest.h>

#include <thread>

namespace zarvex {
namespace {

TEST(Session, StoresTheLoginResultTogetherAndKeepsTheFlagApart) {
  Session session;
  EXPECT_EQ(session.snapshot().uin, "");
  EXPECT_FALSE(session.logged_in());

  session.set_logged_in(true);
  session.store("123", "uin=o123; skey=@abc", "456");
  const SessionRecord record = session.snapshot();
  EXPECT_EQ(record.uin, "123");
  EXPECT_EQ(record.cookie, "uin=o123; skey=@abc");
  EXPECT_EQ(record.g_tk, "456");
  EXPECT_TRUE(record.logged_in);

  session.set_cookie("a=1");
  EXPECT_EQ(session.cookie(), "a=1");
  EXPECT_EQ(session.snapshot().uin, "123");
}

TEST(Session, ConcurrentCookieMergesLoseNothing) {
  Session session;
  constexpr int kRounds = 2000;
  auto merge_many = [&] {
    for (int i = 0; i < kRounds; ++i) {
      session.update_cookie([](const std::string& old) { return old + "x"; });
      (void)session.snapshot();
    }
  };
  std::thread a(merge_many), b(merge_many);
  a.join();
  b.join();
  EXPECT_EQ(session.cookie().size(), 2u * kRounds);
}

}  // namespace
}  // namespace zarvex
