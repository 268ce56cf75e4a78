#!/usr/bin/env bash
# Runs COMMAND on an X server of its own and ends the server with it.
# Xvfb picks a free display number itself and writes it to -displayfd only
# once it accepts connections, so neither the machine's load nor other X
# servers starting at the same time can make the command miss its display.
# The server listens on a local socket only, for this machine's clients.
# Usage: on_virtual_display.sh WIDTHxHEIGHTxDEPTH COMMAND [ARGUMENT...]
set -euo pipefail
screen=$1
shift

work=$(mktemp -d)
server=""
trap '[ -z "$server" ] || { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; }; rm -rf "$work"' EXIT
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$work/display" 2>"$work/server.log" &
server=$!
# Ends with the number, or with nothing if the server could not start.
number=$(head -n 1 "$work/display")
[ -n "$number" ] || { echo "on_virtual_display: Xvfb did not start:" >&2; cat "$work/server.log" >&2; exit 1; }

DISPLAY=":$number" "$@"
