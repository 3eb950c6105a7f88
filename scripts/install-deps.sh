#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent and
# non-interactive; does nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev
  nlohmann-json3-dev
  g++-mingw-w64-x86-64-posix
  wine wine64 xvfb xauth
  fonts-ipafont-gothic fonts-ipafont-mincho
  locales imagemagick
  python3 python3-ezdxf
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]}" >&2
    echo "install-deps: run this script as root (or with sudo) to install them" >&2
    exit 1
  fi
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine's Japanese tests need a ja_JP.UTF-8 locale (GetACP() == 932 under it).
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ "$(id -u)" -eq 0 ]; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  else
    echo "install-deps: the ja_JP.UTF-8 locale is missing; run as root to generate it" >&2
    exit 1
  fi
fi
