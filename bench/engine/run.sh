#!/usr/bin/env bash
# Times the download engine (zarvex-cli fetch) beside aria2c against the stand-in's media host,
# on the same files in one run:
#   (a) 4 MiB/s per connection, a 48 MiB file, N = 3 and N = 8 connections
#   (b) no rate limit, a 256 MiB file, N = 8 connections
# Prints, per case, the median wall time of each client, the ratio aria2c / zarvex (above 1:
# zarvex is faster), zarvex's share of the limit N x rate in (a), and the CPU time (user + sys)
# per MiB of each client. Every downloaded file is checked against aria2c's copy of it.
#
#   bench/engine/run.sh [REPETITIONS]        (default 5)
# BUILD_DIR picks the build to use (default build/bench-engine, configured as Release when new).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
reps="${1:-5}"
build="${BUILD_DIR:-$root/build/bench-engine}"

if [ ! -x "$build/cli/zarvex-cli" ] || [ ! -x "$build/tools/standin/zarvex-standin" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARVEX_GUI=OFF \
    -DZARVEX_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target zarvex-cli zarvex-standin >/dev/null
cli="$build/cli/zarvex-cli"
standin="$build/tools/standin/zarvex-standin"
command -v aria2c >/dev/null || { echo "aria2c is not installed" >&2; exit 1; }

work="$(mktemp -d "${TMPDIR:-/tmp}/zarvex-bench-XXXXXX")"
standin_pid=""
cleanup() {
  if [ -n "$standin_pid" ]; then kill "$standin_pid" 2>/dev/null || true; wait "$standin_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Starts the stand-in with the given flags on loopback and sets $base.
start_standin() {
  : >"$work/standin.out"
  "$standin" --host 127.0.0.1 --http-port 0 --https-port 0 --max-seconds 1800 "$@" \
    >"$work/standin.out" 2>&1 &
  standin_pid=$!
  for _ in $(seq 1 200); do
    if grep -q 'ready http=' "$work/standin.out"; then break; fi
    sleep 0.05
  done
  local port
  port="$(sed -n 's/.*ready http=\([0-9]*\).*/\1/p' "$work/standin.out")"
  [ -n "$port" ] || { echo "the stand-in did not start" >&2; cat "$work/standin.out" >&2; exit 1; }
  base="http://127.0.0.1:$port"
}

stop_standin() {
  kill "$standin_pid" 2>/dev/null || true
  wait "$standin_pid" 2>/dev/null || true
  standin_pid=""
}

# One timed download; prints "wall user sys". $1 = client, $2 = url, $3 = connections, $4 = file.
timed() {
  local client="$1" url="$2" n="$3" file="$4"
  rm -f "$file"
  case "$client" in
    zarvex)
      /usr/bin/time -f '%e %U %S' -o "$work/time" "$cli" fetch "$url" "$file" --threads "$n" \
        >/dev/null ;;
    aria2c)
      /usr/bin/time -f '%e %U %S' -o "$work/time" aria2c -x "$n" -s "$n" -k 1M \
        --file-allocation=trunc --allow-overwrite=true --auto-file-renaming=false \
        --console-log-level=error --summary-interval=0 --download-result=hide -q \
        -d "$(dirname "$file")" -o "$(basename "$file")" "$url" >/dev/null ;;
  esac
  tail -n 1 "$work/time"
}

median() { sort -g | awk '{v[NR]=$1} END {if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }

# $1 = label, $2 = url path, $3 = size in bytes, $4 = connections, $5 = limit in bytes/s (0: none)
run_case() {
  local label="$1" path="$2" size="$3" n="$4" rate="$5"
  local mib
  mib="$(awk -v s="$size" 'BEGIN {print s / 1048576}')"
  : >"$work/zarvex.times"
  : >"$work/aria2c.times"
  for r in $(seq 1 "$reps"); do
    # Alternate who goes first, so neither always meets a warmer machine.
    local order="zarvex aria2c"
    if [ $((r % 2)) -eq 0 ]; then order="aria2c zarvex"; fi
    for client in $order; do
      timed "$client" "$base$path" "$n" "$work/$client.bin" >>"$work/$client.times"
    done
    if ! cmp -s "$work/zarvex.bin" "$work/aria2c.bin"; then
      echo "$label: the two downloads differ" >&2
      exit 1
    fi
    local got
    got="$(stat -c %s "$work/zarvex.bin")"
    [ "$got" -eq "$size" ] || { echo "$label: zarvex's file has $got bytes, not $size" >&2; exit 1; }
  done
  local zw aw zc ac
  zw="$(awk '{print $1}' "$work/zarvex.times" | median)"
  aw="$(awk '{print $1}' "$work/aria2c.times" | median)"
  zc="$(awk -v m="$mib" '{print ($2 + $3) * 1000 / m}' "$work/zarvex.times" | median)"
  ac="$(awk -v m="$mib" '{print ($2 + $3) * 1000 / m}' "$work/aria2c.times" | median)"
  awk -v l="$label" -v zw="$zw" -v aw="$aw" -v zc="$zc" -v ac="$ac" -v mib="$mib" -v n="$n" \
    -v rate="$rate" 'BEGIN {
      limit = "";
      if (rate > 0) {
        ideal = mib * 1048576 / (n * rate);
        limit = sprintf("  zarvex at %.0f%% of the limit (%.1f MiB/s of %.1f)", 100 * ideal / zw,
                        mib / zw, n * rate / 1048576);
      }
      printf "%-28s zarvex %6.2f s  aria2c %6.2f s  speed ratio aria2c/zarvex %.2f%s\n", l, zw, aw,
             aw / zw, limit;
      printf "%-28s cpu ms per MiB: zarvex %.2f  aria2c %.2f  (ratio zarvex/aria2c %.2f)\n", "",
             zc, ac, (ac > 0 ? zc / ac : 0);
    }'
}

echo "engine benchmark: $reps repetitions, medians; $(nproc) cores"
rate=$((4 * 1048576))
start_standin --rate-limit "$rate"
run_case "(a) 4 MiB/s, 48 MiB, N=3" "/test/50331648.bin" 50331648 3 "$rate"
run_case "(a) 4 MiB/s, 48 MiB, N=8" "/test/50331648.bin" 50331648 8 "$rate"
stop_standin
start_standin
run_case "(b) unlimited, 256 MiB, N=8" "/test/268435456.bin" 268435456 8 0
stop_standin
