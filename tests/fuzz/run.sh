#!/bin/sh
# Runs one fuzz target: first every committed seed of tests/fuzz/corpus/NAME (inputs that once
# crashed among them), then new inputs for SECONDS. What it finds that is new goes into
# WORKDIR/corpus/NAME (kept between runs); an input that crashes is kept as WORKDIR/crashes/NAME-*
# and the run fails.
# Usage: run.sh PROGRAM NAME SECONDS WORKDIR MAX_LEN   (FUZZ_SECONDS in the environment overrides SECONDS)
set -u
program=$1
name=$2
seconds=${FUZZ_SECONDS:-$3}
work=$4
max_len=$5
here=$(cd "$(dirname "$0")" && pwd)
seeds="$here/corpus/$name"
mkdir -p "$work/corpus/$name" "$work/crashes"
extra=""
# The XMLTV project's sample guides, when the shared data folder lies beside the project.
if [ "$name" = xmltv ] && [ -d "$here/../../../shared/data/xmltv" ]; then
    extra="$here/../../../shared/data/xmltv"
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# shellcheck disable=SC2086
"$program" -max_total_time="$seconds" -max_len="$max_len" -timeout=20 -rss_limit_mb=4096 -detect_leaks=0 \
    -print_final_stats=1 -close_fd_mask=1 -artifact_prefix="$work/crashes/$name-" \
    "$work/corpus/$name" "$seeds" $extra 2>"$work/$name.log"
rc=$?
# The summary: how many inputs ran, and at what pace.
grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added)' "$work/$name.log"
if [ $rc -ne 0 ]; then
    tail -n 60 "$work/$name.log"
    echo "fuzz $name: FAILED (exit $rc); the input is in $work/crashes/"
    exit 1
fi
echo "fuzz $name: no crash in $seconds s"
