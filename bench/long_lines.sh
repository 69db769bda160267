#!/usr/bin/env bash
# Peak memory against line length: for a few shapes of one long line, converts a script of that
# one line at several lengths and prints the converter's peak resident memory and its time. A
# line should cost at most a small multiple of its length: under 40 MB at 2 MB. (A value list of
# one-digit values is converted into about twelve times its length, and costs about twice that.)
#
#   bash bench/long_lines.sh [CONVERTER]
#
# Without CONVERTER it builds a Release binary in build-release first.
set -euo pipefail
export LC_ALL=C

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
converter="${1:-}"
if [ -z "$converter" ]; then
  build="$root/build-release"
  converter="$build/tvx2mxt"
  echo "Building tvx2mxt (Release) in $build ..."
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTVX2MXT_TESTS=OFF >/dev/null
  cmake --build "$build" -j2 --target tvx2mxt >/dev/null
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The shapes: a name, the text before the repeated piece, the piece, the text after it. The piece
# "#, " counts: 0, 1, 2, ...
shapes=(
  "print text|print |x|"
  "value list|let a = |#, |0"
  "one-digit value list|let a = |7, |0"
  "call with blanks|call a| b|"
  "register names|let x = |r1+|r2"
  "scope colons|let x = |a:|b"
  "quoted comment|comment |\" : |="
  "placeholder text|v |XXXXX1|"
  "quotes and commas|v |\"a,XXXXX1\",|"
  "command list|b f do {|p x;|go}"
  "nested lists|b f |do {b f |go"
  "go condition|go while |x==1 \&\& |y"
  "breakpoint condition|b main if |x==1 \&\& |y"
  "semicolons|go|;go|"
)

# One line of about `bytes` bytes of the shape; a nested list closes all it opened.
make_line() {
  local head="$1" piece="$2" tail="$3" bytes="$4" count
  count=$((bytes / ${#piece}))
  local closing=""
  if [ "$piece" = "do {b f " ]; then closing="}"; fi
  awk -v head="$head" -v piece="$piece" -v tail="$tail" -v closing="$closing" -v n="$count" \
    -v bytes="$bytes" \
    'BEGIN { printf "%s", head
             if (piece == "#, ") { for (i = 0; written < bytes; i++) written += printf_count(i) }
             else for (i = 0; i < n; i++) printf "%s", piece
             printf "%s", tail; for (i = 0; i < n && closing != ""; i++) printf "%s", closing
             printf "\n" }
     function printf_count(i) { printf "%d, ", i; return length(i "") + 2 }'
}

sizes=(262144 1048576 2097152)
printf '%-22s' "shape"
for size in "${sizes[@]}"; do printf '%18s' "$((size / 1024)) KiB line"; done
printf '\n'
for shape in "${shapes[@]}"; do
  IFS='|' read -r name head piece tail <<<"$shape"
  piece="${piece//\\&/&}"
  printf '%-22s' "$name"
  for size in "${sizes[@]}"; do
    make_line "$head" "$piece" "$tail" "$size" >"$work/line.tvx"
    start=$(date +%s.%N)
    /usr/bin/time -f '%M' -o "$work/rss" "$converter" -I "$work/line.tvx" -O /dev/null \
      >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    awk -v kib="$(tail -n 1 "$work/rss")" -v s="$start" -v e="$end" \
      'BEGIN { printf "%9.1f MB %5.2fs", kib / 1024, e - s }'
  done
  printf '\n'
done
