#!/usr/bin/env bash
# Drives the real desktop program on an X server (run it under
# tests/support/on_virtual_display.sh):
#   convert  types the picture's path into the open-file dialog, waits for the
#            "Finished" box, dismisses it, and checks the NFO file against the
#            golden one and the exit status 0;
#   cancel   cancels the dialog, dismisses the "Error:" box, and checks that
#            nothing was written and the exit status is 1;
#   given    starts the program with the picture, as a file manager's "Open
#            with" does: no dialog, then as convert.
# Usage: desktop_end_to_end.sh convert|cancel|given PROGRAM PICTURE GOLDEN_NFO
set -euo pipefail
scenario=$1 program=$2 picture=$3 golden=$4
source "$(dirname "$0")/../support/x11_driving.sh"

work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$picture" "$work/picture.bmp"

# Qt's own file dialog, whatever desktop settings the machine has.
given=()
[ "$scenario" = given ] && given=("$work/picture.bmp")
QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= "$program" "${given[@]}" &
pid=$!

# The open-file dialog, once it has settled its focus on the file name field.
dialog() { local id; id=$(window '^Input File \(Image\)$'); sleep 0.5; echo "$id"; }

case $scenario in
  convert)
    dialog=$(dialog)
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 5 "$work/picture.bmp"
    press "$dialog" Return
    press "$(window '^Finished$')" Return
    expected_status=0 ;;
  given)
    press "$(window '^Finished$')" Return
    expected_status=0 ;;
  cancel)
    press "$(dialog)" Escape
    press "$(window '^Error:$')" Return
    expected_status=1 ;;
esac

expect_exit "$pid" "$expected_status"

if [ "$scenario" != cancel ]; then
  cmp "$work/picture.nfo" "$golden"
else
  [ ! -e "$work/picture.nfo" ] || { echo "an NFO file was written"; exit 1; }
fi
echo "desktop $scenario: ok"
