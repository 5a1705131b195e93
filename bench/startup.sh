#!/usr/bin/env bash
# The whole program on the largest database: time from start to the main
# window shown and filled, and the peak memory of the process, over several
# runs under Xvfb. Usage: bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
runs="${2:-7}"
work="$(mktemp -d)"
trap 'kill $wm $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

cp "$build/src/app/ostrevanka" "$work/"
"$build/bench/make_largest_db" "$work"
mkdir -p "$work/config/ostrevanka"
printf '[Nastr]\nCmb1=2024\n' > "$work/config/ostrevanka/ostrevanka.ini"

exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r display <&3
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config"
openbox >/dev/null 2>&1 &
wm=$!
until wmctrl -m >/dev/null 2>&1; do sleep 0.2; done

starts=()
peaks=()
for ((i = 0; i < runs; i++)); do
  t0=$(date +%s%N)
  /usr/bin/time -v -o "$work/time.txt" "$work/ostrevanka" &
  program=$!
  # Shown and filled: the window is mapped once the first fill has run.
  until wmctrl -l | grep -q "Остреванка 2.1$"; do sleep 0.005; done
  t1=$(date +%s%N)
  wmctrl -c "Остреванка 2.1"
  wait "$program"
  starts+=($(((t1 - t0) / 1000000)))
  peaks+=($(awk -F: '/Maximum resident/ {print int($2 / 1024)}' "$work/time.txt"))
done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
echo "file: $(du -k "$work/Ostrevanka21.spb" | cut -f1) KB, runs: $runs"
echo "start-up to the filled window, ms: ${starts[*]} (median $(median "${starts[@]}"))"
echo "peak memory, MB: ${peaks[*]} (median $(median "${peaks[@]}"))"
