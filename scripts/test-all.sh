#!/usr/bin/env bash
# Installs what is missing, builds everything (Linux and Windows) and runs every
# test: native tests, the same under AddressSanitizer and UndefinedBehaviorSanitizer
# with a short run of each fuzz target, the Windows tests under Wine, DXF audits
# with ezdxf and the converter end to end. Ends with the benchmark figures.
#
# TABULON_FUZZ_SECONDS sets the time per fuzz target (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

echo "== Linux build"
cmake --preset linux >/dev/null
cmake --build --preset linux
echo "== Linux tests"
ctest --preset linux

# The sanitizer build, its tests, and a short fuzz run of each target.
scripts/fuzz.sh "${TABULON_FUZZ_SECONDS:-60}"

echo "== Windows build (MinGW-w64)"
cmake --preset windows >/dev/null
cmake --build --preset windows
echo "== Windows tests (Wine)"
ctest --preset windows

echo "== Benchmarks"
build/linux/bin/tabulon_bench build/linux
build/linux/bin/tabulon_bench_xlsx
scripts/wine-gui-run.sh build/windows/bin/tabulon_ui_grid_bench.exe
