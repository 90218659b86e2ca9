#include "terminal_ui.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/codepage.h"

namespace zarvex::cli {
namespace {

// Stdin of this test is /dev/null, never a terminal, whatever started the test.
class TerminalUiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_stdin_ = ::dup(STDIN_FILENO);
    int null_fd = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(null_fd, 0);
    ::dup2(null_fd, STDIN_FILENO);
    ::close(null_fd);
  }
  void TearDown() override {
    ::dup2(saved_stdin_, STDIN_FILENO);
    ::close(saved_stdin_);
  }
  int saved_stdin_ = -1;
};

TEST_F(TerminalUiTest, TextsGoToStderrInUtf8AndQuestionsAreAnsweredNo) {
  TerminalUi ui;
  ::testing::internal::CaptureStderr();
  ui.set_status_text(status_service, gbk_from_utf8("搜索完毕"));
  ui.message(gbk_from_utf8("请点击头像登录后使用"), {}, MessageIcon::none);
  ui.message(gbk_from_utf8("没有你选择的格式"), gbk_from_utf8("提示"), MessageIcon::information);
  const bool answer = ui.ask_yes_no(gbk_from_utf8("确定退出吗？"), {}, MessageIcon::question);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(answer);
  EXPECT_EQ(err,
            "搜索完毕\n"
            "信息：请点击头像登录后使用\n"
            "提示: 没有你选择的格式\n"
            "信息：确定退出吗？ [y/N] n\n");

  TerminalUi quiet(true);
  ::testing::internal::CaptureStderr();
  quiet.set_status_text(status_service, "x");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(TerminalUiTest, KeepsInputTextsAndTheClipboard) {
  TerminalUi ui;
  EXPECT_EQ(ui.read_text("box"), "");
  ui.set_text("box", "kw");
  ui.set_clipboard("{\"a\":1}");
  EXPECT_EQ(ui.read_text("box"), "kw");
  EXPECT_EQ(ui.read_text("other"), "");
  EXPECT_EQ(ui.clipboard(), "{\"a\":1}");
}

}  // namespace
}  // namespace zarvex::cli
