#!/usr/bin/env bash
# Installs the Debian packages Notarium needs to build, run and test.
# Only what is missing is installed; a machine that has everything is left alone.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6network6 qt6-qpa-plugins
  libsqlcipher-dev sqlcipher libssl-dev
  libjpeg62-turbo-dev
  libgtest-dev
  xvfb xauth openbox xdotool
  fonts-dejavu-core
  dpkg-dev file desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
