#!/usr/bin/env bash
# Times torvane-check on a 5 MB UTF-8 Japanese text against iconv's own conversion of the same
# file, in one run, and reports the ratios and the checker's peak memory.
#   bench/cli_vs_iconv.sh [BUILD_DIR] [RUNS]
# The text is Debian's Japanese manual pages (package manpages-ja), repeated up to 5 MB (they
# hold about 630 KB); without them it is the bundled sample repeated. The in-process check of the
# same file (bench/check_file_bench) runs beside them when it is built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
runs=${2:-11}
checker="$build/cli/torvane-check"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
size=$((5 * 1024 * 1024))

if [ -d /usr/share/man/ja ]; then
  find /usr/share/man/ja -name '*.gz' | sort | xargs zcat | iconv -c -f UTF-8 -t UTF-8 > "$work/pages"
  while [ "$(stat -c %s "$work/raw" 2>/dev/null || echo 0)" -lt $((size + 4096)) ]; do
    cat "$work/pages" >> "$work/raw"
  done
  source="Japanese manual pages, repeated"
else
  while [ "$(stat -c %s "$work/raw" 2>/dev/null || echo 0)" -lt $((size + 4096)) ]; do
    cat "$root/samples/sample.txt" "$root/tests/cli/golden/story.in" >> "$work/raw"
  done
  source="the bundled sample, repeated"
fi
# Cut at a line end so the text stays valid UTF-8.
head -c "$size" "$work/raw" | sed '$d' > "$work/text.txt"
bytes=$(stat -c %s "$work/text.txt")

# Wall-clock milliseconds of one run of a command (its exit status 1 means "problems found").
run_ms() {
  local start end
  start=$(date +%s%N)
  "$@" > /dev/null || [ $? -eq 1 ]
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
# The three commands take turns, so a slow spell of the machine hits them alike; the best of
# $runs runs of each is kept.
iconv_ms="" plain_ms="" json_ms=""
min() { if [ -z "$1" ] || [ "$2" -lt "$1" ]; then echo "$2"; else echo "$1"; fi; }
for _ in $(seq "$runs"); do
  iconv_ms=$(min "$iconv_ms" "$(run_ms iconv -c -f UTF-8 -t CP932 "$work/text.txt")")
  plain_ms=$(min "$plain_ms" "$(run_ms "$checker" "$work/text.txt")")
  json_ms=$(min "$json_ms" "$(run_ms "$checker" --json "$work/text.txt")")
done
peak_kb() { { /usr/bin/time -f %M "$@" 2>&1 > /dev/null || true; } | tail -n 1; }

json_bytes=$("$checker" --json "$work/text.txt" | wc -c || true)
plain_kb=$(peak_kb "$checker" "$work/text.txt")
json_kb=$(peak_kb "$checker" --json "$work/text.txt")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / (b > 0 ? b : 1) }'; }
echo "input: $bytes bytes of UTF-8 ($source); best of $runs runs"
echo "iconv -f UTF-8 -t CP932:      ${iconv_ms} ms"
echo "torvane-check (plain):        ${plain_ms} ms  = $(ratio "$plain_ms" "$iconv_ms") x iconv, peak ${plain_kb} KB"
echo "torvane-check --json:         ${json_ms} ms  = $(ratio "$json_ms" "$iconv_ms") x iconv, peak ${json_kb} KB, output $json_bytes bytes"

in_process="$build/bench/check_file_bench"
if [ -x "$in_process" ]; then
  echo "in-process read and check (check_file_bench, level 0):"
  "$in_process" "$work/text.txt" 0 "$runs" | sed 's/^/  /'
fi
