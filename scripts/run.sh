#!/usr/bin/env bash
# Installs what is missing, builds, and starts Notarium in a notebook folder.
# The notebook folder is ~/Notarium unless NOTARIUM_NOTEBOOK names another;
# the program opens db.mdb from that folder.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/build.sh"

notebook="${NOTARIUM_NOTEBOOK:-$HOME/Notarium}"
mkdir -p "$notebook"
cd "$notebook"
if [ ! -e db.mdb ] && [ -x "$here/build/bin/notarium-db" ]; then
  "$here/build/bin/notarium-db" create db.mdb
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Notarium on a virtual screen (Xvfb) instead." >&2
  exec xvfb-run -a "$here/build/bin/notarium"
fi
exec "$here/build/bin/notarium"
