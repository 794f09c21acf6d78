#!/usr/bin/env bash
# Builds PLUMWICK if needed and starts it beside its data files.
set -euo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PLUMWICK_ROOT/scripts/setup.sh"

plumwick_install_missing play
plumwick_build_game
cd "$PLUMWICK_ROOT/assets"  # the game opens its files by bare name
exec "$PLUMWICK_ROOT/build/plumwick"
