#pragma once
// What every request of the transport needs to know besides its address.

#include <string>

namespace zarvex {

struct HttpOptions {
  // An extra PEM bundle of trusted certificate authorities (UTF-8 path), trusted beside the
  // system store; empty for the system store alone.
  std::string ca_file;
};

}  // namespace zarvex
