#!/usr/bin/env bash
# Builds the sanitizer build (preset linux-asan: clang, AddressSanitizer,
# UndefinedBehaviorSanitizer), runs the native tests in it, then runs each
# libFuzzer target for a set time and prints its figures.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]   default: 60 seconds, every target
#   scripts/fuzz.sh --no-tests [SECONDS] [TARGET...]
#
# Targets: capture settings number_format width_conversion xlsx_file xlsx_parts.
# Each run starts from the seeds in fuzz/corpus/TARGET and from what earlier runs
# found (kept in build/linux-asan/fuzz/corpus/TARGET); inputs that crash or break
# a check land in build/linux-asan/fuzz/findings/TARGET. Exits 1 when any target
# found something.
set -euo pipefail
cd "$(dirname "$0")/.."

run_tests=yes
if [ "${1:-}" = "--no-tests" ]; then
  run_tests=no
  shift
fi
seconds=${1:-60}
shift || true
all=(capture settings number_format width_conversion xlsx_file xlsx_parts)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

echo "== Sanitizer build (clang, ASan + UBSan, fuzz targets)"
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan
if [ "$run_tests" = yes ]; then
  echo "== Sanitizer tests"
  ctest --preset linux-asan
fi

# Longest input per target: room for the seeds and some growth, no more.
max_len() {
  case $1 in
    number_format) echo 256 ;;
    settings | width_conversion) echo 4096 ;;
    xlsx_file) echo 65536 ;;
    *) echo 16384 ;;
  esac
}
dict() {
  case $1 in
    capture) echo "-dict=fuzz/dict/capture.dict" ;;
    xlsx_file | xlsx_parts) echo "-dict=fuzz/dict/xlsx.dict" ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
out=build/linux-asan/fuzz
failed=()
summary=()
for t in "${targets[@]}"; do
  corpus=$out/corpus/$t
  findings=$out/findings/$t
  log=$out/logs/$t.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  echo "== Fuzzing $t for ${seconds}s"
  # shellcheck disable=SC2046
  if build/linux-asan/bin/fuzz_"$t" "$corpus" "fuzz/corpus/$t" $(dict "$t") \
      -max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout=20 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1; then
    status=ok
  else
    status=FOUND
    failed+=("$t")
    tail -n 60 "$log"
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9a-zA-Z]*\).*/\1/p' <<<"$last")
  line=$(printf '%-17s %-6s %12s execs  cov %6s  ft %7s  corpus %s' "$t" "$status" "${execs:-?}" "${cov:-?}" \
    "${ft:-?}" "${corp:-?}")
  summary+=("$line")
  echo "$line"
done

echo "== Fuzzing summary (${seconds}s per target; logs in $out/logs)"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]}: see $out/findings/" >&2
  exit 1
fi
