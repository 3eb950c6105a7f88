#!/usr/bin/env bash
# Screenshots of the main window with a small equipment schedule loaded, all three tabs,
# inside a Wine desktop window so that frames and titles show.
#
#   scripts/screenshots.sh [OUTDIR]   (default build/windows/screenshots)
#
# Needs the windows build (cmake --build --preset windows).
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
exe="$root/build/windows/bin/tabulon_screenshot.exe"
out=${1:-$root/build/windows/screenshots}
[ -f "$exe" ] || { echo "build the windows preset first: $exe is missing" >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)

# shellcheck source=wine-env.sh
. "$here/wine-env.sh"
tabulon_wine_env "$exe" -gui
"$here/wine-prefix.sh"

names=(main-window-tab1 main-window-tab2 main-window-preview)
for page in 0 1 2; do
  # The program closes itself after 12 s; the picture is taken after 8.
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wine explorer /desktop=shot,1024x768 "$1" "$2" 12 </dev/null >/dev/null 2>&1 &
    sleep 8
    import -window root "$3"
    wait
  ' _ "$exe" "$page" "$out/${names[$page]}.png"
  echo "$out/${names[$page]}.png"
done
