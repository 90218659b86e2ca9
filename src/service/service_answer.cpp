#include "service/service_answer.h"

#include "service/text_codecs.h"

namespace zarvex {

std::string answer_text(std::string_view body, std::string_view callback_name) {
  return jsonp_unwrap(utf8_to_gbk(body), callback_name);
}

void read_song_list(const JsonDocument& document, std::string_view list_path,
                    std::span<const SongField> fields, std::vector<SongRow>& rows) {
  const int32_t count = document.get_member_count(list_path);
  const std::string prefix = std::string(list_path) + "[";
  for (int32_t k = 0; k < count; ++k) {
    const std::string element = prefix + std::to_string(k);
    SongRow row;
    for (const SongField& field : fields) {
      row.*(field.field) = document.get_text(element + std::string(field.suffix));
    }
    derive_quality_flags(row);
    rows.push_back(std::move(row));
  }
}

}  // namespace zarvex
