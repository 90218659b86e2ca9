// zarvex-cli url QUALITY MID MEDIA_MID: the media address of a song in a quality.

#include <cstdio>

#include "cli_setup.h"
#include "platform/codepage.h"
#include "service/media_address.h"
#include "service/quality.h"
#include "service/text_codecs.h"

namespace zarvex::cli {
namespace {

int run_url(Context& context, const std::vector<std::string>& args) {
  if (!expect_args(args, 3, "url QUALITY MID MEDIA_MID")) return 2;
  const std::string& quality_word = args[0];
  const int quality = quality_word.size() == 1 ? quality_word[0] - '0' : 0;
  if (quality_info(quality) == nullptr) {
    std::fprintf(stderr,
                 "zarvex-cli: QUALITY is 1 (128 kbit/s MP3), 2 (320 kbit/s MP3), 3 (APE) or "
                 "4 (FLAC), not '%s'\n",
                 quality_word.c_str());
    return 2;
  }
  CliSetup setup = cli_setup(context);
  // One time stamp serves as the download's guid in both the key request and the address.
  const std::string guid = make_timestamp(false);
  HttpOutcome outcome;
  std::string address = resolve_media_address(quality, gbk_from_utf8(args[1]), guid, setup.session,
                                              gbk_from_utf8(args[2]), setup.endpoints, &outcome);
  if (int code = check_answer(outcome, setup.endpoints.api_http); code != 0) return code;
  if (address.find("?vkey=&") != std::string::npos) {
    std::fprintf(stderr, "zarvex-cli: the music service gave no download key for %s\n",
                 args[1].c_str());
  }
  std::printf("%s\n", utf8_from_gbk(address).c_str());
  return 0;
}

ZARVEX_CLI_COMMAND(Command{"url", "QUALITY MID MEDIA_MID",
                           "print the media address (QUALITY 1 128k, 2 320k, 3 APE, 4 FLAC)",
                           run_url});

}  // namespace
}  // namespace zarvex::cli
