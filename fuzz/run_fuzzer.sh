#!/usr/bin/env bash
# Fuzzes the schedule reader with libFuzzer for a while (default 600 s), then
# the reader of database lock files for a quarter of that:
#   bash fuzz/run_fuzzer.sh [SECONDS]
#   bash fuzz/run_fuzzer.sh --build     (only builds it: scripts/test.sh does
#                                        that while other tests run)
# The "fuzz" preset instruments the core itself, so coverage grows inside the
# decoder and the sanitizers watch it. A crash exits non-zero and leaves the
# input that caused it in build/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target kiv_schedule_reader_fuzz kiv_lock_file_reader_fuzz \
  kiv_fuzz_seeds -j2
if [[ "$seconds" == --build ]]; then exit 0; fi
corpus=build/fuzz/corpus
mkdir -p "$corpus"
build/fuzz/fuzz/kiv_fuzz_seeds "$corpus"
build/fuzz/fuzz/kiv_schedule_reader_fuzz -max_total_time="$seconds" -max_len=60000 \
  -timeout=5 -print_final_stats=1 -artifact_prefix=build/fuzz/ "$corpus"
# A lock file naming two users, the shape the fuzzer starts from.
lock_corpus=build/fuzz/lock-file-corpus
mkdir -p "$lock_corpus"
{
  printf '%-32s%-32s' PC-ACCOUNTING Admin | tr ' ' '\0'
  printf '%-32s%-32s' PC-7 maria | tr ' ' '\0'
} >"$lock_corpus/two-users"
build/fuzz/fuzz/kiv_lock_file_reader_fuzz -max_total_time="$((seconds / 4))" -max_len=4096 \
  -timeout=5 -print_final_stats=1 -artifact_prefix=build/fuzz/ "$lock_corpus"
