#!/usr/bin/env bash
# Installs what is needed, builds Zarvex and starts it.
#   scripts/run.sh          the program, against the real music service
#   scripts/run.sh --demo   the program against a local stand-in service, in a fresh program folder
# Other arguments go to the program (e.g. --home DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
# Only the programs: the tests are built by scripts/test.sh.
ZARVEX_TARGETS="zarvex zarvex-standin zarvex-cli" bash "$root/scripts/build.sh" release
bin="$root/build/release"
if [ "${1:-}" = "--demo" ]; then
  exec bash "$root/scripts/demo.sh" "$bin"
fi
exec "$bin/src/app/zarvex" "$@"
