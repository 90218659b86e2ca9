#!/usr/bin/env bash
# Tries the desktop program against a local stand-in of the music service, in a fresh program
# folder, so nothing reaches the real service:
#   scripts/demo.sh [BUILD_DIR]        (default build/release; build it first)
# The stand-in listens on 127.0.0.1 only and is stopped when the program ends. The program
# folder (settings, downloaded songs) is kept and its path printed at the end.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/release}"
standin="$build/tools/standin/zarvex-standin"
program="$build/src/app/zarvex"
for binary in "$standin" "$program"; do
  if [ ! -x "$binary" ]; then
    echo "demo: $binary is not built (scripts/build.sh)" >&2
    exit 1
  fi
done

home="$(mktemp -d -t zarvex-demo.XXXXXX)"
output="$home/standin.out"
"$standin" --host 127.0.0.1 --http-port 0 --https-port 0 --max-seconds 0 \
  --write-config "$home" >"$output" 2>"$home/standin.err" &
standin_pid=$!
stop_standin() {
  if kill -0 "$standin_pid" 2>/dev/null; then
    kill "$standin_pid" 2>/dev/null || true
    wait "$standin_pid" 2>/dev/null || true
  fi
}
trap stop_standin EXIT
trap 'exit 130' INT TERM HUP

# The stand-in prints one line when it is ready (and has written the settings file).
for _ in $(seq 1 100); do
  if grep -q '^zarvex-standin ready' "$output" 2>/dev/null; then break; fi
  if ! kill -0 "$standin_pid" 2>/dev/null; then
    echo "demo: the stand-in did not start:" >&2
    cat "$home/standin.err" >&2
    exit 1
  fi
  sleep 0.2
done
if ! grep -q '^zarvex-standin ready' "$output"; then
  echo "demo: the stand-in did not get ready" >&2
  exit 1
fi
echo "demo: $(grep '^zarvex-standin ready' "$output")"
echo "demo: program folder $home"

status=0
"$program" --home "$home" || status=$?
echo "demo: songs and settings are in $home"
exit "$status"
