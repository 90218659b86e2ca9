#include "service/endpoints.h"

#include <gtest/gtest.h>

#include "settings/ini_file.h"
#include "settings/settings.h"
#include "support/scratch_folder.h"

namespace zarvex {
namespace {

class EndpointsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(home_.empty()); }

  test::ScratchFolder folder_;
  const std::string home_ = folder_.path();
};

TEST_F(EndpointsTest, MissingFileOrKeysKeepThePublicAddresses) {
  Endpoints defaults;
  Endpoints loaded = load_endpoints(home_);
  EXPECT_EQ(loaded.api_https, defaults.api_https);
  EXPECT_EQ(loaded.media, defaults.media);
  EXPECT_EQ(loaded.announce, "");
  EXPECT_EQ(loaded.http.ca_file, "");
}

TEST_F(EndpointsTest, ConfiguredAddressesReplaceTheDefaults) {
  const std::string file = settings_file_path(home_);
  ASSERT_TRUE(write_ini_value(file, "service", "api_https", "https://127.0.0.1:4443/"));
  ASSERT_TRUE(write_ini_value(file, "service", "media", "http://127.0.0.1:8080"));
  ASSERT_TRUE(write_ini_value(file, "service", "site", ""));
  ASSERT_TRUE(write_ini_value(file, "service", "ca_file", "data/ca.pem"));
  ASSERT_TRUE(write_ini_value(file, "musicset", "downth", "8"));

  Endpoints loaded = load_endpoints(home_);
  EXPECT_EQ(loaded.api_https, "https://127.0.0.1:4443");
  EXPECT_EQ(loaded.media, "http://127.0.0.1:8080");
  EXPECT_EQ(loaded.site, Endpoints().site);
  EXPECT_EQ(loaded.api_http, Endpoints().api_http);
  EXPECT_EQ(loaded.http.ca_file, home_ + "/data/ca.pem");

  ASSERT_TRUE(write_ini_value(file, "service", "ca_file", "/etc/extra.pem"));
  EXPECT_EQ(load_endpoints(home_).http.ca_file, "/etc/extra.pem");
}

}  // namespace
}  // namespace zarvex
