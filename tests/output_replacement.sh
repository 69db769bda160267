#!/usr/bin/env bash
# End-to-end cases of the output file: an existing output keeps its bytes and its mode when the
# conversion fails (memory exhaustion, an input that cannot be read, a write error, SIGTERM or
# SIGINT in the middle of a long conversion), and no temporary file is left beside it; a new file
# gets the permissions the umask leaves, a replaced file keeps its mode and its previous content
# as out.mxt~ (not with --no-backup), an output that already holds the conversion is not touched,
# a link stays a link, a read-only file is refused, /dev/null still takes the script.
#
#   output_replacement.sh EXE WORK [no-memory-limit]
#
# With "no-memory-limit" (the sanitizer build, which needs a large address space) the memory
# exhaustion case is skipped.
set -u
exe=$1
work=$2
memory_limit=yes
[ "${3:-}" = no-memory-limit ] && memory_limit=no

failures=0
fail() {
  echo "FAIL $case_name: $*"
  failures=$((failures + 1))
}

# A fresh folder holding in.tvx and an existing out.mxt ("old script", mode 640).
start() {
  case_name=$1
  rm -rf "$work/$case_name"
  mkdir -p "$work/$case_name"
  cd "$work/$case_name" || exit 1
  printf 'go\nfoo\n' >in.tvx
  printf 'old script\n' >out.mxt
  chmod 640 out.mxt
}

converted=$'go\n//No available conversion of command:\tfoo\n'

expect_status() {
  [ "$1" = "$2" ] || fail "exit status $1, expected $2"
}
expect_stdout() {
  local got
  got=$(cat stdout; echo .)
  [ "${got%.}" = "$1" ] || fail "standard output [$(head -c 300 stdout)], expected [$1]"
}
# out.mxt holds these bytes and has this mode.
expect_output() {
  local got
  got=$(cat out.mxt; echo .)
  [ "${got%.}" = "$1" ] || fail "out.mxt holds [$(head -c 100 out.mxt)...], expected [$1]"
  [ "$(stat -L -c %a out.mxt)" = "$2" ] || fail "out.mxt has mode $(stat -L -c %a out.mxt), expected $2"
}
# The folder holds exactly these names (hidden ones included).
expect_entries() {
  local got
  got=$(ls -A | tr '\n' ' ')
  [ "$got" = "$* " ] || fail "the folder holds [$got], expected [$* ]"
}
finish() {
  [ "$failures" = "$1" ] && echo "ok $case_name"
  cd "$work" || exit 1
}

# Memory runs out on the second line, after the first was converted into the output.
if [ "$memory_limit" = yes ]; then
  start memory_exhaustion
  before=$failures
  { printf 'go\nb f '; yes 'do {b f ' | head -n 131072 | tr -d '\n'; printf '\n'; } >in.tvx
  (ulimit -v 150000 && exec "$exe" -I in.tvx -O out.mxt) >stdout 2>stderr
  expect_status $? 2
  expect_stdout $'\nmalloc error'
  expect_output $'old script\n' 640
  expect_entries in.tvx out.mxt stderr stdout
  finish "$before"
fi

# A folder as input is refused before the output is opened.
start directory_input
before=$failures
"$exe" -I . -O out.mxt >stdout 2>stderr
expect_status $? 1
expect_stdout $'\nCould not open the file . for reading\n'
expect_output $'old script\n' 640
expect_entries in.tvx out.mxt stderr stdout
finish "$before"

# An input that opens but fails at its first read, once the output is open.
start read_error
before=$failures
"$exe" -I /proc/self/mem -O out.mxt >stdout 2>stderr
expect_status $? 1
expect_stdout $'\nCould not read the file /proc/self/mem\n'
expect_output $'old script\n' 640
expect_entries in.tvx out.mxt stderr stdout
finish "$before"

# Files may not grow past 8 KB (the signal for it ignored, so writes fail with EFBIG): the script
# of 20000 lines cannot be written.
start write_error
before=$failures
yes go | head -n 20000 >in.tvx
(ulimit -f 8 && trap '' XFSZ && exec "$exe" -I in.tvx -O out.mxt) >stdout 2>stderr
expect_status $? 1
expect_stdout $'\nCould not write the file out.mxt\n'
expect_output $'old script\n' 640
expect_entries in.tvx out.mxt stderr stdout
finish "$before"

# Waits until the converter writes its temporary file (with "written": until something is in it).
wait_for_temporary_file() {
  local temporary tries
  for ((tries = 0; tries < 300; tries++)); do
    temporary=$(ls -A | grep '^\.out\.mxt\.tmp-' | head -n 1)
    [ -n "$temporary" ] && { [ -z "${1:-}" ] || [ -s "$temporary" ]; } && return
    sleep 0.1
  done
  fail "no temporary file was being written"
}

# A long conversion is stopped by a signal while it writes: the input is a FIFO that gets 200000
# lines and then stays open, so that the converter is caught in the middle of the script, its
# temporary file already written to.
signal_in_the_middle() {
  local signal=$1 status=$2 writer converter
  start "signal_$signal"
  before=$failures
  rm in.tvx
  mkfifo in.fifo
  { yes 'b main' | head -n 200000; exec sleep 60; } >in.fifo &
  writer=$!
  # A background job of a script ignores SIGINT; the converter gets the default action back.
  env --default-signal="$signal" "$exe" -I in.fifo -O out.mxt >stdout 2>stderr &
  converter=$!
  wait_for_temporary_file written
  kill "-$signal" "$converter"
  wait "$converter"
  expect_status $? "$status"
  kill "$writer"
  wait "$writer" 2>/dev/null
  expect_output $'old script\n' 640
  expect_entries in.fifo out.mxt stderr stdout
  finish "$before"
}
signal_in_the_middle TERM 143
signal_in_the_middle INT 130

# A SIGINT that was ignored when the converter started (a background job) stays ignored: the
# conversion goes on to its end. (The first 64 KiB of a FIFO are read before the output is
# opened, to see that the script is text.)
start ignored_interrupt
before=$failures
rm in.tvx
mkfifo in.fifo
exec 3<>in.fifo
(trap '' INT && exec "$exe" -I in.fifo -O out.mxt) >stdout 2>stderr 3>&- &
converter=$!
yes go | head -n 30000 >&3
wait_for_temporary_file
kill -INT "$converter"
printf 'foo\n' >&3
exec 3>&-
wait "$converter"
expect_status $? 0
expect_output "$(yes go | head -n 30000)"$'\n//No available conversion of command:\tfoo\n' 640
expect_entries in.fifo out.mxt out.mxt~ stderr stdout
finish "$before"

start new_file_umask
before=$failures
(umask 027 && exec "$exe" -I in.tvx -O new.mxt) >stdout 2>stderr
expect_status $? 0
[ "$(stat -c %a new.mxt)" = 640 ] || fail "umask 027 gave mode $(stat -c %a new.mxt)"
rm new.mxt
(umask 002 && exec "$exe" -I in.tvx -O new.mxt) >stdout 2>stderr
[ "$(stat -c %a new.mxt)" = 664 ] || fail "umask 002 gave mode $(stat -c %a new.mxt)"
[ "$(cat new.mxt; echo .)" = "$converted." ] || fail "new.mxt holds [$(cat new.mxt)]"
finish "$before"

# A replaced file keeps its mode; its previous content is kept as out.mxt~ (the file itself,
# with its mode), replacing an older backup.
start replaced_file_mode
before=$failures
chmod 604 out.mxt
printf 'older backup\n' >out.mxt~
(umask 077 && exec "$exe" -I in.tvx -O out.mxt) >stdout 2>stderr
expect_status $? 0
expect_output "$converted" 604
expect_entries in.tvx out.mxt out.mxt~ stderr stdout
[ "$(cat out.mxt~)" = "old script" ] || fail "out.mxt~ holds [$(cat out.mxt~)]"
[ "$(stat -c %a out.mxt~)" = 604 ] || fail "out.mxt~ has mode $(stat -c %a out.mxt~)"
finish "$before"

# An output that already holds the conversion is not written again: no backup, the same time
# stamp; one that differs is replaced without a backup with --no-backup.
start same_content
before=$failures
printf '%s' "$converted" >out.mxt
touch -d '2001-02-03 04:05:06' out.mxt
"$exe" -I in.tvx -O out.mxt >stdout 2>stderr
expect_status $? 0
expect_output "$converted" 640
[ "$(stat -c %Y out.mxt)" = "$(date -d '2001-02-03 04:05:06' +%s)" ] || fail "out.mxt was touched"
expect_entries in.tvx out.mxt stderr stdout
printf 'hand edited\n' >out.mxt
"$exe" --no-backup -I in.tvx -O out.mxt >stdout 2>stderr
expect_status $? 0
expect_output "$converted" 640
expect_entries in.tvx out.mxt stderr stdout
finish "$before"

# A backup that cannot be made (its name is a folder) leaves the output as it was.
start backup_refused
before=$failures
mkdir out.mxt~
"$exe" -I in.tvx -O out.mxt >stdout 2>stderr
expect_status $? 1
expect_stdout $'\nCould not write the file out.mxt\n'
[ "$(cat stderr)" = "tvx2mxt: out.mxt~: Is a directory" ] || fail "standard error [$(cat stderr)]"
expect_output $'old script\n' 640
expect_entries in.tvx out.mxt out.mxt~ stderr stdout
finish "$before"

start dev_null
before=$failures
"$exe" -I in.tvx -O /dev/null >stdout 2>stderr
expect_status $? 0
grep -q 'please examine /dev/null' stdout || fail "no completion message: [$(cat stdout)]"
expect_output $'old script\n' 640
finish "$before"

start symbolic_link
before=$failures
mkdir scripts
mv out.mxt scripts/real.mxt
ln -s scripts/real.mxt out.mxt
"$exe" -I in.tvx -O out.mxt >stdout 2>stderr
expect_status $? 0
[ -L out.mxt ] && [ "$(readlink out.mxt)" = scripts/real.mxt ] || fail "out.mxt is no longer the link"
expect_output "$converted" 640
expect_entries in.tvx out.mxt scripts stderr stdout
[ "$(ls -A scripts | tr '\n' ' ')" = "real.mxt real.mxt~ " ] || fail "scripts holds [$(ls -A scripts)]"
[ "$(cat scripts/real.mxt~)" = "old script" ] || fail "the backup holds [$(cat scripts/real.mxt~)]"
finish "$before"

# A read-only output is refused, as an ordinary user (the superuser may write any file).
start read_only_output
before=$failures
chmod 444 out.mxt
as_user=()
if [ "$(id -u)" = 0 ]; then
  chown nobody . out.mxt
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
if "${as_user[@]}" test -x "$exe" -a -w . 2>/dev/null; then
  "${as_user[@]}" "$exe" -I in.tvx -O out.mxt >stdout 2>stderr
  expect_status $? 1
  expect_stdout $'\nCould not create the file out.mxt for output\n'
  expect_output $'old script\n' 444
  expect_entries in.tvx out.mxt stderr stdout
  finish "$before"
else
  echo "skipped $case_name: no ordinary user to run as"
  cd "$work" || exit 1
fi

[ "$failures" = 0 ] || exit 1
