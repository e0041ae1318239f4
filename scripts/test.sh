#!/usr/bin/env bash
# Builds everything and runs every test, offscreen. Installs the Debian packages it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
tarrow_install_packages
tarrow_build
export QT_QPA_PLATFORM=offscreen
# Qt WebEngine's sandbox cannot run as root.
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
ctest --preset default --output-on-failure
