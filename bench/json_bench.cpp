// The JSON document on service answers of 40 and 5,000 songs, side by side with RapidJSON
// doing the same work: parse the answer and read every field the client reads for each song
// (the search list and the songs of a playlist), each side producing the same texts.
// The "parse" runs parse alone; the "read" runs parse once and time the reads alone (the lookup
// index already made); reads must grow with the number of songs, not with its square. After the
// runs the Zarvex / RapidJSON time ratios are printed.

#include <benchmark/benchmark.h>
#include <rapidjson/document.h>

#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "json/json_document.h"
#include "json_answers.h"

namespace {

using zarvex::JsonDocument;

struct Layout {
  const char* list;    // the path of the song list
  const char* prefix;  // the path of one song up to its index
  std::vector<const char*> suffixes;
};

const Layout kSearch = {
    "data.song.list",
    "data.song.list[",
    {"].title", "].singer[0].name", "].album.name", "].file.size_ape", "].file.size_flac",
     "].file.size_320", "].file.size_128", "].mid", "].file.media_mid", "].id"}};
const Layout kPlaylist = {"cdlist[0].songlist",
                          "cdlist[0].songlist[",
                          {"].songname", "].singer[0].name", "].albumname", "].sizeape",
                           "].sizeflac", "].size320", "].songmid", "].songid", "].strMediaMid"}};

const std::string& answer(bool playlist, int songs) {
  static std::map<std::pair<bool, int>, std::string> answers;
  auto& text = answers[{playlist, songs}];
  if (text.empty()) {
    text = playlist ? zarvex::bench::playlist_answer_gbk(songs)
                    : zarvex::bench::search_answer_gbk(songs);
  }
  return text;
}

// Reads every field as the client does: one path text per song and field.
std::size_t read_zarvex(const JsonDocument& document, const Layout& layout) {
  std::size_t bytes = 0;
  const int32_t count = document.get_member_count(layout.list);
  for (int32_t k = 0; k < count; ++k) {
    const std::string prefix = layout.prefix + std::to_string(k);
    for (const char* suffix : layout.suffixes) {
      const std::string text = document.get_text(prefix + suffix);
      bytes += text.size();
    }
  }
  return bytes;
}

// RapidJSON reads the same fields by member lookups; numbers are kept as their text so both
// sides hand out the same texts.
using RapidValue = rapidjson::Value;

std::string rapid_text(const RapidValue& value) {
  if (value.IsString()) return std::string(value.GetString(), value.GetStringLength());
  if (value.IsBool()) return value.GetBool() ? "true" : "false";
  if (value.IsNull()) return "null";
  return std::string();
}

const RapidValue* member(const RapidValue* object, const char* name) {
  if (object == nullptr || !object->IsObject()) return nullptr;
  const auto found = object->FindMember(name);
  return found == object->MemberEnd() ? nullptr : &found->value;
}

const RapidValue* element(const RapidValue* array, rapidjson::SizeType k) {
  if (array == nullptr || !array->IsArray() || k >= array->Size()) return nullptr;
  return &(*array)[k];
}

std::size_t add(const RapidValue* value) {
  return value ? rapid_text(*value).size() : 0;
}

std::size_t read_rapid(const rapidjson::Document& document, bool playlist) {
  std::size_t bytes = 0;
  if (!playlist) {
    const RapidValue* list = member(member(member(&document, "data"), "song"), "list");
    if (list == nullptr || !list->IsArray()) return 0;
    for (rapidjson::SizeType k = 0; k < list->Size(); ++k) {
      const RapidValue* song = element(list, k);
      const RapidValue* file = member(song, "file");
      bytes += add(member(song, "title"));
      bytes += add(member(element(member(song, "singer"), 0), "name"));
      bytes += add(member(member(song, "album"), "name"));
      bytes += add(member(file, "size_ape"));
      bytes += add(member(file, "size_flac"));
      bytes += add(member(file, "size_320"));
      bytes += add(member(file, "size_128"));
      bytes += add(member(song, "mid"));
      bytes += add(member(file, "media_mid"));
      bytes += add(member(song, "id"));
    }
  } else {
    const RapidValue* list = member(element(member(&document, "cdlist"), 0), "songlist");
    if (list == nullptr || !list->IsArray()) return 0;
    for (rapidjson::SizeType k = 0; k < list->Size(); ++k) {
      const RapidValue* song = element(list, k);
      bytes += add(member(song, "songname"));
      bytes += add(member(element(member(song, "singer"), 0), "name"));
      bytes += add(member(song, "albumname"));
      bytes += add(member(song, "sizeape"));
      bytes += add(member(song, "sizeflac"));
      bytes += add(member(song, "size320"));
      bytes += add(member(song, "songmid"));
      bytes += add(member(song, "songid"));
      bytes += add(member(song, "strMediaMid"));
    }
  }
  return bytes;
}

constexpr unsigned kRapidFlags = rapidjson::kParseNumbersAsStringsFlag;

void ParseAndRead_Zarvex(benchmark::State& state, bool playlist) {
  const std::string& text = answer(playlist, static_cast<int>(state.range(0)));
  const Layout& layout = playlist ? kPlaylist : kSearch;
  for (auto _ : state) {
    JsonDocument document;
    if (document.parse_text(text) != 0) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(read_zarvex(document, layout));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void ParseAndRead_RapidJSON(benchmark::State& state, bool playlist) {
  const std::string& text = answer(playlist, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    rapidjson::Document document;
    document.Parse<kRapidFlags>(text.c_str(), text.size());
    if (document.HasParseError()) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(read_rapid(document, playlist));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void Parse_Zarvex(benchmark::State& state, bool playlist) {
  const std::string& text = answer(playlist, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    JsonDocument document;
    benchmark::DoNotOptimize(document.parse_text(text));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void Parse_RapidJSON(benchmark::State& state, bool playlist) {
  const std::string& text = answer(playlist, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    rapidjson::Document document;
    document.Parse<kRapidFlags>(text.c_str(), text.size());
    benchmark::DoNotOptimize(document.HasParseError());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void Read_Zarvex(benchmark::State& state, bool playlist) {
  const std::string& text = answer(playlist, static_cast<int>(state.range(0)));
  JsonDocument document;
  document.parse_text(text);
  const Layout& layout = playlist ? kPlaylist : kSearch;
  read_zarvex(document, layout);  // the lookup index is made by the first read
  for (auto _ : state)
    benchmark::DoNotOptimize(read_zarvex(document, layout));
  state.counters["per_song"] =
      benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Read_RapidJSON(benchmark::State& state, bool playlist) {
  const std::string& text = answer(playlist, static_cast<int>(state.range(0)));
  rapidjson::Document document;
  document.Parse<kRapidFlags>(text.c_str(), text.size());
  for (auto _ : state)
    benchmark::DoNotOptimize(read_rapid(document, playlist));
  state.counters["per_song"] =
      benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(ParseAndRead_Zarvex, search, false)->Arg(40)->Arg(5000);
BENCHMARK_CAPTURE(ParseAndRead_RapidJSON, search, false)->Arg(40)->Arg(5000);
BENCHMARK_CAPTURE(ParseAndRead_Zarvex, playlist, true)->Arg(40)->Arg(5000);
BENCHMARK_CAPTURE(ParseAndRead_RapidJSON, playlist, true)->Arg(40)->Arg(5000);
BENCHMARK_CAPTURE(Parse_Zarvex, search, false)->Arg(40)->Arg(5000);
BENCHMARK_CAPTURE(Parse_RapidJSON, search, false)->Arg(40)->Arg(5000);
BENCHMARK_CAPTURE(Parse_Zarvex, playlist, true)->Arg(40)->Arg(5000);
BENCHMARK_CAPTURE(Parse_RapidJSON, playlist, true)->Arg(40)->Arg(5000);
BENCHMARK_CAPTURE(Read_Zarvex, search, false)->Arg(40)->Arg(5000);
BENCHMARK_CAPTURE(Read_RapidJSON, search, false)->Arg(40)->Arg(5000);
BENCHMARK_CAPTURE(Read_Zarvex, playlist, true)->Arg(40)->Arg(5000);
BENCHMARK_CAPTURE(Read_RapidJSON, playlist, true)->Arg(40)->Arg(5000);

// Keeps the time per iteration of every run so the ratios can be printed side by side.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        // CPU time: on a shared machine the wall clock also counts other programs' turns.
        times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void print_ratios() const {
    std::printf("\nZarvex CPU time / RapidJSON CPU time (below 2 is the goal):\n");
    for (const auto& [name, zarvex_time] : times_) {
      const std::size_t at = name.find("_Zarvex");
      if (at == std::string::npos) continue;
      std::string rapid_name = name;
      rapid_name.replace(at, 7, "_RapidJSON");
      const auto rapid = times_.find(rapid_name);
      if (rapid == times_.end() || rapid->second <= 0) continue;
      std::printf("  %-40s %6.2f\n", name.c_str(), zarvex_time / rapid->second);
    }
    std::printf("\nCPU time per song, 5000 songs / 40 songs (1 is linear growth):\n");
    for (const auto& [name, time_40] : times_) {
      if (name.size() < 3 || name.compare(name.size() - 3, 3, "/40") != 0) continue;
      const auto big = times_.find(name.substr(0, name.size() - 3) + "/5000");
      if (big == times_.end() || time_40 <= 0) continue;
      std::printf("  %-40s %6.2f\n", name.substr(0, name.size() - 3).c_str(),
                  (big->second / 5000.0) / (time_40 / 40.0));
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.print_ratios();
  benchmark::Shutdown();
  return 0;
}
