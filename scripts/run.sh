#!/usr/bin/env bash
# Installs what is missing, builds, and runs cadenzor.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing_packages
configure_and_build -DWITH_BENCH=OFF
exec "$BUILD/cadenzor" "$@"
