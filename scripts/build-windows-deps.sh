#!/usr/bin/env bash
# Builds the workbook reader's libraries, pugixml, minizip and expat, for 64-bit Windows
# (MinGW-w64, static) from Debian's own source packages. zlib for MinGW comes
# ready-made from Debian (libz-mingw-w64-dev).
#
#   scripts/build-windows-deps.sh [DIR]      DIR defaults to build/windows-deps
#
# The sources come through a private apt configuration in DIR/apt whose deb-src
# entries are derived from the system's own sources list, so the system's apt
# stays as it is and nothing here names a host. The result is
#   DIR/x86_64-w64-mingw32/include   pugixml.hpp, pugiconfig.hpp, minizip/*.h, expat*.h
#   DIR/x86_64-w64-mingw32/lib       libpugixml.a, libminizip.a, libexpat.a
#   DIR/source-versions.txt          the exact Debian versions built
# A finished build is kept: a second run only checks its stamp, unless this
# script has changed since.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
dir=${1:-$root/build/windows-deps}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

host=x86_64-w64-mingw32
cc=$host-gcc-posix
cxx=$host-g++-posix
ar=$host-ar
prefix=$dir/$host
stamp=$dir/.built
versions=$dir/source-versions.txt
script_hash=$(sha256sum "${BASH_SOURCE[0]}" | cut -d' ' -f1)

say() { echo "windows-deps: $*"; }
fail() { echo "windows-deps: $*" >&2; exit 1; }

up_to_date() {
  [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$script_hash" ] &&
    [ -f "$prefix/lib/libpugixml.a" ] && [ -f "$prefix/lib/libminizip.a" ] && [ -f "$prefix/lib/libexpat.a" ] &&
    [ -f "$versions" ]
}

if up_to_date; then
  say "up to date in $dir: $(cut -d' ' -f1,2 "$versions" | paste -sd, | sed 's/,/, /g')"
  exit 0
fi

# One build at a time (install-deps and a configure may both ask).
exec 9>"$dir/.lock"
flock 9
if up_to_date; then
  say "up to date in $dir"
  exit 0
fi

for tool in apt-get apt-cache dpkg-source cmake "$cc" "$cxx" "$ar"; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing: run scripts/install-deps.sh"
done
[ -f "/usr/$host/include/zlib.h" ] && [ -f "/usr/$host/lib/libz.a" ] ||
  fail "zlib for MinGW is missing (libz-mingw-w64-dev): run scripts/install-deps.sh"

start=$(date +%s)
log=$dir/build.log
: >"$log"

# --- a private apt configuration with deb-src entries ----------------------------
apt_dir=$dir/apt
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/state/lists/partial" "$apt_dir/cache/archives/partial"
: >"$apt_dir/sources.list"
system_sources=/etc/apt/sources.list.d/debian.sources
system_list=/etc/apt/sources.list
derived=$apt_dir/sources.list.d/debian-src.sources
if [ -f "$system_sources" ]; then
  # deb822: every stanza that offers binaries gets its source twin, with the same
  # URIs, suites, components and signing key.
  awk '
    function flush() {
      if (isdeb && !disabled && uris != "" && suites != "") {
        if (out++) print ""
        print "Types: deb-src"
        print "URIs: " uris
        print "Suites: " suites
        if (components != "") print "Components: " components
        if (signedby != "") print "Signed-By: " signedby
      }
      isdeb = disabled = 0; uris = suites = components = signedby = ""
    }
    /^[ \t]*#/ { next }
    /^[ \t]*$/ { flush(); next }
    {
      key = $1; sub(/:$/, "", key); value = $0; sub(/^[^:]*:[ \t]*/, "", value)
      if (key == "Types") { n = split(value, types, /[ \t]+/); for (i = 1; i <= n; i++) if (types[i] == "deb") isdeb = 1 }
      else if (key == "URIs") uris = value
      else if (key == "Suites") suites = value
      else if (key == "Components") components = value
      else if (key == "Signed-By") signedby = value
      else if (key == "Enabled" && tolower(value) == "no") disabled = 1
    }
    END { flush() }
  ' "$system_sources" >"$derived"
elif [ -f "$system_list" ]; then
  derived=$apt_dir/sources.list.d/debian-src.list
  sed -n 's/^[ \t]*deb[ \t]/deb-src /p' "$system_list" >"$derived"
fi
[ -s "$derived" ] || fail "no Debian sources found in $system_sources or $system_list"

apt_options=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State=$apt_dir/state"
  -o "Dir::Cache=$apt_dir/cache"
)
# apt hands downloads to its _apt user when run as root; that user may not
# reach a build folder, so the download stays with us.
[ "$(id -u)" -eq 0 ] && apt_options+=(-o "APT::Sandbox::User=root")

say "reading the source index (private apt configuration in $apt_dir)"
if ! apt-get "${apt_options[@]}" -qq update >>"$log" 2>&1; then
  # Offline with an index from an earlier run: the sources fetched then still do.
  if compgen -G "$apt_dir/state/lists/*Sources*" >/dev/null; then
    say "warning: apt-get update failed (see $log); using the index read before"
  else
    cat "$log" >&2
    fail "apt-get update failed"
  fi
fi

# --- the source packages ---------------------------------------------------------
# Asked for by their binary package names: apt picks whichever source package
# builds them (minizip has its own in Debian 12 and lives in zlib's later).
src_dir=$dir/src
mkdir -p "$src_dir"
# Each package's newest source that the mirror really serves: an index may name
# a version (a security update, say) whose files are not there yet, and then
# the one before it is taken. Files already in the folder are not fetched again.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
dscs=""
for binary in libpugixml-dev libminizip-dev libexpat1-dev; do
  source_name=$(apt-cache "${apt_options[@]}" showsrc "$binary" 2>>"$log" | awk '/^Package:/ {print $2; exit}')
  [ -n "$source_name" ] || { cat "$log" >&2; fail "apt knows no source package for $binary"; }
  fetched=""
  for version in $(apt-cache "${apt_options[@]}" showsrc "$source_name" 2>>"$log" |
                   awk '/^Version:/ {print $2}' | sort -u -r -V); do
    # Which .dsc apt picks: asked in an empty folder, so it lists every file.
    dsc=$(cd "$probe" && apt-get "${apt_options[@]}" -q source --print-uris "$source_name=$version" 2>>"$log" |
      sed -n "s/^'[^']*' \([^ ]*\.dsc\) .*/\1/p")
    [ -n "$dsc" ] || continue
    if (cd "$src_dir" && apt-get "${apt_options[@]}" -q source --download-only "$source_name=$version") \
        >>"$log" 2>&1; then
      fetched=$dsc
      break
    fi
    say "source $source_name $version is not served; trying an earlier one"
  done
  [ -n "$fetched" ] || { cat "$log" >&2; fail "apt-get source $source_name failed"; }
  dscs="$dscs $fetched"
done
pugixml_src=""
minizip_src=""
expat_src=""
for dsc in $dscs; do
  name=$(awk '/^Source:/ {print $2; exit}' "$src_dir/$dsc")
  version=$(awk '/^Version:/ {print $2; exit}' "$src_dir/$dsc")
  tree=$src_dir/${dsc%.dsc}
  if [ ! -d "$tree" ]; then
    say "unpacking Debian source $name $version"
    # apt has checked the files against the signed index; dpkg-source may warn
    # that it has no keyring for the uploader's own signature.
    rm -rf "$tree.tmp"
    dpkg-source -x "$src_dir/$dsc" "$tree.tmp" >>"$log" 2>&1 || { cat "$log" >&2; fail "dpkg-source -x $dsc failed"; }
    mv "$tree.tmp" "$tree"
  fi
  found=$(find "$tree" -name pugixml.cpp -path '*/src/*' -print -quit)
  if [ -n "$found" ]; then
    pugixml_src=$(dirname "$found")
    pugixml_version=$version
    pugixml_package=$name
  fi
  found=$(find "$tree" -name xmlparse.c -path '*/lib/*' -print -quit)
  if [ -n "$found" ] && [ -f "$(dirname "$(dirname "$found")")/CMakeLists.txt" ]; then
    expat_src=$(dirname "$(dirname "$found")")
    expat_version=$version
    expat_package=$name
  fi
  found=$(find "$tree" -name unzip.c -print -quit)
  if [ -n "$found" ] && [ -f "$(dirname "$found")/ioapi.c" ]; then
    minizip_src=$(dirname "$found")
    minizip_version=$version
    minizip_package=$name
  fi
done
[ -n "$pugixml_src" ] || fail "the Debian sources hold no pugixml (see $log)"
[ -n "$minizip_src" ] || fail "the Debian sources hold no minizip (see $log)"
[ -n "$expat_src" ] || fail "the Debian sources hold no expat (see $log)"

# --- the build: static archives, one folder for headers and libraries -------------
say "building pugixml $pugixml_version and minizip $minizip_version with $cxx"
obj=$dir/obj
rm -rf "$obj" "$prefix.tmp"
mkdir -p "$obj/pugixml" "$obj/minizip" "$prefix.tmp/include/minizip" "$prefix.tmp/lib"
flags=(-O2 -w)
# The two compilers share the machine's cores.
"$cxx" "${flags[@]}" -c "$pugixml_src/pugixml.cpp" -o "$obj/pugixml/pugixml.o" >>"$log" 2>&1 &
pugixml_job=$!
minizip_files=(ioapi.c mztools.c unzip.c zip.c iowin32.c)
for file in "${minizip_files[@]}"; do
  "$cc" "${flags[@]}" -c "$minizip_src/$file" -o "$obj/minizip/${file%.c}.o" >>"$log" 2>&1 ||
    { wait "$pugixml_job" || true; cat "$log" >&2; fail "compiling minizip's $file failed"; }
done
wait "$pugixml_job" || { cat "$log" >&2; fail "compiling pugixml failed"; }
"$ar" rcs "$prefix.tmp/lib/libpugixml.a" "$obj/pugixml/pugixml.o"
"$ar" rcs "$prefix.tmp/lib/libminizip.a" "$obj"/minizip/*.o
cp "$pugixml_src/pugixml.hpp" "$pugixml_src/pugiconfig.hpp" "$prefix.tmp/include/"
for header in crypt.h ioapi.h mztools.h unzip.h zip.h iowin32.h; do
  cp "$minizip_src/$header" "$prefix.tmp/include/minizip/"
done
# expat through its own CMake build, for the configuration header it writes.
say "building expat $expat_version with $cc"
cmake -S "$expat_src" -B "$obj/expat" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix.tmp" \
  -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF \
  -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF -DEXPAT_BUILD_FUZZERS=OFF >>"$log" 2>&1 &&
  # Debian's fixes test the features as "#if XML_DTD == 1", as its own
  # configure defines them; CMake's header defines them empty.
  sed -i 's/^#define \(XML_[A-Z_]*\)[[:space:]]*$/#define \1 1/' "$obj/expat/expat_config.h" &&
  cmake --build "$obj/expat" --target install -j 2 >>"$log" 2>&1 ||
  { cat "$log" >&2; fail "building expat failed"; }
# Its archive's name depends on the options; one name for the build to find.
found=$(find "$prefix.tmp/lib" -name 'libexpat*.a' -print -quit)
[ -n "$found" ] || fail "the expat build left no archive (see $log)"
[ "$found" = "$prefix.tmp/lib/libexpat.a" ] || cp "$found" "$prefix.tmp/lib/libexpat.a"
rm -rf "$prefix.tmp/lib/cmake" "$prefix.tmp/share"
rm -rf "$prefix" "$obj"
mv "$prefix.tmp" "$prefix"

zlib_version=$(dpkg-query -W -f='${Version}' libz-mingw-w64-dev 2>/dev/null || echo unknown)
{
  echo "pugixml $pugixml_version (Debian source package $pugixml_package)"
  echo "minizip $minizip_version (Debian source package $minizip_package)"
  echo "expat $expat_version (Debian source package $expat_package)"
  echo "zlib $zlib_version (Debian package libz-mingw-w64-dev)"
} >"$versions"
echo "$script_hash" >"$stamp"
sed 's/^/windows-deps: /' "$versions"
say "built in $dir in $(($(date +%s) - start)) s"
