#!/usr/bin/env bash
# Makes the release of Vesk Clock from the Windows build:
#
#   scripts/make_release.sh [--build-dir DIR] [--out DIR] [--no-build]
#                           [--cert FILE --key FILE | --pkcs12 FILE]
#                           [--pass-file FILE] [--timestamp-url URL]
#
#   OUT/VeskClock-<version>/            the portable folder, as the zip holds it:
#     VeskClock.exe  README.txt  LICENSES.txt
#     face/   clockface.png pma.png hours.png minutes.png seconds.png
#     sound/  chime.mp3
#     fonts/  the fonts of assets/bundled_fonts.txt, each with its licence
#   OUT/VeskClock-<version>.zip         that folder zipped (one top folder)
#   OUT/VeskClock-<version>-setup.exe   the per-user installer (NSIS)
#   OUT/SHA256SUMS                      checksums of the zip and the installer
#
# --build-dir  the Windows build to use (default build/windows, the
#              "windows" preset). It is configured when it has not been, and
#              the program is built in it, unless --no-build is given.
# --out        where the release goes (default build/release).
# --cert/--key or --pkcs12, with --pass-file and --timestamp-url: sign the
#              program, the uninstaller and the installer (osslsigncode);
#              without a certificate the release is unsigned and says so.
#
# The version and the names come from the project version in CMakeLists.txt
# (via the build's release_info.env). The same commit gives the same bytes:
# the program is linked without timestamps or build paths, every file gets
# the commit's time (or $SOURCE_DATE_EPOCH), the zip is made in a fixed order
# without extra attributes, and a signature carries that time unless a
# time-stamping server is used.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

build_dir="$root/build/windows"
out="$root/build/release"
do_build=1
cert="" key="" pkcs12="" pass_file="" timestamp_url=""
die() { echo "make_release: $*" >&2; exit 1; }
abs() { case "$1" in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build_dir="$(abs "$2")"; shift 2 ;;
    --out) out="$(abs "$2")"; shift 2 ;;
    --no-build) do_build=0; shift ;;
    --cert) cert="$(abs "$2")"; shift 2 ;;
    --key) key="$(abs "$2")"; shift 2 ;;
    --pkcs12) pkcs12="$(abs "$2")"; shift 2 ;;
    --pass-file) pass_file="$(abs "$2")"; shift 2 ;;
    --timestamp-url) timestamp_url="$2"; shift 2 ;;
    -h|--help) sed -n '2,30p' "$0"; exit 0 ;;
    *) die "unknown argument $1 (see --help)" ;;
  esac
done

signing=0
if [ -n "$pkcs12" ]; then
  [ -z "$cert$key" ] || die "give either --pkcs12 or --cert and --key, not both"
  [ -f "$pkcs12" ] || die "$pkcs12 does not exist"
  signing=1
elif [ -n "$cert$key" ]; then
  [ -n "$cert" ] && [ -n "$key" ] || die "--cert and --key go together"
  [ -f "$cert" ] || die "$cert does not exist"
  [ -f "$key" ] || die "$key does not exist"
  signing=1
fi
[ -z "$pass_file" ] || [ -f "$pass_file" ] || die "$pass_file does not exist"

for tool in zip makensis sha256sum; do
  command -v "$tool" >/dev/null || die "$tool is missing (scripts/setup.sh installs it)"
done
[ "$signing" -eq 0 ] || command -v osslsigncode >/dev/null || die "osslsigncode is missing (scripts/setup.sh installs it)"

# ---- the program --------------------------------------------------------------

if [ "$do_build" -eq 1 ]; then
  [ -f "$root/build/deps/mingw/lib/libpng16.a" ] || "$root/scripts/build_mingw_libpng.sh"
  if [ ! -f "$build_dir/build.ninja" ]; then
    if [ "$build_dir" = "$root/build/windows" ]; then
      cmake --preset windows >/dev/null
    else
      cmake -S "$root" -B "$build_dir" -G Ninja --toolchain "$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DVESK_TOOLS=OFF -DVESK_TESTS=OFF \
        -DVESK_MINGW_DEPS="$root/build/deps/mingw" >/dev/null
    fi
  fi
  cmake --build "$build_dir" --target VeskClock >/dev/null || die "building VeskClock.exe in $build_dir failed"
fi
exe="$build_dir/src/VeskClock.exe"
[ -f "$exe" ] || die "$exe does not exist (build it, or leave out --no-build)"
[ -f "$build_dir/release_info.env" ] || die "$build_dir/release_info.env is missing (configure the build again)"
# shellcheck source=/dev/null
source "$build_dir/release_info.env"
version="$VESK_VERSION"

# The release's time: the commit's, so two builds of one commit agree.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)"
  [ -n "$SOURCE_DATE_EPOCH" ] || die "no git history here: set SOURCE_DATE_EPOCH to the release's time"
fi
export SOURCE_DATE_EPOCH

# ---- the portable folder --------------------------------------------------------

# The bundled fonts, one tab-separated line each: file, package, family,
# licence, copyright, the face it stands in for.
fonts=()
while IFS= read -r line; do
  case "$line" in "#"* | "") continue ;; esac
  fonts+=("$line")
done <"$root/assets/bundled_fonts.txt"
field() { cut -f "$2" <<<"$1"; }

skin=(clockface pma hours minutes seconds)
missing=()
for name in "${skin[@]}"; do
  [ -f "assets/face/$name.png" ] || missing+=("assets/face/$name.png")
done
for f in assets/sound/chime.mp3 assets/icon/vesk_clock.ico installer/README.txt installer/vesk_clock.nsi; do
  [ -f "$f" ] || missing+=("$f")
done
for font in "${fonts[@]}"; do
  for f in "$(field "$font" 1)" "/usr/share/doc/$(field "$font" 2)/copyright"; do
    [ -f "$f" ] || missing+=("$f")
  done
done
[ "${#missing[@]}" -eq 0 ] || die "missing ${missing[*]} (scripts/setup.sh installs the font packages)"

package_version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || echo unknown; }

top="VeskClock-$version"
dir="$out/$top"
zip_file="$out/$top.zip"
setup_file="$out/$top-setup.exe"
rm -rf "$dir" "$zip_file" "$setup_file" "$out/SHA256SUMS" "$out/nsis"
mkdir -p "$dir/face" "$dir/sound" "$dir/fonts" "$out/nsis"

cp "$exe" "$dir/VeskClock.exe"
for name in "${skin[@]}"; do cp "assets/face/$name.png" "$dir/face/"; done
cp assets/sound/chime.mp3 "$dir/sound/"
sed -e "s/@VERSION@/$version/g" -e "s/@COPYRIGHT@/$VESK_COPYRIGHT/g" installer/README.txt >"$dir/README.txt"

licences="$dir/LICENSES.txt"
{
  echo "$VESK_PRODUCT_NAME $version: what this folder holds and where each part comes from."
  echo
  echo "VeskClock.exe"
  echo "  The program, built from the Vesk Clock sources (C++, statically linked with"
  echo "  the MinGW-w64 runtime, libpng and zlib from Debian's packages)."
  echo "  $VESK_COPYRIGHT."
  echo
  echo 'face\clockface.png, face\hours.png, face\minutes.png, face\seconds.png, face\pma.png'
  echo 'sound\chime.mp3'
  echo "  Vesk Clock's own artwork and sound, made for it and distributed with it"
  echo "  under the same terms as the program. Sources in the repository: the SVG"
  echo "  drawings in assets/skin/ (rendered by assets/make_assets.sh) and the"
  echo "  synthesis script assets/tools/synth_chime.sh (sox and lame)."
} >"$licences"

for font in "${fonts[@]}"; do
  file="$(field "$font" 1)"
  package="$(field "$font" 2)"
  name="$(basename "$file" .ttf)"
  cp "$file" "$dir/fonts/"
  cp "/usr/share/doc/$package/copyright" "$dir/fonts/$name-LICENSE.txt"
  {
    echo
    echo "fonts\\$name.ttf"
    echo "  Family \"$(field "$font" 3)\", from Debian's package $package $(package_version "$package")."
    echo "  Copyright $(field "$font" 5)."
    echo "  $(field "$font" 4): see fonts\\$name-LICENSE.txt, the package's copyright file"
    echo "  (its section for this font's files names the licence)."
    echo "  The clock uses it in place of the face \"$(field "$font" 6)\"."
  } >>"$licences"
done

# Windows line ends for the text files a Windows user opens.
for t in "$dir"/*.txt "$dir"/fonts/*.txt; do sed -i 's/\r\?$/\r/' "$t"; done

if [ "$signing" -eq 1 ]; then
  export VESK_SIGN_CERT="$cert" VESK_SIGN_KEY="$key" VESK_SIGN_PKCS12="$pkcs12"
  export VESK_SIGN_PASS_FILE="$pass_file" VESK_SIGN_TIMESTAMP_URL="$timestamp_url"
  export VESK_SIGN_TIME="$SOURCE_DATE_EPOCH" VESK_SIGN_NAME="$VESK_PRODUCT_NAME"
  "$root/scripts/release/sign_file.sh" "$dir/VeskClock.exe"
fi

# Every file and folder carries the release's time.
find "$dir" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

# ---- the zip -------------------------------------------------------------------

# Sorted names, no extra attributes (-X); times as UTC DOS times.
(cd "$out" && find "$top" | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$zip_file")

# ---- the installer ----------------------------------------------------------------

# The files to install and, in reverse, to remove, as makensis includes.
files_nsh="$out/nsis/files.nsh"
delete_nsh="$out/nsis/delete.nsh"
: >"$files_nsh"
: >"$delete_nsh"
size_bytes=0
while IFS= read -r rel; do
  winrel="${rel//\//\\}"
  if [ -d "$dir/$rel" ]; then
    echo "SetOutPath \"\$INSTDIR\\$winrel\"" >>"$files_nsh"
  else
    parent="$(dirname "$rel")"
    if [ "$parent" = . ]; then echo "SetOutPath \"\$INSTDIR\"" >>"$files_nsh"; else echo "SetOutPath \"\$INSTDIR\\${parent//\//\\}\"" >>"$files_nsh"; fi
    echo "File \"$dir/$rel\"" >>"$files_nsh"
    size_bytes=$((size_bytes + $(stat -c %s "$dir/$rel")))
  fi
done < <(cd "$dir" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort)
while IFS= read -r rel; do
  winrel="${rel//\//\\}"
  if [ -d "$dir/$rel" ]; then
    echo "RMDir \"\$INSTDIR\\$winrel\"" >>"$delete_nsh"
  else
    echo "Delete \"\$INSTDIR\\$winrel\"" >>"$delete_nsh"
  fi
done < <(cd "$dir" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort -r)

nsis_defines=(
  "-DVERSION=$version" "-DVERSION_QUAD=$VESK_VERSION_QUAD"
  "-DPRODUCT_NAME=$VESK_PRODUCT_NAME" "-DPUBLISHER=$VESK_PUBLISHER" "-DCOPYRIGHT=$VESK_COPYRIGHT"
  "-DAPP_DIR=$dir" "-DFILES_NSH=$files_nsh" "-DDELETE_NSH=$delete_nsh"
  "-DSIZE_KB=$(( (size_bytes + 1023) / 1024 ))" "-DICON=$root/assets/icon/vesk_clock.ico"
  "-DOUT_FILE=$setup_file"
)
[ "$signing" -eq 0 ] || nsis_defines+=("-DSIGN_COMMAND=\"$root/scripts/release/sign_file.sh\" \"%1\"")
if ! makensis -V2 -NOCD "${nsis_defines[@]}" "$root/installer/vesk_clock.nsi" >"$out/nsis/makensis.log" 2>&1; then
  cat "$out/nsis/makensis.log" >&2
  die "makensis failed"
fi
[ "$signing" -eq 0 ] || "$root/scripts/release/sign_file.sh" "$setup_file"
touch -d "@$SOURCE_DATE_EPOCH" "$zip_file" "$setup_file"

(cd "$out" && sha256sum "$top.zip" "$top-setup.exe" >SHA256SUMS)

echo "make_release: $VESK_PRODUCT_NAME $version in $out"
for f in "$zip_file" "$setup_file"; do
  echo "make_release:   $(basename "$f")  $(stat -c %s "$f") bytes"
done
if [ "$signing" -eq 1 ]; then
  echo "make_release: signed (VeskClock.exe, uninstall.exe, $(basename "$setup_file"))"
else
  echo "make_release: NOT SIGNED: no certificate given (--cert FILE --key FILE, or --pkcs12 FILE)"
fi
