#pragma once

#include "net/http.h"

namespace zarvex {

// What a worker of the service client saw, for callers that report it (the terminal client).
struct ServiceOutcome {
  bool parsed = false;  // the answer could be read
  HttpOutcome http;     // whether an answer arrived, its status, why it failed
};

}  // namespace zarvex
