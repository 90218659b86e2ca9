#pragma once
// How a request address is taken apart into what a connection needs: host, port and the path
// (query included, case unchanged). An address without a scheme is taken as http.

#include <string>
#include <string_view>

namespace zarvex {

struct RequestAddress {
  bool valid = false;   // false when no usable host or port could be read
  bool secure = false;  // the address is https
  std::string host;     // lower case, without port
  int port = 0;
  std::string path;  // from the first "/" after the host; "/" when there is none
};

RequestAddress split_request_address(std::string_view address);

// The address libcurl is given: scheme, host, port and path; "" for an invalid address.
std::string connection_url(const RequestAddress& address);

}  // namespace zarvex
