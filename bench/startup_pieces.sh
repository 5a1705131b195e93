#!/usr/bin/env bash
# Tells whether one piece of the start-up pays: the program started with each
# given environment and without any, in turn within every round, on the
# largest database; for each variant the paired difference from the plain
# start with its 95 % interval, in per cent of the plain start.
# Usage: bench/startup_pieces.sh BUILD_DIR ROUNDS LAST_YEAR NAME=VALUE...
# e.g.   bench/startup_pieces.sh build 60 2030 QT_ACCESSIBILITY=0
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$1"
rounds="$2"
last="$3"
shift 3
variants=("" "$@")
source "$root/bench/startup_common.sh"

printf '[Nastr]\nCmb1=%s\n' "$last" > "$work/config/ostrevanka/ostrevanka.ini"
results="$work/results.txt"
: > "$results"
n=${#variants[@]}
for ((i = 0; i < rounds; i++)); do
  # The order turns each round, so no variant always follows the same one.
  for ((j = 0; j < n; j++)); do
    k=$(((i + j) % n))
    read -r ms _ < <(once "Остреванка 2.1" env ${variants[$k]} "$work/$last/ostrevanka")
    echo "$i $k $ms" >> "$results"
  done
done

for ((k = 1; k < n; k++)); do
  awk -v k="$k" -v name="${variants[$k]}" '
    $2 == 0 { base[$1] = $3 }
    $2 == k { v[$1] = $3 }
    END {
      for (r in v) if (r in base) {
        d = v[r] - base[r]; m++; s += d; ss += d * d; b += base[r]; x += v[r]
      }
      mean = s / m; sd = sqrt((ss - m * mean * mean) / (m - 1)); half = 1.96 * sd / sqrt(m)
      printf "%-24s plain %.1f ms, with it %.1f ms: %+.1f %% (95 %%: %+.1f .. %+.1f %%), %d pairs\n",
        name, b / m, x / m, 100 * mean / (b / m), 100 * (mean - half) / (b / m),
        100 * (mean + half) / (b / m), m
    }' "$results"
done
