#include "decoration/memory_library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "call_log.h"
#include "pe_image_builder.h"

namespace zarvex {
namespace {

using test::CallLog;
using test::PeImageBuilder;

constexpr std::uint32_t section_rva = 0x1000;
constexpr std::uint32_t section_size = 0x2000;

// A DLL with one 8 KiB section at 0x1000 and nothing else.
PeImageBuilder plain_library() {
  PeImageBuilder builder;
  builder.add_section(section_rva, section_size);
  return builder;
}

std::uint32_t mapped32(const MemoryLibrary& library, std::uint32_t rva) {
  const auto image = library.mapped_image();
  std::uint32_t value = 0;
  if (rva + 4 <= image.size()) std::memcpy(&value, image.data() + rva, 4);
  return value;
}

TEST(MemoryLibraryTest, MalformedImagesLoadAsZero) {
  struct Case {
    const char* what;
    std::function<void(PeImageBuilder&)> edit_builder;
    std::function<void(std::vector<std::uint8_t>&)> edit_file;
    bool loads;
  };
  const auto nothing = [](auto&) {};
  const auto file_byte = [](std::size_t at, std::uint8_t value) {
    return [=](std::vector<std::uint8_t>& file) { file[at] = value; };
  };
  const auto file_word = [](std::size_t at, std::uint32_t value) {
    return [=](std::vector<std::uint8_t>& file) {
      for (int i = 0; i < 4; ++i)
        file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
  };
  const std::vector<Case> cases = {
      {"well-formed", nothing, nothing, true},
      {"shorter than a DOS header", nothing, [](auto& file) { file.resize(63); }, false},
      {"no MZ", nothing, file_byte(1, 'X'), false},
      {"e_lfanew + 248 past the end", nothing, file_word(0x3C, 0x2400 - 247), false},
      {"negative e_lfanew", nothing, file_word(0x3C, 0xFFFFFF00u), false},
      {"signature not PE", nothing, file_byte(0x41, 'F'), false},
      {"signature without zero bytes", nothing, file_byte(0x42, 1), false},
      {"not an executable image", [](auto& b) { b.characteristics = 0x2100; }, nothing, false},
      {"section table past the end", nothing,
       [](auto& file) {
         file[0x46] = 0xFF;
         file[0x47] = 0x00;
       },
       false},
      {"section alignment 0", [](auto& b) { b.section_alignment = 0; }, nothing, false},
      {"section bytes past the end of the file", nothing,
       [](auto& file) { file[0x40 + 248 + 16 + 2] = 0x01; }, false},
      {"image larger than any library", [](auto& b) { b.size_of_image = 0x40000000; }, nothing,
       false},
      {"image smaller than its headers",
       [](auto& b) {
         b.sections.clear();
         b.size_of_image = 0x100;
       },
       nothing, false},
      {"relocation block of size 0 would never advance",
       [](auto& b) {
         b.put32(0x1800, 0x1000);
         b.directories[5] = {0x1800, 16};
       },
       nothing, false},
      {"relocation block longer than its directory",
       [](auto& b) {
         b.put32(0x1800, 0x1000);
         b.put32(0x1804, 64);
         b.directories[5] = {0x1800, 16};
       },
       nothing, false},
      {"relocation directory past the image",
       [](auto& b) {
         b.directories[5] = {0x2FF0, 0x100};
       },
       nothing, false},
      {"relocation target past the image",
       [](auto& b) {
         b.add_relocations(0x1800, {{0x2000, {0x3FFE}}});
       },
       nothing, false},
      {"import descriptor past the image",
       [](auto& b) {
         b.directories[1] = {0x7FFFFFF0, 20};
       },
       nothing, false},
      {"import library name without its end",
       [](auto& b) {
         for (std::uint32_t at = 0x2FF0; at < 0x3000; ++at)
           b.put8(at, 'A');
         b.put32(0x1800 + 12, 0x2FF0);
         b.put32(0x1800 + 16, 0x1900);
         b.put32(0x1900, 0x1A00);
         b.directories[1] = {0x1800, 40};
       },
       nothing, false},
      {"import name record past the image",
       [](auto& b) {
         b.put_text(0x1A00, "x.dll");
         b.put32(0x1800 + 12, 0x1A00);
         b.put32(0x1800 + 16, 0x1900);
         b.put32(0x1900, 0x7FFF0000);
         b.directories[1] = {0x1800, 40};
       },
       nothing, false},
      {"entry point past the image", [](auto& b) { b.entry_rva = 0x100000; }, nothing, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PeImageBuilder builder = plain_library();
    builder.entry_rva = 0x1000;
    c.edit_builder(builder);
    std::vector<std::uint8_t> file = builder.build();
    c.edit_file(file);
    auto log = std::make_shared<CallLog>();
    MemoryLibrary library(CallLog::caller(log));
    EXPECT_EQ(library.load_library_image(file, [](const ImportName&) { return 0x4000; }), c.loads);
    EXPECT_EQ(library.image_base() != 0, c.loads);
    if (!c.loads) {
      EXPECT_TRUE(log->calls.empty());
      EXPECT_EQ(library.entry_point(), 0u);
      EXPECT_TRUE(library.mapped_image().empty());
    }
  }
}

TEST(MemoryLibraryTest, RelocationsAddTheLoadDeltaToEveryHighLowEntryOnly) {
  PeImageBuilder builder = plain_library();
  builder.characteristics = 0x0102;  // an executable image, not entered
  const std::uint32_t original = 0x10001234;
  const std::vector<std::uint32_t> relocated = {0x1010, 0x1FFC, 0x2004};
  const std::vector<std::uint32_t> untouched = {0x1020, 0x1030, 0x2010};
  for (std::uint32_t rva : relocated)
    builder.put32(rva, original);
  for (std::uint32_t rva : untouched)
    builder.put32(rva, original);
  builder.add_relocations(0x2800, {
                                      // HIGHLOW, ABSOLUTE padding, DIR64, HIGHLOW at the page's end
                                      {0x1000, {0x3010, 0x0020, 0xA030, 0x3FFC}},
                                      {0x2000, {0x3004, 0x0000}},
                                  });
  const std::vector<std::uint8_t> file = builder.build();

  // Both libraries ask for one ImageBase: at most one gets it, the other is moved.
  MemoryLibrary first;
  MemoryLibrary second;
  ASSERT_TRUE(first.load_library_image(file));
  ASSERT_TRUE(second.load_library_image(file));
  bool moved = false;
  for (const MemoryLibrary* library : {&first, &second}) {
    const std::uint32_t delta =
        static_cast<std::uint32_t>(library->image_base()) - builder.image_base;
    moved = moved || delta != 0;
    for (std::uint32_t rva : relocated)
      EXPECT_EQ(mapped32(*library, rva), original + delta) << rva;
    for (std::uint32_t rva : untouched)
      EXPECT_EQ(mapped32(*library, rva), original) << rva;
  }
  EXPECT_TRUE(moved);
}

TEST(MemoryLibraryTest, ImageMemoryIsNeverExecutable) {
  PeImageBuilder builder = plain_library();
  builder.characteristics = 0x0102;
  MemoryLibrary library;
  ASSERT_TRUE(library.load_library_image(builder.build()));
  std::ifstream maps("/proc/self/maps");
  std::string line;
  bool found = false;
  while (std::getline(maps, line)) {
    std::istringstream fields(line);
    std::string range;
    std::string permissions;
    fields >> range >> permissions;
    const std::uintptr_t start = std::stoull(range.substr(0, range.find('-')), nullptr, 16);
    const std::uintptr_t end = std::stoull(range.substr(range.find('-') + 1), nullptr, 16);
    if (library.image_base() >= start && library.image_base() < end) {
      found = true;
      EXPECT_EQ(permissions.substr(0, 3), "rw-") << line;
    }
  }
  EXPECT_TRUE(found);
}

TEST(MemoryLibraryTest, FindsExportsByNameAndByOrdinal) {
  PeImageBuilder builder = plain_library();
  builder.characteristics = 0x0102;
  // Ordinals 1..5; ordinal 3 has no function and ordinal 5 points outside the image.
  builder.add_exports(0x1800, 1, {0x1100, 0x1200, 0, 0x1300, 0x900000},
                      {{"alpha", 0},
                       {"beta", 1},
                       {"hole", 2},
                       {"dup", 2},
                       {"dup", 1},
                       {"gamma", 3, 0x2F00},  // its name lies apart from the others
                       {"late", 9},
                       {"far", 4}});
  MemoryLibrary library;
  EXPECT_EQ(library.find_export("alpha"), 0u);  // nothing loaded yet
  ASSERT_TRUE(library.load_library_image(builder.build()));

  const struct {
    const char* name;
    std::uint32_t rva;  // 0: not found
  } cases[] = {
      {"alpha", 0x1100},  {"beta", 0x1200}, {"gamma", 0x1300}, {"dup", 0x1200}, {"1", 0x1100},
      {"2", 0x1200},      {"4", 0x1300},    {"3", 0},          {"5", 0},        {"6", 0},
      {"0", 0},           {"-1", 0},        {"01", 0},         {"+1", 0},       {"Alpha", 0},
      {"hole", 0},        {"late", 0},      {"far", 0},        {"delta", 0},    {"", 0},
      {"99999999999", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(library.find_export(c.name), c.rva == 0 ? 0 : library.image_base() + c.rva);
  }
}

TEST(MemoryLibraryTest, ExportTablesWithLyingCountsStayInsideTheImage) {
  PeImageBuilder builder = plain_library();
  builder.characteristics = 0x0102;
  builder.add_exports(0x1800, 1, {0x1100}, {{"alpha", 0}});
  builder.put32(0x1800 + 20, 0xFFFFFFFFu);  // NumberOfFunctions
  builder.put32(0x1800 + 24, 0xFFFFFFFFu);  // NumberOfNames
  MemoryLibrary library;
  ASSERT_TRUE(library.load_library_image(builder.build()));
  EXPECT_EQ(library.find_export("alpha"), library.image_base() + 0x1100);
  EXPECT_EQ(library.find_export("missing"), 0u);
  EXPECT_EQ(library.find_export("70000"), 0u);

  PeImageBuilder outside = plain_library();
  outside.characteristics = 0x0102;
  outside.directories[0] = {0x7FFFFF00, 40};
  ASSERT_TRUE(library.load_library_image(outside.build()));
  EXPECT_EQ(library.find_export("alpha"), 0u);
  EXPECT_EQ(library.find_export("1"), 0u);
}

TEST(MemoryLibraryTest, ImportsAreBoundThroughTheResolver) {
  PeImageBuilder builder = plain_library();
  builder.characteristics = 0x0102;
  const auto thunks =
      builder.add_imports(0x1800, {{"skin.dll", {{"Open"}, {"", 7}}}, {"gdi.dll", {{"Draw"}}}});
  const std::vector<std::uint8_t> file = builder.build();

  std::vector<std::string> asked;
  const auto resolver = [&asked](const ImportName& import) -> std::uintptr_t {
    asked.push_back(
        std::string(import.library) + "!" +
        (import.by_ordinal ? "#" + std::to_string(import.ordinal) : std::string(import.function)));
    return 0x5000 + 0x10 * asked.size();
  };
  MemoryLibrary library;
  ASSERT_TRUE(library.load_library_image(file, resolver));
  EXPECT_EQ(asked, (std::vector<std::string>{"skin.dll!Open", "skin.dll!#7", "gdi.dll!Draw"}));
  EXPECT_EQ(mapped32(library, thunks[0][0]), 0x5010u);
  EXPECT_EQ(mapped32(library, thunks[0][1]), 0x5020u);
  EXPECT_EQ(mapped32(library, thunks[1][0]), 0x5030u);

  const struct {
    const char* what;
    ImportResolver resolver;
  } failing[] = {
      {"no resolver", {}},
      {"one function unknown",
       [](const ImportName& import) -> std::uintptr_t {
         return import.function == "Draw" ? 0 : 0x5000;
       }},
      {"an address that does not fit the table",
       [](const ImportName&) -> std::uintptr_t { return std::uintptr_t{0x1} << 32; }},
  };
  for (const auto& c : failing) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(library.load_library_image(file, c.resolver));
    EXPECT_EQ(library.image_base(), 0u);
  }
}

TEST(MemoryLibraryTest, EntryPointIsCalledForLibrariesOnly) {
  constexpr std::uintptr_t attach[] = {0, 1, 0};
  constexpr std::uintptr_t detach[] = {0, 0, 0};
  const struct {
    const char* what;
    std::uint16_t characteristics;
    std::uint32_t entry_rva;
    bool with_caller;
    std::uint32_t answer;
    bool loads;
    std::vector<const std::uintptr_t*> load_calls;  // argument triples, in order
  } cases[] = {
      {"library entered", 0x2102, 0x1040, true, 1, true, {attach}},
      {"library refusing", 0x2102, 0x1040, true, 0, false, {attach, detach}},
      {"library without entry point", 0x2102, 0, true, 1, true, {}},
      {"library with nothing to run it", 0x2102, 0x1040, false, 1, false, {}},
      {"executable not entered", 0x0102, 0x1040, true, 1, true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PeImageBuilder builder = plain_library();
    builder.characteristics = c.characteristics;
    builder.entry_rva = c.entry_rva;
    auto log = std::make_shared<CallLog>();
    log->answer = c.answer;
    MemoryLibrary library(c.with_caller ? CallLog::caller(log) : CodeCaller{});
    EXPECT_EQ(library.load_library_image(builder.build()), c.loads);
    ASSERT_EQ(log->calls.size(), c.load_calls.size());
    for (std::size_t i = 0; i < c.load_calls.size(); ++i) {
      EXPECT_EQ(log->calls[i].arguments,
                std::vector<std::uintptr_t>(c.load_calls[i], c.load_calls[i] + 3));
      EXPECT_EQ(log->calls[i].address, log->calls[0].address);
    }
    if (!c.loads) continue;
    EXPECT_EQ(library.entry_point(), library.image_base() + c.entry_rva);
    const std::uintptr_t entry = library.entry_point();
    const std::size_t before = log->calls.size();
    EXPECT_TRUE(library.unload_library_image());
    EXPECT_EQ(library.image_base(), 0u);
    EXPECT_EQ(library.entry_point(), 0u);
    if (before == 0) {
      EXPECT_TRUE(log->calls.empty());
    } else {
      EXPECT_EQ(log->calls[0].address, entry);
      ASSERT_EQ(log->calls.size(), before + 1);
      EXPECT_EQ(log->calls.back().address, entry);
      EXPECT_EQ(log->calls.back().arguments, std::vector<std::uintptr_t>(detach, detach + 3));
    }
    EXPECT_TRUE(library.unload_library_image());  // nothing loaded: nothing more to do
    EXPECT_EQ(log->calls.size(), before + (before == 0 ? 0 : 1));
  }
}

TEST(MemoryLibraryTest, LoadingAgainDetachesTheLoadedLibraryFirst) {
  PeImageBuilder builder = plain_library();
  builder.entry_rva = 0x1040;
  const std::vector<std::uint8_t> file = builder.build();
  auto log = std::make_shared<CallLog>();
  MemoryLibrary library(CallLog::caller(log));
  ASSERT_TRUE(library.load_library_image(file));
  const std::uintptr_t first_entry = library.entry_point();
  ASSERT_TRUE(library.load_library_image(file));
  ASSERT_EQ(log->calls.size(), 3u);
  EXPECT_EQ(log->calls[1].address, first_entry);
  EXPECT_EQ(log->calls[1].arguments, (std::vector<std::uintptr_t>{0, 0, 0}));
  EXPECT_EQ(log->calls[2].arguments, (std::vector<std::uintptr_t>{0, 1, 0}));
  EXPECT_EQ(log->calls[2].address, library.entry_point());

  // A moved-from library owns nothing; the new owner unloads it.
  MemoryLibrary moved(std::move(library));
  EXPECT_EQ(library.image_base(), 0u);
  EXPECT_NE(moved.image_base(), 0u);
  EXPECT_TRUE(moved.unload_library_image());
  EXPECT_EQ(log->calls.size(), 4u);
}

TEST(MemoryLibraryTest, CallAddressRunsNothingForAddressZeroOrTooManyArguments) {
  auto log = std::make_shared<CallLog>();
  log->answer = 7;
  MemoryLibrary library(CallLog::caller(log));
  EXPECT_EQ(library.call_address(0x1000, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), 7u);
  EXPECT_EQ(library.call_address(0, {1}), 0u);
  EXPECT_EQ(library.call_address(0x1000, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}), 0u);
  ASSERT_EQ(log->calls.size(), 1u);
  EXPECT_EQ(log->calls[0].arguments.size(), 10u);
  EXPECT_EQ(MemoryLibrary().call_address(0x1000, {}), 0u);
}

}  // namespace
}  // namespace zarvex
