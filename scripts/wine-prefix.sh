#!/usr/bin/env bash
# Creates the Wine prefix in $WINEPREFIX once (with Japanese fonts mapped to the
# IPA fonts) and starts its server. Safe to run from parallel tests.
set -u
: "${WINEPREFIX:?WINEPREFIX must be set}"
# shellcheck source=wine-env.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
tabulon_wine_common_env

mkdir -p "$(dirname "$WINEPREFIX")"

# Wine commands get the lock's descriptor closed: a server that outlives this
# script must not hold the lock.
create_prefix() {
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ -f "$WINEPREFIX/.tabulon-ready" ]; then
    return 0
  fi
  rm -rf "$WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1 9>&-
  wineserver -w </dev/null >/dev/null 2>&1 9>&-
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
  reg="$WINEPREFIX/tabulon-fonts.reg"
  {
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for name in "MS UI Gothic" "MS PGothic" "Meiryo UI" "Meiryo" "Yu Gothic UI"; do
      printf '"%s"="IPAPGothic"\r\n' "$name"
    done
    printf '"MS Gothic"="IPAGothic"\r\n"MS Mincho"="IPAPMincho"\r\n"MS PMincho"="IPAPMincho"\r\n'
  } >"$reg"
  wine regedit "$reg" </dev/null >/dev/null 2>&1 9>&-
  wineserver -w </dev/null >/dev/null 2>&1 9>&-
  touch "$WINEPREFIX/.tabulon-ready"
}

( create_prefix ) || exit 1

# A persistent server, started away from any pipe.
wineserver -p 300 </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
exit 0
