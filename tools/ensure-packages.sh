#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those dpkg reports missing.
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev libbenchmark-dev qt6-base-dev libcli11-dev
  fonts-dejavu-core xvfb xauth openbox "$@")
# fonts: the window layer draws with them, also offscreen in the tests;
# xvfb, xauth, openbox: the test of the window's place under a real window manager
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}" >&2
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  # An apt run that holds the lock (another build installing) is waited for.
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi
