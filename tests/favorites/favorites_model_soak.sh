#!/bin/sh
# Runs the favourites model test for many seeds, in batches, and names the first
# failing seed. Usage: favorites_model_soak.sh [FIRST [LAST]] (from the build's bin/).
set -eu
first=${1:-1}
last=${2:-200}
here=$(cd "$(dirname "$0")/../.." && pwd)
seed=$first
while [ "$seed" -le "$last" ]; do
  end=$((seed + 9))
  [ "$end" -gt "$last" ] && end=$last
  if ! TARVO_SOURCE_DIR="$here" TARVO_FAVORITES_SEEDS="$seed-$end" ./favorites_model_test --gtest_brief=1 >/tmp/favorites_model_soak.log 2>&1; then
    grep -m1 -o 'seed [0-9]*' /tmp/favorites_model_soak.log || true
    echo "failed in seeds $seed-$end; see /tmp/favorites_model_soak.log"
    exit 1
  fi
  echo "seeds $seed-$end passed"
  seed=$((end + 1))
done
