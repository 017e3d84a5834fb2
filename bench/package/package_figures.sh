#!/usr/bin/env bash
# Figures of the Debian packages: their sizes and installed sizes, and start-up to
# the first page loaded from the unpacked package against start-up from the build
# tree, in one run of the start-up benchmark (alternating the two, medians).
#   bench/package/package_figures.sh [BUILD_DIR]     (needs a display: xvfb-run -a ...)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d /tmp/tarvo-package-figures.XXXXXX)
trap 'rm -rf "$work"' EXIT
cmake --build "$build" --target tarvo-browser tarvo-service tarvo-cli tarvo_skin tarvo_icons browser_startup_bench >/dev/null
start=$(date +%s.%N)
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null
awk -v start="$start" -v end="$(date +%s.%N)" 'BEGIN { printf "packages built in %.1f s\n", end - start }'
for deb in "$work"/out/*.deb; do
  printf '%-40s %9d bytes, installed %6d KiB\n' "$(basename "$deb")" "$(stat -c %s "$deb")" \
    "$(dpkg-deb -f "$deb" Installed-Size)"
  dpkg-deb -x "$deb" "$work/root"
done
cd "$build/bin"
TARVO_PACKAGE_ROOT="$work/root" TARVO_STARTUP_RUNS="${TARVO_STARTUP_RUNS:-7}" ./browser_startup_bench \
  --benchmark_filter='BrowserStartup/tabs:1/cold:[01]' --benchmark_counters_tabular=true
