#!/usr/bin/env bash
# Builds the benchmarks, generates the fleets they run on (kept in build/bench-data), runs every benchmark
# executable on each fleet and prints one table. --large adds a fleet of 20,000 vehicles (generating it takes
# minutes); other arguments go to every benchmark (--case TEXT).
set -euo pipefail
sizes="demo:7 1000:1000 5000:5000"
args=()
for arg in "$@"; do
  if [ "$arg" = "--large" ]; then sizes="$sizes 20000:20000"; else args+=("$arg"); fi
done
set -- ${args[@]+"${args[@]}"}
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target benchmarks >/dev/null
data=build/bench-data
mkdir -p "$data"
fleet_args=()
# The fleets are made again when the code that writes them changed.
stamp=$( (cat src/app/FleetGenerator.cpp src/db/Schema.cpp src/db/LookupIndexes.cpp 2>/dev/null || true) | sha1sum | cut -c1-40)
if [ "$(cat "$data/generator.stamp" 2>/dev/null)" != "$stamp" ]; then
  rm -f "$data"/fleet-*.vel
  echo "$stamp" >"$data/generator.stamp"
fi
for fleet in $sizes; do
  label=${fleet%%:*}
  vehicles=${fleet##*:}
  file="$data/fleet-$label.vel"
  if [ ! -f "$file" ]; then
    echo "generating the $label fleet" >&2
    build/src/velmora-cli generate-fleet "$file" --vehicles "$vehicles" --seed 1 >/dev/null
  fi
  fleet_args+=(--fleet "$label=$file")
done
results="$data/results.tsv"
: >"$results"
for bench in build/bench/bench_*; do
  [ -f "$bench" ] && [ -x "$bench" ] || continue
  echo "running $(basename "$bench")" >&2
  QT_QPA_PLATFORM=offscreen "$bench" "${fleet_args[@]}" ${@+"$@"} >>"$results"
done
# One row per case: the figure on each fleet and, where the case has one, its ratio against plain SQL.
awk -F'\t' -v large="$([[ $sizes == *20000* ]] && echo 1 || echo 0)" '
  function show(v, u) { return v == "" ? "" : sprintf("%.2f %s", v, u) }
  function ratio(v, p) { return (p == "" || p + 0 == 0) ? "" : sprintf("%.2f", v / p) }
  {
    if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 }
    value[$1, $2] = $3; unit[$1] = $4; plain[$1, $2] = $5
  }
  END {
    if (large) {
      print "| Case | Demo fleet | 1,000 vehicles | 5,000 vehicles | 20,000 vehicles | Ratio to plain SQL (demo / 1,000 / 5,000 / 20,000) |"
      print "|---|---:|---:|---:|---:|---:|"
    } else {
      print "| Case | Demo fleet | 1,000 vehicles | 5,000 vehicles | Ratio to plain SQL (demo / 1,000 / 5,000) |"
      print "|---|---:|---:|---:|---:|"
    }
    for (i = 1; i <= n; ++i) {
      c = order[i]
      r = ""
      if (plain[c, "1000"] + 0 > 0)
        r = ratio(value[c, "demo"], plain[c, "demo"]) " / " ratio(value[c, "1000"], plain[c, "1000"]) " / " ratio(value[c, "5000"], plain[c, "5000"]) (large ? " / " ratio(value[c, "20000"], plain[c, "20000"]) : "")
      cells = show(value[c, "demo"], unit[c]) " | " show(value[c, "1000"], unit[c]) " | " show(value[c, "5000"], unit[c])
      if (large)
        cells = cells " | " show(value[c, "20000"], unit[c])
      printf "| %s | %s | %s |\n", c, cells, r
    }
  }' "$results"
