#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test on Qt's offscreen
# platform.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "$here/build"
ctest --output-on-failure --timeout 300 -j"$(nproc)"
