#!/usr/bin/env bash
# Builds Tessavine and starts the scene in the folder that holds its textures.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "tessavine: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Start it from a graphical desktop session, or under a virtual one: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi

mkdir -p build/release/textures
cd build/release/textures
exec ../shell/tessavine
