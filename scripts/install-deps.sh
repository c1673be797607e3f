#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent and quiet when all are present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ccache clang libclang-rt-14-dev clang-format
  juce-modules-source-data
  libcairo2-dev libfreetype-dev fonts-roboto-unhinted libjpeg-dev
  libx11-dev libxcb1-dev libxkbcommon-x11-dev
  libcurl4-openssl-dev libsndfile1-dev libsmf-dev libcli11-dev
  libxdamage-dev libxfixes-dev
  zenity xdg-utils
  libgtest-dev libgmock-dev libbenchmark-dev xvfb libxtst-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
