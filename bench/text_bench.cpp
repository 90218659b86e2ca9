// The hot text routines on data the size of a real answer: a 40-song search answer in UTF-8,
// the cells of its rows, and a search through the GBK form of the answer. The plain byte search
// beside the character-aware one shows what the character rule costs.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "service/text_codecs.h"
#include "service/text_gbk.h"

namespace {

// About 1.5 KB per song, half of it Chinese, like the service's search answer.
std::string search_answer_utf8() {
  std::string answer = "callback({\"code\":0,\"data\":{\"song\":{\"list\":[";
  for (int i = 0; i < 40; ++i) {
    if (i > 0) answer += ",";
    const std::string n = std::to_string(i);
    answer += "{\"albumid\":" + n + "123,\"albummid\":\"003RMaRI1iFoYd" + n +
              "\",\"albumname\":\"\xE5\x8F\xB6\xE6\x83\xA0\xE7\xBE\x8E \xE7\xAC\xAC" + n +
              "\xE8\xBE\x91\",\"albumname_hilight\":\"\xE5\x8F\xB6\xE6\x83\xA0\xE7\xBE\x8E\","
              "\"alertid\":2,\"belongCD\":0,\"cdIdx\":4,\"chinesesinger\":0,"
              "\"docid\":\"1234567890123456" +
              n +
              "\",\"grp\":[],\"interval\":269,\"isonly\":0,\"lyric\":\"\xE6\x99\xB4\xE5\xA4\xA9 "
              "\xE6\x95\x85\xE4\xBA\x8B\xE7\x9A\x84\xE5\xB0\x8F\xE9\xBB\x84\xE8\x8A\xB1 "
              "\xE4\xBB\x8E\xE5\x87\xBA\xE7\x94\x9F\xE9\x82\xA3\xE5\xB9\xB4\xE5\xB0\xB1\xE9\xA3"
              "\x98\xE7\x9D\x80\",\"media_mid\":\"002BWGZQ2UKjKn" +
              n +
              "\",\"msgid\":13,\"nt\":3,\"pay\":{\"payalbum\":0,\"payalbumprice\":0,"
              "\"paydownload\":1,\"payinfo\":1,\"payplay\":0,\"paytrackmouth\":1,"
              "\"paytrackprice\":200},\"preview\":{\"trybegin\":0,\"tryend\":0,\"trysize\":0},"
              "\"pubtime\":1059580800,\"pure\":0,\"singer\":[{\"id\":4558,\"mid\":"
              "\"0025NhlN2yWrP4\",\"name\":\"\xE5\x91\xA8\xE6\x9D\xB0\xE4\xBC\xA6\","
              "\"name_hilight\":\"\xE5\x91\xA8\xE6\x9D\xB0\xE4\xBC\xA6\"}],\"size128\":4319156,"
              "\"size320\":10797603,\"sizeape\":28462612,\"sizeflac\":29064402,\"sizeogg\":"
              "6005484,\"songid\":97773" +
              n + ",\"songmid\":\"0039MnYb0qxYhV" + n +
              "\",\"songname\":\"\xE6\x99\xB4\xE5\xA4\xA9 (Live/Remix & Co.) ?\","
              "\"songname_hilight\":\"<em>\xE6\x99\xB4\xE5\xA4\xA9</em>\",\"strMediaMid\":"
              "\"002BWGZQ2UKjKn\",\"stream\":1,\"switch\":17413891,\"t\":1,\"tag\":11,"
              "\"type\":0,\"ver\":0,\"vid\":\"u00222le4ox\"}";
  }
  answer += "],\"totalnum\":600},\"keyword\":\"\xE6\x99\xB4\xE5\xA4\xA9\"}})";
  return answer;
}

const std::string& answer_utf8() {
  static const std::string text = search_answer_utf8();
  return text;
}

const std::string& answer_gbk() {
  static const std::string text = zarvex::utf8_to_gbk(answer_utf8());
  return text;
}

void BM_Utf8ToGbk(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(zarvex::utf8_to_gbk(answer_utf8()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(answer_utf8().size()));
}
BENCHMARK(BM_Utf8ToGbk);

void BM_CleanRowText(benchmark::State& state) {
  // Six cells of each of the 40 rows.
  const std::vector<std::string> cells = {
      zarvex::utf8_to_gbk("\xE6\x99\xB4\xE5\xA4\xA9 (Live/Remix & Co.) ?"),
      zarvex::utf8_to_gbk("\xE5\x91\xA8\xE6\x9D\xB0\xE4\xBC\xA6/Various"),
      zarvex::utf8_to_gbk("\xE5\x8F\xB6\xE6\x83\xA0\xE7\xBE\x8E Vol.2"),
      "0039MnYb0qxYhV",
      "977731",
      "002BWGZQ2UKjKn"};
  int64_t bytes = 0;
  for (auto _ : state) {
    for (int row = 0; row < 40; ++row) {
      for (const auto& cell : cells) {
        benchmark::DoNotOptimize(zarvex::clean_row_text(cell));
        bytes += static_cast<int64_t>(cell.size());
      }
    }
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_CleanRowText);

// The keyword stands only at the end, so each search walks the whole answer.
void BM_GbkFind(benchmark::State& state) {
  const std::string& text = answer_gbk();
  for (auto _ : state)
    benchmark::DoNotOptimize(zarvex::gbk_find(text, "\"keyword\""));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_GbkFind);

void BM_ByteFind(benchmark::State& state) {
  const std::string_view text = answer_gbk();
  for (auto _ : state)
    benchmark::DoNotOptimize(text.find("\"keyword\""));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ByteFind);

void BM_SplitSongs(benchmark::State& state) {
  const std::string& text = answer_gbk();
  for (auto _ : state)
    benchmark::DoNotOptimize(zarvex::gbk_split(text, "},{"));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_SplitSongs);

}  // namespace

BENCHMARK_MAIN();
