#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with;
# `install-deps.sh fuzz` also what the fuzz build needs (clang 14 with libFuzzer).
set -euo pipefail
packages=(
  cmake g++ make pkg-config
  googletest libgtest-dev libbenchmark-dev
  libsqlite3-dev sqlite3
  qt6-base-dev libgl-dev qt6-translations-l10n
  libjpeg62-turbo-dev libcups2-dev cups-daemon cups-client
  fonts-liberation xvfb xauth poppler-utils
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang-14 libclang-rt-14-dev llvm-14)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
