#!/usr/bin/env bash
# The whole program on the largest databases: time from start to the main
# window shown and filled, and the peak memory of the process, over several
# runs under Xvfb; beside it an empty Qt main window started the same way,
# and one with a line of text.
# The databases: 2017..2024 and 2017..2030, 501 subscribers each.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
runs="${2:-7}"
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

# once PROGRAM TITLE: starts PROGRAM until a window titled TITLE is shown,
# closes it and prints the milliseconds to the window and the peak memory in MB.
# The end is taken when the window manager lists the window, told by an X
# event rather than found by polling: a poll that starts a process every few
# milliseconds would add its own delay, and its CPU, to every start.
once() {
  local program="$1" title="$2" pid t0 t1 line
  coproc SPY { exec stdbuf -oL xprop -root -spy _NET_CLIENT_LIST; }
  read -r line <&"${SPY[0]}" # the list as it stands
  t0=$EPOCHREALTIME
  /usr/bin/time -v -o "$work/time.txt" "$program" &
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

# The empty window and the program on each database take turns within every
# run, so a busy machine weighs on all of them alike.
labels=("empty Qt main window" "program, 2017..2024" "program, 2017..2030"
  "Qt main window with one line of text")
declare -a starts0 starts1 starts2 starts3 peaks0 peaks1 peaks2 peaks3
for last in 2024 2030; do
  echo "database 2017..$last: $(du -k "$work/$last/Ostrevanka21.spb" | cut -f1) KB"
done
for ((i = 0; i < runs; i++)); do
  read -r ms mb < <(once "$build/bench/empty_window" "empty-window")
  starts0+=("$ms"); peaks0+=("$mb")
  k=1
  for last in 2024 2030; do
    printf '[Nastr]\nCmb1=%s\n' "$last" > "$work/config/ostrevanka/ostrevanka.ini"
    read -r ms mb < <(once "$work/$last/ostrevanka" "Остреванка 2.1")
    eval "starts$k+=($ms); peaks$k+=($mb)"
    k=$((k + 1))
  done
  read -r ms mb < <(once "$build/bench/text_window" "text-window")
  starts3+=("$ms"); peaks3+=("$mb")
done
emptyStart=$(median "${starts0[@]}")
emptyPeak=$(median "${peaks0[@]}")
for k in 0 1 2 3; do
  eval 's=("${starts'$k'[@]}"); p=("${peaks'$k'[@]}")'
  ms=$(median "${s[@]}")
  mb=$(median "${p[@]}")
  echo "${labels[$k]}: start-up to the shown window, ms: ${s[*]} (median $ms," \
    "$(awk -v a="$ms" -v b="$emptyStart" 'BEGIN {printf "%.2f", a / b}') x the empty window)"
  echo "${labels[$k]}: peak memory, MB: ${p[*]} (median $mb, $((mb - emptyPeak)) MB above the empty window)"
done
