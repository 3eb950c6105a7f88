#!/usr/bin/env bash
# Runs a Windows program that opens windows under Wine, on a virtual X display of
# its own (Xvfb, 1024x768, 24 bits). Otherwise as scripts/wine-run.sh: the build
# tree's prefix, Japanese locale, and the program's output through files, because
# Wine's background services inherit the first Wine process's handles and would
# keep a reader's pipe open.
#
#   scripts/wine-gui-run.sh PROGRAM.exe [ARGS...]
#
# TABULON_WINEPREFIX overrides the prefix (default: <build>/wineprefix-gui beside bin/).
set -u

exe=$1
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"
# Programs with windows get a prefix of their own: a program run without a
# display can leave a display-less desktop behind in its prefix, on which no
# window can be created until it quits.
tabulon_wine_env "$exe" -gui
"$here/wine-prefix.sh" || exit 1

# Wine's crash handler, run by a program that had no display, starts a desktop
# process without one. Until it quits (within seconds, when nothing uses it)
# windows on that desktop cannot be created; wait for it rather than attach to it.
for _ in $(seq 1 20); do
  stale=0
  for pid in $(pgrep -u "$(id -u)" -f 'explorer.exe /desktop'); do
    env=$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null) || continue
    if grep -qxF "WINEPREFIX=$WINEPREFIX" <<<"$env" && ! grep -q '^DISPLAY=' <<<"$env"; then
      stale=1
    fi
  done
  [ "$stale" = 0 ] && break
  sleep 0.5
done

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
# -a picks a free display number, so parallel runs do not meet.
xvfb-run -a -s "-screen 0 1024x768x24" wine "$exe" "$@" </dev/null >"$out" 2>"$err"
status=$?
# Wine writes CR LF; the tests read plain lines. Wine's desktop process reports
# losing the display when xvfb-run stops it: expected, so not shown.
tr -d '\r' <"$out"
tr -d '\r' <"$err" | grep -v '^X connection to .* broken (explicit kill or server shutdown)\.$' >&2
exit $status
