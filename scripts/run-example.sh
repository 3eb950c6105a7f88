#!/usr/bin/env bash
# Builds the converter and draws the bundled example capture as a DXF.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --native
cmake --preset linux >/dev/null
cmake --build --preset linux --target tabulon_cli >/dev/null

mkdir -p build/example
build/linux/bin/tabulon convert examples/sample-capture.json -o build/example/sample-capture.dxf
echo
echo "The drawing is at $(pwd)/build/example/sample-capture.dxf"
