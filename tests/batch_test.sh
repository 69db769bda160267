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

# 4. Bad paths are reported and the rest still converts; a script reached twice converts once,
# the second time reported as skipped. (y.mxt is y.tvx under a second name.)
printf 'go\n' >y.tvx
ln y.tvx y.mxt
run nosuch tree/empty y.tvx tree/zeta tree/zeta/d.tvx
expect_eq "status, bad paths" "$status" 1
expect_eq "errors, bad paths" "$err" "tvx2mxt: nosuch: No such file or directory
tvx2mxt: tree/empty: no .tvx scripts found
tvx2mxt: y.tvx: y.mxt would overwrite a script of the batch"
expect_eq "report, bad paths" "$out" "tree/zeta/d.tvx -> tree/zeta/d.mxt: 0 not converted, 0 semicolon lines, 0 warnings, 0 dropped
tree/zeta/d.tvx: skipped: same file as tree/zeta/d.tvx
total: 3 scripts, 2 failures, 1 skipped, 0 not converted, 0 semicolon lines, 0 warnings, 0 dropped"
expect_eq "the script kept" "$(cat y.mxt)" "go"
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
run -C y.tvx  # no output is written, so none is refused
expect_eq "check, outputs not refused" "$status $err" "0 "
[ -e out ] && fail "check mode wrote an output"

# 6. A folder whose script is refused is not one without scripts; "-O -" names no folder.
mkdir -p d1 d2 && printf 'go\n' >d1/s.tvx && printf 'go\n' >d2/s.tvx
run -O same d1 d2
expect_eq "same output" "$status $err" "1 tvx2mxt: d2/s.tvx: same/s.mxt is already the output of d1/s.tvx"
run -O - tree/zeta
expect_eq "-O - in a batch" "$status $err" "2 tvx2mxt: -O -: a batch writes its outputs into a folder"

# 7. A word no option takes: nothing is converted, nothing written, status 2.
rm -f tree/zeta/d.mxt
run --chek tree/zeta
expect_eq "typo'd option" "$status $out" "2 "
expect_eq "typo'd option, message" "$err" "tvx2mxt: unknown option: --chek
Try 'tvx2mxt --help' for more information."
[ -e tree/zeta/d.mxt ] && fail "a typo'd option converted a script"
run tree/zeta/d.tvx tree/zeta/d.mxt  # the cp habit: an output named as a path
expect_eq "an MXT script as a path" "$status $err" "2 tvx2mxt: tree/zeta/d.mxt: is an MXT script; to name an output use -O"
[ -e tree/zeta/d.mxt ] && fail "a refused run converted a script"

# 8. Backups: a rerun over a hand-edited output keeps it as OUTPUT~ and says so; --no-backup
# keeps nothing; a rerun that gives the same content touches nothing.
d_line="tree/zeta/d.tvx -> tree/zeta/d.mxt: 0 not converted, 0 semicolon lines, 0 warnings, 0 dropped"
run tree/zeta
printf 'go\n# fixed by hand\n' >tree/zeta/d.mxt
run tree/zeta
expect_eq "backup line" "$(head -n 1 stdout)" "$d_line (previous kept as tree/zeta/d.mxt~)"
expect_eq "backup" "$(cat tree/zeta/d.mxt~)" $'go\n# fixed by hand'
expect_eq "converted over the edit" "$(cat tree/zeta/d.mxt)" "go"
printf 'edited again\n' >tree/zeta/d.mxt
run --no-backup tree/zeta
expect_eq "--no-backup line" "$(head -n 1 stdout)" "$d_line"
expect_eq "--no-backup keeps the older backup" "$(cat tree/zeta/d.mxt~)" $'go\n# fixed by hand'
rm tree/zeta/d.mxt~
touch -d '2001-02-03 04:05:06' tree/zeta/d.mxt
run tree/zeta
expect_eq "same content line" "$(head -n 1 stdout)" "$d_line"
expect_eq "same content, time stamp" "$(stat -c %Y tree/zeta/d.mxt)" "$(date -d '2001-02-03 04:05:06' +%s)"
[ -e tree/zeta/d.mxt~ ] && fail "a rerun with the same content made a backup"

# 9. A report that cannot be written fails the run, after the scripts are done.
"$exe" tree/zeta >/dev/full 2>stderr
expect_eq "report to /dev/full" "$? $(cat stderr)" "1 tvx2mxt: standard output: No space left on device"
"$exe" -C tree/a.tvx >/dev/full 2>stderr
expect_eq "check report to /dev/full" "$? $(cat stderr)" "1 tvx2mxt: standard output: No space left on device"
"$exe" -I tree/a.tvx >/dev/full 2>stderr  # the script itself: its failure is reported once
expect_eq "script to /dev/full" "$? $(cat stderr)" $'1 \nCould not write the file standard output\ntvx2mxt: standard output: No space left on device'

# 10. A binary script in a batch fails with its reason; the others convert.
mkdir -p bin && printf 'go\n' >bin/a.tvx && printf 'go\n\0\177ELF\n' >bin/b.tvx && printf 'q\n' >bin/c.tvx
run bin
expect_eq "binary script" "$status $err" "1 tvx2mxt: bin/b.tvx: not a text script (it holds NUL bytes)"
expect_eq "binary script, report" "$(cut -d: -f1 stdout | tr '\n' ' ')" "bin/a.tvx -> bin/a.mxt bin/c.tvx -> bin/c.mxt total "
[ -e bin/b.mxt ] && fail "the binary script was converted"

# 11. Linked copies: the second name of a file is skipped and says so.
mkdir -p links && printf 'go\n' >links/a.tvx && ln links/a.tvx links/b.tvx
run links
expect_eq "linked copies" "$status $out" "0 links/a.tvx -> links/a.mxt: 0 not converted, 0 semicolon lines, 0 warnings, 0 dropped
links/b.tvx: skipped: same file as links/a.tvx
total: 1 script, 1 skipped, 0 not converted, 0 semicolon lines, 0 warnings, 0 dropped"
[ -e links/b.mxt ] && fail "a linked copy was converted"

# 12. A lone "-": standard input (here a pipe) onto standard output; binary input is refused.
out=$(printf 'go\nstep 3\n' | "$exe" - 2>stderr)
expect_eq "- from a pipe" "$? $out" $'0 go\nstepl 3'
out=$(printf 'go\n\0\n' | "$exe" - 2>stderr)
expect_eq "binary from a pipe" "$? $out $(cat stderr)" "1  tvx2mxt: -: not a text script (it holds NUL bytes)"
run - tree/zeta
expect_eq "- among paths" "$status $err" "2 tvx2mxt: unexpected operand: -
Try 'tvx2mxt --help' for more information."

# 13. SIGINT in the middle of a batch leaves the lines of the scripts done: the third script is a
# FIFO that nobody writes, so the run waits there.
mkdir -p sig && printf 'go\n' >sig/a.tvx && printf 'q\n' >sig/b.tvx && mkfifo sig/wait.tvx
env --default-signal=INT "$exe" -j 1 sig/a.tvx sig/b.tvx sig/wait.tvx >stdout 2>stderr &
converter=$!
for ((tries = 0; tries < 100; tries++)); do
  [ "$(wc -l <stdout)" -ge 2 ] && break
  sleep 0.1
done
kill -INT "$converter"
wait "$converter"
expect_eq "SIGINT, status" "$?" 130
expect_eq "SIGINT, finished lines" "$(cut -d: -f1 stdout | tr '\n' ' ')" "sig/a.tvx -> sig/a.mxt sig/b.tvx -> sig/b.mxt "
expect_eq "SIGINT, folder" "$(ls -A sig | tr '\n' ' ')" "a.mxt a.tvx b.mxt b.tvx wait.tvx "

exit $((failures > 0))
