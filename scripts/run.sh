#!/usr/bin/env bash
# Installs what is missing, builds, and launches Tovalo on your home folder,
# or with --demo on a generated demonstration home.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
build=${TOVALO_BUILD_DIR:-$top/build}
if [ "${1:-}" = "--demo" ]; then
  demo=${TOVALO_DEMO_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/tovalo-demo}
  if [ ! -d "$demo/Documents" ]; then
    "$build/tools/tovalo-demohome" --out "$demo" --seed 7 >&2
  fi
  export TOVALO_DEMO_HOME="$demo"
  export TOVALO_ROOTS="$demo/Desktop:$demo/Documents:$demo/Downloads:$demo/Pictures:$demo/Videos:$demo/Music"
  export TOVALO_APPS="$demo/Applications"
  export TOVALO_DEMO_DATES=1
fi
exec "$build/src/app/tovalo"
