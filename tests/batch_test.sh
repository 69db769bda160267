#!/usr/bin/env bash
# Batch conversion and check mode, end to end: a nested tree of scripts converted in one run,
# each output byte-identical to a single-file run, the same report for any number of jobs, bad
# paths reported while the rest converts, and check mode's exit statuses.
#
#   batch_test.sh PATH/TO/tvx2mxt WORK-FOLDER
set -u
exe=$1
work=$2
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
expect_eq() {  # expect_eq WHAT GOT EXPECTED
  [ "$2" == "$3" ] || fail "$1: got [$2], expected [$3]"
}

# The tree: scripts in nested folders, names in both cases of the ending, a file that is no
# script, a folder without scripts, and a symbolic link that leads back up the tree.
mkdir -p tree/sub/deeper tree/empty tree/zeta
printf 'go\nfoo\n' >tree/a.tvx
printf 'b main;g\n' >tree/sub/B.TVX
printf 'step\n|note\nwhere\n' >tree/sub/deeper/c.tvx
printf 'go\n' >tree/zeta/d.tvx
printf 'go\n' >tree/notes.txt
ln -s .. tree/sub/deeper/loop
printf 'q\n' >single.script

run() {  # run ARGS...: sets out, err, status
  "$exe" "$@" >"$work/stdout" 2>"$work/stderr"
  status=$?
  out=$(cat "$work/stdout")
  err=$(cat "$work/stderr")
}
outputs() { find tree out single.script.mxt -name '*.mxt' 2>/dev/null | sort | xargs -r md5sum; }

# 1. One job, then two: the same report and the same outputs.
run -j 1 tree single.script
expect_eq "status, -j 1" "$status" 0
expect_eq "report, -j 1" "$out" "tree/a.tvx -> tree/a.mxt: 1 not converted, 0 semicolon lines, 0 warnings, 0 dropped
tree/sub/B.TVX -> tree/sub/B.mxt: 0 not converted, 1 semicolon line, 0 warnings, 0 dropped
tree/sub/deeper/c.tvx -> tree/sub/deeper/c.mxt: 0 not converted, 0 semicolon lines, 0 warnings, 0 dropped
tree/zeta/d.tvx -> tree/zeta/d.mxt: 0 not converted, 0 semicolon lines, 0 warnings, 0 dropped
single.script -> single.script.mxt: 0 not converted, 0 semicolon lines, 0 warnings, 0 dropped
total: 5 scripts, 1 not converted, 1 semicolon line, 0 warnings, 0 dropped; most often not converted: foo (1)"
expect_eq "errors, -j 1" "$err" ""
[ -e tree/notes.mxt ] && fail "a file that is no script was converted"
first=$(outputs)
report=$out
rm -f tree/a.mxt tree/sub/B.mxt tree/sub/deeper/c.mxt tree/zeta/d.mxt single.script.mxt
run -j 2 tree single.script
expect_eq "report, -j 2" "$out" "$report"
expect_eq "outputs, -j 2" "$(outputs)" "$first"

# 2. Every output is what a single-file run writes.
for script in tree/a.tvx tree/sub/B.TVX tree/sub/deeper/c.tvx single.script; do
  case $script in
  *.TVX | *.tvx) output="${script%.*}.mxt" ;;
  *) output="$script.mxt" ;;
  esac
  "$exe" -I "$script" -O alone.mxt >/dev/null 2>&1
  cmp -s alone.mxt "$output" || fail "$output differs from a single-file run"
done

# 3. -O DIR: the outputs go below DIR at the scripts' places below the paths they were found
# under; the findings of -W go to standard error in script order.
run -W -O out/put tree/sub
expect_eq "status, -O" "$status" 0
expect_eq "outputs below -O" "$(cd out/put && find . -type f | sort | tr '\n' ' ')" \
  "./B.mxt ./deeper/c.mxt "
expect_eq "findings of -W" "$err" "tree/sub/B.TVX:1: semicolons: b main;g"

# 4. Bad paths are reported and the rest still converts; a script reached twice converts once.
printf 'go\n' >y.tvx
printf 'go\n' >y.mxt
run nosuch tree/empty y.tvx y.mxt tree/zeta tree/zeta/d.tvx
expect_eq "status, bad paths" "$status" 1
expect_eq "errors, bad paths" "$err" "tvx2mxt: nosuch: No such file or directory
tvx2mxt: tree/empty: no .tvx scripts found
tvx2mxt: y.tvx: y.mxt would overwrite a script of the batch"
expect_eq "scripts converted" "$(grep -c -- ' -> ' stdout)" 2
expect_eq "the script kept" "$(cat y.mxt)" "go"
[ -s y.mxt.mxt ] && [ -s tree/zeta/d.mxt ] || fail "the other scripts were not converted"
printf 'x' >blocker
run -O blocker/out tree/zeta
expect_eq "status, output folder" "$status" 1
expect_eq "error, output folder" "$err" "tvx2mxt: blocker/out: Not a directory"

# 5. Check mode writes nothing; 0 when nothing needs a hand, 3 when something does, 1 when a
# script cannot be read.
rm -rf out
run -C tree/zeta
expect_eq "check, clean" "$status $out" "0 total: 1 script, 0 not converted, 0 semicolon lines, 0 warnings, 0 dropped"
run -C tree/a.tvx tree/sub
expect_eq "check, findings" "$status" 3
expect_eq "check report" "$out" "tree/a.tvx:2: not converted: foo
tree/sub/B.TVX:1: semicolons: b main;g
total: 3 scripts, 1 not converted, 1 semicolon line, 0 warnings, 0 dropped; most often not converted: foo (1)"
run -C -I tree/a.tvx
expect_eq "check of -I" "$status $out" "3 tree/a.tvx:2: not converted: foo
total: 1 script, 1 not converted, 0 semicolon lines, 0 warnings, 0 dropped; most often not converted: foo (1)"
run -C nosuch tree/zeta
expect_eq "check, unreadable" "$status" 1
run -C y.tvx y.mxt  # no output is written, so none is refused
expect_eq "check, outputs not refused" "$status $err" "0 "
[ -e out ] && fail "check mode wrote an output"

# 6. A folder whose script is refused is not one without scripts; "-O -" names no folder.
mkdir -p d1 d2 && printf 'go\n' >d1/s.tvx && printf 'go\n' >d2/s.tvx
run -O same d1 d2
expect_eq "same output" "$status $err" "1 tvx2mxt: d2/s.tvx: same/s.mxt is already the output of d1/s.tvx"
run -O - tree/zeta
expect_eq "-O - in a batch" "$status $err" "2 tvx2mxt: -O -: a batch writes its outputs into a folder"

exit $((failures > 0))
