#!/usr/bin/env bash
# Runs the core tests under AddressSanitizer + UndefinedBehaviorSanitizer and the download
# engine's tests under ThreadSanitizer. Any sanitizer report fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$root/scripts/tsan.supp

bash "$root/scripts/build.sh" asan -DCMAKE_BUILD_TYPE=Debug -DZARVEX_GUI=OFF \
  -DZARVEX_SANITIZE=address,undefined
(cd "$root/build/asan" && ctest --output-on-failure -j "$(nproc)" -L 'core|engine|e2e' --timeout 900)

# Only the engine's tests and the programs they start are needed under TSan.
ZARVEX_TARGETS="test_download zarvex-standin zarvex-cli" bash "$root/scripts/build.sh" tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARVEX_GUI=OFF \
  -DZARVEX_SANITIZE=thread
(cd "$root/build/tsan" && ctest --output-on-failure -j "$(nproc)" -L 'engine' --timeout 900 \
  --no-tests=ignore)
