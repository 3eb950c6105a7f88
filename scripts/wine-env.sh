# Sourced by the Wine scripts: the environment of every Wine run of the tests.
# Japanese locale (code page 932), no debug output, no Mono or Gecko prompts.

tabulon_wine_common_env() {
  export WINEDEBUG=-all
  export LANG=ja_JP.UTF-8
  unset LC_ALL LANGUAGE
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# The prefix belongs to the build tree of the program $1 (<build>/wineprefix$2
# beside bin/), unless TABULON_WINEPREFIX names another.
tabulon_wine_env() {
  local exe_dir
  exe_dir=$(cd "$(dirname "$1")" && pwd)
  export WINEPREFIX=${TABULON_WINEPREFIX:-$(dirname "$exe_dir")/wineprefix${2:-}}
  tabulon_wine_common_env
}
