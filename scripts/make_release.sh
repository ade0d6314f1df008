#!/usr/bin/env bash
# Makes the release of Vesk Clock from the Windows build:
#
#   scripts/make_release.sh [--build-dir DIR] [--out DIR] [--no-build]
#                           [--cert FILE --key FILE | --pkcs12 FILE]
#                           [--pass-file FILE] [--timestamp-url URL]
#                           [--base-url URL]
#
#   OUT/VeskClock-<version>/            the portable folder, as the zip holds it:
#                                       every file of assets/app_folder.txt
#     VeskClock.exe  README.txt  LICENSES.txt
#     face/   every skin image, at 100 % and in each scaled set
#     sound/  chime.mp3
#     fonts/  the bundled fonts, each with its licence
#   OUT/VeskClock-<version>.zip         that folder zipped (one top folder)
#   OUT/VeskClock-<version>-setup.exe   the per-user installer (NSIS); it
#                                       installs those files and its
#                                       uninstaller removes them one by one
#   OUT/SHA256SUMS                      checksums of the zip and the installer
#   OUT/packaging/winget/manifests/v/Vesk/VeskClock/<version>/
#                                       the winget manifests (version,
#                                       installer, default locale)
#   OUT/packaging/scoop/veskclock.json  the Scoop manifest
#
# --build-dir  the Windows build to use (default build/windows, the
#              "windows" preset). It is configured when it has not been, and
#              the program is built in it, unless --no-build is given.
# --out        where the release goes (default build/release).
# --cert/--key or --pkcs12, with --pass-file and --timestamp-url: sign the
#              program, the uninstaller and the installer (osslsigncode);
#              without a certificate the release is unsigned and says so.
# --base-url   the address the zip and the installer will be downloaded
#              from, for the manifests (default: a placeholder on the
#              product host, https://<host>/download/<version>).
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
cert="" key="" pkcs12="" pass_file="" timestamp_url="" base_url=""
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
    --base-url) base_url="${2%/}"; shift 2 ;;
    -h|--help) sed -n '2,44p' "$0"; exit 0 ;;
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
case "$base_url" in "" | https://?* | http://?*) ;; *) die "--base-url takes an http:// or https:// address, not $base_url" ;; esac

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

# Every file of the one list; the release texts among them are filled in
# below, LICENSES.txt is written from the list.
# shellcheck source=scripts/app_folder.sh
source "$root/scripts/app_folder.sh"
entries="$(app_folder_entries all)" || die "assets/app_folder.txt is malformed"
mapfile -t missing < <(app_folder_missing all "$build_dir")
for f in assets/icon/vesk_clock.ico installer/vesk_clock.nsi packaging/winget/{version,installer,locale.en-US}.yaml.in \
  packaging/scoop/veskclock.json.in; do
  [ -f "$f" ] || missing+=("$f")
done
[ "${#missing[@]}" -eq 0 ] || die "missing ${missing[*]} (scripts/setup.sh installs the font packages)"

package_version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || echo unknown; }
# Field $2 of the list's line $1.
field() { cut -f "$2" <<<"$1"; }
# Paths with Windows separators, joined by ", " and wrapped at 78 columns.
windows_list() {
  tr '/' '\\' | awk '{ s = (NR > 1 ? ", " : "") $0; if (n + length(s) > 78) { printf ",\n"; n = 0; s = $0 } printf "%s", s; n += length(s) } END { print "" }'
}

top="VeskClock-$version"
dir="$out/$top"
zip_file="$out/$top.zip"
setup_file="$out/$top-setup.exe"
rm -rf "$dir" "$zip_file" "$setup_file" "$out/SHA256SUMS" "$out/nsis" "$out/packaging"
mkdir -p "$dir" "$out/nsis"
app_folder_copy all "$build_dir" "$dir" || die "copying the listed files into $dir failed"

licences="$dir/LICENSES.txt"
{
  echo "$VESK_PRODUCT_NAME $version: what this folder holds and where each part comes from."
  while IFS= read -r line; do
    path="$(field "$line" 1)"
    case "$(field "$line" 2)" in @build/*)
      echo
      echo "${path//\//\\}"
      echo "  The program, built from the Vesk Clock sources (C++, statically linked with"
      echo "  the MinGW-w64 runtime, libpng and zlib from Debian's packages)."
      echo "  $VESK_COPYRIGHT."
    esac
  done <<<"$entries"
  echo
  awk -F '\t' '$3 == "app" && $2 ~ /^assets\// { print $1 }' <<<"$entries" | windows_list
  echo "  Vesk Clock's own artwork and sound, made for it and distributed with it"
  echo "  under the same terms as the program. Sources in the repository: the SVG"
  echo "  drawings in assets/skin/ (rendered by assets/make_assets.sh) and the"
  echo "  synthesis script assets/tools/synth_chime.sh (sox and lame)."
} >"$licences"

while IFS= read -r line; do
  path="$(field "$line" 1)"
  source_file="$(field "$line" 2)"
  case "$path" in
    *.ttf)
      package="$(field "$line" 4)"
      licence_file="${path%.ttf}-LICENSE.txt"
      grep -q "^${licence_file//./\\.}	" <<<"$entries" || die "assets/app_folder.txt lists no $licence_file for $path"
      {
        echo
        echo "${path//\//\\}"
        echo "  Family \"$(field "$line" 5)\", from Debian's package $package $(package_version "$package")."
        echo "  Copyright $(field "$line" 7)."
        echo "  $(field "$line" 6): see ${licence_file//\//\\}, the package's copyright file"
        echo "  (its section for this font's files names the licence)."
        echo "  The clock uses it in place of the face \"$(field "$line" 8)\"."
      } >>"$licences"
      ;;
    *)
      case "$source_file" in
        @build/* | assets/*) ;;
        made) [ "$path" = LICENSES.txt ] || die "assets/app_folder.txt: no way to make $path" ;;
        *) [ "$(field "$line" 3)" = release ] || die "assets/app_folder.txt: LICENSES.txt cannot name the origin of $path" ;;
      esac
      ;;
  esac
done <<<"$entries"

# The release texts: placeholders filled in, Windows line ends for the
# Windows user who opens them.
escape() { sed -e 's/[\\|&]/\\&/g' <<<"$1"; }
while IFS= read -r path; do
  [ -n "$path" ] || continue
  sed -i -e "s|@VERSION@|$(escape "$version")|g" -e "s|@COPYRIGHT@|$(escape "$VESK_COPYRIGHT")|g" \
    -e 's/\r\?$/\r/' "$dir/$path"
done < <(app_folder_paths release)

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

# The listed files to install and, in reverse, to remove one by one, as
# makensis includes.
files_nsh="$out/nsis/files.nsh"
delete_nsh="$out/nsis/delete.nsh"
: >"$files_nsh"
: >"$delete_nsh"
size_bytes=0
out_path="none"
while IFS= read -r rel; do
  parent="$(dirname "$rel")"
  [ "$parent" = . ] && parent="" || parent="\\${parent//\//\\}"
  if [ "$parent" != "$out_path" ]; then
    echo "SetOutPath \"\$INSTDIR$parent\"" >>"$files_nsh"
    out_path="$parent"
  fi
  echo "File \"$dir/$rel\"" >>"$files_nsh"
  size_bytes=$((size_bytes + $(stat -c %s "$dir/$rel")))
done < <(app_folder_paths all)
while IFS= read -r rel; do
  echo "Delete \"\$INSTDIR\\${rel//\//\\}\"" >>"$delete_nsh"
done < <(app_folder_paths all | LC_ALL=C sort -r)
while IFS= read -r rel; do
  [ -z "$rel" ] || echo "RMDir \"\$INSTDIR\\${rel//\//\\}\"" >>"$delete_nsh"
done < <(app_folder_dirs all | LC_ALL=C sort -r)

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

# ---- package manifests --------------------------------------------------------------

# winget (per-user nullsoft installer) and Scoop (the portable zip), filled in
# from the version, SHA256SUMS and the download address. ProductCode is the
# name of the Uninstall key the installer writes.
placeholder_url=0
if [ -z "$base_url" ]; then
  base_url="https://${VESK_PRODUCT_HOST:-veskclock.example.com}/download/$version"
  placeholder_url=1
fi
product_code="$(sed -n 's/^!define UNINSTALL_KEY ".*\\\([^\\"]*\)"$/\1/p' installer/vesk_clock.nsi)"
[ -n "$product_code" ] || die "installer/vesk_clock.nsi defines no UNINSTALL_KEY"
sum_of() { awk -v f="$1" '$2 == f || $2 == "*" f { print $1 }' "$out/SHA256SUMS"; }
winget_id="Vesk.VeskClock"
winget_dir="$out/packaging/winget/manifests/v/${winget_id%%.*}/${winget_id#*.}/$version"
scoop_dir="$out/packaging/scoop"
mkdir -p "$winget_dir" "$scoop_dir"
fill() {
  sed -e "s|@PACKAGE_ID@|$(escape "$winget_id")|g" -e "s|@VERSION@|$(escape "$version")|g" \
    -e "s|@PRODUCT_NAME@|$(escape "$VESK_PRODUCT_NAME")|g" -e "s|@PUBLISHER@|$(escape "$VESK_PUBLISHER")|g" \
    -e "s|@COPYRIGHT@|$(escape "$VESK_COPYRIGHT")|g" -e "s|@DESCRIPTION@|$(escape "$VESK_DESCRIPTION")|g" \
    -e "s|@LICENSE@|$(escape "$VESK_LICENSE")|g" \
    -e "s|@HOMEPAGE@|$(escape "http://${VESK_PRODUCT_HOST:-veskclock.example.com}/veskclock.php?t=1")|g" \
    -e "s|@PRODUCT_CODE@|$(escape "$product_code")|g" \
    -e "s|@RELEASE_DATE@|$(TZ=UTC date -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)|g" \
    -e "s|@INSTALLER_URL@|$(escape "$base_url/$top-setup.exe")|g" \
    -e "s|@INSTALLER_SHA256@|$(sum_of "$top-setup.exe" | tr a-f A-F)|g" \
    -e "s|@ZIP_URL@|$(escape "$base_url/$top.zip")|g" -e "s|@ZIP_SHA256@|$(sum_of "$top.zip")|g" \
    -e "s|@TOP@|$(escape "$top")|g" "$1" >"$2"
}
fill packaging/winget/version.yaml.in "$winget_dir/$winget_id.yaml"
fill packaging/winget/installer.yaml.in "$winget_dir/$winget_id.installer.yaml"
fill packaging/winget/locale.en-US.yaml.in "$winget_dir/$winget_id.locale.en-US.yaml"
fill packaging/scoop/veskclock.json.in "$scoop_dir/veskclock.json"
find "$out/packaging" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

echo "make_release: $VESK_PRODUCT_NAME $version in $out"
for f in "$zip_file" "$setup_file"; do
  echo "make_release:   $(basename "$f")  $(stat -c %s "$f") bytes"
done
echo "make_release:   packaging/winget/${winget_dir#"$out/packaging/winget/"}/, packaging/scoop/veskclock.json"
if [ "$placeholder_url" -eq 1 ]; then
  echo "make_release: the manifests' download address is the placeholder $base_url (give --base-url URL)"
else
  echo "make_release: the manifests' download address is $base_url"
fi
if [ "$signing" -eq 1 ]; then
  echo "make_release: signed (VeskClock.exe, uninstall.exe, $(basename "$setup_file"))"
else
  echo "make_release: NOT SIGNED: no certificate given (--cert FILE --key FILE, or --pkcs12 FILE)"
fi
