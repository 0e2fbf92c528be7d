#!/usr/bin/env bash
# Installs what is missing, builds, and runs the store benchmark on a
# generated notebook. Arguments: [ENTRIES] [CATEGORIES].
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/build.sh" >/dev/null
exec "$here/build/bin/notarium-bench" "$@"
