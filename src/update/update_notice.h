#pragma once
// The update notice: the maker's announcement page says which version is the latest and where
// to get it; the status bar tells the user whether this version is behind. Texts are GBK.

#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/ui_port.h"

namespace zarvex {

// This program's version, as the side bar, the about text and the notice show it.
inline constexpr std::string_view program_version = "1.9.1";

struct UpdateNotice {
  std::string version;       // latest version as published; empty until the page was read
  std::string download_url;  // address of the latest version's download page
};

// The two tagged fields of an announcement page (UTF-8): "[软件版本]…[/软件版本]" and
// "[软件下载地址1]…[/软件下载地址1]". A field without both tags is empty.
UpdateNotice read_update_notice(std::string_view page_utf8);

// What status-bar part 1 shows for a notice: "版本：1.9.1 最新：点击更新" when the published
// version differs from ours in any way, "版本：1.9.1 最新：1.9" when it is ours; "" when no
// version was published (the status bar then stays as it is).
std::string version_status_text(const UpdateNotice& notice);

// The notice shared between the worker that reads the page and the GUI thread that opens its
// address: the worker publishes both fields in one step.
class UpdateNoticeSlot {
 public:
  void publish(UpdateNotice notice);
  UpdateNotice current() const;

 private:
  mutable std::mutex mutex_;
  UpdateNotice notice_;
};

// Fetches a page and returns its body (empty on any failure).
using PageFetch = std::function<std::string(const std::string& address)>;

// The update-notice worker: reads the announcement page at `address` (nothing happens when the
// address is empty), publishes what it found and sets status part 1 when a version was
// published. Reports no error.
void check_for_update(const std::string& address, const PageFetch& fetch, UpdateNoticeSlot& slot,
                      Ui& ui);

// Whether the program may hand `address` to the desktop to open: only web addresses, http or
// https with a host, and no control characters or blanks. Anything else (a file, a program, an
// empty text) could run something on the user's machine.
bool is_web_address(std::string_view address);

}  // namespace zarvex
