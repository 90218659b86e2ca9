// The terminal client's service commands against the stand-in service on 127.0.0.1: search,
// lyrics and playlists over HTTPS (verified against the stand-in's own authority), the
// download key over HTTP.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "net/http.h"
#include "service/endpoints.h"
#include "service/quality.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "support/cli_runner.h"
#include "support/scratch_folder.h"
#include "support/standin_process.h"

namespace zarvex {
namespace {

using test::CliRun;
using test::lines_of;
using test::run_cli;
using test::split_tabs;

const std::string login_cookie = "pt2gguin=o0012345; uin=o0012345; skey=@abcdefghi; p_uin=o0012345";

// One song line: mark, title, singer, album, mid, tags, id, media mid.
struct SongLine {
  std::vector<std::string> fields;
  const std::string& mark() const { return fields[0]; }
  const std::string& title() const { return fields[1]; }
  const std::string& mid() const { return fields[4]; }
  const std::string& tags() const { return fields[5]; }
  const std::string& id() const { return fields[6]; }
  const std::string& media_mid() const { return fields[7]; }
};

bool digits_only(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Every line is a well-formed song line whose mark agrees with its tags.
std::vector<SongLine> song_lines(const std::string& out) {
  std::vector<SongLine> songs;
  for (const std::string& line : lines_of(out)) {
    SongLine song{split_tabs(line)};
    EXPECT_EQ(song.fields.size(), 8u) << line;
    if (song.fields.size() != 8) continue;
    const bool lossless = song.tags().find("ape") != std::string::npos ||
                          song.tags().find("flac") != std::string::npos;
    const bool high = song.tags().find("320mp3") != std::string::npos;
    EXPECT_EQ(song.mark(), lossless ? "SQ" : high ? "HQ" : "") << line;
    EXPECT_FALSE(song.mid().empty()) << line;
    EXPECT_TRUE(digits_only(song.id())) << line;
    songs.push_back(std::move(song));
  }
  return songs;
}

class ServiceCommands : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = new test::ScratchFolder;
    standin_ = new test::StandinProcess({"--write-config", home_->path()}, 300);
  }
  static void TearDownTestSuite() {
    delete standin_;
    delete home_;
  }
  void SetUp() override {
    ASSERT_FALSE(home_->path().empty());
    ASSERT_TRUE(standin_->ok()) << standin_->startup_output();
  }

  static CliRun cli(std::vector<std::string> args, const std::string& home = home_->path()) {
    std::vector<std::string> words = {"--home", home, "--cookie", login_cookie};
    words.insert(words.end(), args.begin(), args.end());
    return run_cli(words);
  }

  // name and tid of every playlist of the account.
  static std::vector<std::pair<std::string, std::string>> playlists() {
    CliRun run = cli({"playlists"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    std::vector<std::pair<std::string, std::string>> found;
    for (const std::string& line : lines_of(run.out)) {
      auto fields = split_tabs(line);
      EXPECT_EQ(fields.size(), 2u) << line;
      if (fields.size() == 2) found.emplace_back(fields[0], fields[1]);
    }
    return found;
  }

  static std::vector<SongLine> songs_of(const std::string& tid) {
    CliRun run = cli({"playlist-songs", tid});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    return song_lines(run.out);
  }

  // The songs of every playlist, at most `limit` of them.
  static std::vector<SongLine> some_songs(std::size_t limit) {
    std::vector<SongLine> all;
    for (const auto& playlist : playlists()) {
      for (auto& song : songs_of(playlist.second)) {
        if (all.size() < limit) all.push_back(std::move(song));
      }
    }
    return all;
  }

  static test::ScratchFolder* home_;
  static test::StandinProcess* standin_;
};

test::ScratchFolder* ServiceCommands::home_ = nullptr;
test::StandinProcess* ServiceCommands::standin_ = nullptr;

TEST_F(ServiceCommands, PlaylistSongsAndSearchAgreeOnEverySong) {
  const auto lists = playlists();
  ASSERT_FALSE(lists.empty());
  std::vector<SongLine> found;
  for (const auto& [name, tid] : lists) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(digits_only(tid)) << tid;
    for (auto& song : songs_of(tid)) {
      // A playlist answer carries no 128 size: that quality is always offered.
      EXPECT_EQ(song.tags().rfind("128mp3", 0), 0u) << song.title();
      if (found.size() < 3 && !song.title().empty()) found.push_back(std::move(song));
    }
  }
  ASSERT_FALSE(found.empty());

  for (const SongLine& wanted : found) {
    SCOPED_TRACE(wanted.title());
    CliRun run = cli({"search", wanted.title()});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const auto results = song_lines(run.out);
    EXPECT_LE(results.size(), 40u);
    auto same = std::find_if(results.begin(), results.end(), [&](const SongLine& s) {
      return s.mid() == wanted.mid() && s.id() == wanted.id() &&
             s.media_mid() == wanted.media_mid();
    });
    ASSERT_NE(same, results.end());
    EXPECT_EQ(same->title(), wanted.title());
  }
}

TEST_F(ServiceCommands, LyricsEndWithTheFooterAndKeepNoReferences) {
  const std::string footer = "\r\n[by:Zarvex " + load_endpoints(home_->path()).maker_site + "]\n";
  std::size_t with_text = 0;
  for (const SongLine& song : some_songs(12)) {
    SCOPED_TRACE(song.title());
    CliRun run = cli({"lyrics", song.id()});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    ASSERT_GE(run.out.size(), footer.size());
    EXPECT_EQ(run.out.substr(run.out.size() - footer.size()), footer);
    EXPECT_EQ(run.out.find("&#"), std::string::npos);
    if (run.out.size() > footer.size()) {
      ++with_text;
      EXPECT_EQ(run.out.front(), '[');
    }
  }
  EXPECT_GT(with_text, 0u);

  CliRun unknown = cli({"lyrics", "999999999"});
  EXPECT_EQ(unknown.exit_code, 0) << unknown.err;
  EXPECT_EQ(unknown.out, footer);
}

TEST_F(ServiceCommands, UrlGivesAnAddressTheMediaHostServes) {
  const Endpoints endpoints = load_endpoints(home_->path());
  std::size_t probed = 0;
  for (const SongLine& song : some_songs(6)) {
    for (int quality = 1; quality <= 4; ++quality) {
      const QualityInfo* info = quality_info(quality);
      if (song.tags().find(info->tag) == std::string::npos) continue;
      SCOPED_TRACE(song.title() + " " + std::string(info->tag));
      CliRun run = cli({"url", std::to_string(quality), song.mid(), song.media_mid()});
      ASSERT_EQ(run.exit_code, 0) << run.err;
      const std::string address = run.out.substr(0, run.out.find('\n'));
      const std::string head = endpoints.media + "/" + std::string(info->prefix) +
                               song.media_mid() + std::string(info->address_extension);
      ASSERT_EQ(address.rfind(head, 0), 0u) << address;
      const std::string key = address.substr(head.size(), address.find('&') - head.size());
      EXPECT_FALSE(key.empty()) << address;
      const std::size_t guid_at = address.find("&guid=") + 6;
      EXPECT_TRUE(digits_only(address.substr(guid_at, 13))) << address;
      EXPECT_EQ(address.substr(guid_at + 13), "&uin=12345&fromtag=64");
      EXPECT_GT(probe_content_length(address, endpoints.http), 0) << address;
      ++probed;
    }
  }
  EXPECT_GT(probed, 0u);
}

TEST_F(ServiceCommands, BadArgumentsAndMissingLoginAreRefused) {
  struct Case {
    std::vector<std::string> args;
    bool with_cookie;
    int exit_code;
  } cases[] = {
      {{"search"}, true, 2},
      {{"search", "a", "b"}, true, 2},
      {{"playlists", "extra"}, true, 2},
      {{"playlist-songs"}, true, 2},
      {{"lyrics"}, true, 2},
      {{"url", "5", "mid", "media"}, true, 2},
      {{"url", "x", "mid", "media"}, true, 2},
      {{"url", "4", "mid"}, true, 2},
      {{"search", "night"}, false, 1},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& a : c.args)
      joined += a + " ";
    SCOPED_TRACE(joined);
    CliRun run = c.with_cookie ? cli(c.args) : run_cli([&] {
      std::vector<std::string> words = {"--home", home_->path()};
      words.insert(words.end(), c.args.begin(), c.args.end());
      return words;
    }());
    EXPECT_EQ(run.exit_code, c.exit_code);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(run.err.empty());
  }
}

class UnreachableService : public ServiceCommands {
 protected:
  void SetUp() override {
    ServiceCommands::SetUp();
    ASSERT_FALSE(other_home_.empty());
  }
  test::ScratchFolder other_folder_;
  const std::string other_home_ = other_folder_.path();
};

TEST_F(UnreachableService, EveryCommandFailsWhenNoServiceAnswers) {
  // A loopback port that was just free: nothing listens there.
  int port = 0;
  {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    port = ntohs(addr.sin_port);
    ::close(fd);
  }
  const std::string file = settings_file_path(other_home_);
  const std::string dead = "127.0.0.1:" + std::to_string(port);
  ASSERT_TRUE(write_ini_value(file, "service", "api_https", "https://" + dead));
  ASSERT_TRUE(write_ini_value(file, "service", "api_http", "http://" + dead));
  const std::vector<std::string> commands[] = {{"search", "night"},
                                               {"playlists"},
                                               {"playlist-songs", "1"},
                                               {"lyrics", "1"},
                                               {"url", "1", "mid", "media"}};
  for (const auto& args : commands) {
    SCOPED_TRACE(args[0]);
    CliRun run = cli(args, other_home_);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("no answer from the music service at"), std::string::npos) << run.err;
  }
}

TEST_F(UnreachableService, TheHttpsServiceIsRefusedWithoutItsAuthority) {
  // The same stand-in, but without its authority among the trusted ones.
  const std::string file = settings_file_path(other_home_);
  std::filesystem::create_directories(other_home_ + "/data");
  std::filesystem::copy_file(settings_file_path(home_->path()), file);
  ASSERT_TRUE(write_ini_value(file, "service", "ca_file", ""));

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"playlists"}, std::vector<std::string>{"search", "night"}}) {
    SCOPED_TRACE(args[0]);
    CliRun refused = cli(args, other_home_);
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("no answer from the music service at https://"), std::string::npos)
        << refused.err;
    CliRun trusted = cli(args);
    EXPECT_EQ(trusted.exit_code, 0) << trusted.err;
    EXPECT_FALSE(trusted.out.empty());
  }
}

}  // namespace
}  // namespace zarvex
