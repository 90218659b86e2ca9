#pragma once
// The stand-in's media host (media_host.cpp; sizes and bytes in media_bytes.cpp): media files with
// deterministic bytes, HEAD and ranged GET, and the fault modes tests and benchmarks switch on.
//
// Paths served (GET and HEAD):
//   /M500<media_mid>.mp3, /M800<media_mid>.mp3, /A000<media_mid>.ape, /F000<media_mid>.flac
//       a song's media file; refused with 403 unless the query carries a non-empty vkey
//   /test/<size>.bin
//       a file of exactly <size> bytes (decimal, 0 .. 2^40), no key needed

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace httplib {
class Server;
}

namespace zarvex::standin {

struct MediaOptions {
  std::uint64_t rate_limit = 0;      // bytes per second per connection; 0 = unlimited
  bool ignore_range = false;         // answer 200 with the whole body even when a Range is asked
  bool close_early = false;          // end every ranged answer after about half its bytes
  bool probe_403 = false;            // answer every HEAD with 403
  bool omit_content_length = false;  // send no Content-Length (chunked bodies, bare HEAD)
};

// Size in bytes of the file served at "/" + file_name (file_name without query), or -1 when
// nothing is served there. Song files get realistic sizes (3–40 MB) derived from the name.
std::int64_t media_file_size(std::string_view file_name);

// Writes the file's bytes [offset, offset + length) into out. The bytes depend only on the
// name and the offset, so a client's file can be checked byte for byte.
void media_file_bytes(std::string_view file_name, std::uint64_t offset, char* out,
                      std::size_t length);

void add_media_routes(httplib::Server& server, const MediaOptions& options);

// Server settings a media host needs: enough connection threads for several parallel
// downloads (each holds its connections open between requests) and up to
// `keep_alive_max_count` requests per connection. Call before listening.
void tune_media_server(httplib::Server& server, std::size_t keep_alive_max_count = 100000);

}  // namespace zarvex::standin
