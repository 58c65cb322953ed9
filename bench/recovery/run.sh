#!/usr/bin/env bash
# Recovery copies: one save of a 20 MB text (reading it out of the editor, shaping it and writing
# the copy atomically with mode 0600) beside cp copying a file of the same size in the same run,
# and one typed character in that text with and without the recovery hook (the save runs on an
# idle timer, never on the typing path). Medians of RUNS runs (default 5). Needs BENCH_BUILD_DIR.
set -euo pipefail
runs=${RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bench="$BENCH_BUILD_DIR/bench/recovery/recovery_bench"
QT_QPA_PLATFORM=offscreen "$bench" "$work/state" 20 "$runs" > "$work/out" 2>/dev/null
value() { sed -n "s/^$1=//p" "$work/out"; }
head -c "$(value text_bytes)" /dev/zero | tr '\0' 'x' > "$work/text"
cp_ms=$(for _ in $(seq "$runs"); do
  rm -f "$work/copy"
  start=$(date +%s%N); cp "$work/text" "$work/copy"; sync -f "$work/copy"; end=$(date +%s%N)
  echo $(( (end - start) / 1000 ))
done | sort -n | sed -n "$(( (runs + 1) / 2 ))p")
cp_ms=$(awk -v us="$cp_ms" 'BEGIN { printf "%.1f", us / 1000 }')
printf '%-44s %10s %10s %8s\n' "case (median of $runs)" "ours ms" "cp ms" "ratio"
printf '%-44s %10.1f %10.1f %8.2f\n' "one recovery save of 20 MB" "$(value save_ms)" "$cp_ms" \
  "$(awk -v a="$(value save_ms)" -v b="$cp_ms" 'BEGIN { print a / b }')"
printf 'the window is held at most %.1f ms at a time (the text is taken in slices, the rest runs on a worker thread)\n' "$(value window_held_ms)"
printf 'one keystroke in the 20 MB text: %.3f ms without the hook, %.3f ms with it\n' \
  "$(value keystroke_plain_ms)" "$(value keystroke_hooked_ms)"
