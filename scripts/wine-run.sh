#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests: a prefix of the build tree's
# own, Japanese locale (code page 932), no debug noise. The program's output goes
# through a file, because Wine's background services inherit the first Wine
# process's handles and would keep a reader's pipe open.
#
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
#
# TABULON_WINEPREFIX overrides the prefix (default: <build>/wineprefix beside bin/).
set -u

exe=$1
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"
tabulon_wine_env "$exe"
"$here/wine-prefix.sh" || exit 1

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
wine "$exe" "$@" </dev/null >"$out" 2>"$err"
status=$?
# Wine writes CR LF; the tests read plain lines.
tr -d '\r' <"$out"
tr -d '\r' <"$err" >&2
exit $status
