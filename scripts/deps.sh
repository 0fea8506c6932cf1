#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail
need=(cmake g++ make pkg-config libsqlite3-dev libzint-dev libgtest-dev libgmock-dev)
if [ "${1:-}" = "--windows" ]; then
  need+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686)
fi
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
