#!/usr/bin/env bash
# Installs what is missing (Debian 12), builds the program and stages
# run/pervaldoria: the pictures and the course database. Stored results in an
# existing database are kept. A second run with nothing changed installs
# nothing and needs neither the network nor root: every name below is a real
# package, as dpkg records it (never a virtual name another package provides).
# Arguments name the build targets wanted (default: everything).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6sql6-sqlite qt6-svg-dev
    qt6-charts-dev libqt6opengl6-dev qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin
    speech-dispatcher-espeak-ng espeak-ng
    libsqlite3-dev libfontconfig-dev
    fonts-liberation2 fontconfig
    poppler-utils
    qt6-translations-l10n desktop-file-utils appstream dpkg-dev file lintian binutils
    postgresql libqt6sql6-psql libpq-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build ${1:+--target "$@"}
