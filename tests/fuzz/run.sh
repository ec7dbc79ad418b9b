#!/bin/sh
# Builds the fuzzer with clang (its own build folder) and runs it.
#   tests/fuzz/run.sh SECONDS [long]  libFuzzer over every export for SECONDS;
#                                     "long" keeps going after a finding and
#                                     lists every finding at the end
#   tests/fuzz/run.sh --threads SECS  under TSan: every seed with each pointer
#                                     null in turn, then the thread phase
#   tests/fuzz/run.sh --seed          adds a seed for every export that has none
# Exit status 1 on any finding, each printed with a one-line reproducer.
set -e
cd "$(dirname "$0")/../.."
ROOT=$(pwd)
FUZZ_BUILD=${FUZZ_BUILD:-build-fuzz}
JOBS=${JOBS:-2}
sh tools/install-deps.sh --fuzz

build() {  # build DIR SANITIZER TARGET
  if [ ! -f "$1/CMakeCache.txt" ]; then
    cmake -S tests/fuzz -B "$1" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DQM_FUZZ_SANITIZE="$2" >/dev/null
  fi
  cmake --build "$1" -j "$JOBS" --target "$3" >/dev/null
}

export ASAN_OPTIONS="allocator_may_return_null=1:detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

case "$1" in
  --threads)
    build "$FUZZ_BUILD-tsan" thread qm_fuzz_tool
    export TSAN_OPTIONS="halt_on_error=1:exitcode=66"
    "$FUZZ_BUILD-tsan/qm_fuzz_tool" nulls tests/fuzz/corpus
    "$FUZZ_BUILD-tsan/qm_fuzz_tool" threads tests/fuzz/corpus "${2:-5}"
    exit $?
    ;;
  --seed)
    build "$FUZZ_BUILD" address qm_fuzz_tool
    "$FUZZ_BUILD/qm_fuzz_tool" seed tests/fuzz/corpus
    exit $?
    ;;
esac

SECONDS_TOTAL=${1:-600}
LONG=${2:-}
build "$FUZZ_BUILD" address qm_fuzz
WORK="$FUZZ_BUILD/corpus"
FINDINGS="$FUZZ_BUILD/findings"
mkdir -p "$WORK" "$FINDINGS"
rm -f "$FINDINGS"/*
LOG="$FUZZ_BUILD/fuzz.log"
# New inputs go to the working corpus; the seeds in the repository are read only.
set -- -max_total_time="$SECONDS_TOTAL" -timeout=30 -report_slow_units=30 -rss_limit_mb=2048 -max_len=512 \
  -artifact_prefix="$FINDINGS/" -print_final_stats=1 "$WORK" tests/fuzz/corpus
[ "$LONG" = long ] && set -- -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 "$@"
status=0
"$FUZZ_BUILD/qm_fuzz" "$@" >"$LOG" 2>&1 || status=$?
grep -E "^(stat::|#[0-9]+ *DONE|Done)" "$LOG" | tail -8 || true
found=0
for f in "$FINDINGS"/*; do
  [ -f "$f" ] || continue
  found=$((found + 1))
  what=$("$FUZZ_BUILD/qm_fuzz" -timeout=30 -rss_limit_mb=2048 "$f" 2>&1 | grep -m1 -E "FUZZ FINDING|ERROR: (Address|Leak)Sanitizer|runtime error|ERROR: libFuzzer|SUMMARY" || true)
  echo "fuzz finding: ${what:-see $LOG} -- reproduce: $FUZZ_BUILD/qm_fuzz -timeout=30 -rss_limit_mb=2048 $ROOT/$f"
done
if [ "$found" -ne 0 ] || [ "$status" -ne 0 ]; then
  [ "$found" -eq 0 ] && tail -30 "$LOG"
  echo "fuzz: $found finding(s), log in $LOG"
  exit 1
fi
echo "fuzz: no finding in ${SECONDS_TOTAL} s"
