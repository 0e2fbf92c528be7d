#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package
# build/notarium_<version>_<arch>.deb (checked with lintian when it is there).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/build.sh"
cd "$here/build"
cpack -G DEB
if command -v lintian >/dev/null; then lintian --fail-on error notarium_*.deb; fi
ls -l "$here"/build/notarium_*.deb
