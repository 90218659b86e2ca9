#include "update/update_notice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/codepage.h"
#include "support/recording_ui.h"

namespace zarvex {
namespace {

std::string gbk(const char* utf8) {
  return gbk_from_utf8(utf8);
}

struct PageCase {
  const char* name;
  const char* page;     // UTF-8, as the maker publishes it
  const char* version;  // expected field (UTF-8)
  const char* url;      // expected field (UTF-8)
  const char* status;   // expected status part 1 (UTF-8); "" leaves the status bar alone
};

const PageCase page_cases[] = {
    {"newer", "<p>[软件版本]2.0[/软件版本] [软件下载地址1]https://dl.example/z[/软件下载地址1]</p>",
     "2.0", "https://dl.example/z", "版本：1.9.1 最新：点击更新"},
    {"older is still other", "[软件版本]1.8[/软件版本]", "1.8", "", "版本：1.9.1 最新：点击更新"},
    {"same", "[软件下载地址1]http://a/b[/软件下载地址1][软件版本]1.9.1[/软件版本]", "1.9.1",
     "http://a/b", "版本：1.9.1 最新：1.9"},
    {"compared as text", "[软件版本]1.9.10[/软件版本]", "1.9.10", "", "版本：1.9.1 最新：点击更新"},
    {"no closing tag", "[软件版本]2.0 [软件下载地址1]u[/软件下载地址1]", "", "u", ""},
    {"empty page", "", "", "", ""},
    {"other fields ignored", "[软件下载地址2]x[/软件下载地址2][软件版本]한版[/软件版本]", "?版", "",
     "版本：1.9.1 最新：点击更新"},
};

TEST(UpdateNotice, PageFieldsAndStatusText) {
  for (const auto& c : page_cases) {
    SCOPED_TRACE(c.name);
    test::RecordingUi ui;
    UpdateNoticeSlot slot;
    int fetches = 0;
    std::string asked;
    check_for_update(
        "http://127.0.0.1:1/notice",
        [&](const std::string& address) {
          ++fetches;
          asked = address;
          return std::string(c.page);
        },
        slot, ui);
    EXPECT_EQ(fetches, 1);
    EXPECT_EQ(asked, "http://127.0.0.1:1/notice");
    const UpdateNotice notice = slot.current();
    EXPECT_EQ(notice.version, gbk(c.version));
    EXPECT_EQ(notice.download_url, gbk(c.url));
    const auto statuses = ui.calls();
    if (std::string(c.status).empty()) {
      EXPECT_TRUE(statuses.empty());
    } else {
      ASSERT_EQ(statuses.size(), 1u);
      EXPECT_EQ(statuses[0].kind, "status");
      EXPECT_EQ(statuses[0].caption, "1");
      EXPECT_EQ(statuses[0].text, gbk(c.status));
    }
  }
}

TEST(UpdateNotice, NoAddressMeansNoCheck) {
  test::RecordingUi ui;
  UpdateNoticeSlot slot;
  bool fetched = false;
  check_for_update(
      "",
      [&](const std::string&) {
        fetched = true;
        return std::string("[软件版本]2.0[/软件版本]");
      },
      slot, ui);
  EXPECT_FALSE(fetched);
  EXPECT_TRUE(ui.calls().empty());
  EXPECT_TRUE(slot.current().version.empty());
}

TEST(UpdateNotice, OnlyWebAddressesMayBeOpened) {
  struct Case {
    std::string address;
    bool opens;
  };
  const std::vector<Case> cases = {
      {"http://example.org/download", true},
      {"https://example.org", true},
      {"HTTPS://Example.org/a?b=c", true},
      {"http://" + gbk("例子.中国") + "/", true},
      {"", false},
      {"http://", false},
      {"https:///etc/passwd", false},
      {"file:///etc/passwd", false},
      {"/usr/bin/xterm", false},
      {"javascript:alert(1)", false},
      {"ftp://example.org/x", false},
      {"httpx://example.org", false},
      {" http://example.org", false},
      {"http://example.org/a b", false},
      {"http://example.org/\n--x", false},
      {std::string("http://exa\0mple.org", 19), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(is_web_address(c.address), c.opens) << "address: " << c.address;
  }
}

}  // namespace
}  // namespace zarvex
