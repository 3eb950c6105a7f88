#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent and
# non-interactive; does nothing when everything is already there.
#
#   scripts/install-deps.sh            everything: both builds, Wine, the DXF reader,
#                                      clang for the sanitizer build and fuzzing
#                                      and the workbook libraries for Windows
#   scripts/install-deps.sh --native   just what the Linux converter needs
set -euo pipefail

native=(build-essential cmake ninja-build googletest nlohmann-json3-dev pkg-config libminizip-dev libpugixml-dev libexpat1-dev librsvg2-dev)
everything=(
  "${native[@]}"
  g++-mingw-w64-x86-64-posix
  libz-mingw-w64-dev dpkg-dev
  wine wine64 xvfb xauth
  fonts-ipafont-gothic fonts-ipafont-mincho
  locales imagemagick
  python3 python3-ezdxf python3-openpyxl python3-matplotlib
  clang libclang-rt-14-dev llvm   # the sanitizer build and the fuzz targets (llvm: readable stack traces)
)

if [ "${1:-}" = "--native" ]; then
  packages=("${native[@]}")
  want_locale=no
  want_windows_libraries=no
else
  packages=("${everything[@]}")
  want_locale=yes
  want_windows_libraries=yes
fi

# Not root: hand over to sudo when something has to be installed.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "install-deps: run as root to install: $*" >&2
    exit 1
  fi
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine runs the Windows tests in Japanese (code page 932), which needs this locale.
if [ "$want_locale" = yes ] && ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  as_root localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

# pugixml and minizip for the Windows build, from Debian's sources into
# build/windows-deps (a quick check once built), as the calling user, who owns
# the build folder.
if [ "$want_windows_libraries" = yes ]; then
  "$(dirname "$0")/build-windows-deps.sh"
fi
