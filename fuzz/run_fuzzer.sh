#!/usr/bin/env bash
# Fuzzes the schedule reader with libFuzzer for a while (default 600 s):
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
cmake --build --preset fuzz --target kiv_schedule_reader_fuzz kiv_fuzz_seeds -j2
if [[ "$seconds" == --build ]]; then exit 0; fi
corpus=build/fuzz/corpus
mkdir -p "$corpus"
build/fuzz/fuzz/kiv_fuzz_seeds "$corpus"
build/fuzz/fuzz/kiv_schedule_reader_fuzz -max_total_time="$seconds" -max_len=60000 \
  -timeout=5 -print_final_stats=1 -artifact_prefix=build/fuzz/ "$corpus"
