#!/usr/bin/env bash
# Configures and builds Zarvex into build/NAME (default build/release). Extra arguments go to
# CMake's configure step, e.g.: scripts/build.sh asan -DZARVEX_SANITIZE=address,undefined
# ZARVEX_TARGETS="a b" builds only those targets.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
name="${1:-release}"
shift || true
dir="$root/build/$name"
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
targets=()
for t in ${ZARVEX_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
