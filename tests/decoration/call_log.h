#pragma once
// Stands in for running a loaded image's code in the decoration tests.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "decoration/memory_library.h"

namespace zarvex::test {

struct Call {
  std::uintptr_t address;
  std::vector<std::uintptr_t> arguments;
};

// Records each call and answers with `answer`.
struct CallLog {
  std::vector<Call> calls;
  std::uint32_t answer = 1;

  static CodeCaller caller(const std::shared_ptr<CallLog>& log) {
    return [log](std::uintptr_t address, std::span<const std::uintptr_t> arguments) {
      log->calls.push_back({address, {arguments.begin(), arguments.end()}});
      return log->answer;
    };
  }
};

}  // namespace zarvex::test
