#!/usr/bin/env bash
# The report page as a reviewer sees it: a run over scripts like those of a migration (the
# bundled examples and the README's tree) writes --report report.html, and headless Chromium
# takes a screenshot of it. Exits 77 (skipped) when no Chromium is installed.
#
#   report_screenshot.sh PATH/TO/tvx2mxt WORK-FOLDER [SCREENSHOT.png]
#
# With a third argument the screenshot is also copied there (doc/report.png for the README).
set -u
exe=$1
work=$2
keep=${3:-}
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

browser=""
for name in chromium chromium-browser google-chrome; do
  if command -v "$name" >/dev/null 2>&1; then
    browser=$name
    break
  fi
done
if [ -z "$browser" ]; then
  echo "skipped: no Chromium installed"
  exit 77
fi

rm -rf "$work" && mkdir -p "$work/scripts/power" && cd "$work" || exit 1
cp "$root"/examples/*.tvx scripts/
printf '| stop in the UART driver after five frames\nb uart_rx_isr,5\nb main.c:120 if rx_count>=16\nprint $vector_catch\nlet buf = 1,2\ntrace on\n' >scripts/uart.tvx
printf 'log boot.log\nload fw.axf\nbr flash.c:212\ngo;step\n' >scripts/power/boot.tvx
printf 'b main\ngo\nprint x\n' >scripts/power/sleep.tvx
printf 'r0 5\nstep 3 while busy\n' >scripts/bringup.tvx

"$exe" --report report.html scripts >stdout 2>stderr
status=$?
if [ "$status" != 0 ]; then
  echo "FAIL: the run ended with status $status"
  cat stderr
  exit 1
fi

timeout 120 "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars \
  --screenshot="$work/report.png" --window-size=1280,1600 "file://$work/report.html" \
  >browser.log 2>&1
size=$(stat -c %s report.png 2>/dev/null || echo 0)
# A page that rendered holds text and colours: far more than an empty PNG of that size.
if [ "$(head -c 8 report.png | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ] || [ "$size" -lt 50000 ]; then
  echo "FAIL: no screenshot of the page ($size bytes)"
  cat browser.log
  exit 1
fi
echo "screenshot: $work/report.png ($size bytes)"
if [ -n "$keep" ]; then cp report.png "$keep"; fi
echo "1 passed, 0 failed"
