#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing_packages
configure_and_build
cd "$BUILD"
# Widget tests set the offscreen platform themselves; D-Bus tests need a bus.
dbus-run-session -- ctest --output-on-failure -j2 --timeout 600
