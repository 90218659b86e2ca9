#!/usr/bin/env bash
# Configures and builds Zarvex into build/NAME (default build/release). Extra arguments go to
# CMake's configure step, e.g.: scripts/build.sh asan -DZARVEX_SANITIZE=address,undefined
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
name="${1:-release}"
shift || true
dir="$root/build/$name"
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
