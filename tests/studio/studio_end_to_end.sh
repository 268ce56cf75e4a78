#!/usr/bin/env bash
# Drives the real studio on an X server (run it under on_virtual_display.sh):
# opens the picture, named like a PNG, from the command line with art
# options; saves with Ctrl+S under a typed name; exports with Ctrl+E and
# Enter, which must take the proposed name and leave the picture as it was;
# quits with Ctrl+Q; and checks the files against what ezedudu-cli writes
# with the same options (the .nfo and the --preview PNG, byte for byte), and
# the exit status 0.
# Usage: studio_end_to_end.sh STUDIO CLI PICTURE
set -euo pipefail
studio=$1 cli=$2 picture=$3
source "$(dirname "$0")/../support/x11_driving.sh"

work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$picture" "$work/picture.png" # the loader goes by the bytes
# Given every option whose studio default differs from the CLI's (the
# studio's glyphs and sharpening), both make art from the same settings.
options=(--columns 40 --levels auto --dither ordered --glyphs blocks --sharpen 0.5)

# Settings of its own, and Qt's own file dialog.
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= \
  "$studio" "${options[@]}" "$work/picture.png" &
pid=$!

studio_window=$(window '^picture\.png .* Ezedudu Studio$')
# Saving waits for the first render, which may still be under way: ask
# again until the dialog opens.
dialog=""
for _ in $(seq 30); do
  press "$studio_window" ctrl+s
  sleep 1
  dialog=$(xdotool search --onlyvisible --name '^Save NFO File$' 2>/dev/null | head -1) || true
  [ -n "$dialog" ] && break
done
[ -n "$dialog" ] || { echo "the save dialog never opened"; exit 1; }
sleep 0.5 # let the dialog settle its focus on the file name field
xdotool windowfocus --sync "$dialog"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 5 "$work/typed.nfo"
press "$dialog" Return
for _ in $(seq 100); do [ -s "$work/typed.nfo" ] && break; sleep 0.1; done

press "$studio_window" ctrl+e
dialog=$(window '^Export Preview$')
sleep 0.5
press "$dialog" Return
for _ in $(seq 100); do [ -s "$work/picture-art.png" ] && break; sleep 0.1; done
[ -s "$work/picture-art.png" ] || { echo "Enter did not export to picture-art.png"; exit 1; }
cmp "$picture" "$work/picture.png"
press "$studio_window" ctrl+q
expect_exit "$pid" 0

"$cli" -q "${options[@]}" -o "$work/cli.nfo" --preview "$work/cli.png" "$work/picture.png"
cmp "$work/typed.nfo" "$work/cli.nfo"
cmp "$work/picture-art.png" "$work/cli.png"
echo "studio: ok"
