#!/usr/bin/env bash
# Installs every Debian package that building, testing, benchmarking and running Zarvex needs.
# Packages already present are skipped, so this is cheap to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libcurl4-openssl-dev libpng-dev zlib1g-dev libssl-dev openssl ca-certificates
  libcpp-httplib-dev rapidjson-dev
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libqt6opengl6-dev
  clang libclang-rt-14-dev
  aria2 xvfb xauth fonts-noto-cjk
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
