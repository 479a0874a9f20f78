#!/usr/bin/env bash
# Sets up (see setup.sh) and runs every test, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600
