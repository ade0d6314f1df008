#!/usr/bin/env bash
# Makes the release twice and checks it: once from this tree (build/windows,
# build/release), once from a copy of the sources in another folder with its
# own build folder; the two must be byte-identical. Then: the files of the
# one list (assets/app_folder.txt) in the zip, in a folder made by
# scripts/assemble_app.sh and in the installer's payload installed under Wine
# (names and bytes; the uninstaller removes exactly those), the zip's times
# and version, the winget and Scoop manifests (every required field, the
# hashes), the version resources of the program and the installer read back
# under Wine, SHA256SUMS, a signature made with a throwaway self-signed
# certificate, and the unsigned release saying it is unsigned.
# Prints PASS/FAIL lines and ends with "N passed, N failed".
#
#   scripts/release/check_release.sh
#
# The Wine scenarios of the release (tests/wine/scenarios_release.sh) then
# test build/release itself: VESK_RELEASE_DIR=build/release.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
work="$root/build/release-check"
passed=0
failed=0
check() {
  local description="$1"
  shift
  if "$@"; then echo "PASS release: $description"; passed=$((passed + 1)); return 0; fi
  echo "FAIL release: $description"
  failed=$((failed + 1))
  return 1
}
finish() { echo "$passed passed, $failed failed"; [ "$failed" -eq 0 ]; exit; }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

rm -rf "$work"
mkdir -p "$work"
wine_ok=0
SOURCE_DATE_EPOCH="$(git log -1 --format=%ct)"
export SOURCE_DATE_EPOCH

# ---- two builds --------------------------------------------------------------

t0=$(now_ms)
if ! scripts/make_release.sh >"$work/release-a.log" 2>&1; then
  cat "$work/release-a.log"
  check "the release is made" false
  [ "$wine_ok" -eq 0 ] || wine_prefix_stop
finish
fi
echo "     release from build/windows: $(( $(now_ms) - t0 )) ms"
# shellcheck source=/dev/null
source build/windows/release_info.env
version="$VESK_VERSION"
rel="$root/build/release"
top="VeskClock-$version"

# The same sources in another folder (tracked and new files, as they are
# now), built in a build folder of another name.
copy="$work/other source tree"
mkdir -p "$copy/build/deps"
git ls-files -z --cached --others --exclude-standard | while IFS= read -r -d '' f; do
  [ -e "$f" ] && { mkdir -p "$copy/$(dirname "$f")"; cp -p "$f" "$copy/$f"; }
done
cp -a build/deps/mingw "$copy/build/deps/"
t0=$(now_ms)
if ! "$copy/scripts/make_release.sh" --build-dir "$copy/build/win64-release" --out "$copy/out" \
  >"$work/release-b.log" 2>&1; then
  tail -30 "$work/release-b.log"
  check "the release is made from a copy of the sources" false
  [ "$wine_ok" -eq 0 ] || wine_prefix_stop
finish
fi
echo "     release from a fresh build in another folder: $(( $(now_ms) - t0 )) ms"
winget_rel="packaging/winget/manifests/v/Vesk/VeskClock/$version"
for f in "$top/VeskClock.exe" "$top.zip" "$top-setup.exe" SHA256SUMS; do
  check "$f is byte-identical in both builds" cmp -s "$rel/$f" "$copy/out/$f"
done
check "the package manifests are byte-identical in both builds" diff -r "$rel/packaging" "$copy/out/packaging"
check "the linked programs are byte-identical" cmp -s build/windows/src/VeskClock.exe "$copy/build/win64-release/src/VeskClock.exe"
check "the program holds no build folder" bash -c "! grep -aqF -e '$root' -e '$copy' '$rel/$top/VeskClock.exe'"
check "the program's PE header has no link time" \
  bash -c "x86_64-w64-mingw32-objdump -p '$rel/$top/VeskClock.exe' | grep -q 'Time/Date.*1970'"

# ---- contents ----------------------------------------------------------------

# The zip holds the files of the one list (assets/app_folder.txt) and the
# folders they lie in, below one top folder.
# shellcheck source=scripts/app_folder.sh
source "$root/scripts/app_folder.sh"
app_folder_paths all >"$work/list-all.txt"
app_folder_paths app >"$work/list-app.txt"
expected="$work/expected.txt"
{
  echo "$top/"
  app_folder_dirs all | sed "s|^|$top/|; s|\$|/|"
  sed "s|^|$top/|" "$work/list-all.txt"
} | LC_ALL=C sort >"$expected"
unzip -Z1 "$rel/$top.zip" | LC_ALL=C sort >"$work/listed.txt"
check "the zip holds exactly the files of assets/app_folder.txt under one top folder $top/" \
  cmp -s "$expected" "$work/listed.txt" || diff "$expected" "$work/listed.txt" | sed 's/^/     /'

# The files below folder $1, sorted; folders that hold no file are listed too
# (with a trailing /), so an empty folder left behind shows.
files_in() {
  (cd "$1" && { find . -type f; find . -mindepth 1 -type d -empty -printf '%p/\n'; } | sed 's|^\./||' | LC_ALL=C sort)
}
# Folder $2 holds exactly the files named in list $3 (plus the names given
# after it), and each file of the list is in folder $1 too, with the same
# bytes; prints what differs.
same_files() {
  local a="$1" b="$2" list="$3" f bad=0
  shift 3
  { cat "$list"; printf '%s\n' "$@"; } | sed '/^$/d' | LC_ALL=C sort >"$work/want.txt"
  files_in "$b" >"$work/have.txt"
  if ! cmp -s "$work/want.txt" "$work/have.txt"; then
    diff "$work/want.txt" "$work/have.txt" | grep '^[<>]' | sed 's/^</     missing:/; s/^>/     extra:  /'
    bad=1
  fi
  while IFS= read -r f; do
    [ -f "$a/$f" ] || { echo "     not in $a: $f"; bad=1; continue; }
    [ -f "$b/$f" ] || continue
    cmp -s "$a/$f" "$b/$f" || { echo "     differs: $f"; bad=1; }
  done <"$list"
  return "$bad"
}

unpacked="$work/unpacked"
mkdir -p "$unpacked"
(cd "$unpacked" && unzip -q "$rel/$top.zip")
assembled="$work/assembled"
scripts/assemble_app.sh build/windows "$assembled" >/dev/null
check "the folder scripts/assemble_app.sh makes holds the list's program files, as the zip holds them" \
  same_files "$unpacked/$top" "$assembled" "$work/list-app.txt"
stamp="$(TZ=UTC date -d "@$SOURCE_DATE_EPOCH" +%Y%m%d.%H%M)"
check "every zip entry carries the commit's time ($stamp UTC)" \
  bash -c "zipinfo -T '$rel/$top.zip' | grep -E '^[-d]' | awk '{print \$7}' | cut -c1-13 | sort -u | grep -qx '$stamp' &&
           [ \$(zipinfo -T '$rel/$top.zip' | grep -E '^[-d]' | awk '{print \$7}' | cut -c1-13 | sort -u | wc -l) = 1 ]"
check "README.txt names the version and has Windows line ends" \
  bash -c "unzip -p '$rel/$top.zip' '$top/README.txt' | head -1 | grep -qx $'Vesk Clock $version\r'"
check "the project README names the current version ($version)" \
  grep -q "The version (now $version)" "$root/README.md"
check "SHA256SUMS lists the zip and the installer and is correct" \
  bash -c "cd '$rel' && [ \"\$(cut -d' ' -f3 SHA256SUMS | tr '\n' ' ')\" = '$top.zip $top-setup.exe ' ] && sha256sum --quiet -c SHA256SUMS"

# ---- package manifests ------------------------------------------------------------

# "key=value" for every scalar of a manifest, nested keys joined by dots:
# YAML read by Debian's python3-yaml, JSON by jq.
yaml_fields() {
  /usr/bin/python3 -c '
import sys, yaml
def walk(keys, v):
    if isinstance(v, dict):
        for k, x in v.items(): walk(keys + [str(k)], x)
    elif isinstance(v, list):
        for i, x in enumerate(v): walk(keys + [str(i)], x)
    else:
        print(".".join(keys) + "=" + str(v))
walk([], yaml.safe_load(open(sys.argv[1], encoding="utf-8")))' "$1"
}
json_fields() { jq -r 'paths(scalars) as $p | "\($p | map(tostring) | join("."))=\(getpath($p))"' "$1"; }
# Manifest $2, read by $1, holds every "key=value" given after it ("key=?":
# any value but an empty one); prints what it lacks.
has_fields() {
  local reader="$1" file="$2" fields row bad=0
  shift 2
  fields="$("$reader" "$file")" || { echo "     $file does not parse"; return 1; }
  for row in "$@"; do
    if [ "${row#*=}" = "?" ]; then grep -q "^${row%%=*}=." <<<"$fields" && continue
    else grep -qxF "$row" <<<"$fields" && continue; fi
    echo "     $(basename "$file"): want $row, have: $(grep "^${row%%=*}=" <<<"$fields" || echo nothing)"
    bad=1
  done
  return "$bad"
}
# The manifests of release folder $1 against its files, with the downloads
# under base address $2: every required field, both hashes, the schema
# headers; "$3" prefixes the descriptions.
check_manifests() {
  local out="$1" base="$2" what="$3" id=Vesk.VeskClock winget scoop setup_sum zip_sum t
  winget="$out/$winget_rel"
  scoop="$out/packaging/scoop/veskclock.json"
  setup_sum="$(sha256sum "$out/$top-setup.exe" | cut -d' ' -f1)"
  zip_sum="$(sha256sum "$out/$top.zip" | cut -d' ' -f1)"
  check "$what: winget version manifest" has_fields yaml_fields "$winget/$id.yaml" \
    "PackageIdentifier=$id" "PackageVersion=$version" DefaultLocale=en-US ManifestType=version ManifestVersion=1.12.0
  check "$what: winget installer manifest (nullsoft, per user, /S, the installer's URL and SHA-256)" \
    has_fields yaml_fields "$winget/$id.installer.yaml" \
    "PackageIdentifier=$id" "PackageVersion=$version" InstallerType=nullsoft Scope=user \
    InstallerSwitches.Silent=/S InstallerSwitches.SilentWithProgress=/S UpgradeBehavior=install ProductCode=VeskClock \
    "ReleaseDate=$(TZ=UTC date -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)" Installers.0.Architecture=x64 \
    "Installers.0.InstallerUrl=$base/$top-setup.exe" "Installers.0.InstallerSha256=${setup_sum^^}" \
    ManifestType=installer ManifestVersion=1.12.0
  check "$what: winget default-locale manifest" has_fields yaml_fields "$winget/$id.locale.en-US.yaml" \
    "PackageIdentifier=$id" "PackageVersion=$version" PackageLocale=en-US "Publisher=$VESK_PUBLISHER" \
    "PackageName=$VESK_PRODUCT_NAME" "License=$VESK_LICENSE" "ShortDescription=$VESK_DESCRIPTION" PackageUrl=? \
    ManifestType=defaultLocale ManifestVersion=1.12.0
  check "$what: each winget manifest names the 1.12.0 schema of its type" bash -c '
    for t in version:"$1.yaml" installer:"$1.installer.yaml" defaultLocale:"$1.locale.en-US.yaml"; do
      [ "$(head -1 "$2/${t#*:}")" = "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.${t%%:*}.1.12.0.schema.json" ] ||
        { echo "     ${t#*:}: $(head -1 "$2/${t#*:}")"; exit 1; }
    done' _ "$id" "$winget"
  check "$what: Scoop manifest (the zip's URL and SHA-256, its folder, a Start-menu shortcut)" \
    has_fields json_fields "$scoop" "version=$version" "description=$VESK_DESCRIPTION" homepage=? \
    "license=$VESK_LICENSE" "url=$base/$top.zip" "hash=$zip_sum" "extract_dir=$top" \
    shortcuts.0.0=VeskClock.exe "shortcuts.0.1=$VESK_PRODUCT_NAME"
  check "$what: the Scoop shortcut's program is in the zip's extract_dir" \
    bash -c 'unzip -Z1 "$1" | grep -qxF "$(jq -r .extract_dir "$2")/$(jq -r ".shortcuts[0][0]" "$2")"' _ "$out/$top.zip" "$scoop"
}
check_manifests "$rel" "https://veskclock.example.com/download/$version" "manifests"

# ---- version resources, read back under Wine -----------------------------------

source "$root/scripts/wine_env.sh"
if wine_prefix_ready && cmake --build build/windows --target version_info >"$work/version_info.log" 2>&1; then
  for f in "$top/VeskClock.exe" "$top-setup.exe"; do
    info="$(timeout 30 wine build/windows/tests/version_info.exe "$(winepath -w "$rel/$f" | tr -d '\r')" 2>/dev/null | tr -d '\r')"
    echo "$info" | sed 's/^/     /'
    check "$f: file and product version $VESK_VERSION_QUAD" \
      bash -c "grep -qx 'file_version=$VESK_VERSION_QUAD' <<<\"\$1\" && grep -qx 'product_version=$VESK_VERSION_QUAD' <<<\"\$1\"" _ "$info"
    check "$f: version, product, company and copyright strings" \
      bash -c "grep -qx 'ProductVersion=$version' <<<\"\$1\" && grep -qx 'FileVersion=$version' <<<\"\$1\" &&
               grep -qx 'ProductName=$VESK_PRODUCT_NAME' <<<\"\$1\" && grep -qx 'CompanyName=$VESK_PUBLISHER' <<<\"\$1\" &&
               grep -qx 'LegalCopyright=$VESK_COPYRIGHT' <<<\"\$1\"" _ "$info"
  done
  wine_ok=1
else
  check "the version reader runs under Wine" false
  wine_ok=0
fi

# ---- the installer's payload, installed under Wine -------------------------------

# A silent installation into a scratch folder holds the zip's files, byte for
# byte, and the uninstaller; the uninstaller removes each of them again and
# leaves a file the user put into that folder.
if [ "$wine_ok" -eq 1 ]; then
  scratch='C:\release-check-files'
  installed="$(winepath -u "$scratch" 2>/dev/null | tr -d '\r')"
  rm -rf "$installed"
  timeout 60 wine "$rel/$top-setup.exe" /S "/D=$scratch" >/dev/null 2>&1
  check "the installer's payload is the zip's files, byte for byte, and uninstall.exe" \
    same_files "$unpacked/$top" "$installed" "$work/list-all.txt" uninstall.exe
  product_code="$(yaml_fields "$rel/$winget_rel/Vesk.VeskClock.installer.yaml" | sed -n 's/^ProductCode=//p')"
  check "the manifests' ProductCode ($product_code) names the Uninstall key the installer writes" bash -c '
    [ "$(timeout 20 wine reg query "HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\\$1" /v InstallLocation 2>/dev/null |
        tr -d "\r" | sed -n "s/^    InstallLocation    REG_SZ    //p")" = "$2" ]' _ "$product_code" "$scratch"
  echo "kept by the uninstaller" >"$installed/notes.txt"
  if [ -f "$installed/uninstall.exe" ]; then
    timeout 60 wine "$installed/uninstall.exe" /S >/dev/null 2>&1
    # The uninstaller goes on from a copy of itself: wait for it.
    for _ in $(seq 1 150); do [ "$(files_in "$installed")" = notes.txt ] && break; sleep 0.2; done
  fi
  check "the uninstaller removes every installed file and folder and nothing else" \
    bash -c '[ "$1" = notes.txt ] || { sed "s/^/     left: /" <<<"$1"; false; }' _ "$(files_in "$installed")"
  rm -rf "$installed"
fi

# ---- signing ---------------------------------------------------------------------

check "the unsigned release says it is unsigned" grep -q 'NOT SIGNED' "$work/release-a.log"
check "osslsigncode finds no signature in the unsigned installer" \
  bash -c "osslsigncode verify -in '$rel/$top-setup.exe' 2>&1 | grep -qi 'no signature found'"

cert="$work/cert"
mkdir -p "$cert"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Vesk Clock release test" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$cert/key.pem" -out "$cert/cert.pem" >"$cert/openssl.log" 2>&1
if scripts/make_release.sh --no-build --out "$work/signed" --cert "$cert/cert.pem" --key "$cert/key.pem" \
  --base-url "https://downloads.example.org/vesk/$version/" \
  >"$work/release-signed.log" 2>&1; then
  check "the signed release says it is signed" grep -q '^make_release: signed' "$work/release-signed.log"
  for f in "$top/VeskClock.exe" "$top-setup.exe"; do
    check "$f: the signature verifies against the test certificate" \
      bash -c "osslsigncode verify -CAfile '$cert/cert.pem' -in '$work/signed/$f' >'$work/verify.log' 2>&1 ||
               { cat '$work/verify.log'; false; }"
  done
  check_manifests "$work/signed" "https://downloads.example.org/vesk/$version" "signed release with --base-url"
  check "the signed zip holds the signed program" \
    bash -c "unzip -p '$work/signed/$top.zip' '$top/VeskClock.exe' | cmp -s - '$work/signed/$top/VeskClock.exe'"
  # The uninstaller is written by the installer: install into a scratch
  # folder of the console prefix, verify it, remove it again.
  if [ "$wine_ok" -eq 1 ]; then
    scratch='C:\release-check-signed'
    timeout 60 wine "$work/signed/$top-setup.exe" /S "/D=$scratch" >/dev/null 2>&1
    uninstaller="$(winepath -u "$scratch\uninstall.exe" | tr -d '\r')"
    check "the installed uninstall.exe is signed too" \
      bash -c "osslsigncode verify -CAfile '$cert/cert.pem' -in '$uninstaller' >'$work/verify.log' 2>&1 ||
               { cat '$work/verify.log'; false; }"
    [ -f "$uninstaller" ] && timeout 60 wine "$uninstaller" /S >/dev/null 2>&1
  fi
else
  cat "$work/release-signed.log"
  check "the signed release is made" false
fi

[ "$wine_ok" -eq 0 ] || wine_prefix_stop
finish
