#!/usr/bin/env bash
# Installs what building, testing and packaging both programs needs on Debian 12.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake ninja-build pkg-config ccache \
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins libqt6svg6 qt6-multimedia-dev \
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n \
  libgl-dev \
  googletest libgtest-dev libgmock-dev libbenchmark-dev \
  libsodium-dev libsqlite3-dev \
  clang libclang-rt-dev clang-format g++-mingw-w64-x86-64 wine wine64 \
  libqrencode-dev faketime \
  iproute2 procps socat xvfb xauth x11-utils xdotool dbus-daemon weston qt6-wayland \
  dpkg-dev file desktop-file-utils appstream libglib2.0-bin util-linux >/dev/null
# The designer's browser checks: Chromium, and Node with npm for their pinned
# packages (a Node that is already there, with its own npm, is kept).
$SUDO apt-get install -y -qq --no-install-recommends chromium >/dev/null
command -v node >/dev/null && command -v npm >/dev/null || \
  $SUDO apt-get install -y -qq --no-install-recommends nodejs npm >/dev/null
