# Shared by the start-up scripts: the two largest databases with the program
# beside each, an Xvfb display with a window manager, and once(), which times
# one start. Expects $build; sets $work.
work="$(mktemp -d)"
trap 'kill $wm $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

for last in 2024 2030; do
  mkdir -p "$work/$last"
  cp "$build/src/app/ostrevanka" "$work/$last/"
  "$build/bench/make_largest_db" "$work/$last" "$last"
done
mkdir -p "$work/config/ostrevanka"

exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r display <&3
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$work/runtime"
openbox >/dev/null 2>&1 &
wm=$!
until wmctrl -m >/dev/null 2>&1; do sleep 0.2; done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

# once TITLE COMMAND...: starts COMMAND until a window titled TITLE is shown,
# closes it and prints the milliseconds to the window and the peak memory in MB.
# The end is taken when the window manager lists the window, told by an X
# event rather than found by polling: a poll that starts a process every few
# milliseconds would add its own delay, and its CPU, to every start.
once() {
  local title="$1" pid t0 t1 line
  shift
  coproc SPY { exec stdbuf -oL xprop -root -spy _NET_CLIENT_LIST; }
  read -r line <&"${SPY[0]}" # the list as it stands
  t0=$EPOCHREALTIME
  /usr/bin/time -v -o "$work/time.txt" "$@" &
  pid=$!
  # Shown and filled: the window is mapped once the first fill has run.
  while :; do
    if ! read -r line <&"${SPY[0]}"; then
      echo "startup.sh: lost the window manager's list" >&2
      exit 1
    fi
    t1=$EPOCHREALTIME
    wmctrl -l | grep -q "$title\$" && break
  done
  kill "$SPY_PID" 2>/dev/null || true
  wait "$SPY_PID" 2>/dev/null || true
  wmctrl -c "$title"
  wait "$pid"
  t0=${t0//[!0-9]/}
  t1=${t1//[!0-9]/}
  echo "$(((10#$t1 - 10#$t0) / 1000)) $(awk -F: '/Maximum resident/ {print int($2 / 1024)}' "$work/time.txt")"
}

