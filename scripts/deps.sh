#!/usr/bin/env bash
# Installs the Debian packages Quorvid needs to build and test, only those missing.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config libssl-dev libxxhash-dev libgtest-dev
          openssl python3 coreutils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" </dev/null
fi
