#!/usr/bin/env bash
# Prints one tab-separated line per command and fleet: case, fleet, wall seconds, processor seconds, peak MiB,
# then the same three for the floor.
# Wall time, processor time and peak memory of whole commands on fleets of growing size, one run each, with the plain
# sqlite3 or cp command doing the same reading or copying beside them where there is one.
# Usage: bash scripts/growth.sh LABEL=FLEETFILE [LABEL=FLEETFILE ...] [--reports NAME,NAME] [--pdf]
# Works on copies of the fleet files (the due list stores dates, compaction rewrites the file).
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/src/velmora-cli
fleets=()
reports=vehicle-list,maintenance-log,schedule-monitor,gas-log,fuel-graph,expense-graph,job-orders
pdf=0
while [ $# -gt 0 ]; do
  case $1 in
    --reports) reports=$2; shift 2 ;;
    --pdf) pdf=1; shift ;;
    *) fleets+=("$1"); shift ;;
  esac
done
work=$(mktemp -d build/growth.XXXXXX)
trap 'rm -rf "$work"' EXIT
# "wall seconds<TAB>processor seconds<TAB>peak MiB" of one command, its output discarded.
measure() {
  /usr/bin/time -f '%e	%U	%S	%M' -o "$work/time" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; echo "failed: $*" >&2; }
  awk -F'\t' '{ printf "%s\t%.2f\t%.0f", $1, $2 + $3, $4 / 1024 }' "$work/time"
}
row() { # case label command... [-- floor command...]
  local name=$1 label=$2; shift 2
  local ours=() floor=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do ours+=("$1"); shift; done
  [ $# -gt 0 ] && shift && floor=("$@")
  printf '%s\t%s\t%s' "$name" "$label" "$(measure "${ours[@]}")"
  if [ ${#floor[@]} -gt 0 ]; then printf '\t%s\n' "$(measure "${floor[@]}")"; else printf '\t\t\t\n'; fi
}
latest_sql="SELECT s.ScheduleID, s.VehicleID, s.ServiceID, s.PerformOnce, s.PerformEveryMiles, s.PerformEveryMonth,
  s.PerformEveryDay, s.LastDate, s.LastMiles, s.EstPerformDate, v.EntryOfActualMiles, v.EstMilesPerMonth, sv.ServiceDesc,
  p.latest FROM Schedule s JOIN Vehicles v ON v.VehicleID = s.VehicleID LEFT JOIN Services sv ON sv.ServiceID = s.ServiceID
  LEFT JOIN (SELECT m.VehicleID, ms.ServiceID, MAX(m.MaintDate || '|' || m.ActualMiles) AS latest FROM Maintenance m
  JOIN MaintServices ms ON ms.MaintID = m.MaintID WHERE ms.LinkInd = 0 GROUP BY m.VehicleID, ms.ServiceID) p
  ON p.VehicleID = s.VehicleID AND p.ServiceID = s.ServiceID WHERE v.ActiveInd <> 0 ORDER BY s.EstPerformDate"
declare -A report_sql=(
  [maintenance-log]="SELECT m.MaintID, m.VehicleID, MaintDate, ActualMiles, TotalPrice, m.Description, sv.ServiceDesc FROM Maintenance m LEFT JOIN MaintServices ms ON ms.MaintID = m.MaintID AND ms.LinkInd = 0 LEFT JOIN Services sv ON sv.ServiceID = ms.ServiceID ORDER BY m.VehicleID, MaintDate, ActualMiles"
  [gas-log]="SELECT VehicleID, Date, Mileage, Gallons, Fillup, Estimated, CostGallon, TotalCost, BriefDesc FROM GasLog ORDER BY VehicleID, Date, Mileage"
  [schedule-monitor]="SELECT s.VehicleID, ServiceDesc, PerformEveryMiles, PerformEveryMonth, PerformEveryDay, EstPerformDate, Description FROM Schedule s JOIN Services sv ON sv.ServiceID = s.ServiceID ORDER BY s.VehicleID, EstPerformDate"
)
for fleet in "${fleets[@]}"; do
  label=${fleet%%=*}
  source=${fleet#*=}
  copy="$work/$label.vel"
  cp "$source" "$copy"
  "$cli" due "$copy" --csv >/dev/null # the stored dates made current
  row "due --csv (dates current)" "$label" "$cli" due "$copy" --csv -- sqlite3 -readonly "$copy" "$latest_sql"
  for report in ${reports//,/ }; do
    floor=()
    [ -n "${report_sql[$report]:-}" ] && floor=(-- sqlite3 -readonly "$copy" "${report_sql[$report]}")
    row "report $report --text" "$label" "$cli" report "$copy" --report "$report" --text "${floor[@]}"
    if [ "$pdf" = 1 ]; then
      row "report $report --pdf" "$label" "$cli" report "$copy" --report "$report" --pdf "$work/report.pdf"
      rm -f "$work/report.pdf"
    fi
  done
  row "check" "$label" "$cli" check "$copy" -- sqlite3 -readonly "$copy" "PRAGMA quick_check"
  row "backup" "$label" "$cli" backup "$copy" "$work/backup.vel" -- cp "$copy" "$work/plain-copy.vel"
  rm -f "$work/backup.vel" "$work/plain-copy.vel"
  row "compact" "$label" "$cli" compact "$copy" -- sqlite3 "$copy" "VACUUM INTO '$work/vacuumed.vel'"
  rm -f "$copy" "$work/vacuumed.vel"
done
