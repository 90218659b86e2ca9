#pragma once
// libcurl's process-wide set-up, shared by the transport and the download engine.

namespace zarvex {

// Initialises libcurl on the first call; later calls (from any thread) do nothing.
void init_curl_once();

}  // namespace zarvex
