#pragma once
// Reading the service's JSONP answers: the body as GBK text without its JSONP call, and the
// song records of a song list in an answer.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_document.h"
#include "service/song_row.h"

namespace zarvex {

// The body up to its first zero byte, converted from UTF-8 to GBK, with the JSONP call of
// `callback_name`'s length removed.
std::string answer_text(std::string_view body, std::string_view callback_name);

// One field of a song record: the path suffix after "<list>[k" and the field it fills.
struct SongField {
  std::string_view suffix;
  std::string SongRow::*field;
};

// Appends one record per element of the list at `list_path`, reading the fields in the given
// order (values decoded), then deriving the quality flags.
void read_song_list(const JsonDocument& document, std::string_view list_path,
                    std::span<const SongField> fields, std::vector<SongRow>& rows);

}  // namespace zarvex
