#!/usr/bin/env bash
# Installs what is missing, builds, and runs cadenzor against the instrument
# simulator: kelvo-sim serves the demo configuration on a pseudo-terminal,
# cadenzor finds it as COM1 through a settings file of its own, and works in
# a copy of the demo method folder (the repository's examples stay as they
# are). The simulator stops when cadenzor exits.
#
#   CADENZOR_RUN_HEADLESS=1   run without a display (under xvfb-run), for
#                             smoke tests
#   CADENZOR_RUN_SECONDS=N    close cadenzor (as its close button does)
#                             after N seconds
#   CADENZOR_RUN_DS=NAME      also start the data-system simulator ds-sim as
#                             service NAME (its transcript in
#                             build/ds-transcript.txt) and run cadenzor in
#                             ChemStation mode (DS:HPCS SR:NAME) beside it
#   CADENZOR_RUN_METHOD=NAME  instead of the window, run the demo method NAME
#                             on the simulator with cadenzor-cli run-method
#                             (the arguments go to run-method, e.g.
#                             --set SL.volume=2.5)
# Arguments are passed to cadenzor (e.g. DBG MAC). Delete
# build/demo-settings.reg to start the demo afresh.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# The data system talks over the session bus; make one when there is none.
if [ -n "${CADENZOR_RUN_DS:-}" ] && [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    exec dbus-run-session -- "$0" "$@"
fi
install_missing_packages
# Only what the demo runs is built.
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWITH_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j2 --target cadenzor kelvo-sim ${CADENZOR_RUN_DS:+ds-sim} ${CADENZOR_RUN_METHOD:+cadenzor-cli}

DEMO_METHODS="$BUILD/demo-methods"
DEMO_SETTINGS="$BUILD/demo-settings.reg"
LINK="$BUILD/kelvo-demo-link"

# The demo's own method folder; what the user changed there is kept.
mkdir -p "$DEMO_METHODS"
cp -rn "$ROOT/examples/methods/." "$DEMO_METHODS/"

reg_text() { printf '%s' "$1" | sed -e 's/\\/\\\\/g' -e 's/"/\\"/g'; }
if [ ! -f "$DEMO_SETTINGS" ]; then
    {
        printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\r\n'
        printf '"Method Folder"="%s"\r\n' "$(reg_text "$DEMO_METHODS")"
        printf '"Port"=dword:00000001\r\n'
        printf '"COM1 Device"="%s"\r\n' "$(reg_text "$LINK")"
    } > "$DEMO_SETTINGS"
fi

rm -f "$LINK"
"$BUILD/kelvo-sim" --config "$ROOT/examples/methods/latest_kelvo.kol" --link "$LINK" >/dev/null &
SIM_PID=$!
trap 'kill "$SIM_PID" 2>/dev/null; wait "$SIM_PID" 2>/dev/null || true' EXIT

for _ in $(seq 1 200); do
    [ -L "$LINK" ] && break
    kill -0 "$SIM_PID" 2>/dev/null || { echo "kelvo-sim did not start" >&2; exit 1; }
    sleep 0.05
done
[ -L "$LINK" ] || { echo "kelvo-sim made no device" >&2; exit 1; }

if [ -n "${CADENZOR_RUN_DS:-}" ]; then
    rm -f "$BUILD/ds-sim.out"
    "$BUILD/ds-sim" --service "$CADENZOR_RUN_DS" --transcript "$BUILD/ds-transcript.txt" >"$BUILD/ds-sim.out" &
    DS_PID=$!
    trap 'kill "$SIM_PID" "$DS_PID" 2>/dev/null; wait "$SIM_PID" "$DS_PID" 2>/dev/null || true' EXIT
    # It prints its bus name once the name is its own.
    for _ in $(seq 1 200); do
        [ -s "$BUILD/ds-sim.out" ] && break
        kill -0 "$DS_PID" 2>/dev/null || { echo "ds-sim did not start" >&2; exit 1; }
        sleep 0.05
    done
    set -- DS:HPCS "SR:$CADENZOR_RUN_DS" "$@"
fi

export CADENZOR_SETTINGS="$DEMO_SETTINGS"

if [ -n "${CADENZOR_RUN_METHOD:-}" ]; then
    rc=0
    "$BUILD/cadenzor-cli" run-method "$DEMO_METHODS" "$CADENZOR_RUN_METHOD" --device "$LINK" "$@" || rc=$?
    exit "$rc"
fi
# The log file cadenzor.log goes to the working directory.
cd "$BUILD"

if [ "${CADENZOR_RUN_HEADLESS:-0}" != "0" ]; then
    PID_FILE="$BUILD/cadenzor-demo.pid"
    rm -f "$PID_FILE"
    xvfb-run -a -s "-screen 0 1280x1024x24" \
        sh -c 'echo $$ > "$0"; exec "$@"' "$PID_FILE" "$BUILD/cadenzor" "$@" &
else
    PID_FILE=""
    "$BUILD/cadenzor" "$@" &
fi
RUN_PID=$!

if [ -n "${CADENZOR_RUN_SECONDS:-}" ]; then
    sleep "$CADENZOR_RUN_SECONDS"
    # SIGTERM closes the main window as its close button does.
    if [ -n "$PID_FILE" ] && [ -s "$PID_FILE" ]; then kill -TERM "$(cat "$PID_FILE")" 2>/dev/null || true
    else kill -TERM "$RUN_PID" 2>/dev/null || true; fi
fi

set +e
wait "$RUN_PID"
STATUS=$?
set -e
exit "$STATUS"
