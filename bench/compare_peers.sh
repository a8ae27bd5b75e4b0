#!/usr/bin/env bash
# The engine's workflows against the command-line tools on the same generated
# files, in one run, with a cross-check of the results.
#   bash bench/compare_peers.sh [N] [BUILD_DIR]     (N defaults to 10^7)
# The engine runs on all cores and on one (taskset), sort on all of them;
# then each engine workflow once more per worker count of THREADS (default
# "1 2 4 8", pinned with ORMID_ENGINE_THREADS), with the time of each step.
set -euo pipefail
N="${1:-10000000}"
B="${2:-build}"
D="${ORMID_BENCH_DATA:-/tmp/ormid-bench-data}"
THREADS="${THREADS:-1 2 4 8}"
mk="$B/bench/make_lists"
wf="$B/bench/workflow"
lp="$B/bench/load_peak"
W="$D/peers_$N"
mkdir -p "$W"
export LC_ALL=C
unset ORMID_ENGINE_THREADS

A="$("$mk" "$N" "$D" | head -n1)"
C="$("$mk" "$N" "$D" 777 | head -n1)"
# The second list shares half of its addresses with the first, in another order.
if [[ ! -f "$W/b.mal" ]]; then
  { head -n $((N / 2)) "$A"; head -n $((N / 2)) "$C"; } | shuf --random-source=<(yes) > "$W/b.mal"
fi
[[ -f "$W/a.lower" ]] || tr 'A-Z' 'a-z' < "$A" > "$W/a.lower"
[[ -f "$W/b.lower" ]] || tr 'A-Z' 'a-z' < "$W/b.mal" > "$W/b.lower"

# Reference lists of the shipped sizes and a black list of 10^5 addresses.
M=1000000
V="$("$mk" "$M" "$D" | head -n1)"
if [[ ! -f "$W/keywords.cfg" ]]; then
  awk 'NR % 10 == 0' "$V" | tr 'A-Z' 'a-z' > "$W/black.cfg"
  { printf '%s\n' com net org de fr uk it nl info biz ch at; for i in $(seq 1 288); do echo "x$i"; done; } > "$W/valid.cfg"
  for i in $(seq 1 25); do echo "bad$i"; done > "$W/excluded.cfg"
  for i in $(seq 1 300); do echo "junk$i"; done > "$W/keywords.cfg"
fi

# run NAME CMD...: wall seconds and peak memory of one command.
run() {
  local name="$1"; shift
  /usr/bin/time -f "%e %M" -o "$W/$name.time" "$@" > "$W/$name.log" 2>&1
  read -r "${name}_s" "${name}_kb" < "$W/$name.time"
}

# The files are read once first, so every run reads them from the page cache.
cat "$A" "$W/b.mal" "$V" > /dev/null

run eng_dedup "$wf" dedup "$A" "$W/kept.out"
run one_dedup taskset -c 0 "$wf" dedup "$A" "$W/kept1.out"
run sort_u sort -u "$W/a.lower" -o "$W/sorted_u.out"
run eng_cmp "$wf" compare "$A" "$W/b.mal" "$W/common.out"
run one_cmp taskset -c 0 "$wf" compare "$A" "$W/b.mal" "$W/common1.out"
run sort_comm bash -c "sort '$W/a.lower' > '$W/sa' && sort '$W/b.lower' > '$W/sb' && comm -12 '$W/sa' '$W/sb' > '$W/comm.out'"
run eng_load "$lp" "$A"
run one_load taskset -c 0 "$lp" "$A"
run eng_val "$wf" validate "$V" "$W/black.cfg" "$W/valid.cfg" "$W/excluded.cfg" "$W/keywords.cfg"
run one_val taskset -c 0 "$wf" validate "$V" "$W/black.cfg" "$W/valid.cfg" "$W/excluded.cfg" "$W/keywords.cfg"
run eng_sort "$wf" sort "$A"
run one_sort taskset -c 0 "$wf" sort "$A"

# Cross-checks: the kept addresses are sort -u of the lower-cased file, and
# the common addresses are those comm finds; one core writes the same bytes.
dedup_ok=no; cmp -s <(sort "$W/kept.out") "$W/sorted_u.out" && dedup_ok=yes
cmp_ok=no; cmp -s <(sort -u "$W/common.out") <(sort -u "$W/comm.out") && cmp_ok=yes
same_ok=no; cmp -s "$W/kept.out" "$W/kept1.out" && cmp -s "$W/common.out" "$W/common1.out" && same_ok=yes

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (a > 0 ? b / a : 0) }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.0f", k / 1024 }'; }
cores="$(nproc)"
printf '%-40s %8s %8s %8s %8s %8s %8s %8s\n' "case ($N addresses)" "all s" "1 core s" "peer s" "peer/all" "all MB" "1c MB" "peer MB"
printf '%-40s %8s %8s %8s %8s %8s %8s %8s\n' "load + YRB11 .dup + YRB01 vs sort -u" "$eng_dedup_s" "$one_dedup_s" "$sort_u_s" \
  "$(ratio "$eng_dedup_s" "$sort_u_s")" "$(mb "$eng_dedup_kb")" "$(mb "$one_dedup_kb")" "$(mb "$sort_u_kb")"
printf '%-40s %8s %8s %8s %8s %8s %8s %8s\n' "2 loads + YRB24 vs 2 sort + comm -12" "$eng_cmp_s" "$one_cmp_s" "$sort_comm_s" \
  "$(ratio "$eng_cmp_s" "$sort_comm_s")" "$(mb "$eng_cmp_kb")" "$(mb "$one_cmp_kb")" "$(mb "$sort_comm_kb")"
printf '%-40s %8s %8s\n' "YRB13 alone (whole run)" "$eng_load_s" "$one_load_s"
printf '%-40s %8s %8s\n' "YRB12 on $M entries, 10^5 black list" "$eng_val_s" "$one_val_s"
printf '%-40s %8s %8s\n' "YRB02 sort by address (whole run)" "$eng_sort_s" "$one_sort_s"
echo "engine timings, all $cores cores:"; sed 's/^/  /' "$W/eng_dedup.log" "$W/eng_cmp.log" "$W/eng_load.log" "$W/eng_val.log" "$W/eng_sort.log"
echo "engine timings, one core:"; sed 's/^/  /' "$W/one_dedup.log" "$W/one_cmp.log" "$W/one_load.log" "$W/one_val.log" "$W/one_sort.log"
echo "dedup result equals sort -u: $dedup_ok; common set equals comm -12: $cmp_ok; one core writes the same files: $same_ok"

# Per step, per number of workers.
echo
echo "per step (seconds) by workers (ORMID_ENGINE_THREADS):"
for t in $THREADS; do
  echo "  $t:"
  for w in "dedup $A $W/kept_t.out" "compare $A $W/b.mal $W/common_t.out" "sort $A" \
           "validate $V $W/black.cfg $W/valid.cfg $W/excluded.cfg $W/keywords.cfg"; do
    # shellcheck disable=SC2086
    echo "    $(ORMID_ENGINE_THREADS=$t "$wf" $w 2>&1)"
  done
  echo "    $(ORMID_ENGINE_THREADS=$t "$lp" "$A" 2>&1)"
done
