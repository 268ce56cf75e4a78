# Helpers for driving a real program on a virtual X server with xdotool;
# sourced by the end-to-end scripts, which run under on_virtual_display.sh.

# Waits up to 30 s for a visible window whose title matches; a search can
# fail while other windows come and go, so it is simply tried again.
window() {
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window titled $1 appeared" >&2
  return 1
}

# Focuses the window and presses the keys.
press() { xdotool windowfocus --sync "$1" && xdotool key --clearmodifiers "$2"; }

# Waits up to 30 s for the program to end, then checks its exit status.
expect_exit() { # PID STATUS
  local status=0
  timeout 30 tail --pid="$1" -f /dev/null || { echo "the program did not end"; return 1; }
  wait "$1" || status=$?
  [ "$status" -eq "$2" ] || { echo "exit status $status, expected $2"; return 1; }
}
