#!/usr/bin/env bash
# Runs every fuzz target for a chosen time: one run per reader of the input-type table (listed
# by the harness itself, so a new reader is fuzzed as soon as it is in the table), then the
# control input. Usage: fuzz/run.sh [SECONDS_PER_TARGET] [TARGET...]   (default 60, all targets)
# Environment: KRU_FUZZ_SEED (0, the default, a new seed each run), KRU_FUZZ_TIMEOUT (seconds an
# input may take, default 1), KRU_FUZZ_BUILD (build folder, default build-fuzz), KRU_FUZZ_STAGES
# (read or arrange: stop each input there), KRU_FUZZ_MERGE=1 (afterwards minimise the kept corpus
# and what each run found into fuzz/corpus.tar.xz, the corpus kept in the project).
# Findings are written to <build>/fuzz-artifacts/<TARGET>/; the exit status is 1 if any.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
build="${KRU_FUZZ_BUILD:-$root/build-fuzz}"

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKRU_FUZZ=ON -DKRU_TESTS=OFF >/dev/null || exit 1
cmake --build "$build" -j2 --target fuzz_reader fuzz_control >/dev/null || exit 1

seeds="$build/fuzz-seeds"
rm -rf "$seeds"
python3 "$root/fuzz/seeds.py" "$root/tests/cases" "$root/src" "$seeds" || exit 1

# The kept corpus, one folder per target, unpacked afresh from the project.
kept="$build/fuzz-corpus"
rm -rf "$kept"
mkdir -p "$kept"
if [ -f "$root/fuzz/corpus.tar.xz" ]; then
    tar -xJf "$root/fuzz/corpus.tar.xz" -C "$kept" || exit 1
fi

# Each line: the type that names the target, then the other types of the same reader.
mapfile -t targets < <(KRU_FUZZ_LIST=1 "$build/fuzz/fuzz_reader")
targets+=("control")

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
failed=0
for line in "${targets[@]}"; do
    read -r -a types <<<"$line"
    name="${types[0]}"
    if [ $# -gt 0 ] && [[ ! " $* " =~ " $name " ]]; then
        continue
    fi
    corpus=("$kept/$name")
    for t in "${types[@]}"; do
        [ -d "$seeds/$t" ] && corpus+=("$seeds/$t")
    done
    work="$build/fuzz-work/$name"
    artifacts="$build/fuzz-artifacts/$name"
    mkdir -p "$work" "$artifacts" "$kept/$name"
    if [ "$name" = control ]; then
        binary=("$build/fuzz/fuzz_control")
    else
        binary=(env KRU_FUZZ_TYPE="$name" "$build/fuzz/fuzz_reader")
    fi
    log="$build/fuzz-logs/$name.log"
    mkdir -p "$(dirname "$log")"
    "${binary[@]}" -max_total_time="$seconds" -timeout="${KRU_FUZZ_TIMEOUT:-1}" \
        -seed="${KRU_FUZZ_SEED:-0}" -rss_limit_mb=2048 \
        -dict="$seeds/kru.dict" -artifact_prefix="$artifacts/" -print_final_stats=1 \
        "$work" "${corpus[@]}" >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$name: ${runs:-?} executions, exit status $status"
    if [ $status -ne 0 ]; then
        failed=1
        grep -m3 -E "ERROR|SUMMARY|Test unit written" "$log"
    elif [ "${KRU_FUZZ_MERGE:-0}" = 1 ]; then
        minimal="$build/fuzz-minimal/$name"
        rm -rf "$minimal"
        mkdir -p "$minimal"
        "${binary[@]}" -set_cover_merge=1 "$minimal" "$kept/$name" "$work" >>"$log" 2>&1 &&
            rm -rf "${kept:?}/$name" && mv "$minimal" "$kept/$name"
    fi
done
if [ "${KRU_FUZZ_MERGE:-0}" = 1 ] && [ $failed = 0 ]; then
    tar -cJf "$root/fuzz/corpus.tar.xz" -C "$kept" --sort=name --owner=0 --group=0 --mtime=@0 . ||
        exit 1
fi
exit $failed
