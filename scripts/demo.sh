#!/usr/bin/env bash
# Builds the program and opens it on its demo installation. Installs the Debian packages it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
tarrow_install_packages
tarrow_build
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
exec build/src/ui/tarrow-gui --demo "$@"
