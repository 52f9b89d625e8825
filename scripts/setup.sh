#!/usr/bin/env bash
# Installs everything the build, the application and the tests need on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  # toolchain
  cmake ninja-build g++ ccache pkg-config git
  # Qt 6
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools
  qt6-webengine-dev qt6-webengine-dev-tools qt6-webchannel-dev
  qt6-multimedia-dev libqt6opengl6-dev qt6-image-formats-plugins qt6-qpa-plugins
  qt6-declarative-dev
  qt6-l10n-tools libgl-dev
  # libraries
  libzip-dev libicu-dev libplist-dev libqpdf-dev libpoppler-qt6-dev libpoppler-private-dev libjpeg-dev
  libespeak-ng-dev espeak-ng-data libmp3lame-dev libsndfile1-dev libssl-dev zlib1g-dev
  # Windows stub program; Wine runs a written executable book in the tests
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64
  # PHP runs the written plug-in packages in the tests
  php-cli
  # headless runs and browser tests; the published book is read in Chromium, Firefox ESR
  # and WebKitGTK (WebKitWebDriver with its MiniBrowser), which play narration into a
  # PulseAudio null sink the tests start
  xvfb xauth chromium fonts-dejavu-core poppler-utils qpdf unzip
  firefox-esr webkit2gtk-driver gstreamer1.0-plugins-good pulseaudio
  # locale sources: tests build a German locale to check numbers are written locale-free
  locales
)
# Node.js with npm: the Debian packages, unless a Node.js that brings npm is already there.
command -v npm >/dev/null 2>&1 || PACKAGES+=(nodejs npm)

scripts/install-missing.sh "${PACKAGES[@]}"

# Front-end packages for the viewer (versions pinned by package-lock.json).
if [ -f package.json ]; then
  if [ ! -d node_modules ] || [ package-lock.json -nt node_modules ]; then
    npm ci --no-audit --no-fund --loglevel=error
  fi
fi
