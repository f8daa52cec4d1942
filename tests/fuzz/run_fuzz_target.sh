#!/usr/bin/env bash
# Runs one fuzz target for a bounded time on a scratch copy of its seed
# corpus, so new inputs and crash files never land in the source tree.
# Usage: run_fuzz_target.sh TARGET SEED_DIR SCRATCH_DIR SECONDS
set -euo pipefail

target=$1 seeds=$2 scratch=$3 seconds=$4

rm -rf "$scratch"
mkdir -p "$scratch/corpus" "$scratch/artifacts"
cp "$seeds"/* "$scratch/corpus/"

# Non-zero when an input crashed or broke the target's property; the input
# is then in $scratch/artifacts.
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$scratch/artifacts/" "$scratch/corpus"
