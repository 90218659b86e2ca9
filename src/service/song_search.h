#pragma once
// Song search: the first 40 matches of a keyword, shown in the search list.

#include <string>
#include <string_view>
#include <vector>

#include "net/http.h"
#include "platform/list_table.h"
#include "platform/ui_port.h"
#include "service/endpoints.h"
#include "service/service_outcome.h"
#include "service/song_row.h"

namespace zarvex {

std::string search_address(std::string_view keyword, const Endpoints& endpoints);

// One search for `keyword` (GBK); appends one row per match, in the answer's order. True when
// the answer could be parsed (an empty answer is an empty, parsed document).
bool search_songs(std::string_view keyword, const Endpoints& endpoints, std::vector<SongRow>& rows,
                  HttpOutcome* outcome = nullptr);

// The click on the search button: refuses with a message when not signed in; otherwise
// disables the button and shows the progress text. True when the worker is to start.
bool begin_search(bool logged_in, Ui& ui);

// The search worker: searches, replaces the results list's rows when the answer parsed,
// shows the final status text and enables the button again. Runs on its own thread in the
// desktop program and directly in the terminal client.
ServiceOutcome search_worker(const std::string& keyword, const Endpoints& endpoints,
                             ListTable& results, Ui& ui);

}  // namespace zarvex
