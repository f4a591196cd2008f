#!/usr/bin/env bash
# Runs each fuzzer for SECONDS, one after another, and prints one line for each.
# Inputs that crash land in BUILD/artifacts, full output in BUILD/logs.
# Exits non-zero when any fuzzer found a failure.
# Usage: fuzz/run-fuzzers.sh BUILD SECONDS
set -uo pipefail

build=$1
seconds=$2
data="$(dirname "$0")/../tests/engine/data"
mkdir -p "$build/logs" "$build/artifacts"
failed=0

# run NAME ARGUMENTS...: the first corpus folder given receives what the fuzzer finds.
run() {
    local name=$1
    shift
    local log="$build/logs/$name.log"
    "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" "$@" >"$log" 2>&1
    local status=$?

    local last runs rate cov ft corp outcome
    last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
    if [[ $status -eq 0 ]]; then
        outcome="no failure"
    else
        failed=1
        outcome="FAILED (exit $status): $(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1); see $log"
    fi
    echo "$name: ${seconds}s, ${runs:-?} runs, ${rate:-?} exec/s, cov ${cov:-?}, ft ${ft:-?}, corpus ${corp:-?}, $outcome"
}

# The reader also starts from the stored regression inputs; a large allocation
# is a failure there, since no record this size justifies one.
run RecordReaderFuzzer -malloc_limit_mb=256 "$build/corpus/reader" "$data"
run RoundTripFuzzer "$build/corpus/roundtrip"
run StrongReaderFuzzer "$build/corpus/strong"
exit $failed
