#!/usr/bin/env bash
# Benchmark of the converter: builds it in Release mode, generates a 1,000,000-line and a
# 10,000,000-line Tavex script, and prints the converter's throughput next to that of `cat` and of
# a twenty-rule sed rewriter (bench/rules.sed) on the 1M-line script, the ratio converter/sed, and
# the converter's peak resident memory for both scripts. Then a batch: 2,000 scripts of 100
# lines, converted by 2,000 single-file runs, by one batch run with one job and by one with two,
# and by batch runs that also write a report (--report x.json, --report x.html).
# Targets: ratio converter/sed at most 0.5, peak memory under 16 MB for both sizes; the batch
# run at least 5 times faster than the single-file runs, two jobs at least 1.6 times faster
# than one; a batch with a JSON report at most 1.2 times the batch without, with a page at most
# 2 times.
#
#   bench/run.sh            everything
#   bench/run.sh --batch    the batch only (a minute or so)
set -euo pipefail
# Byte semantics for sed and the same number format everywhere, whatever the caller's locale.
export LC_ALL=C

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-release"
converter="$build/tvx2mxt"
rules="$root/bench/rules.sed"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "Building tvx2mxt (Release) in $build ..."
if ! {
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTVX2MXT_TESTS=OFF &&
    cmake --build "$build" -j2 --target tvx2mxt
} >"$work/build.log" 2>&1; then
  cat "$work/build.log" >&2
  exit 1
fi

batch_only=false
[ "${1:-}" = --batch ] && batch_only=true

small="$work/script-1m.tvx"
large="$work/script-10m.tvx"
run_converter() { "$converter" -I "$1" -O "$2" >/dev/null; }
run_cat() { cat "$1" >"$2"; }
run_sed() { sed -f "$rules" "$1" >"$2"; }

now() { date +%s.%N; }

if ! $batch_only; then
echo "Generating the 1M-line and 10M-line scripts ..."
python3 "$root/bench/generate.py" 1000000 "$small"
python3 "$root/bench/generate.py" 10000000 "$large"
lines=$(wc -l <"$small")
bytes=$(wc -c <"$small")

# Prints the shortest wall-clock time in seconds of three runs of the function $1 on the 1M-line
# script, each writing its output to a file.
best_of_3() {
  local best="" start end
  for _ in 1 2 3; do
    start=$(now)
    "$1" "$small" "$work/out-$1"
    end=$(now)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" \
      'BEGIN { t = e - s; if (b == "" || t < b) b = t; printf "%.3f", b }')
  done
  echo "$best"
}

# Prints the peak resident memory in KiB of one converter run on the script $1.
peak_rss_kib() {
  /usr/bin/time -f %M -o "$work/rss" "$converter" -I "$1" -O "$work/out-rss" >/dev/null
  tail -n 1 "$work/rss"
}

echo "Timing on the 1M-line script ($lines lines, $bytes bytes), best of 3 runs ..."
t_converter=$(best_of_3 run_converter)
t_cat=$(best_of_3 run_cat)
t_sed=$(best_of_3 run_sed)

echo "Measuring peak resident memory ..."
rss_small=$(peak_rss_kib "$small")
rss_large=$(peak_rss_kib "$large")

echo
printf '%-22s %9s %14s %9s\n' "tool" "seconds" "lines/s" "MB/s"
row() {
  awk -v name="$1" -v t="$2" -v n="$lines" -v b="$bytes" \
    'BEGIN { printf "%-22s %9.3f %14.0f %9.1f\n", name, t, n / t, b / 1e6 / t }'
}
row "tvx2mxt" "$t_converter"
row "cat" "$t_cat"
row "sed -f rules.sed" "$t_sed"
echo
awk -v c="$t_converter" -v s="$t_sed" \
  'BEGIN { printf "ratio converter/sed:   %.2f (target: at most 0.5)\n", c / s }'
awk -v k="$rss_small" \
  'BEGIN { printf "peak RSS, 1M lines:    %.1f MB (%d KiB; target: under 16 MB)\n", k / 1024, k }'
awk -v k="$rss_large" \
  'BEGIN { printf "peak RSS, 10M lines:   %.1f MB (%d KiB; target: under 16 MB)\n", k / 1024, k }'
echo "(MB/s counts input bytes in units of 10^6 bytes; memory in MB of 1024 KiB.)"
fi

# Batch: 2,000 scripts of about 100 lines in twenty folders.
batch="$work/batch"
echo
echo "Generating 2,000 scripts of 100 lines ..."
python3 "$root/bench/generate.py" --batch 2000 100 "$batch"
scripts=$(find "$batch" -name '*.tvx' | sort)

single_runs() {
  local script
  for script in $scripts; do "$converter" -I "$script" -O "${script%.tvx}.mxt" >/dev/null; done
}
batch_run() { "$converter" -j "$1" "$batch" >/dev/null; }

# Prints the shortest wall-clock time in seconds of three runs of the command "$@".
best_of_3_cmd() {
  local best="" start end
  for _ in 1 2 3; do
    start=$(now)
    "$@"
    end=$(now)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" \
      'BEGIN { t = e - s; if (b == "" || t < b) b = t; printf "%.3f", b }')
  done
  echo "$best"
}

echo "Timing the batch, best of 3 runs ..."
t_single=$(best_of_3_cmd single_runs)
t_batch1=$(best_of_3_cmd batch_run 1)
t_batch2=$(best_of_3_cmd batch_run 2)
echo
printf '%-30s %9s\n' "2,000 scripts" "seconds"
printf '%-30s %9.3f\n' "2,000 single-file runs" "$t_single"
printf '%-30s %9.3f\n' "one batch run, -j 1" "$t_batch1"
printf '%-30s %9.3f\n' "one batch run, -j 2" "$t_batch2"
echo
awk -v a="$t_single" -v b="$t_batch2" \
  'BEGIN { printf "single-file runs / batch:   %.1f (target: at least 5)\n", a / b }'
awk -v a="$t_batch1" -v b="$t_batch2" \
  'BEGIN { printf "batch -j 1 / batch -j 2:    %.2f (target: at least 1.6)\n", a / b }'

# The same batch with a report (default jobs), each against the batch without it: into a tree
# without outputs yet, and again over the outputs of a run before, which keep their content and
# are left alone (their content is compared, not written). The runs take turns, seven rounds,
# and the shortest wall-clock and CPU times (user and system) of each count: on a machine shared
# with others the slowest runs say more about them than about the report.
report_times() {  # report_times NAME ARGS...: appends "NAME WALL CPU" to $work/report-times
  local name=$1
  shift
  /usr/bin/time -f "$name %e %U %S" -o "$work/time" "$converter" "$@" "$batch" >/dev/null
  awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }' "$work/time" >>"$work/report-times"
}
remove_outputs() { find "$batch" -name '*.mxt' -delete; }
echo
echo "Timing the batch with reports, best of 7 rounds ..."
: >"$work/report-times"
formats=(none json html)
for round in 0 1 2 3 4 5 6; do
  # Each round begins with another of the three, so that none always follows the same.
  for k in 0 1 2; do
    format=${formats[$(((round + k) % 3))]}
    args=()
    [ $format != none ] && args=(--report "$work/report.$format")
    remove_outputs
    report_times "$format-fresh" "${args[@]}"
    report_times "$format-again" "${args[@]}"
  done
done
best_wall() { awk -v n="$1" '$1 == n && (b == "" || $2 < b) { b = $2 } END { print b }' "$work/report-times"; }
best_cpu() { awk -v n="$1" '$1 == n && (b == "" || $3 < b) { b = $3 } END { print b }' "$work/report-times"; }
megabytes() { awk -v b="$(wc -c <"$1")" 'BEGIN { printf "%.1f", b / 1e6 }'; }
echo
printf '%-34s %9s %9s %9s\n' "2,000 scripts" "seconds" "CPU s" "MB"
for run in fresh again; do
  printf '%-34s %9.2f %9.2f\n' "batch run, $run" "$(best_wall none-$run)" "$(best_cpu none-$run)"
  for format in json html; do
    printf '%-34s %9.2f %9.2f %9s\n' "batch run, $run, --report x.$format" \
      "$(best_wall $format-$run)" "$(best_cpu $format-$run)" "$(megabytes "$work/report.$format")"
  done
done
echo
for run in fresh again; do
  for format in json html; do
    target=$([ $format = json ] && echo 1.2 || echo 2)
    awk -v f="$format" -v r="$run" -v t="$target" \
      -v w="$(best_wall $format-$run)" -v c="$(best_cpu $format-$run)" \
      -v w0="$(best_wall none-$run)" -v c0="$(best_cpu none-$run)" \
      'BEGIN { printf "%s report / none, %s: %.2f in seconds, %.2f in CPU time (target: at most %s)\n", f, r, w / w0, c / c0, t }'
  done
done
