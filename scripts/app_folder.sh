# Reads assets/app_folder.txt, the one list of the files of Vesk Clock's
# folder (the list's header says what each field means). Sourced by
# scripts/assemble_app.sh, scripts/make_release.sh and
# scripts/release/check_release.sh:
#
#   app_folder_entries KIND          the list's lines of KIND (app, release or
#                                    all), without comments, in the list's order
#   app_folder_paths KIND            their paths in the folder, sorted (C locale)
#   app_folder_dirs KIND             the folders below the top that those paths
#                                    lie in, sorted
#   app_folder_source SOURCE BUILD   the file that field 2 names ("" for made)
#   app_folder_missing KIND BUILD    the sources of KIND that do not exist
#   app_folder_copy KIND BUILD DEST  copies the sources of KIND to DEST as listed
#                                    (the made ones are left to the caller)
#
# BUILD is the Windows build folder (@build/ in the list). A malformed line
# makes every function fail with a message naming it.
# shellcheck shell=bash

APP_FOLDER_LIST="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/assets/app_folder.txt"
_app_folder_root="$(dirname "$(dirname "$APP_FOLDER_LIST")")"

app_folder_entries() {
  local kind="$1"
  awk -F '\t' -v kind="$kind" -v list="$APP_FOLDER_LIST" '
    /^#/ || /^$/ { next }
    {
      bad = ""
      if (NF < 3) bad = "fewer than three fields"
      else if ($3 != "app" && $3 != "release") bad = "field 3 is neither app nor release"
      else if ($1 ~ /^\// || $1 ~ /\\/ || $1 ~ /(^|\/)\.\.?(\/|$)/) bad = "the path is not a plain relative one"
      else if ($1 ~ /\.ttf$/ && NF != 8) bad = "a font needs eight fields"
      else if (seen[$1]++) bad = "listed twice"
      if (bad != "") { printf "%s:%d: %s: %s\n", list, NR, $1, bad > "/dev/stderr"; failed = 1; exit 1 }
      if (kind == "all" || kind == $3) print
    }
    END { exit failed }' "$APP_FOLDER_LIST"
}

app_folder_paths() {
  local lines
  lines="$(app_folder_entries "$1")" || return 1
  cut -f 1 <<<"$lines" | LC_ALL=C sort
}

app_folder_dirs() {
  local paths
  paths="$(app_folder_paths "$1")" || return 1
  awk -F / '{ d = ""; for (i = 1; i < NF; i++) { d = d (i > 1 ? "/" : "") $i; print d } }' <<<"$paths" |
    LC_ALL=C sort -u
}

app_folder_source() {
  case "$1" in
    made) echo "" ;;
    @build/*) echo "$2/${1#@build/}" ;;
    /*) echo "$1" ;;
    *) echo "$_app_folder_root/$1" ;;
  esac
}

app_folder_missing() {
  local lines path source file
  lines="$(app_folder_entries "$1")" || return 1
  while IFS=$'\t' read -r path source _; do
    file="$(app_folder_source "$source" "$2")"
    [ -z "$file" ] || [ -f "$file" ] || echo "$file"
  done <<<"$lines"
}

app_folder_copy() {
  local lines path source file dir
  lines="$(app_folder_entries "$1")" || return 1
  while IFS=$'\t' read -r path source _; do
    file="$(app_folder_source "$source" "$2")"
    [ -n "$file" ] || continue
    dir="$(dirname "$3/$path")"
    mkdir -p "$dir" && cp "$file" "$3/$path" || return 1
  done <<<"$lines"
}
