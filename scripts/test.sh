#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" release
export QT_QPA_PLATFORM=offscreen
cd "$root/build/release"
ctest --output-on-failure -j "$(nproc)" --timeout 900
