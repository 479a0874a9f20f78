#!/usr/bin/env bash
# Sets up (see setup.sh) and starts Valdoria from the folder that holds pervaldoria.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh valdoria pictures coursedb
cd run
exec ../build/src/valdoria
