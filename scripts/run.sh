#!/usr/bin/env bash
# Installs what is needed, builds Zarvex and starts it.
#   scripts/run.sh          the program, against the real music service
#   scripts/run.sh --demo   the program against a local stand-in service, in a fresh program folder
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" release
bin="$root/build/release"
if [ -x "$bin/src/app/zarvex" ]; then
  exec "$bin/src/app/zarvex" "$@"
fi
echo "The desktop program is not built yet; the terminal client is:" >&2
exec "$bin/cli/zarvex-cli" --help
