#!/usr/bin/env bash
# Installs what is missing, builds Vantora and starts it on its built-in demo feed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
exec build/bin/vantora "$@"
