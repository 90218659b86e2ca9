#include "decoration/skin_library.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "call_log.h"
#include "pe_image_builder.h"

namespace zarvex {
namespace {

// A skin library image exporting the given names, function i at 0x1100 + 0x10 * i.
std::vector<std::uint8_t> skin_image(const std::vector<std::string>& exports) {
  test::PeImageBuilder builder;
  builder.add_section(0x1000, 0x1000);
  builder.characteristics = 0x0102;  // not entered, so only the skin calls are recorded
  std::vector<std::uint32_t> functions;
  std::vector<test::PeImageBuilder::ExportName> names;
  for (std::size_t i = 0; i < exports.size(); ++i) {
    functions.push_back(0x1100 + 0x10 * i);
    names.push_back({exports[i], static_cast<std::uint16_t>(i)});
  }
  builder.add_exports(0x1800, 1, functions, names);
  return builder.build();
}

TEST(SkinLibraryTest, CallsTheThreeExportsInOrderAndSkipsMissingOnes) {
  const std::vector<std::uint8_t> description = {'.', 'S', 'H', 'E', 1, 2, 3};
  const auto address_of = [](const std::vector<std::uint8_t>& bytes) {
    return reinterpret_cast<std::uintptr_t>(bytes.data());
  };
  const std::vector<std::uintptr_t> attach = {
      address_of(description), description.size(), 0, 0, 0, 0};
  const std::vector<std::uintptr_t> adjust = {255, 0, 0, 9, 0, 0, 0, 0, 0};
  const std::vector<std::uintptr_t> set = {1};
  const struct {
    const char* what;
    std::vector<std::string> exports;
    std::vector<std::pair<std::string, std::vector<std::uintptr_t>>> expected;
  } cases[] = {
      {"all three",
       {"SkinH_SetAero", "SkinH_AttachRes", "SkinH_AdjustAero"},
       {{"SkinH_AttachRes", attach}, {"SkinH_AdjustAero", adjust}, {"SkinH_SetAero", set}}},
      {"one missing",
       {"SkinH_AttachRes", "SkinH_SetAero"},
       {{"SkinH_AttachRes", attach}, {"SkinH_SetAero", set}}},
      {"none of them", {"Other"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto log = std::make_shared<test::CallLog>();
    MemoryLibrary library(test::CallLog::caller(log));
    ASSERT_TRUE(library.load_library_image(skin_image(c.exports)));
    EXPECT_TRUE(apply_skin_library(library, description, 9));
    const std::vector<test::Call>& calls = log->calls;
    ASSERT_EQ(calls.size(), c.expected.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(calls[i].address, library.find_export(c.expected[i].first));
      EXPECT_EQ(calls[i].arguments, c.expected[i].second);
    }
  }
}

TEST(SkinLibraryTest, NothingIsCalledWithoutALoadedLibrary) {
  auto calls = std::make_shared<int>(0);
  MemoryLibrary library([calls](std::uintptr_t, std::span<const std::uintptr_t>) {
    ++*calls;
    return 1u;
  });
  const std::vector<std::uint8_t> description = {'.', 'S', 'H', 'E'};
  EXPECT_FALSE(apply_skin_library(library, description));
  EXPECT_FALSE(library.load_library_image(std::vector<std::uint8_t>(10, 0)));
  EXPECT_FALSE(apply_skin_library(library, description));
  EXPECT_EQ(*calls, 0);
}

}  // namespace
}  // namespace zarvex
