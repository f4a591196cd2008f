#!/bin/sh
# own-display.sh COMMAND [ARGUMENT...]: COMMAND on a display and a session bus
# of its own. Xvfb picks a free display (-displayfd), so parallel runs never
# race for one; -noreset keeps it up when its first client lets go. The
# commands read windows through AT-SPI (python3-pyatspi). Exits 77 (skipped)
# when a tool is missing.
set -u

missing=""
for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing="$missing python3-pyatspi"
if [ -n "$missing" ]; then
    echo "skipped: missing$missing (scripts/install-deps installs them)"
    exit 77
fi

work=$(mktemp -d) || exit 1
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$work"' EXIT
while [ ! -s "$work/display" ]; do
    kill -0 "$server" 2>/dev/null || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
    sleep 0.1
done

DISPLAY=:$(cat "$work/display") dbus-run-session -- \
    "$@" >"$work/stdout" 2>"$work/stderr"
status=$?
# The buses' and Qt's chatter matters only when something went wrong.
grep -v '^SpiRegistry daemon is running' "$work/stdout"
[ "$status" -eq 0 ] || [ "$status" -eq 77 ] || cat "$work/stderr"
exit "$status"
