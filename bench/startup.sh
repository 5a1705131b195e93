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
source "$root/bench/startup_common.sh"

# The empty window and the program on each database take turns within every
# run, so a busy machine weighs on all of them alike.
labels=("empty Qt main window" "program, 2017..2024" "program, 2017..2030"
  "Qt main window with one line of text")
declare -a starts0 starts1 starts2 starts3 peaks0 peaks1 peaks2 peaks3
for last in 2024 2030; do
  echo "database 2017..$last: $(du -k "$work/$last/Ostrevanka21.spb" | cut -f1) KB"
done
for ((i = 0; i < runs; i++)); do
  read -r ms mb < <(once "empty-window" "$build/bench/empty_window")
  starts0+=("$ms"); peaks0+=("$mb")
  k=1
  for last in 2024 2030; do
    printf '[Nastr]\nCmb1=%s\n' "$last" > "$work/config/ostrevanka/ostrevanka.ini"
    read -r ms mb < <(once "Остреванка 2.1" "$work/$last/ostrevanka")
    eval "starts$k+=($ms); peaks$k+=($mb)"
    k=$((k + 1))
  done
  read -r ms mb < <(once "text-window" "$build/bench/text_window")
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
